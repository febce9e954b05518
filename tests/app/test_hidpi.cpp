// The window at a device pixel ratio of 2 (QT_SCALE_FACTOR=2, offscreen):
// each picture shows a drawing made at twice its size, while the saved files
// and the readouts are those of the window at ratio 1.
#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QTabWidget>
#include <QTimer>
#include <QDialog>
#include <QScreen>
#include "common/ui/platform.h"

#include "check/ui/pmm_page.h"
#include "check/ui/surface_view.h"
#include "input/numbers.h"
#include "support/form_window.h"

using namespace px;

namespace {

// Before the test's QApplication exists.
const bool kScaled = qputenv("QT_SCALE_FACTOR", "2");

// Runs pillarix-batch at a display scale ("" for ratio 1); returns its exit
// status.
int BatchAt(const QString& scale, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_SCALE_FACTOR");
    if (!scale.isEmpty()) env.insert("QT_SCALE_FACTOR", scale);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(PILLARIX_BINARY_DIR "/pillarix-batch"), args);
    if (!p.waitForFinished(120000)) return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

int BatchAt1x(const QStringList& args) { return BatchAt("", args); }

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void MoveMouse(QWidget* w, QPoint pt) {
    QMouseEvent e(QEvent::MouseMove, QPointF(pt), QPointF(w->mapToGlobal(pt)), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

}  // namespace

TEST(HighDpi, PicturesArePaintedAtTheRatioSavedAndReadAsAt1x) {
    ASSERT_TRUE(kScaled);
    ASSERT_EQ(qApp->devicePixelRatio(), 2);
    FormWindow w;
    w.form->show();
    // Materials, reference, Mx-My and M-Phi (which computes on arrival).
    for (int page : {1, 2, 4, 7}) w.form->pages()->setCurrentIndex(page);
    w.click(18);  // the 3D surface
    ASSERT_TRUE(w.errors().isEmpty()) << w.errors().toStdString();

    for (int n = 1; n <= 13; ++n) {
        const ImageBox* box = w.form->imageBox(n);
        EXPECT_EQ(box->screenImage().devicePixelRatio(), 2) << n;
        EXPECT_EQ(box->screenImage().size(), box->image().size() * 2) << n;
        // Drawn anew at the ratio, not the picture enlarged.
        EXPECT_NE(box->screenImage(), box->image().scaled(box->image().size() * 2)) << n;
    }
    // The same drawing at the same logical places: the blue zero-force line
    // of the P-M chart at logical row 317.
    const QImage& pm = w.form->imageBox(2)->screenImage();
    for (int y : {632, 635}) EXPECT_EQ(pm.pixel(200, y) & 0xFFFFFF, 0x0000FFu) << y;

    // Saved files are the 1x window's, byte for byte.
    const struct {
        int button;
        const char* image;
        const char* command;
        const char* file;
    } saves[] = {{16, "Image2", "pm", "x.png"},
                 {17, "Image3", "pm", "y.bmp"},
                 {14, "Image5", "mm", "mm.jpg"},
                 {21, "Image12", "surface", "pmm.png"},
                 {26, "Image13", "mphi", "mphi.png"}};
    for (const auto& s : saves) {
        const QString at2 = w.file(QString("2x-") + s.file), at1 = w.file(QString("1x-") + s.file);
        w.platform.saveAnswers.push_back(at2);
        w.click(s.button);
        ASSERT_EQ(BatchAt1x({s.command, QString("save=%1:%2").arg(s.image, at1)}), 0) << s.image;
        EXPECT_FALSE(Bytes(at2).isEmpty()) << s.image;
        EXPECT_TRUE(Bytes(at2) == Bytes(at1)) << s.image;
    }
    ASSERT_TRUE(w.errors().isEmpty()) << w.errors().toStdString();

    // The M-Phi chart saved by the batch at the other usual scales.
    const QByteArray mphi1x = Bytes(w.file("1x-mphi.png"));
    for (const char* scale : {"1.25", "1.5", "2"}) {
        const QString at = w.file(QString("mphi-%1.png").arg(scale));
        ASSERT_EQ(BatchAt(scale, {"Edit66=0", "mphi", "save=Image13:" + at}), 0) << scale;
        EXPECT_TRUE(Bytes(at) == mphi1x) << scale;
    }

    // Readouts map logical points as at 1x: M = lo + (hi - lo) x (x - 50) /
    // 314, P = hi - (hi - lo) x (y - 20) / 335.
    const PMPlotScale& sc = w.form->workspace().PMScale;
    auto text = [](const PMPlotScaleSet& s, QPoint p, const char* m) {
        const double M = s.MAxisMin + (s.MAxisMax - s.MAxisMin) * (p.x() - 50) / 314;
        const double P = s.PAxisMax - (s.PAxisMax - s.PAxisMin) * (p.y() - 20) / 335;
        return QString::fromStdString("P = " + F0(P) + " , " + m + " = " + F0(M));
    };
    const struct {
        int image;
        QPoint at;
        const char* label;
        QString text;
    } readouts[] = {{2, {207, 317}, "Label68", text(sc.X, {207, 317}, "MX")},
                    {3, {364, 355}, "Label69", text(sc.Y, {364, 355}, "MY")},
                    {4, {207, 317}, "Label74", text(sc.X, {207, 317}, "M")}};
    for (const auto& r : readouts) {
        MoveMouse(w.form->imageBox(r.image), r.at);
        EXPECT_EQ(w.form->findChild<QLabel*>(r.label)->text(), r.text) << r.image;
    }
}

TEST(HighDpi, FileDialogsFitTheScreen) {
    // The real dialogs on a screen of 400 x 400 pixels at this ratio (800 x
    // 800 device pixels): each one whole on it, as on a 768-pixel screen.
    QtPlatformServices real;
    QWidget parent;
    parent.show();
    const QRect room = parent.screen()->availableGeometry();
    ASSERT_LE(room.height(), 400);
    const std::function<void()> opens[] = {
        [&] { real.saveFile(&parent, "Save File As", "Pillarix project (*.pxc)", "pxc", "a.pxc"); },
        [&] { real.openFile(&parent, "Import Force Data(CSV File)"); },
        [&] { real.openFileOfType(&parent, "Open File", "Pillarix project (*.pxc)"); },
    };
    for (const auto& open : opens) {
        QRect seen;
        QTimer closer;  // until the dialog is up
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                seen = d->frameGeometry();
                d->reject();
            }
        });
        closer.start(20);
        open();
        ASSERT_FALSE(seen.isEmpty());
        EXPECT_LE(seen.height(), room.height());
        EXPECT_LE(seen.width(), room.width());
    }
}
