// The section's warnings where the window shows them: under the Section
// page's information, after the check's summary, and in the report; the
// page's text stays empty for a section without one.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>

#include "check/ui/pmm_page.h"
#include "support/form_window.h"

using namespace px;

TEST(WarningsShown, SectionPageCheckSummaryAndReport) {
    FormWindow w;
    auto* label = w.form->findChild<QLabel*>("SectionWarnings");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "");

    // A box of 20 mm walls: b/t = (2200 - 3 x 20) / 20 against 2.26 sqrt(215000 / 260).
    const QString warning =
        "Warning: the box wall's b/t = 107.0 is beyond 2.26 sqrt(Es/fy) = 65.0: the wall may buckle locally "
        "before the section reaches its computed strength.";
    w.form->findChild<QLineEdit*>("Edit3")->setText("20");
    w.form->findChild<QLineEdit*>("Edit41")->setText("20");
    w.form->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(5);
    EXPECT_EQ(label->text(), warning);

    w.platform.openAnswers.push_back(w.file("f.csv", "Story,Col,Case,Loc,P,V2,V3,T,M2,M3\r\n1,C1,A,0,-1000,0,0,0,10,20\r\n"));
    w.click(4);
    w.click(19);  // Check Forces
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    // On a line of its own, after the summary and the radial ratio's lines,
    // the label tall enough to show it whole.
    QLabel* summary = w.form->pmmPage()->summary();
    EXPECT_TRUE(summary->text().endsWith("\n" + warning)) << summary->text().toStdString();
    EXPECT_EQ(summary->text().count('\n'), 2);
    EXPECT_GE(summary->height(), summary->heightForWidth(summary->width()));

    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) {
        ADD_FAILURE() << "poppler-utils is not installed";
    } else {
        const QString pdf = w.file("r.pdf");
        w.platform.saveAnswers.push_back(pdf);
        w.form->findChild<QAction*>("AnalysisReport1")->trigger();
        QProcess p;
        p.start("pdftotext", {pdf, "-"});
        p.waitForFinished(30000);
        EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).simplified().contains(warning))
            << w.errors().toStdString();
    }

    // Compact walls again: no text.
    w.form->findChild<QLineEdit*>("Edit3")->setText("40");
    w.form->findChild<QLineEdit*>("Edit41")->setText("40");
    w.click(1);
    EXPECT_EQ(label->text(), "");
}
