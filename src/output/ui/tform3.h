#pragma once
// The about box.
#include <QImage>
#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;

namespace px {

class PlatformServices;

// The program's 64 x 64 icon: a column section with its bars.
QImage PillarixIcon();

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(PlatformServices& platform, QWidget* parent = nullptr);

    QGroupBox* GroupBox1;
    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QPushButton* Button1;

public slots:
    // Opens the web site; when no browser opens it, says where the page is.
    void Label6Click();
    // "Okay": hides the box.
    void Button1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PlatformServices& platform_;
};

}  // namespace px
