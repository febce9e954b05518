#include "output/ui/picture_export.h"

#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>

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
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw AppError(QString("Cannot create file \"%1\". %2").arg(path, file.errorString()).toStdString());
    QImageWriter writer(&file, format);
    if (qstrcmp(format, "jpeg") == 0) writer.setQuality(95);
    // JPEG has no alpha channel: flatten onto white rather than black.
    QImage out = image;
    if (qstrcmp(format, "jpeg") == 0 && image.hasAlphaChannel()) {
        out = QImage(image.size(), QImage::Format_RGB32);
        out.fill(Qt::white);
        QPainter painter(&out);
        painter.drawImage(0, 0, image);
    }
    const bool ok = writer.write(out);
    const QString why = writer.errorString();
    file.close();
    if (!ok || file.error() != QFileDevice::NoError) {
        const QString reason = ok ? file.errorString() : why;
        file.remove();  // no half-written picture left behind
        throw AppError(QString("Cannot write file \"%1\". %2")
                           .arg(path, reason)
                           .toStdString());
    }
}

QString PictureSaveDialog::filter() { return QString::fromUtf8("JPG图片 (*.jpg)"); }

bool PictureSaveDialog::save(PlatformServices& platform, QWidget* parent, const QImage& image, bool everDrawn) {
    refuseUndrawn(image, everDrawn);
    const QString path = platform.saveFile(parent, "Save As", filter(), defaultSuffix(), lastName_);
    if (path.isEmpty()) return false;
    lastName_ = path;
    SavePicture(image, path, everDrawn);
    return true;
}

}  // namespace px
