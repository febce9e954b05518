#include "output/ui/tform2.h"

#include "output/ui/secondary_window.h"

#include <QClipboard>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "common/ui/platform.h"
#include "output/curve_text.h"

namespace px {

TForm2::TForm2(PlatformServices& platform, QWidget* parent)
    : QWidget(parent, Qt::Window), platform_(platform) {
    SetUpSecondaryWindow(this, "TForm2", "Result Output", QRect(293, 206, 714, 510));

    Label1 = new QLabel("Result", this);
    Label1->setObjectName("Label1");
    Label1->move(8, 16);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setGeometry(8, 40, 665, 377);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont mono;
    mono.setFamilies({"Courier New", "Liberation Mono"});
    mono.setStyleHint(QFont::Monospace);
    mono.setFixedPitch(true);
    mono.setPixelSize(11);
    Memo1->setFont(mono);

    Button1 = new QPushButton("Copy", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(520, 424, 75, 25);
    Button2 = new QPushButton("Save File", this);
    Button2->setObjectName("Button2");
    Button2->setGeometry(600, 424, 75, 25);

    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
}

void TForm2::setLines(const std::vector<std::string>& lines) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& s : lines) list << QString::fromStdString(s);
    Memo1->setPlainText(list.join('\n'));
}

void TForm2::showLines(const std::vector<std::string>& lines) {
    setLines(lines);
    show();
    raise();
    activateWindow();
}

QStringList TForm2::lines() const {
    const QString text = Memo1->toPlainText();
    if (text.isEmpty()) return {};
    return text.split('\n');
}

void TForm2::Button1Click() { QGuiApplication::clipboard()->setText(Memo1->toPlainText()); }

void TForm2::Button2Click() {
    const QString path =
        platform_.saveFile(this, "Save As", QString::fromUtf8("文本文件 (*.txt)"), "txt", saveName_);
    if (path.isEmpty()) return;
    saveName_ = path;
    runCommand(platform_, this, [&] {
        std::vector<std::string> out;
        for (const QString& line : lines()) out.push_back(line.toLocal8Bit().toStdString());
        SaveTextLines(QFile::encodeName(path).toStdString(), out);
    });
}

}  // namespace px
