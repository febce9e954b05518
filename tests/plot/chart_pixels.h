#pragma once
// Pixel helpers for chart tests.
#include <QColor>
#include <QImage>

namespace pxtest {

inline QImage BlankImage(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

inline bool IsColor(const QImage& img, int x, int y, const QColor& c) {
    return img.valid(x, y) && img.pixel(x, y) == c.rgb();
}

// Any pixel of colour c in the rectangle [x0, x1] x [y0, y1].
inline bool AnyColor(const QImage& img, int x0, int y0, int x1, int y1, const QColor& c) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (IsColor(img, x, y, c)) return true;
    return false;
}

inline bool AnyColor(const QImage& img, const QColor& c) {
    return AnyColor(img, 0, 0, img.width() - 1, img.height() - 1, c);
}

inline const QColor kRed(255, 0, 0), kBlue(0, 0, 255), kGrey(128, 128, 128), kPurple(128, 0, 128),
    kFaint(240, 240, 240), kBlack(0, 0, 0), kWhite(255, 255, 255);

}  // namespace pxtest
