#pragma once
// The window's named controls: the edit fields and combo boxes the
// computation reads by name, and the makers that create a page's controls
// with their names, sizes and default texts and register them.
#include <QRect>
#include <QString>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "input/fields.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QWidget;

namespace px {

class ImageBox;

// Reads the window's edit fields and combo boxes by name.
class FormFields : public FieldSource {
public:
    std::map<std::string, QLineEdit*> edits;
    std::map<std::string, QComboBox*> combos;
    std::string text(const std::string& name) const override;
    int itemIndex(const std::string& name) const override;
    std::shared_ptr<const geom::LoadedSection> customSection() const override { return custom; }
    // The section "Load Section File..." loaded; kept while other types are chosen.
    std::shared_ptr<const geom::LoadedSection> custom;

    // EditN, or null.
    QLineEdit* edit(int n) const;
    // Every text and choice as they are now, for a computation on another
    // thread.
    MapFields snapshot() const;
};

// Makes a page's controls: "EditN" with its default text (registered in
// the fields), "ButtonN", "ImageN" (registered in the pictures), ...
class PageBuilder {
public:
    PageBuilder(FormFields& fields, std::map<int, ImageBox*>& images) : fields(fields), images(images) {}

    QLineEdit* edit(QWidget* parent, int n, int x, int y, int w = 60);
    QLabel* label(QWidget* parent, const QString& name, const QString& text, int x, int y, int w = 120);
    // n 0 leaves the button unnamed.
    QPushButton* button(QWidget* parent, int n, const QString& text, int x, int y, int w = 110);
    // A group box of caption and field rows, 28 pixels apart.
    QGroupBox* fieldGroup(QWidget* parent, const char* name, const QString& title, QRect r,
                          std::initializer_list<std::pair<const char*, int>> rows);
    QProgressBar* progressBar(QWidget* parent, const char* name, QRect r);
    ImageBox* image(QWidget* parent, int n, int w, int h, int x, int y);
    // "ComboBoxN" with its items, registered in the fields.
    QComboBox* combo(QWidget* parent, int n, QRect r);

    FormFields& fields;
    std::map<int, ImageBox*>& images;
};

}  // namespace px
