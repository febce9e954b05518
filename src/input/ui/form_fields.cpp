#include "input/ui/form_fields.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "common/ui/image_box.h"
#include "input/field_defaults.h"

namespace px {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

std::string FormFields::text(const std::string& name) const {
    auto it = edits.find(name);
    if (it == edits.end()) return {};
    return it->second->text().toStdString();
}

int FormFields::itemIndex(const std::string& name) const {
    auto it = combos.find(name);
    if (it == combos.end()) return 0;
    return it->second->currentIndex();
}

QLineEdit* FormFields::edit(int n) const {
    auto it = edits.find("Edit" + std::to_string(n));
    return it == edits.end() ? nullptr : it->second;
}

MapFields FormFields::snapshot() const {
    MapFields m;
    for (const auto& [name, e] : edits) m.texts[name] = e->text().toStdString();
    for (const auto& [name, c] : combos) m.items[name] = c->currentIndex();
    m.custom = custom;
    return m;
}

QLineEdit* PageBuilder::edit(QWidget* parent, int n, int x, int y, int w) {
    auto* e = new QLineEdit(parent);
    const std::string name = "Edit" + std::to_string(n);
    e->setObjectName(qs(name));
    auto it = DefaultFieldTexts().find(name);
    if (it != DefaultFieldTexts().end()) e->setText(qs(it->second));
    e->setGeometry(x, y, w, 21);
    fields.edits[name] = e;
    return e;
}

QLabel* PageBuilder::label(QWidget* parent, const QString& name, const QString& text, int x, int y, int w) {
    auto* l = new QLabel(text, parent);
    if (!name.isEmpty()) l->setObjectName(name);
    l->setGeometry(x, y, w, 21);
    return l;
}

QPushButton* PageBuilder::button(QWidget* parent, int n, const QString& text, int x, int y, int w) {
    auto* b = new QPushButton(text, parent);
    if (n) b->setObjectName(QString("Button%1").arg(n));
    b->setGeometry(x, y, w, 25);
    return b;
}

QGroupBox* PageBuilder::fieldGroup(QWidget* parent, const char* name, const QString& title, QRect r,
                                   std::initializer_list<std::pair<const char*, int>> rows) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    box->setGeometry(r);
    const int editX = r.width() - 80;
    int y = 20;
    for (const auto& [caption, n] : rows) {
        label(box, {}, caption, 10, y, editX - 20);
        edit(box, n, editX, y, 70);
        y += 28;
    }
    return box;
}

QProgressBar* PageBuilder::progressBar(QWidget* parent, const char* name, QRect r) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setGeometry(r);
    return bar;
}

ImageBox* PageBuilder::image(QWidget* parent, int n, int w, int h, int x, int y) {
    auto* img = new ImageBox(QString("Image%1").arg(n), w, h, parent);
    img->move(x, y);
    images[n] = img;
    return img;
}

QComboBox* PageBuilder::combo(QWidget* parent, int n, QRect r) {
    auto* c = new QComboBox(parent);
    const std::string name = "ComboBox" + std::to_string(n);
    c->setObjectName(qs(name));
    for (const std::string& item : ComboBoxItems(name)) c->addItem(qs(item));
    c->setGeometry(r);
    fields.combos[name] = c;
    return c;
}

}  // namespace px
