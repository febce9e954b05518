#pragma once
// Lets a page's pictures grow with the window. A page is laid out at fixed
// positions for the window's first size; when the page is given more room,
// every control keeps its proportional place and the pictures (ImageBox,
// not its subclasses) are shown larger, by quarter steps. The pictures
// themselves keep their sizes, so what is saved and read stays the same.
#include <QObject>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <vector>

namespace px {

class PageZoom : public QObject {
    Q_OBJECT
public:
    // Takes the page's controls where they stand now as the layout at scale
    // 1, for a page of `design` size (the window's pages share one, so all
    // grow alike).
    PageZoom(QWidget* page, QSize design);

    // The scale for a page of `size` laid out in `base`: 1 until the page
    // has room for 1.25 times its layout, then the largest quarter step
    // both sides hold.
    static double scaleFor(QSize size, QSize base);
    double scale() const { return scale_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply(double scale);

    struct Item {
        QWidget* widget;
        QRect base;
        bool picture;
    };
    QWidget* page_;
    QSize base_;
    std::vector<Item> items_;
    double scale_ = 1;
};

}  // namespace px
