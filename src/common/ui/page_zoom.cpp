#include "common/ui/page_zoom.h"

#include <QEvent>
#include <algorithm>
#include <cmath>

#include "common/ui/image_box.h"

namespace px {

PageZoom::PageZoom(QWidget* page, QSize design) : QObject(page), page_(page), base_(design) {
    for (QWidget* c : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        items_.push_back({c, c->geometry(), c->metaObject() == &ImageBox::staticMetaObject});
    page->installEventFilter(this);
}

double PageZoom::scaleFor(QSize size, QSize base) {
    if (base.width() <= 0 || base.height() <= 0) return 1;
    const double room = std::min(double(size.width()) / base.width(), double(size.height()) / base.height());
    if (room < 1.25) return 1;
    return std::floor(room * 4) / 4;
}

bool PageZoom::eventFilter(QObject* watched, QEvent* event) {
    if (watched == page_ && event->type() == QEvent::Resize) {
        const double s = scaleFor(page_->size(), base_);
        if (s != scale_) apply(s);
    }
    return false;
}

void PageZoom::apply(double scale) {
    scale_ = scale;
    for (const Item& it : items_) {
        const QPoint at(qRound(it.base.x() * scale), qRound(it.base.y() * scale));
        if (it.picture) static_cast<ImageBox*>(it.widget)->setDisplayScale(scale);
        it.widget->move(at);
    }
}

}  // namespace px
