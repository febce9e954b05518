// The check of a slender member by the general method: each row's moments
// magnified by the member's second-order analysis against the secant
// formula, double curvature, a member that buckles or cannot carry its end
// moments, "None" untouched; and the check table's member columns in the
// real window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QAction>
#include <QComboBox>
#include <QProcess>
#include <QStandardPaths>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableView>
#include <cmath>
#include <numbers>

#include "analysis/default_column.h"
#include "check/capacity_check.h"
#include "check/column_request.h"
#include "check/member_check.h"
#include "check/projection.h"
#include "input/numbers.h"
#include "check/ui/pmm_page.h"
#include "input/error.h"
#include "support/form_window.h"

using namespace px;

namespace {

constexpr double kPi = std::numbers::pi;

// A 400 x 600 steel box (walls 20 and 25) with concrete of no strength and
// a yield strength so high that the steel stays elastic up to the strain
// limit 0.0035.
pxtest::Column ElasticBox() {
    MapFields f;
    f.texts = {{"Edit1", "400"}, {"Edit2", "600"}, {"Edit3", "20"},  {"Edit41", "25"},
               {"Edit12", "10"}, {"Edit13", "40"}, {"Edit18", "0"}, {"Edit29", "5000"}};
    return pxtest::MeshedColumn(5, &f);
}

struct Box {
    pxtest::Column c = ElasticBox();
    double EIx = 0, EIy = 0, EA = 0;  // N mm2, N
    Box() {
        for (int i = 1; i <= c.t.NFib; ++i) {
            const Fiber& f = c.t[i];
            if (f.MatId != MatSteelSection) continue;
            EA += f.Es * f.Area;
            EIx += f.Es * f.Area * f.Y * f.Y;
            EIy += f.Es * f.Area * f.X * f.X;
        }
    }
    double squash() const { return EA * 0.0035 / 1000; }
    // Section's moment at the strain limit at P, kNm, about x.
    double MelX(double P) const { return EIx * (0.0035 - P * 1000 / EA) / (c.in.H / 2) / 1e6; }
    double Pe(double EI, double l) const { return kPi * kPi * EI / (l * l) / 1000; }
};

MemberSettings Member(double L, double kx = 1, double ky = 1, double bow = 0) {
    MemberSettings s;
    s.length = L;
    s.kx = kx;
    s.ky = ky;
    s.bow = bow;
    return s;
}

CheckResult Check(const Box& b, const std::vector<LoadCombination>& rows, std::optional<MemberSettings> member) {
    LoadCombinationTable t;
    for (const LoadCombination& r : rows) t.Items.push_back(r);
    t.Count = static_cast<int>(rows.size());
    CheckRequest req{pxtest::SectionOf(b.c), &t};
    req.Member = member;
    return RunCapacityCheck(req);
}

LoadCombination Force(double P, double Mx, double My, std::optional<double> MxOther = {},
                      std::optional<double> MyOther = {}) {
    LoadCombination c;
    c.P = P, c.Mx = Mx, c.My = My, c.MxOther = MxOther, c.MyOther = MyOther;
    return c;
}

}  // namespace

