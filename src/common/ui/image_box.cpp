#include "common/ui/image_box.h"

#include <QMouseEvent>
#include <QPainter>

namespace px {

ImageBox::ImageBox(const QString& name, int w, int h, QWidget* parent)
    : QWidget(parent), image_(w, h, QImage::Format_RGB32) {
    setObjectName(name);
    image_.fill(Qt::white);
    setFixedSize(w, h);
    setMouseTracking(true);
}

void ImageBox::copyFrom(const ImageBox& other) {
    image_ = other.image_.copy();
    drawn_ = other.drawn_;
    refresh();
}

void ImageBox::refresh() {
    drawn_ = true;
    repaint();
}

void ImageBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

void ImageBox::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    emit mouseMoved(pt.x(), pt.y());
}

void ImageBox::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) emit clicked();
}

Swatch::Swatch(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setFixedSize(40, 20);
}

void Swatch::setColor(const QColor& c) {
    color_ = c;
    update();
}

void Swatch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(Qt::black);
    p.setBrush(color_);
    p.drawRect(0, 0, width() - 1, height() - 1);
}

void Swatch::mousePressEvent(QMouseEvent*) { emit pressed(); }

}  // namespace px
