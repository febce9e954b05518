#pragma once
// The result window: a curve table as fixed-width text, copied or saved.
#include <QString>
#include <QStringList>
#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace px {

class PlatformServices;

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(PlatformServices& platform, QWidget* parent = nullptr);

    // Replaces the whole text with `lines`.
    void setLines(const std::vector<std::string>& lines);
    // Replaces the text and shows the window without blocking; a visible
    // window comes to the front.
    void showLines(const std::vector<std::string>& lines);
    // The memo's lines as the save writes them (none when the memo is empty).
    QStringList lines() const;

    QLabel* Label1;
    QPlainTextEdit* Memo1;
    QPushButton* Button1;
    QPushButton* Button2;

public slots:
    // "Copy": the memo's text onto the clipboard.
    void Button1Click();
    // "Save File": asks for a name (proposing "result.txt", then the last
    // chosen one) and writes the lines, each followed by CR LF.
    void Button2Click();

private:
    PlatformServices& platform_;
    QString saveName_ = QStringLiteral("result.txt");
};

}  // namespace px
