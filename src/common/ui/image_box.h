#pragma once
// An image control: owns a QImage of a fixed size, shows it, and reports
// mouse moves and clicks in image pixels.
//
// The picture (image()) is the control's size in logical pixels: it is what
// is saved and what readouts map. On a screen with a device pixel ratio
// above 1 the control shows a second image, the same drawing painted at that
// ratio (screenImage()), so lines and text stay sharp.
#include <QImage>
#include <QWidget>
#include <functional>

class QPainter;

namespace px {

class ImageBox : public QWidget {
    Q_OBJECT
public:
    ImageBox(const QString& name, int w, int h, QWidget* parent = nullptr);

    // A drawing: paints on `p` over a w x h area in logical pixels.
    using Painting = std::function<void(QPainter& p, int w, int h)>;

    // Draw through paint(): a change written into image() directly does not
    // reach the screen image.
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }
    // What the screen shows: the picture painted at the screen's device pixel
    // ratio (ratio x the size), or the picture itself at ratio 1.
    const QImage& screenImage() const { return screen_.isNull() ? image_ : screen_; }
    // Runs `paint` on the picture and again on the screen image, so it must
    // paint the same both times. A drawing that throws leaves both images as
    // far as it got, and the exception goes on.
    void paint(const Painting& paint);
    // Shows `picture` (the control's size) and, on screen, `detailed` scaled
    // smoothly into the same area.
    void setPicture(const QImage& picture, const QImage& detailed);
    // White, and counted as never drawn.
    void clear();

    // True once something has drawn into the picture.
    bool drawn() const { return drawn_; }
    void setDrawn(bool d = true) { drawn_ = d; }
    // Replaces the picture by a copy of another control's picture.
    void copyFrom(const ImageBox& other);
    // Repaints now, so a change shows during a long command.
    void refresh();

    // Both images and the drawn flag, to put back after a stopped command.
    struct Snapshot {
        QImage image, screen;
        bool drawn = false;
    };
    Snapshot snapshot() const { return {image_, screen_, drawn_}; }
    void restore(const Snapshot& s);

    // A drawing made away from the control, on another thread: draft() (on
    // the window's thread) copies both images, paintOn() (on any thread)
    // paints the copies as paint() would, show() puts them up. A drawing
    // that fails or is stopped leaves the control untouched.
    Snapshot draft();
    static void paintOn(Snapshot& s, const Painting& paint);
    void show(const Snapshot& s) { restore(s); refresh(); }

    // Shown `scale` times its size (1 or more): the screen image is painted
    // at that scale, mouse positions are reported in picture pixels, and the
    // picture itself, which is saved and read, keeps its size.
    void setDisplayScale(double scale);
    double displayScale() const { return scale_; }

signals:
    void mouseMoved(int x, int y);
    void clicked();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    // The screen image at the current ratio (null at ratio 1), started from
    // the picture when the ratio changed since it was painted.
    QImage* screenAtRatio();

    QImage image_;
    QImage screen_;
    bool drawn_ = false;
    double scale_ = 1;
};

// A colour swatch: a filled rectangle that reports mouse presses.
class Swatch : public QWidget {
    Q_OBJECT
public:
    Swatch(const QString& name, QWidget* parent = nullptr);
    QColor color() const { return color_; }
    void setColor(const QColor& c);

signals:
    void pressed();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    QColor color_ = Qt::white;
};

}  // namespace px
