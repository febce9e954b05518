// Long solves in the real main window: Esc stops them and leaves the window
// as it was; nothing else reacts while they run.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <cstring>

#include "app/ui/tform1.h"
#include "common/ui/long_command.h"
#include "support/scripted_platform.h"

using namespace px;

namespace {

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

struct Window {
    ScriptedPlatform platform;
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>(&platform);
    QPushButton* button(int n) { return form->findChild<QPushButton*>(QString("Button%1").arg(n)); }
    void click(int n) { QTest::mouseClick(button(n), Qt::LeftButton); }
    void type(int n, const QString& text) { form->edit(n)->setText(text); }
    QProgressBar* bar(int n) { return form->findChild<QProgressBar*>(QString("ProgressBar%1").arg(n)); }
};

TEST(LongCommand, OnlyEscAndTheAllowedWidgetGetThrough) {
    QWidget window;
    auto* other = new QPushButton("Other", &window);
    auto* allowed = new QPushButton("Cancel", &window);
    int otherClicks = 0, allowedClicks = 0;
    QObject::connect(other, &QPushButton::clicked, [&] { ++otherClicks; });
    QObject::connect(allowed, &QPushButton::clicked, [&] { ++allowedClicks; });
    other->setGeometry(10, 10, 80, 25);
    allowed->setGeometry(100, 10, 80, 25);
    window.resize(200, 50);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // A click as the window system brings it: to the top-level window first.
    auto windowClick = [&](QWidget* w) {
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier, w->geometry().center());
    };
    {
        LongCommand lc(&window, allowed);
        EXPECT_EQ(LongCommand::current(), &lc);
        QTest::mouseClick(other, Qt::LeftButton);
        QTest::mouseClick(allowed, Qt::LeftButton);
        windowClick(other);
        windowClick(allowed);
        QTest::keyClick(other, Qt::Key_Space);
        EXPECT_FALSE(window.close());
        EXPECT_FALSE(lc.cancelled());
        QTest::keyClick(&window, Qt::Key_Escape);
        EXPECT_TRUE(lc.cancelled());
        // The solver reads the stop through the options it is given.
        EXPECT_TRUE(CancelRequested(lc.options().cancel));
    }
    EXPECT_FALSE(LongCommand::active());
    EXPECT_EQ(otherClicks, 0);
    EXPECT_EQ(allowedClicks, 2);
    QTest::mouseClick(other, Qt::LeftButton);
    windowClick(other);
    EXPECT_EQ(otherClicks, 2);
    EXPECT_TRUE(window.close());
}

TEST(LongCommand, EscStopsASolveAndLeavesTheWindowAsItWas) {
    struct Case {
        const char* what;
        int button, bar;
        std::vector<std::pair<int, QString>> fields;  // the last makes the solve long
    };
    const Case cases[] = {
        // A finer mesh redraws the section before the solve starts.
        {"Show PM Curve", 2, 1, {{12, "20"}, {53, "1000000"}}},
        // The axial force is stored before the solve starts.
        {"Gen MM Curve", 7, 2, {{30, "30000"}, {62, "1000000"}}},
    };
    for (const Case& c : cases) {
        Window w;
        w.click(7);  // an Mx-My curve to keep; its bar is left at 100
        ASSERT_TRUE(w.platform.errors.isEmpty()) << c.what;
        const Workspace before = w.form->workspace();
        const QString width = w.form->edit(1)->text();
        std::vector<QImage> pictures;
        for (int n = 1; n <= 11; ++n) pictures.push_back(w.form->imageBox(n)->image().copy());
        for (const auto& [n, text] : c.fields) w.type(n, text);

        std::vector<int> barValues;
        QObject::connect(w.bar(c.bar), &QProgressBar::valueChanged,
                         [&](int v) { barValues.push_back(v); });
        QTimer::singleShot(150, [&] {
            // Typing, another command by click or by a direct call: none of
            // them reaches the window while the solve runs.
            QTest::keyClicks(w.form->edit(1), "9");
            w.click(1);
            w.click(c.button == 2 ? 7 : 2);
            w.form->Button1Click();
            QTest::keyClick(w.form.get(), Qt::Key_Escape);
        });
        QElapsedTimer clock;
        clock.start();
        w.click(c.button);
        EXPECT_LT(clock.elapsed(), 5000) << c.what;

        const Workspace& after = w.form->workspace();
        EXPECT_TRUE(w.platform.errors.isEmpty()) << c.what << ": " << w.platform.errors.join(" | ").toStdString();
        EXPECT_EQ(w.form->statusBar()->currentMessage(), "Cancelled") << c.what;
        EXPECT_EQ(w.form->edit(1)->text(), width) << c.what;
        EXPECT_EQ(after.Input.B, before.Input.B) << c.what;
        EXPECT_EQ(after.Input.MeshX, before.Input.MeshX) << c.what;
        EXPECT_EQ(after.Fibers.NFib, before.Fibers.NFib) << c.what;
        EXPECT_TRUE(SameBits(after.PM.PX, before.PM.PX) && SameBits(after.PM.MY, before.PM.MY)) << c.what;
        EXPECT_TRUE(SameBits(after.MM.Mx, before.MM.Mx) && SameBits(after.MM.My, before.MM.My)) << c.what;
        EXPECT_EQ(after.MMPointCount, before.MMPointCount) << c.what;
        EXPECT_EQ(after.MMAxialForce, before.MMAxialForce) << c.what;
        EXPECT_EQ(after.PMax, before.PMax) << c.what;
        for (int n = 1; n <= 11; ++n) {
            EXPECT_TRUE(w.form->imageBox(n)->image() == pictures[n - 1]) << c.what << ", Image" << n;
        }
        if (c.bar == 2) {  // left at 100 by the last curve, the bar restarts at 0
            ASSERT_FALSE(barValues.empty());
            EXPECT_EQ(barValues.front(), 0);
        }
        EXPECT_EQ(w.bar(c.bar)->value(), 0) << c.what;

        // The window works again, and the next long command clears the status.
        w.type(c.fields.back().first, "100");
        w.click(c.button);
        EXPECT_TRUE(w.platform.errors.isEmpty()) << c.what;
        EXPECT_TRUE(w.form->statusBar()->currentMessage().isEmpty()) << c.what;
        EXPECT_EQ(w.form->workspace().Input.MeshX, c.button == 2 ? 20 : before.Input.MeshX) << c.what;
    }
}

}  // namespace
