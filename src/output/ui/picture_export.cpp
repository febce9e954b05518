#include "output/ui/picture_export.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>

#include "common/ui/file_write.h"
#include "common/ui/platform.h"
#include "input/error.h"

namespace px {

namespace {

const char* formatFor(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "png") return "png";
    if (suffix == "bmp") return "bmp";
    return "jpeg";
}

void refuseUndrawn(const QImage& image, bool everDrawn) {
    if (!everDrawn || image.isNull())
        throw AppError("The plot has not been drawn yet: there is no picture to save");
}

}  // namespace

void SavePicture(const QImage& image, const QString& path, bool everDrawn) {
    refuseUndrawn(image, everDrawn);
    const char* format = formatFor(path);
    // JPEG has no alpha channel: flatten onto white rather than black.
    QImage out = image;
    if (qstrcmp(format, "jpeg") == 0 && image.hasAlphaChannel()) {
        out = QImage(image.size(), QImage::Format_RGB32);
        out.fill(Qt::white);
        QPainter painter(&out);
        painter.drawImage(0, 0, image);
    }
    ReplaceFileFrom(path, FileWording(path), [&](QIODevice& device) {
        QImageWriter writer(&device, format);
        if (qstrcmp(format, "jpeg") == 0) writer.setQuality(95);
        if (!writer.write(out))
            throw AppError(QString("Cannot write file \"%1\". %2").arg(path, writer.errorString()).toStdString());
    });
}

// JPEG first, as the picture buttons always offered; PNG and BMP keep every
// pixel and are written by the same writer.
QString PictureSaveDialog::filter() {
    return QString::fromUtf8("JPG图片 (*.jpg);;PNG图片 (*.png);;BMP图片 (*.bmp)");
}

bool PictureSaveDialog::save(PlatformServices& platform, QWidget* parent, const QImage& image, bool everDrawn) {
    refuseUndrawn(image, everDrawn);
    const QString path = platform.saveFile(parent, "Save As", filter(), defaultSuffix(), lastName_);
    if (path.isEmpty()) return false;
    lastName_ = path;
    SavePicture(image, path, everDrawn);
    return true;
}

}  // namespace px
