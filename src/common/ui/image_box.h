#pragma once
// An image control: owns a QImage of a fixed size, shows it, and reports
// mouse moves and clicks in image pixels.
#include <QImage>
#include <QWidget>

namespace px {

class ImageBox : public QWidget {
    Q_OBJECT
public:
    ImageBox(const QString& name, int w, int h, QWidget* parent = nullptr);

    QImage& image() { return image_; }
    const QImage& image() const { return image_; }
    // True once something has drawn into the picture.
    bool drawn() const { return drawn_; }
    void setDrawn(bool d = true) { drawn_ = d; }
    // Replaces the picture by a copy of another control's picture.
    void copyFrom(const ImageBox& other);
    // Repaints now, so a change shows during a long command.
    void refresh();

signals:
    void mouseMoved(int x, int y);
    void clicked();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QImage image_;
    bool drawn_ = false;
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