// Equal end moments, no bow, on the elastic box: each axis's largest moment
// is M sec((pi/2) sqrt(P/Pe)) with its own k; the check then takes the
// magnified moments on the same ray as a check of those moments would.
TEST(MemberCheck, ElasticMemberFollowsTheSecantFormula) {
    const Box b;
    const double L = 12000, kx = 1, ky = 0.7;
    const double PeX = b.Pe(b.EIx, kx * L), PeY = b.Pe(b.EIy, ky * L);
    const double top = std::min({PeX, PeY, b.squash()});
    std::vector<LoadCombination> rows;
    for (double share : {0.1, 0.5, 0.8}) {
        const double P = share * top;
        // Moments that stay well inside the section once magnified.
        const double Mx = 0.2 * b.MelX(P) * std::cos(kPi / 2 * std::sqrt(P / PeX));
        rows.push_back(Force(P, Mx, 0));      // uniaxial
        rows.push_back(Force(P, -Mx, 0.5 * Mx));  // biaxial, x negative
    }
    const CheckResult r = Check(b, rows, Member(L, kx, ky));
    ASSERT_TRUE(r.Slender);
    std::vector<LoadCombination> magnified;
    for (size_t i = 0; i < rows.size(); ++i) {
        const CheckRow& row = r.Rows[i];
        const LoadCombination& f = rows[i];
        ASSERT_TRUE(row.Member && row.Member->Mx && row.Member->My) << i;
        const double secX = 1 / std::cos(kPi / 2 * std::sqrt(f.P / PeX));
        const double secY = 1 / std::cos(kPi / 2 * std::sqrt(f.P / PeY));
        EXPECT_NEAR(*row.Member->Mx, f.Mx * secX, 0.01 * std::fabs(f.Mx * secX)) << i;
        EXPECT_NEAR(*row.Member->MagX, secX, 0.01 * secX) << i;
        if (f.My != 0) {
            EXPECT_NEAR(*row.Member->My, f.My * secY, 0.01 * f.My * secY) << i;
            EXPECT_NEAR(*row.Member->MagY, secY, 0.01 * secY) << i;
        } else {
            EXPECT_EQ(*row.Member->My, 0) << i;  // no moment and no bow: nothing to magnify
            EXPECT_FALSE(row.Member->MagY) << i;
        }
        // The first-order moments stay in their columns.
        EXPECT_EQ(row.Mx, f.Mx);
        EXPECT_EQ(row.My, f.My);
        magnified.push_back(Force(f.P, *row.Member->Mx, *row.Member->My));
    }
    const CheckResult plain = Check(b, magnified, std::nullopt);
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(r.Rows[i].Capacity, plain.Rows[i].Capacity) << i;
        EXPECT_EQ(r.Rows[i].Ratio, plain.Rows[i].Ratio) << i;
        EXPECT_EQ(r.Rows[i].Radial, plain.Rows[i].Radial) << i;
    }
    // The 3D page's dot stands at the magnified moments, and says so.
    EXPECT_EQ(DotCaption(r.Rows[0]).substr(0, DotCaption(r.Rows[0]).find(", Ratio")),
              "Case 1: P = " + F2(rows[0].P) + ", Mx = " + F2(*r.Rows[0].Member->Mx) + ", My = 0.00 (magnified)");
    // Slenderness k L / r with each axis's own k.
    EXPECT_NEAR(r.Rows[0].Member->SlenderY / r.Rows[0].Member->SlenderX,
                ky / kx * std::sqrt(b.EIx / b.EIy), 0.05);
}

