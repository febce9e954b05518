#include "output/ui/secondary_window.h"

#include <QFont>
#include <QWidget>

namespace px {

void SetUpSecondaryWindow(QWidget* w, const QString& name, const QString& title, QRect geometry) {
    w->setObjectName(name);
    w->setWindowTitle(title);
    w->setAttribute(Qt::WA_QuitOnClose, false);
    w->move(geometry.topLeft());
    w->resize(geometry.size());
    QFont font;
    font.setFamilies({"Arial", "Liberation Sans", "WenQuanYi Micro Hei"});
    font.setPixelSize(11);
    w->setFont(font);
}

}  // namespace px
