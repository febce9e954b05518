#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "input/error.h"
#include "output/curve_text.h"
#include "output/ui/picture_export.h"
#include "output/ui/tform2.h"
#include "output/ui/tform3.h"
#include "support/scripted_platform.h"

using namespace px;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "(unreadable)";
    return f.readAll();
}

QImage plot() {
    QImage img(388, 391, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.fillRect(50, 20, 100, 100, QColor(255, 0, 0));
    return img;
}

}  // namespace

TEST(TForm2, ShowsLinesWithoutBlockingAndCopies) {
    ScriptedPlatform platform;
    TForm2 w(platform);
    const auto lines = FillMMText(0, 12.5, MMCurve{});
    w.showLines(lines);
    EXPECT_TRUE(w.isVisible());
    ASSERT_EQ(w.lines().size(), 9);
    EXPECT_EQ(w.lines()[3], "Axial_Force_P = 12.50");

    QApplication::clipboard()->clear();
    QTest::mouseClick(w.Button1, Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(), w.Memo1->toPlainText());
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith("\nMx-My_Curve_Data\n"));
    w.hide();
}

TEST(TForm2, SaveWritesCrLfLinesAndProposesTheLastName) {
    QTemporaryDir dir;
    ScriptedPlatform platform;
    TForm2 w(platform);
    const QString empty = dir.filePath("empty.txt");
    const QString full = dir.filePath("pm.txt");

    // Before any export the file is empty.
    platform.saveAnswers = {empty};
    QTest::mouseClick(w.Button2, Qt::LeftButton);
    EXPECT_TRUE(QFileInfo::exists(empty));
    EXPECT_EQ(readAll(empty), QByteArray());

    w.setLines({"", "PMM_Curve_Data ", "1.00"});
    platform.saveAnswers = {full, ""};
    w.Button2Click();
    EXPECT_EQ(readAll(full), QByteArray("\r\nPMM_Curve_Data \r\n1.00\r\n"));
    w.Button2Click();  // cancelled: nothing written
    ASSERT_EQ(platform.saveProposals.size(), 3);
    EXPECT_EQ(platform.saveProposals[0], "result.txt");
    EXPECT_EQ(platform.saveProposals[1], empty);
    EXPECT_EQ(platform.saveProposals[2], full);
    EXPECT_EQ(platform.saveFilters[0], QString::fromUtf8("文本文件 (*.txt)"));
    EXPECT_TRUE(platform.errors.isEmpty());
}

TEST(TForm2, SaveFailureIsReportedWithTheFileName) {
    QTemporaryDir dir;
    ScriptedPlatform platform;
    TForm2 w(platform);
    w.setLines({"x"});
    const QString bad = dir.filePath("missing/result.txt");
    platform.saveAnswers = {bad};
    w.Button2Click();
    ASSERT_EQ(platform.errors.size(), 1);
    EXPECT_TRUE(platform.errors[0].startsWith("Cannot create file \"" + bad + "\"")) << platform.errors[0].toStdString();
    EXPECT_EQ(w.lines(), QStringList{"x"});
}

TEST(TForm3, AboutBoxShowsHidesAndOpensTheSite) {
    ScriptedPlatform platform;
    TForm3 w(platform);
    EXPECT_EQ(w.Image1->pixmap().size(), QSize(64, 64));

    w.show();  // returns at once: the box does not block
    EXPECT_TRUE(w.isVisible());
    QTest::mouseClick(w.Label6, Qt::LeftButton);
    ASSERT_EQ(platform.urls.size(), 1);
    EXPECT_TRUE(platform.urls[0].endsWith("tutorial.html"));
    EXPECT_TRUE(w.isVisible());
    QTest::mouseClick(w.Button1, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    w.show();
    EXPECT_TRUE(w.isVisible());
    w.hide();
}

TEST(SavePicture, FormatFollowsTheNameAndDecodesToTheImageSize) {
    QTemporaryDir dir;
    const QImage img = plot();
    struct Case {
        const char* name;
        QByteArray magic;  // the file's first bytes
        bool exact;
    };
    for (const Case& c : {Case{"x.jpg", "\xFF\xD8\xFF", false}, Case{"x.JPEG", "\xFF\xD8\xFF", false},
                          Case{"x.png", "\x89PNG", true}, Case{"x.bmp", "BM", true},
                          Case{"x.pic", "\xFF\xD8\xFF", false}}) {
        const QString path = dir.filePath(c.name);
        SavePicture(img, path, true);
        EXPECT_TRUE(readAll(path).startsWith(c.magic)) << c.name;
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        const QImage back = reader.read();
        ASSERT_FALSE(back.isNull()) << c.name;
        EXPECT_EQ(back.size(), QSize(388, 391)) << c.name;
        const QColor red = back.pixelColor(100, 70);
        EXPECT_GT(red.red(), 240) << c.name;
        EXPECT_LT(red.green(), 15) << c.name;
        if (c.exact) {
            EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), img) << c.name;
        }
    }
}

TEST(SavePicture, RefusesAnUndrawnPlotAndNamesAnUnwritableFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("never.jpg");
    try {
        SavePicture(plot(), path, false);
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_STREQ(e.what(), "The plot has not been drawn yet: there is no picture to save");
    }
    EXPECT_THROW(SavePicture(QImage(), path, true), AppError);
    EXPECT_FALSE(QFileInfo::exists(path));

    const QString bad = dir.filePath("missing/x.jpg");
    try {
        SavePicture(plot(), bad, true);
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_TRUE(QString(e.what()).startsWith("Cannot create file \"" + bad + "\"")) << e.what();
    }
}

TEST(PictureSaveDialog, ProposesThePreviousNameWhicheverPlotUsedIt) {
    QTemporaryDir dir;
    ScriptedPlatform platform;
    PictureSaveDialog dialog;
    const QString first = dir.filePath("pmx.jpg");
    platform.saveAnswers = {first, "", dir.filePath("mm.jpg")};
    EXPECT_TRUE(dialog.save(platform, nullptr, plot(), true));
    EXPECT_FALSE(dialog.save(platform, nullptr, plot(), true));  // cancelled
    QImage mm(391, 391, QImage::Format_RGB32);
    mm.fill(Qt::white);
    EXPECT_TRUE(dialog.save(platform, nullptr, mm, true));
    ASSERT_EQ(platform.saveProposals.size(), 3);
    EXPECT_EQ(platform.saveProposals[0], "");
    EXPECT_EQ(platform.saveProposals[1], first);
    EXPECT_EQ(platform.saveProposals[2], first);
    EXPECT_EQ(platform.saveFilters[0], QString::fromUtf8("JPG图片 (*.jpg);;PNG图片 (*.png);;BMP图片 (*.bmp)"));
    EXPECT_EQ(dialog.lastName(), dir.filePath("mm.jpg"));
    EXPECT_EQ(QImageReader(dir.filePath("mm.jpg")).size(), QSize(391, 391));

    // An undrawn plot is refused before the dialog opens.
    EXPECT_THROW(dialog.save(platform, nullptr, plot(), false), AppError);
    EXPECT_EQ(platform.saveProposals.size(), 3);
}
