#include "common/ui/image_box.h"

#include <QFont>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <dlfcn.h>

namespace px {

namespace {

// Hint style of fontconfig's default match (0 none, 1 slight, 2 medium, 3
// full), or -1 when fontconfig cannot be asked. Read through the library
// Qt itself loaded, whose headers need not be installed.
int FontconfigHintStyle() {
    void* lib = dlopen("libfontconfig.so.1", RTLD_LAZY | RTLD_NOLOAD);
    if (!lib) return -1;
    using Pattern = void;
    auto parse = reinterpret_cast<Pattern* (*)(const unsigned char*)>(dlsym(lib, "FcNameParse"));
    auto substitute = reinterpret_cast<int (*)(void*, Pattern*, int)>(dlsym(lib, "FcConfigSubstitute"));
    auto defaults = reinterpret_cast<void (*)(Pattern*)>(dlsym(lib, "FcDefaultSubstitute"));
    auto match = reinterpret_cast<Pattern* (*)(void*, Pattern*, int*)>(dlsym(lib, "FcFontMatch"));
    auto integer = reinterpret_cast<int (*)(const Pattern*, const char*, int, int*)>(dlsym(lib, "FcPatternGetInteger"));
    auto destroy = reinterpret_cast<void (*)(Pattern*)>(dlsym(lib, "FcPatternDestroy"));
    int style = -1;
    if (parse && substitute && defaults && match && integer && destroy) {
        const QByteArray name = QGuiApplication::font().family().toUtf8();
        if (Pattern* pattern = parse(reinterpret_cast<const unsigned char*>(name.constData()))) {
            substitute(nullptr, pattern, 0);  // FcMatchPattern
            defaults(pattern);
            int result = 0;
            if (Pattern* found = match(nullptr, pattern, &result)) {
                if (integer(found, "hintstyle", 0, &style) != 0) style = -1;  // FcResultMatch is 0
                destroy(found);
            }
            destroy(pattern);
        }
    }
    dlclose(lib);
    return style;
}

// The pictures' text hinting. On screens of ratio 1 Qt takes fontconfig's
// hint style; once any screen is scaled it drops hinting altogether, which
// would change the text of every picture and saved file. The pictures ask
// for the style a window at ratio 1 gets, so they stay the same.
QFont::HintingPreference PictureHinting() {
    static const QFont::HintingPreference hinting = [] {
        bool scaled = false;
        for (const QScreen* s : QGuiApplication::screens()) scaled |= s->devicePixelRatio() != 1;
        if (!scaled) return QFont::PreferDefaultHinting;
        switch (FontconfigHintStyle()) {
            case 0: return QFont::PreferNoHinting;
            case 2:
            case 3: return QFont::PreferFullHinting;
            default: return QFont::PreferVerticalHinting;  // slight, Debian's default
        }
    }();
    return hinting;
}

// A painter on one of the control's images, with the pictures' hinting.
void BeginPicture(QPainter& p) {
    const QFont::HintingPreference hinting = PictureHinting();
    if (hinting == QFont::PreferDefaultHinting) return;
    QFont font = p.font();
    font.setHintingPreference(hinting);
    p.setFont(font);
}

}  // namespace

ImageBox::ImageBox(const QString& name, int w, int h, QWidget* parent)
    : QWidget(parent), image_(w, h, QImage::Format_RGB32) {
    setObjectName(name);
    image_.fill(Qt::white);
    setFixedSize(w, h);
    setMouseTracking(true);
}

QImage* ImageBox::screenAtRatio() {
    const qreal ratio = devicePixelRatioF() * scale_;
    if (ratio == 1) {
        screen_ = QImage();
        return nullptr;
    }
    if (screen_.isNull() || screen_.devicePixelRatio() != ratio) {
        const QSize size(qRound(image_.width() * ratio), qRound(image_.height() * ratio));
        screen_ = image_.scaled(size, Qt::IgnoreAspectRatio,
                                scale_ == 1 ? Qt::FastTransformation : Qt::SmoothTransformation)
                      .convertToFormat(QImage::Format_RGB32);
        screen_.setDevicePixelRatio(ratio);
    }
    return &screen_;
}

ImageBox::Snapshot ImageBox::draft() {
    PictureHinting();  // asks the screens once, here on the window's thread
    const QImage* screen = screenAtRatio();
    return {image_.copy(), screen ? screen->copy() : QImage(), drawn_};
}

void ImageBox::paintOn(Snapshot& s, const Painting& paint) {
    const int w = s.image.width(), h = s.image.height();
    {
        QPainter p(&s.image);
        BeginPicture(p);
        paint(p, w, h);
    }
    if (!s.screen.isNull()) {
        QPainter p(&s.screen);
        BeginPicture(p);
        paint(p, w, h);
    }
    s.drawn = true;
}

void ImageBox::setDisplayScale(double scale) {
    scale = std::max(1.0, scale);
    if (scale == scale_) return;
    scale_ = scale;
    setFixedSize(qRound(image_.width() * scale), qRound(image_.height() * scale));
    screen_ = QImage();  // scaled from the picture until the next drawing
    update();
}

void ImageBox::paint(const Painting& paint) {
    const int w = image_.width(), h = image_.height();
    QImage* screen = screenAtRatio();
    auto paintScreen = [&] {
        if (!screen) return;
        QPainter p(screen);  // scales by the image's ratio
        BeginPicture(p);
        paint(p, w, h);
    };
    try {
        QPainter p(&image_);
        BeginPicture(p);
        paint(p, w, h);
    } catch (...) {
        try {
            paintScreen();
        } catch (...) {
        }
        throw;
    }
    paintScreen();
}

void ImageBox::setPicture(const QImage& picture, const QImage& detailed) {
    image_ = picture;
    if (QImage* screen = screenAtRatio()) {
        const qreal ratio = screen->devicePixelRatio();
        *screen = detailed.scaled(screen->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                      .convertToFormat(QImage::Format_RGB32);
        screen->setDevicePixelRatio(ratio);
    }
    drawn_ = true;
    update();
}

void ImageBox::clear() {
    image_.fill(Qt::white);
    screen_ = QImage();
    drawn_ = false;
    update();
}

void ImageBox::copyFrom(const ImageBox& other) {
    image_ = other.image_.copy();
    screen_ = other.screen_.copy();
    drawn_ = other.drawn_;
    refresh();
}

void ImageBox::restore(const Snapshot& s) {
    image_ = s.image;
    screen_ = s.screen;
    refresh();
    drawn_ = s.drawn;
}

void ImageBox::refresh() {
    drawn_ = true;
    repaint();
}

void ImageBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // An image of another ratio than the screen's (the window moved to
    // another screen) is scaled until the next drawing.
    if (scale_ != 1 && screen_.isNull()) screenAtRatio();
    p.setRenderHint(QPainter::SmoothPixmapTransform,
                    screenImage().devicePixelRatio() != devicePixelRatioF() * scale_);
    p.drawImage(QRect(0, 0, width(), height()), screenImage());
}

void ImageBox::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pt = (e->position() / scale_).toPoint();
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
