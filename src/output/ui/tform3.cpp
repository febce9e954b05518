#include "output/ui/tform3.h"

#include "common/ui/links.h"
#include "output/ui/secondary_window.h"

#include <QEvent>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>

#include "common/ui/platform.h"
#include "common/version.h"

namespace px {

QImage PillarixIcon() {
    QImage img(64, 64, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Concrete section with a dark outline.
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(QRectF(6, 6, 52, 52));
    // Core.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(160, 160, 160));
    p.drawRect(QRectF(14, 14, 36, 36));
    // Bars around the perimeter.
    p.setBrush(QColor(200, 30, 30));
    const double pos[] = {14, 26, 38, 50};
    for (double x : pos) {
        for (double y : pos) {
            if (x != 14 && x != 50 && y != 14 && y != 50) continue;
            p.drawEllipse(QPointF(x, y), 3.2, 3.2);
        }
    }
    // A steel cross in the middle.
    p.setBrush(QColor(30, 60, 170));
    p.drawRect(QRectF(29, 20, 6, 24));
    p.drawRect(QRectF(20, 29, 24, 6));
    p.end();
    return img;
}

TForm3::TForm3(PlatformServices& platform, QWidget* parent)
    : QWidget(parent, Qt::Window), platform_(platform) {
    SetUpSecondaryWindow(this, "TForm3", QString::fromUtf8("关于程序"), QRect(477, 318, 328, 298));

    GroupBox1 = new QGroupBox(QString::fromUtf8("关于程序 PILLARIX "), this);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setGeometry(16, 16, 281, 193);

    Image1 = new QLabel(GroupBox1);
    Image1->setObjectName("Image1");
    Image1->setGeometry(24, 24, 64, 64);
    Image1->setPixmap(QPixmap::fromImage(PillarixIcon()));

    auto label = [this](const char* name, const QString& text, int x, int y) {
        auto* l = new QLabel(text, GroupBox1);
        l->setObjectName(name);
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    Label1 = label("Label1", QString("Pillarix v") + kProgramVersion, 96, 32);
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(16);
    Label1->setFont(bold);
    Label1->adjustSize();
    Label2 = label("Label2", QString::fromUtf8("版本时间 ") + QString::fromUtf8(kProgramDate), 96, 64);
    Label3 = label("Label3", QString::fromUtf8("小型构件截面分析求解器，实用为主"), 24, 96);
    Label4 = label("Label4", QString::fromUtf8("作者：Pillarix 开发组"), 24, 120);
    Label5 = label("Label5", QString::fromUtf8("联系：见程序说明 README.md"), 24, 144);
    Label6 = label("Label6", QString::fromUtf8("网站：Pillarix 使用说明 (tutorial.html)"), 24, 168);
    QPalette pal = Label6->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label6->setPalette(pal);
    Label6->setCursor(Qt::PointingHandCursor);
    Label6->installEventFilter(this);

    Button1 = new QPushButton("Okay", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(216, 216, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label6 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label6Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm3::Label6Click() { OpenPage(platform_, this, ProductUrl()); }

void TForm3::Button1Click() { hide(); }

}  // namespace px