// Unequal end moments: the other end equal to this one is the default;
// double curvature magnifies no more than single curvature; a larger other
// end takes over as M2. A bow magnifies an axis without end moments.
TEST(MemberCheck, EndMomentsAndBow) {
    const Box b;
    const double L = 12000, Pe = b.Pe(b.EIx, L), P = 0.6 * std::min(Pe, b.squash()), M = 0.1 * b.MelX(P);
    const CheckResult r = Check(b,
                                {Force(P, M, 0), Force(P, M, 0, M), Force(P, M, 0, -M), Force(P, M, 0, 0.0),
                                 Force(P, 0.5 * M, 0, -M), Force(-0.5 * P, M, 0, -2 * M), Force(P, -M, 0, 0.5 * M)},
                                Member(L, 1, 0.5));  // y stiff enough not to buckle under P
    ASSERT_GT(b.Pe(b.EIy, 0.5 * L), P);
    const MemberRow &single = *r.Rows[0].Member, &same = *r.Rows[1].Member, &dbl = *r.Rows[2].Member,
                    &zero = *r.Rows[3].Member, &larger = *r.Rows[4].Member, &tension = *r.Rows[5].Member,
                    &mirror = *r.Rows[6].Member;
    EXPECT_EQ(*same.Mx, *single.Mx);
    EXPECT_LE(*dbl.MagX, *single.MagX);
    EXPECT_LE(*zero.MagX, *single.MagX);
    EXPECT_GE(*dbl.MagX, 1.0);
    // The other end's -M is the larger moment: the magnified moment on its side.
    EXPECT_LT(*larger.Mx, -M * (1 - 1e-9));
    EXPECT_EQ(*larger.Mx, *mirror.Mx);
    EXPECT_GT(*larger.MagX, 1.0);
    // Tension: the larger end moment as it is.
    EXPECT_EQ(*tension.Mx, -2 * M);
    EXPECT_EQ(*tension.MagX, 1.0);

    // A bow of L/1000 on the y axis with no moment there: P (e0 + y) at mid-length.
    const double PeY = b.Pe(b.EIy, L), Py = 0.3 * std::min(PeY, b.squash());
    const CheckResult bowed = Check(b, {Force(Py, 0, 0)}, Member(L, 1, 1, 0.001));
    const double e0 = 0.001 * L, expected = Py * e0 / (1 - Py / PeY) / 1000;  // kNm, the sine bow's amplification
    ASSERT_TRUE(bowed.Rows[0].Member->My);
    EXPECT_NEAR(*bowed.Rows[0].Member->My, expected, 0.01 * expected);
    EXPECT_FALSE(bowed.Rows[0].Member->MagY);
    EXPECT_TRUE(bowed.Rows[0].Ratio);
}

// A force above the member's buckling load is NG with the reason; end
// moments beyond what the member carries, below the section's, too; rows
// beyond the section's capacity keep their own reason.
TEST(MemberCheck, BucklingAndUnstableRowsAreNg) {
    const Box b;
    const double L = 24000, Pe = b.Pe(b.EIx, L);
    ASSERT_LT(1.2 * Pe, b.squash());
    const double P = 0.9 * Pe, Msec = b.MelX(P);
    const CheckResult r = Check(b, {Force(1.2 * Pe, 1, 0), Force(P, 0.8 * Msec, 0), Force(1e9, 1, 0)},
                                Member(L, 1, 0.25));
    const char* reasons[] = {"n/a: member buckles under P", "n/a: member unstable under the end moments",
                             "n/a: P above PMax"};
    for (int i = 0; i < 3; ++i) {
        const CheckRow& row = r.Rows[static_cast<size_t>(i)];
        EXPECT_EQ(CheckCellText(row, 4), reasons[i]) << i;
        EXPECT_EQ(CheckCellText(row, kStatusColumn), "NG") << i;
        EXPECT_FALSE(row.ok()) << i;
        ASSERT_TRUE(row.Member) << i;
        EXPECT_FALSE(row.Member->Mx) << i;
        EXPECT_EQ(CheckCellText(row, kCheckColumns + 4), "n/a") << i;
    }
    EXPECT_FALSE(r.Rows[0].Ratio || r.Rows[0].Radial || r.Rows[1].Ratio || r.Rows[1].Radial);
    // The same rows on the section alone: the first two pass.
    const CheckResult plain = Check(b, {Force(1.2 * Pe, 1, 0), Force(P, 0.8 * Msec, 0)}, std::nullopt);
    EXPECT_TRUE(plain.Rows[0].ok() && plain.Rows[1].ok());
}

// A section that is not point-symmetric (the box with a steel flange on
// one side): a negative moment bends it on its other side's branch.
TEST(MemberCheck, UnsymmetricSectionUsesTheMomentsSide) {
    Box b;
    pxtest::AddFiber(b.c.t, 0, 330, 8000, MatSteelSection);
    b.c.t[b.c.t.NFib].Fy = 5000;
    b.c.t.PointSymmetric = false;
    const double L = 8000, P = 2000, M = 100;
    const CheckResult r = Check(b, {Force(P, -M, 0)}, Member(L));
    ASSERT_TRUE(r.Rows[0].Member && r.Rows[0].Member->Mx);
    MemberSettings s = Member(L);
    const MphiBranch up = SectionBranch(b.c.t, b.c.in.B, b.c.in.H, s, 0, P);
    const MphiBranch down = SectionBranch(b.c.t, b.c.in.B, b.c.in.H, s, 180, P);
    const MemberState st = SolveMemberState(down, up, P, L, 0, 1, s.segments, M);
    EXPECT_EQ(*r.Rows[0].Member->Mx, -st.Mmax);
}

