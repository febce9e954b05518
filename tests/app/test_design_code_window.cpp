// The "Design Code" group on the real window: a code disables the
// material-law boxes and draws the design curve; a code that does not apply
// is refused with the message and leaves the curves as they were.
#include <gtest/gtest.h>

#include <QComboBox>

#include "app/ui/tform1.h"
#include "support/form_window.h"

using namespace px;

TEST(DesignCodeWindow, LawBoxesFollowTheCodeAndARefusedCodeChangesNothing) {
    FormWindow w;
    QComboBox* code = w.form->findChild<QComboBox*>("ComboBox9");
    QComboBox* cover = w.form->findChild<QComboBox*>("ComboBox2");
    ASSERT_TRUE(code && cover);
    const QString help = cover->toolTip();
    EXPECT_TRUE(cover->isEnabled());
    code->setCurrentIndex(1);
    EXPECT_FALSE(cover->isEnabled());
    EXPECT_TRUE(cover->toolTip().startsWith("Disabled: the design code's own law applies")) << cover->toolTip().toStdString();
    EXPECT_TRUE(cover->toolTip().endsWith(help));

    // ACI 318-19 on the default column: the design curve tops out at the cap.
    w.click(2);
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    const Workspace& ws = w.form->workspace();
    ASSERT_FALSE(ws.Design.X.empty());
    EXPECT_EQ(ws.Design.X.back().P, ws.Design.cap);
    // Po of the code: the bars' concrete is net (the other pages keep the
    // fields' capacity, 27.5 x 4840000 + 330 x 49062.5).
    EXPECT_EQ(ws.PMax, 149290.625);
    const double po = (0.85 * 27.5 * (4840000 - 49062.5) + 330 * 49062.5) / 1000;
    EXPECT_NEAR(ws.Design.cap, 0.65 * 0.80 * po, 1e-9 * po);
    const PMCurve before = ws.PM;

    // AISC 360-16 on a Rect Column: refused, naming the code and the type.
    code->setCurrentIndex(3);
    w.click(2);
    ASSERT_EQ(w.platform.errors.size(), 1);
    EXPECT_TRUE(w.errors().contains("AISC 360-16")) << w.errors().toStdString();
    EXPECT_TRUE(w.errors().contains("\"Rect Column\"")) << w.errors().toStdString();
    EXPECT_EQ(ws.PM.PX, before.PX);
    EXPECT_EQ(ws.PM.MX, before.MX);

    code->setCurrentIndex(0);
    EXPECT_TRUE(cover->isEnabled());
    EXPECT_EQ(cover->toolTip(), help);
}
