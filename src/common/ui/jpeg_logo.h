#pragma once
// The logo picture, stored as JPEG data and decoded with libjpeg.
#include <QByteArray>
#include <QImage>

namespace px {

// Decodes JPEG bytes; a corrupt or truncated picture gives a null image
// instead of ending the process.
QImage DecodeJpeg(const QByteArray& data);

// The program's logo (199 x 63), or a null image when it cannot be read.
QImage LoadLogo();

}  // namespace px
