#include <gtest/gtest.h>

#include "support/sections.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <string>

#include "common/version.h"
#include "input/error.h"
#include "input/fields.h"
#include "input/section_input.h"
#include "section/mesh.h"
#include "section/ui/section_drawing.h"

namespace {

using namespace px;
using px::fixtures::DefaultInput;
using px::fixtures::Meshed;

QImage Drawn(const SectionInput& in, FiberTable* keep = nullptr) {
    FiberTable t;
    BuildFiberTable(in, t);
    QImage img(kSectionImageWidth, kSectionImageHeight, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    DrawSection(img, in, t, MaterialColors::defaults(), "credit");
    if (keep) *keep = t;
    return img;
}

QRgb Px(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }
constexpr QRgb kBlack = 0x000000, kWhite = 0xFFFFFF, kYellow = 0xFFFF00, kAqua = 0x00FFFF, kLime = 0x00FF00,
               kRed = 0xFF0000, kBlue = 0x0000FF;

// The text as the banner writes it, top-left at (x, y) on a white image.
QImage Reference(const QString& text, int x, int y) {
    QImage ref(kSectionImageWidth, kSectionImageHeight, QImage::Format_RGB32);
    ref.fill(Qt::white);
    QPainter p(&ref);
    p.setPen(Qt::black);
    p.drawText(QRect(x, y, kSectionImageWidth, kSectionImageHeight), Qt::AlignLeft | Qt::AlignTop, text);
    return ref;
}

// Pixels of the band y0..y1 (x 1..x1, left of any section or above it) equal the reference.
bool BandMatches(const QImage& img, const QImage& ref, int y0, int y1, int x1 = 110) {
    for (int y = y0; y <= y1; ++y)
        for (int x = 1; x <= x1; ++x)
            if (Px(img, x, y) != Px(ref, x, y)) return false;
    return true;
}

bool HasInk(const QImage& img, int y0, int y1) {
    for (int y = y0; y <= y1; ++y)
        for (int x = 1; x <= 110; ++x)
            if (Px(img, x, y) != kWhite) return true;
    return false;
}

TEST(SectionDrawing, DefaultRectColumn) {
    const QImage img = Drawn(DefaultInput(1));
    // One-pixel black frame on the image's edges, white inside.
    for (QPoint q : {QPoint(0, 0), QPoint(606, 0), QPoint(0, 446), QPoint(606, 446), QPoint(300, 0), QPoint(606, 200)})
        EXPECT_EQ(Px(img, q.x(), q.y()), kBlack) << q.x() << "," << q.y();
    EXPECT_EQ(Px(img, 1, 1), kWhite);
    EXPECT_EQ(Px(img, 5, 300), kWhite);
    EXPECT_EQ(Px(img, 605, 445), kWhite);

    // s = 0.8 x 447 / 2200. Core cell 1 centred at (-954, -954) -> (148, 379).
    EXPECT_EQ(Px(img, 148, 379), kAqua);
    // Cover strip 101 around (-1008.3, -1080) -> (140, 399).
    EXPECT_EQ(Px(img, 140, 399), kYellow);
    // The bottom-left corner bundle at (-1060, -1060) -> (131, 396), r = 2.
    EXPECT_EQ(Px(img, 131, 396), kRed);
    EXPECT_EQ(Px(img, 129, 396), kBlack);  // its outline, r pixels out
    EXPECT_EQ(Px(img, 133, 396), kBlack);
    // The section spans about 358 pixels: (124.7 .. 482.3) x (44.7 .. 402.3).
    EXPECT_EQ(Px(img, 123, 223), kWhite);
    EXPECT_EQ(Px(img, 125, 223), kBlack);  // outline of the left strip
    EXPECT_EQ(Px(img, 126, 226), kYellow);
    EXPECT_EQ(Px(img, 482, 223), kBlack);
    EXPECT_EQ(Px(img, 484, 223), kWhite);

    // The banner: three lines with their top-left corners at (10, 10/25/40).
    // The program's version and date, as the title and the About box show them.
    const QString banner = QString::fromUtf8(kProgramBanner);
    EXPECT_TRUE(banner.contains(QString("v") + kProgramVersion) && banner.contains(kProgramDate));
    EXPECT_TRUE(BandMatches(img, Reference(banner, 10, 10), 2, 24, 600));
    EXPECT_TRUE(BandMatches(img, Reference("credit", 10, 25), 25, 39));
    EXPECT_TRUE(BandMatches(img, Reference("NFib = 248", 10, 40), 40, 60));
    EXPECT_TRUE(HasInk(img, 40, 60));
}

TEST(SectionDrawing, SteelAndTubeColours) {
    // Y flange strip 249 of the SRC cross at (-275, -770) -> (259, 349).
    QImage img = Drawn(DefaultInput(3));
    EXPECT_EQ(Px(img, 259, 349), kBlue);

    // The tube in a rectangle: the infill shows; the deducted disc, written
    // after it over the same place, leaves no mark.
    FiberTable t;
    img = Drawn(DefaultInput(8), &t);
    EXPECT_EQ(t[321].MatId, MatDeductedConcrete1);
    EXPECT_EQ(Px(img, 310, 217), kLime);  // fiber 249 around (42.1, 42.1)
    // Wall fiber 393 around (525.9, 525.9) -> (389, 138).
    EXPECT_EQ(Px(img, 389, 138), kBlue);
}

TEST(SectionDrawing, SwatchColoursAreUsed) {
    const SectionInput in = DefaultInput(1);
    FiberTable t;
    BuildFiberTable(in, t);
    MaterialColors colors = MaterialColors::defaults();
    colors.c[2] = {10, 20, 30};
    colors.c[4] = {200, 100, 50};
    QImage img(kSectionImageWidth, kSectionImageHeight, QImage::Format_RGB32);
    DrawSection(img, in, t, colors, "");
    EXPECT_EQ(Px(img, 148, 379), qRgb(10, 20, 30) & 0xFFFFFF);
    EXPECT_EQ(Px(img, 131, 396), qRgb(200, 100, 50) & 0xFFFFFF);
}

TEST(SectionDrawing, WideSectionIsScaledByWidth) {
    SectionInput in = DefaultInput(1);
    in.B = 6000;
    in.H = 1000;
    // s = 0.8 x 607 / 6000: the outline spans x 60.7 .. 546.3.
    const QImage img = Drawn(in);
    EXPECT_EQ(Px(img, 58, 226), kWhite);
    EXPECT_EQ(Px(img, 61, 226), kBlack);
    EXPECT_EQ(Px(img, 62, 226), kYellow);
    EXPECT_EQ(Px(img, 545, 226), kYellow);
    EXPECT_EQ(Px(img, 546, 226), kBlack);
    EXPECT_EQ(Px(img, 549, 226), kWhite);
    // Height 1000 x s = 81 pixels around 223.5.
    EXPECT_EQ(Px(img, 300, 180), kWhite);
}

TEST(SectionDrawing, ZeroSizeFailsAfterTheBanner) {
    SectionInput in = DefaultInput(1);
    FiberTable t;
    BuildFiberTable(in, t);
    in.H = 0;
    QImage img(kSectionImageWidth, kSectionImageHeight, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    try {
        DrawSection(img, in, t, MaterialColors::defaults(), "credit");
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_STREQ(e.what(), kDivByZero);
    }
    EXPECT_EQ(Px(img, 0, 0), kBlack);
    EXPECT_TRUE(BandMatches(img, Reference("NFib = 248", 10, 40), 40, 60));
    EXPECT_EQ(Px(img, 303, 223), kWhite);  // no fiber drawn
}

TEST(SectionDrawing, EmptyTableShowsFrameAndBanner) {
    QImage img(kSectionImageWidth, kSectionImageHeight, QImage::Format_RGB32);
    DrawSection(img, DefaultInput(1), FiberTable{}, MaterialColors::defaults(), "credit");
    EXPECT_TRUE(BandMatches(img, Reference("NFib = 0", 10, 40), 40, 60));
    for (int y = 1; y < kSectionImageHeight - 1; y += 7)
        for (int x = 150; x < kSectionImageWidth - 1; x += 7) ASSERT_EQ(Px(img, x, y), kWhite) << x << "," << y;
}

}  // namespace