// "None" leaves the check as it was: no member columns, the same bits; the
// code method is refused naming the field.
TEST(MemberCheck, NoneUnchangedAndCodeMethodRefused) {
    const Box b;
    const std::vector<LoadCombination> rows = {Force(1000, 200, 100, -100.0), Force(-500, 50, -20)};
    const CheckResult none = Check(b, rows, MemberForCheck(MemberInput{}, MmSettings{}));
    EXPECT_FALSE(none.Slender);
    EXPECT_EQ(CheckColumnCount(none), kCheckColumns);
    EXPECT_EQ(CheckCsv(none, "\n").substr(0, CheckCsv(none, "\n").find('\n')),
              "Case,P (kN),Mx (kNm),My (kNm),Capacity (kNm),Ratio,Status,Radial Ratio");
    for (const CheckRow& row : none.Rows) EXPECT_FALSE(row.Member);
    MemberInput code;
    code.method = Slenderness::Code;
    code.settings = Member(3000);
    try {
        MemberForCheck(code, MmSettings{});
        FAIL() << "the code method was taken";
    } catch (const FieldError& e) {
        EXPECT_EQ(e.field(), "ComboBox11");
        EXPECT_NE(std::string(e.what()).find("not in the check yet"), std::string::npos);
    }
    MemberInput general;
    general.method = Slenderness::General;
    general.settings = Member(3000);
    MmSettings mm;
    mm.strainLimit = -0.003;
    mm.factor = 1.5;
    const std::optional<MemberSettings> s = MemberForCheck(general, mm);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->strainLimit, -0.003);
    EXPECT_EQ(s->factor, 1.5);
    const CheckResult slender = Check(b, rows, s);
    EXPECT_EQ(CheckColumnCount(slender), kCheckColumns + kMemberColumns);
    EXPECT_EQ(CheckCsv(slender, "\n").substr(0, CheckCsv(slender, "\n").find('\n')),
              "Case,P (kN),Mx (kNm),My (kNm),Capacity (kNm),Ratio,Status,Radial Ratio,Slenderness x (kL/r),"
              "Slenderness y (kL/r),Magnifier x,Magnifier y,Magnified Mx (kNm),Magnified My (kNm)");
}

