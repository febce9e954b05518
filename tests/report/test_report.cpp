// The "Analysis Report" PDF through the real window and pillarix-batch: its
// pages and texts read back with poppler's pdfinfo and pdftotext, the check
// part, and failures that leave no file.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>
#include <vector>

#include "app/ui/tform1.h"
#include "check/capacity_check.h"
#include "check/ui/pmm_page.h"
#include "batch/ui/batch_runner.h"
#include "input/numbers.h"
#include "output/ui/tform2.h"
#include "report/ui/report_data.h"
#include "support/scripted_platform.h"

using namespace px;

namespace {

bool PopplerMissing() {
    return QStandardPaths::findExecutable("pdfinfo").isEmpty() ||
           QStandardPaths::findExecutable("pdftotext").isEmpty();
}

QString RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int PageCount(const QString& pdf) {
    const auto m = QRegularExpression("Pages:\\s+(\\d+)").match(RunTool("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The document's text with every run of white space made one space.
QString Text(const QString& pdf) { return RunTool("pdftotext", {"-layout", pdf, "-"}).simplified(); }

struct Window {
    ScriptedPlatform platform;
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>(&platform);
    QTemporaryDir dir;

    QString path(const QString& name) const { return dir.filePath(name); }
    void report(const QString& answer) {
        platform.saveAnswers.push_back(answer);
        form->findChild<QAction*>("AnalysisReport1")->trigger();
    }
    QString errors() const { return platform.errors.join(" | "); }
    void importForces() {
        const QString csv = path("forces.csv");
        QFile f(csv);
        f.open(QIODevice::WriteOnly);
        f.write("Story,Col,Case,Loc,P,V2,V3,T,M2,M3\r\n");
        for (int i = 1; i <= 30; ++i)
            f.write(QString("1,C1,L%1,0,%2,0,0,0,%3,%4\r\n").arg(i).arg(-100.0 * i).arg(7.0 * i).arg(-11.0 * i).toUtf8());
        f.close();
        platform.openAnswers.push_back(csv);
        form->Button4Click();
    }
};

}  // namespace

TEST(AnalysisReport, DefaultColumnPagesAndTexts) {
    Window w;
    // What the window shows for the same fields.
    w.form->Button2Click();
    w.form->Button5Click();
    const QStringList pmLines = w.form->resultWindow()->lines();
    const Workspace& ws = w.form->workspace();

    const QString pdf = w.path("column report.pdf");
    w.report(pdf);
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    EXPECT_EQ(w.platform.saveFilters.value(0), "PDF (*.pdf)");
    EXPECT_EQ(w.platform.saveProposals.value(0), "column.pdf");
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_TRUE(QFile(pdf).open(QIODevice::ReadOnly));
    if (PopplerMissing()) GTEST_SKIP() << "pdfinfo / pdftotext not installed";

    EXPECT_TRUE(RunTool("pdfinfo", {pdf}).contains("(A4)"));
    const int pages = PageCount(pdf);
    ASSERT_GE(pages, 3);
    const QString text = Text(pdf);
    const QString expected[] = {
        "Page 1 of " + QString::number(pages),
        QString("Page %1 of %1").arg(pages),
        "Project Untitled",
        "Section type Rect Column",
        "Sec Width B " + w.form->edit(1)->text(),
        "X-Dir Rebar (Diameter) " + w.form->edit(7)->text(),
        "Gross Area (mm2) " + w.form->edit(36)->text(),
        "Conc Area (mm2) " + w.form->edit(31)->text(),
        "Rebar Area (mm2) " + w.form->edit(37)->text(),
        "Steel Area (mm2) " + w.form->edit(38)->text(),
        "Cover Concrete",
        "Rebar Material",
        "PMax " + QString::fromStdString(F2(ws.PMax)) + " kN",
        pmLines.value(6).simplified(),  // the first P-M row
        "Axial_Force_P = 0.00",
        "Axial_P Moment_Mx Axial_P Moment_My (kN) (kNm) (kN) (kNm)",
        "Moment_Mx Moment_My (kNm) (kNm)",
    };
    for (const QString& e : expected) EXPECT_TRUE(text.contains(e)) << e.toStdString();
    EXPECT_FALSE(text.contains("Steel Section Material"));  // not in this section
    EXPECT_FALSE(text.contains("Forces"));                  // none imported
}

TEST(AnalysisReport, ForcesAndTheCheckOfTheCurrentSection) {
    Window w;
    w.form->workspace().ProjectPath = w.path("tower c7.pxc").toStdString();
    w.importForces();
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    // The window's own check: its summary line is the report's.
    w.form->pmmPage()->checkForces();
    ASSERT_TRUE(w.form->workspace().Check.has_value()) << w.errors().toStdString();
    const QString line = QString::fromStdString(CheckSummaryLine(*w.form->workspace().Check));
    EXPECT_TRUE(line.startsWith("Passed 30 of 30; governing case 30, ratio 0.")) << line.toStdString();
    w.report(w.path("window check.pdf"));
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    if (!PopplerMissing()) {
        const QString text = Text(w.path("window check.pdf"));
        EXPECT_TRUE(text.contains(line));
        // The radial ratio's line follows, its column beside Status.
        EXPECT_TRUE(text.contains(QString::fromStdString(CheckRadialLine(*w.form->workspace().Check))));
        EXPECT_TRUE(text.contains("Status Radial Ratio")) << text.toStdString();
    }

    // A check result as the check command leaves it: 30 rows, case 30 governs.
    CheckResult check;
    for (int i = 1; i <= 30; ++i) {
        CheckRow r;
        r.Case = i;
        r.P = 100.0 * i, r.Mx = -11.0 * i, r.My = 7.0 * i;
        r.Capacity = 900.0;
        r.Ratio = i / 25.0;
        check.Rows.push_back(r);
        check.Passed += r.ok();
    }
    check.Governing = 29;
    w.form->workspace().Check = check;

    struct Case {
        bool stale;
        bool shown;
    };
    for (const Case c : {Case{false, true}, Case{true, false}}) {
        // Another section type from the menu (whose combo change is silent)
        // makes the check one of other inputs.
        if (c.stale) w.form->N20Click();
        const QString pdf = w.path(c.stale ? "stale.pdf" : "checked.pdf");
        w.report(pdf);
        ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
        EXPECT_EQ(w.platform.saveProposals.value(0), w.path("tower c7.pdf"));
        if (PopplerMissing()) GTEST_SKIP() << "pdfinfo / pdftotext not installed";
        const QString text = Text(pdf);
        EXPECT_TRUE(text.contains("Project tower c7.pxc"));
        EXPECT_TRUE(text.contains("Load combinations 30"));
        EXPECT_TRUE(text.contains("Case P (kN) Mx (kNm) My (kNm) N,max 3000 -330 210")) << "summary grid";
        EXPECT_TRUE(text.contains("Factor P 1.0 Factor Mx 1.0 Factor My 1.0"));  // as typed
        EXPECT_EQ(text.contains("Capacity check left out: the inputs changed after it was run; run Check Forces again."),
                  c.stale);
        EXPECT_EQ(text.contains("Passed 25 of 30; governing case 30, ratio 1.2000"), c.shown);
        EXPECT_EQ(text.contains("30 3000.00 -330.00 210.00 900.00 1.2000 NG"), c.shown);
        EXPECT_EQ(text.contains("20 highest ratios of 30 combinations; 10 others"), c.shown);
        EXPECT_FALSE(text.contains(" 10 1000.00 -110.00"));  // ranked 21st: not listed
    }
}

TEST(AnalysisReport, FailuresWriteNoFile) {
    struct Case {
        const char* name;
        int edit;        // field set to `text` first (0: none)
        QString text;
        QString target;  // relative to the temporary folder
        QString message;
        bool asked;      // the save dialog was shown
    };
    const Case cases[] = {
        {"bad field", 1, "12a", "r.pdf", "Sec Width B (Section page): '12a' is not a valid floating point value", false},
        {"bad P-M setting", 33, "x", "r.pdf", "Axial Force Division Points (PM Curve page): 'x' is not a valid integer value", false},
        {"missing folder", 0, {}, "no/such/folder/r.pdf", "Cannot create file", true},
        {"folder is a file", 0, {}, "plain.txt/r.pdf", "Cannot create file", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Window w;
        QFile plain(w.path("plain.txt"));
        plain.open(QIODevice::WriteOnly);
        plain.close();
        if (c.edit) w.form->edit(c.edit)->setText(c.text);
        const QString target = w.path(c.target);
        w.report(target);
        ASSERT_EQ(w.platform.errors.size(), 1);
        EXPECT_TRUE(w.platform.errors[0].contains(c.message)) << w.errors().toStdString();
        EXPECT_EQ(w.platform.saveProposals.size(), c.asked ? 1 : 0);
        EXPECT_FALSE(QFile::exists(target));
        EXPECT_EQ(QDir(w.dir.path()).entryList(QDir::Files), QStringList{"plain.txt"});  // no temporary left
    }
}

TEST(AnalysisReport, HighestRatiosPutCasesWithoutCapacityFirstAndKeepTheGoverningOne) {
    // Ratios by row; -1 for "n/a". The report lists at most 20.
    struct Case {
        const char* what;
        std::vector<double> ratios;
        std::vector<int> first;  // the leading indices expected
    };
    std::vector<double> rising(25), level(25, 0.5), lateNa(25), manyNa(25, -1);
    for (int i = 0; i < 25; ++i) rising[i] = lateNa[i] = 0.01 * (i + 1);
    lateNa[23] = -1;
    manyNa[2] = 3.0;
    const Case cases[] = {
        {"the largest ratio last in the file", rising, {24, 23, 22}},
        {"all equal: file order", level, {0, 1, 2}},
        {"one n/a near the end", lateNa, {23, 24, 22}},
        {"n/a in most rows, in file order before the largest ratio", manyNa, {0, 1, 3}},
    };
    for (const Case& c : cases) {
        CheckResult r;
        for (size_t i = 0; i < c.ratios.size(); ++i) {
            CheckRow row;
            row.Case = static_cast<int>(i) + 1;
            if (c.ratios[i] >= 0) row.Ratio = c.ratios[i];
            r.Rows.push_back(row);
        }
        TallyCheck(r);
        const std::vector<int> top = HighestRatios(r, 20);
        ASSERT_EQ(top.size(), 20u) << c.what;
        EXPECT_EQ(top.front(), r.Governing) << c.what;
        EXPECT_EQ(std::vector<int>(top.begin(), top.begin() + 3), c.first) << c.what;
        // Every case without a capacity comes before every case with one.
        const auto firstWith = std::find_if(top.begin(), top.end(), [&](int i) { return r.Rows[i].Ratio.has_value(); });
        EXPECT_TRUE(std::all_of(firstWith, top.end(), [&](int i) { return r.Rows[i].Ratio.has_value(); })) << c.what;
    }
}

TEST(AnalysisReport, Batch) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("c7.pdf");
    std::string out, err;
    EXPECT_EQ(RunBatch({"ComboBox1=1", "report=" + pdf}, out, err), kBatchOk) << err;
    EXPECT_EQ(out, "");
    ASSERT_TRUE(QFile::exists(pdf));
    const QString bad = dir.filePath("bad.pdf");
    EXPECT_EQ(RunBatch({"Edit1=abc", "report=" + bad}, out, err), kBatchFailed);
    EXPECT_FALSE(QFile::exists(bad));
    if (PopplerMissing()) GTEST_SKIP() << "pdfinfo / pdftotext not installed";
    EXPECT_TRUE(Text(pdf).contains("Section type Circular Column"));
}

// Page layout with forces: a table continued on the next page repeats its
// header (the check's rows, the Mx-My rows), the P-M plots keep their
// capacities' line, and the factors read as typed.
TEST(AnalysisReport, ContinuedTablesRepeatTheirHeadersAndCaptionsStayWithTheirPlots) {
    QTemporaryDir dir;
    const QString csv = dir.filePath("forces.csv");
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Story,Col,Case,Loc,P,V2,V3,T,M2,M3\r\n");
    for (int i = 1; i <= 30; ++i)
        f.write(QString("1,C1,L%1,0,%2,0,0,0,%3,%4\r\n").arg(i).arg(-100.0 * i).arg(7.0 * i).arg(-11.0 * i).toUtf8());
    f.close();
    struct Case {
        QStringList fields;
        bool checkSplit;  // the check's rows start on one page and end on the next
    };
    const Case cases[] = {
        {{"Edit35=48", "Edit58=1.125", "Edit59=0.0001"}, true},
        {{"ComboBox1=6", "Edit58=1.125", "Edit59=0.0001"}, false},  // type 7: P-M plots near a page end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fields.join(' ').toStdString());
        const QString pdf = dir.filePath("r.pdf");
        std::string out, err;
        ASSERT_EQ(RunBatch(c.fields + QStringList{"import=" + csv, "check", "report=" + pdf}, out, err), kBatchOk)
            << err;
        if (PopplerMissing()) GTEST_SKIP() << "pdfinfo / pdftotext not installed";
        const QStringList pages = RunTool("pdftotext", {"-layout", pdf, "-"}).split('\f');
        const QRegularExpression checkRow(" \\d+\\.\\d{4} (OK|NG)"),
            mmRow("^ *-?\\d+\\.\\d\\d +-?\\d+\\.\\d\\d *$",
                                                  QRegularExpression::MultilineOption);
        int checkPages = 0, mmPages = 0;
        for (int i = 0; i < pages.size(); ++i) {
            const QString page = pages[i].simplified();
            if (checkRow.match(page).hasMatch()) {
                ++checkPages;
                EXPECT_TRUE(page.contains("Case P (kN) Mx (kNm) My (kNm) Capacity (kNm) Ratio Status Radial Ratio")) << "page " << i + 1;
            }
            if (mmRow.match(pages[i]).hasMatch()) {
                ++mmPages;
                EXPECT_TRUE(page.contains("Moment_Mx Moment_My (kNm) (kNm)")) << "page " << i + 1;
            }
            if (page.contains("X Direction PM Curve")) {
                EXPECT_TRUE(page.contains("PMax ")) << "page " << i + 1;
            }
        }
        EXPECT_EQ(checkPages, c.checkSplit ? 2 : 1);
        EXPECT_GE(mmPages, 2);
        const QString text = pages.join(' ').simplified();
        EXPECT_TRUE(text.contains("Factor Mx 1.125 Factor My 0.0001"));
    }
}

TEST(AnalysisReport, EachSectionTypeListsItsPanelsCaptionsWithTheDrawing) {
    struct Case {
        int type;
        QStringList shown;
        QString absent;
    };
    const Case cases[] = {
        {0, {"Sec Width B 2200", "Corner Rebar (Num) 1"}, "(Steel"},
        {1, {"Diameter D 2200", "Rebar (Diameter) 25"}, "Sec Height H"},
        {2, {"Sec Widht B 2200", "Web Thick tw (Steel X-Dir) 20", "Web Mesh Num 6"}, "Pipe"},
        {3, {"Sec Width B 2200", "Web Thick tw (Steel Y-Dir) 20"}, "Steel X-Dir"},
        {4, {"Diameter D 2200", "Thickness tw 40", "Mesh Num 2 12"}, "Cover as"},
        {5, {"X-Dir Thickness 40", "Y-Dir Thickness 40"}, "Rebar ("},
        {6, {"Diameter D 2200", "Flange Thick tf (Steel X-Dir) 60"}, "Corner"},
        {7, {"Coner Rebar (Num) 1", "Sec Height H (Pipe) 1600", "Pile Mesh Num2 6"}, "Steel Y-Dir"},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE("ComboBox1=" + std::to_string(c.type));
        const QString pdf = dir.filePath(QString("t%1.pdf").arg(c.type));
        std::string out, err;
        ASSERT_EQ(RunBatch({"ComboBox1=" + QString::number(c.type), "report=" + pdf}, out, err), kBatchOk) << err;
        if (PopplerMissing()) GTEST_SKIP() << "pdfinfo / pdftotext not installed";
        const QString first = RunTool("pdftotext", {"-layout", "-f", "1", "-l", "1", pdf, "-"}).simplified();
        for (const QString& s : c.shown) EXPECT_TRUE(first.contains(s)) << s.toStdString();
        EXPECT_FALSE(first.contains(c.absent)) << c.absent.toStdString();
        // The drawing and the section information share the fields' page.
        EXPECT_TRUE(first.contains("NFib = ")) << first.toStdString();
        EXPECT_TRUE(first.contains("Section Information"));
    }
}

// A current M-Phi curve gets its page with the key values; once a field it
// reads changes, the report only names it stale.
TEST(AnalysisReport, MomentCurvaturePageCurrentOrStale) {
    if (PopplerMissing()) GTEST_SKIP() << "pdfinfo / pdftotext not installed";
    QTemporaryDir dir;
    const QString current = dir.filePath("current.pdf"), stale = dir.filePath("stale.pdf");
    std::string out, err;
    ASSERT_EQ(RunBatch({"Edit68=10", "mphi", "report=" + current, "Edit66=1000", "report=" + stale}, out, err),
              kBatchOk)
        << err;
    const QString keys = QString::fromStdString(out.substr(out.find("My = "))).simplified();
    const QString a = Text(current), b = Text(stale);
    EXPECT_TRUE(a.contains("5 Moment-Curvature")) << a.right(600).toStdString();
    EXPECT_TRUE(a.contains(keys)) << keys.toStdString();
    EXPECT_TRUE(b.contains("is stale")) << b.right(300).toStdString();
    EXPECT_FALSE(b.contains("phi_u ="));
}

// A custom section's report names its file, mesh and centroid beside the drawing.
TEST(AnalysisReport, ACustomSectionListsItsSourceAndCentroid) {
    QTemporaryDir dir;
    const QString sec = dir.filePath("lhole.sec");
    {
        QFile f(sec);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("cover 0 0 600 0 600 200 200 200 200 600 0 600\nhole 50 50 150 50 150 150 50 150\n"
                "bar 560 160 20\nbar 40 560 20\n");
    }
    const QString pdf = dir.filePath("custom.pdf");
    std::string out, err;
    ASSERT_EQ(RunBatch({"loadsection=" + sec, "report=" + pdf}, out, err), kBatchOk) << err;
    if (PopplerMissing()) GTEST_SKIP() << "pdfinfo / pdftotext not installed";
    const QString first = RunTool("pdftotext", {"-layout", "-f", "1", "-l", "1", pdf, "-"}).simplified();
    for (const char* s : {"Custom Section", "Section File lhole.sec", "Mesh Size (mm) 12.50",
                          "Centroid x in the drawing (mm) 226.32", "Centroid y in the drawing (mm) 226.32",
                          "NFib = 1218", "190000"})
        EXPECT_TRUE(first.contains(s)) << s << "\n" << first.toStdString();
}
