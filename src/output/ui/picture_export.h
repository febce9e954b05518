#pragma once
// Saving a plot's picture to a file.
#include <QImage>
#include <QString>

class QWidget;

namespace px {

class PlatformServices;

// Writes `image` to `path`, replacing an existing file. The name decides the
// format: .png gives PNG, .bmp BMP, .jpg/.jpeg and every other name JPEG
// (quality 95). A plot that was never drawn (or a null image) is refused
// before any file is touched. Failures throw AppError naming the file.
void SavePicture(const QImage& image, const QString& path, bool everDrawn);

// The save dialog the three picture buttons share: filters "JPG图片 (*.jpg)", PNG and BMP,
// default suffix "jpg", no name at first, then the name chosen last time
// whichever button chose it.
class PictureSaveDialog {
public:
    static QString filter();
    static QString defaultSuffix() { return QStringLiteral("jpg"); }

    // Refuses a never-drawn plot before asking; otherwise asks for a name and
    // writes the picture. Returns false when the user cancelled. Throws
    // AppError on a failure (run it inside runCommand).
    bool save(PlatformServices& platform, QWidget* parent, const QImage& image, bool everDrawn);

    const QString& lastName() const { return lastName_; }

private:
    QString lastName_;
};

}  // namespace px
