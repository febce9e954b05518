// The logo is JPEG data decoded with libjpeg; a damaged picture must not end
// the program.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include "common/ui/jpeg_logo.h"

using namespace px;

TEST(JpegLogo, DecodesTheLogoAndItsOwnEncoding) {
    const QImage logo = LoadLogo();
    ASSERT_FALSE(logo.isNull());
    EXPECT_EQ(logo.size(), QSize(199, 63));

    QImage red(16, 8, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    ASSERT_TRUE(red.save(&buf, "JPEG", 95));
    const QImage back = DecodeJpeg(bytes);
    ASSERT_EQ(back.size(), QSize(16, 8));
    const QColor c = back.pixelColor(8, 4);
    EXPECT_GT(c.red(), 240);
    EXPECT_LT(c.green(), 16);
}

TEST(JpegLogo, DamagedDataGivesANullPicture) {
    EXPECT_TRUE(DecodeJpeg(QByteArray()).isNull());
    EXPECT_TRUE(DecodeJpeg(QByteArray("not a picture at all")).isNull());
    QByteArray header("\xFF\xD8\xFF\xE0", 4);
    EXPECT_TRUE(DecodeJpeg(header + QByteArray(100, '\x7F')).isNull());
}
