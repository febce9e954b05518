// The window on small and scaled screens, the help on its fields, and the
// 3D page's surface on arrival.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>

#include "check/ui/pmm_page.h"
#include "check/ui/surface_view.h"
#include "support/form_window.h"

using namespace px;

namespace {

// The fields and buttons of a page: what a user types into, picks or presses.
QList<QWidget*> Controls(QWidget* page) {
    QList<QWidget*> out;
    for (QWidget* c : page->findChildren<QWidget*>()) {
        const bool field = qobject_cast<QLineEdit*>(c) || qobject_cast<QComboBox*>(c) ||
                           qobject_cast<QAbstractButton*>(c) || c->objectName() == "ScrollBar1";
        if (field && !c->objectName().isEmpty()) out << c;
    }
    return out;
}

void ShowPage(TForm1& form, int i) {
    const QSignalBlocker quiet(form.pages());  // no command runs
    form.pages()->setCurrentIndex(i);
    QApplication::processEvents();
}

}  // namespace

TEST(Screens, EveryFieldAndButtonHasHelpAndTypeFieldsSayWhatTheyMeanForTheType) {
    FormWindow w;
    QComboBox* type = w.form->findChild<QComboBox*>("ComboBox1");
    for (int t = 1; t <= 8; ++t) {
        type->setCurrentIndex(t - 1);
        int controls = 0;
        for (int i = 0; i < w.form->pages()->count(); ++i)
            for (QWidget* c : Controls(w.form->pages()->widget(i))) {
                ++controls;
                EXPECT_FALSE(c->toolTip().isEmpty()) << "type " << t << ", " << c->objectName().toStdString();
            }
        // edits (Edit71, the "Member" group's six and Edit78..80), combo boxes, slider, buttons, "Live"
        EXPECT_EQ(controls, 76 + 1 + 3 + 11 + 1 + 28 + 1) << t;
    }

    // A field whose caption another type reuses says what it means for the
    // type on show; the caption stays.
    const struct {
        int type;
        const char* field;
        const char* starts;
    } meanings[] = {
        {1, "Edit1", "Width B of the section"},
        {2, "Edit1", "Diameter D of the column"},
        {5, "Edit3", "Wall thickness of the steel tube"},
        {6, "Edit3", "Thickness of the left and right walls"},
        {3, "Edit42", "Steel Y-Dir H section: overall depth H"},
        {8, "Edit42", "Outer diameter of the steel pipe (mm)"},
        {8, "Edit44", "Wall thickness of the steel pipe (mm)"},
        {8, "Edit50", "Number of sectors around the steel pipe"},
        {4, "Edit50", "Strips each flange"},
    };
    for (const auto& m : meanings) {
        type->setCurrentIndex(m.type - 1);
        const QString tip = w.form->findChild<QLineEdit*>(m.field)->toolTip();
        EXPECT_TRUE(tip.startsWith(m.starts)) << m.type << " " << m.field << ": " << tip.toStdString();
    }
    type->setCurrentIndex(7);
    EXPECT_EQ(w.form->findChild<QLabel*>("Label50")->text(), "Sec Height H");
    EXPECT_EQ(w.form->findChild<QLabel*>("Label57")->text(), "Pile Mesh Num1");
    EXPECT_TRUE(w.errors().isEmpty()) << w.errors().toStdString();
}

TEST(Screens, EveryControlScrollsIntoViewOnA1366x768ScreenAtEveryScale) {
    FormWindow w;
    // At its own size nothing scrolls: the pages keep their layout.
    w.form->show();
    for (int i = 0; i < w.form->pages()->count(); ++i) {
        ShowPage(*w.form, i);
        auto* area = qobject_cast<QScrollArea*>(w.form->pages()->widget(i));
        ASSERT_NE(area, nullptr) << i;
        EXPECT_FALSE(area->horizontalScrollBar()->isVisible() || area->verticalScrollBar()->isVisible()) << i;
    }

    // 1366 x 768 less a task bar, in logical pixels at each scale factor.
    for (const double factor : {1.0, 1.25, 1.5, 2.0}) {
        const QRect screen(0, 0, qRound(1366 / factor), qRound((768 - 40) / factor));
        w.form->fitToScreen(screen);
        EXPECT_LE(w.form->frameGeometry().width(), screen.width()) << factor;
        EXPECT_LE(w.form->frameGeometry().height(), screen.height()) << factor;
        for (int i = 0; i < w.form->pages()->count(); ++i) {
            ShowPage(*w.form, i);
            auto* area = qobject_cast<QScrollArea*>(w.form->pages()->widget(i));
            QWidget* view = area->viewport();
            for (QWidget* c : area->widget()->findChildren<QWidget*>()) {
                if (!c->isVisibleTo(area->widget()) || c->objectName().isEmpty() ||
                    c->objectName().startsWith("qt_"))
                    continue;
                // Both corners of the control can be brought into view.
                const QPoint at = c->mapTo(area->widget(), QPoint(0, 0));
                for (const QPoint corner : {at, at + QPoint(c->width() - 1, c->height() - 1)}) {
                    area->ensureVisible(corner.x(), corner.y(), 1, 1);
                    EXPECT_TRUE(view->rect().contains(area->widget()->mapTo(view, corner)))
                        << factor << " page " << i << " " << c->objectName().toStdString();
                }
            }
        }
    }
}

TEST(Screens, The3DPageDrawsTheSurfaceOfTheCurrentSectionOnArrival) {
    FormWindow w;
    PmmPage& page = *w.form->pmmPage();
    ASSERT_FALSE(page.picture()->drawn());
    w.form->pages()->setCurrentIndex(6);
    ASSERT_TRUE(w.errors().isEmpty()) << w.errors().toStdString();
    EXPECT_TRUE(page.picture()->drawn());
    EXPECT_EQ(page.picture()->wire().Rings.size(), 19u);  // "Axial Levels" 20: the rings between the ends
    const std::string first = page.surfaceCsv("\n");

    // The surface is current: arriving again runs nothing (a bad force
    // factor goes unread).
    w.form->pages()->setCurrentIndex(5);
    w.form->edit(57)->setText("x");
    w.form->pages()->setCurrentIndex(6);
    EXPECT_TRUE(w.errors().isEmpty()) << w.errors().toStdString();

    // Other levels or another section: arriving draws the surface, through
    // the command and its messages.
    w.form->pages()->setCurrentIndex(5);
    w.form->edit(65)->setText("x");
    w.form->pages()->setCurrentIndex(6);
    EXPECT_EQ(w.errors(), "Axial Levels (PMM_3D_Curve page): 'x' is not a valid integer value.");
    w.platform.errors.clear();
    w.form->pages()->setCurrentIndex(0);
    w.form->edit(1)->setText("1500");
    w.form->pages()->setCurrentIndex(6);
    EXPECT_EQ(w.errors(), "Axial Levels (PMM_3D_Curve page): 'x' is not a valid integer value.");
    w.platform.errors.clear();
    w.form->edit(65)->setText("20");
    w.form->pages()->setCurrentIndex(5);
    w.form->pages()->setCurrentIndex(6);
    EXPECT_TRUE(w.errors().isEmpty()) << w.errors().toStdString();
    EXPECT_EQ(page.picture()->wire().Rings.size(), 19u);
    EXPECT_NE(page.surfaceCsv("\n"), first);
}