// The window: "General method" adds the member's columns to the table and
// the export, the summary says how; back to "None" they go.
TEST(MemberCheck, WindowTableShowsTheMemberColumns) {
    FormWindow w;
    w.platform.openAnswers.push_back(w.file("forces.csv", "Story,Col,Case,Loc,P,V2,V3,T,M2,M3\r\n"
                                                          "1F,C1,A,Top,-2000,0,0,0,-100,150\r\n"
                                                          "1F,C1,B,Top,-4000,0,0,0,80,-60\r\n"));
    w.click(4);
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    auto* combo = w.form->findChild<QComboBox*>("ComboBox11");
    combo->setCurrentIndex(2);
    w.form->findChild<QLineEdit*>("Edit72")->setText("6000");
    w.click(19);  // Check Forces
    ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
    QAbstractItemModel* m = w.form->pmmPage()->table()->model();
    ASSERT_EQ(m->columnCount(), kCheckColumns + kMemberColumns);
    const CheckResult& r = *w.form->workspace().Check;
    const QStringList lines = QString::fromStdString(CheckCsv(r, "\n")).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    for (int c = 0; c < m->columnCount(); ++c) {
        EXPECT_EQ(m->headerData(c, Qt::Horizontal).toString().replace('\n', ' '), lines[0].split(',')[c]);
        for (int i = 0; i < 2; ++i) EXPECT_EQ(m->index(i, c).data().toString(), lines[i + 1].split(',')[c]);
    }
    EXPECT_EQ(m->headerData(kCheckColumns + 2, Qt::Horizontal, Qt::ToolTipRole).toString(), kMemberCheckRule);
    for (int i = 0; i < 2; ++i) EXPECT_GE(m->index(i, kCheckColumns + 2).data().toString().toDouble(), 1.0);
    EXPECT_TRUE(w.form->pmmPage()->summaryText().contains("Slender member: General method"));
    // The report lists the member's columns in a table of their own.
    if (!QStandardPaths::findExecutable("pdftotext").isEmpty()) {
        w.platform.saveAnswers.push_back(w.file("check.pdf"));
        w.form->findChild<QAction*>("AnalysisReport1")->trigger();
        ASSERT_TRUE(w.platform.errors.isEmpty()) << w.errors().toStdString();
        QProcess p;
        p.start("pdftotext", {"-layout", w.file("check.pdf"), "-"});
        p.waitForFinished(30000);
        const QString text = QString::fromUtf8(p.readAllStandardOutput()).simplified();
        EXPECT_TRUE(text.contains("Slender member, general method")) << text.toStdString();
        EXPECT_TRUE(text.contains("Slenderness k L / r (r of the section's area): x " +
                                  m->index(0, kCheckColumns).data().toString()));
        EXPECT_TRUE(text.contains("Magnifier x Magnifier y")) << text.toStdString();
        EXPECT_TRUE(text.contains(m->index(0, kCheckColumns + 2).data().toString()));
    }
    // A longer member makes the check stale.
    w.form->findChild<QLineEdit*>("Edit72")->setText("9000");
    EXPECT_TRUE(w.form->workspace().CheckStale);
    // The live check takes the member as "Check Forces" does.
    const std::string before = CheckCsv(r, "\n");
    int updates = 0;
    QObject::connect(w.form->pmmPage(), &PmmPage::liveUpdated, [&] { ++updates; });
    w.form->pmmPage()->setLive(true);
    QElapsedTimer t;
    t.start();
    while ((w.form->pmmPage()->livePending() || updates == 0) && t.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ASSERT_GT(updates, 0);
    EXPECT_FALSE(w.form->workspace().CheckStale);
    const std::string live = CheckCsv(*w.form->workspace().Check, "\n");
    EXPECT_NE(live, before);  // the longer member magnifies more
    w.form->pmmPage()->setLive(false);
    w.click(19);
    EXPECT_EQ(CheckCsv(*w.form->workspace().Check, "\n"), live);

    combo->setCurrentIndex(1);  // the code method: refused, the table kept
    w.click(19);
    ASSERT_EQ(w.platform.errors.size(), 1);
    EXPECT_TRUE(w.platform.errors[0].contains("\"Slenderness\"")) << w.errors().toStdString();
    EXPECT_EQ(m->columnCount(), kCheckColumns + kMemberColumns);

    combo->setCurrentIndex(0);
    w.click(19);
    EXPECT_EQ(m->columnCount(), kCheckColumns);
    EXPECT_FALSE(w.form->pmmPage()->summaryText().contains("Slender member"));

    // 300 m: the second row buckles, NG with the reason, its column wide enough.
    combo->setCurrentIndex(2);
    w.form->findChild<QLineEdit*>("Edit72")->setText("300000");
    w.click(19);
    ASSERT_EQ(m->columnCount(), kCheckColumns + kMemberColumns);
    EXPECT_EQ(m->index(1, 4).data().toString(), "n/a: member buckles under P");
    EXPECT_EQ(m->index(1, kStatusColumn).data().toString(), "NG");
    QTableView* view = w.form->pmmPage()->table();
    EXPECT_GE(view->columnWidth(4), view->fontMetrics().horizontalAdvance("n/a: member buckles under P"));
}
