#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cmath>
#include <optional>
#include <set>
#include <thread>
#include <vector>

#include "analysis/default_column.h"
#include "analysis/section_steps.h"
#include "check/column_request.h"
#include "check/capacity_check.h"
#include "check/live_run.h"
#include "check/realistic_forces.h"
#include "input/error.h"

namespace {

using namespace px;

TEST(CapacityAlong, HandMadePolygons) {
    const double s = std::sqrt(0.5);
    struct Case {
        const char* what;
        std::vector<double> Mx, My;  // entry 0 is never read
        double ux, uy;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"through a vertex", {99, 1, 0, -1, 0}, {99, 0, 1, 0, -1}, 1, 0, 1.0},
        {"through an edge", {99, 1, 0, -1, 0}, {99, 0, 1, 0, -1}, s, s, s},
        {"closing edge", {99, 1, 0, -1, 0}, {99, 0, 1, 0, -1}, s, -s, s},
        {"farthest of two crossings", {99, 2, 3, 3, 2}, {99, -1, -1, 1, 1}, 1, 0, 3.0},
        {"behind the ray", {99, 2, 3, 3, 2}, {99, -1, -1, 1, 1}, -1, 0, std::nullopt},
        {"edge along the ray", {99, 0, 2, 0}, {99, 0, 0, 2}, 1, 0, 2.0},
        {"one-point curve", {99, 5}, {99, 0}, 1, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        const int last = static_cast<int>(c.Mx.size()) - 1;
        const std::optional<double> got = CapacityAlong(c.Mx.data(), c.My.data(), 1, last, c.ux, c.uy);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.what;
        if (got) {
            EXPECT_NEAR(*got, *c.expected, 1e-15) << c.what;
        }
        // The same polygon moved by (10, -7), the ray from (10, -7).
        std::vector<double> mx = c.Mx, my = c.My;
        for (double& v : mx) v += 10;
        for (double& v : my) v -= 7;
        const std::optional<double> from = CapacityAlongFrom(mx.data(), my.data(), 1, last, 10, -7, c.ux, c.uy);
        ASSERT_EQ(from.has_value(), c.expected.has_value()) << c.what;
        if (from) {
            EXPECT_NEAR(*from, *c.expected, 1e-12) << c.what;
        }
    }
    // A square off the origin: the origin outside, its centre inside.
    const double sx[] = {0, 2, 4, 4, 2}, sy[] = {0, -1, -1, 1, 1};
    EXPECT_FALSE(InsidePolygon(sx, sy, 1, 4, 0, 0));
    EXPECT_TRUE(InsidePolygon(sx, sy, 1, 4, 3, 0));
    EXPECT_FALSE(InsidePolygon(sx, sy, 1, 4, 3, 1.5));
    EXPECT_NEAR(*CapacityAlongFrom(sx, sy, 1, 4, 3, 0, -1, 0), 1, 1e-15);
}

struct Fixture {
    pxtest::Column col = pxtest::MeshedColumn();
    LoadCombinationTable loads;
    CheckRequest req{pxtest::SectionOf(col), &loads};
    void add(double P, double Mx, double My) {
        loads.Items.push_back({P, Mx, My});
        loads.Count = static_cast<int>(loads.Items.size()) - 1;
    }
};

TEST(RunCapacityCheck, AxialRatiosNeedNoCurve) {
    Fixture f;
    const double PMax = f.req.PMax, PMin = f.req.PMin;
    struct Case {
        double P, Mx, My, ratio;
    };
    const Case cases[] = {
        {1000, 0, 0, 1000 / PMax},       {-1000, 0, 0, -1000 / PMin},
        {0, 0, 0, 0},                    {PMax * 1.25, 500, -20, PMax * 1.25 / PMax},
        {PMin - 1, 0, 3, (PMin - 1) / PMin},
    };
    for (const Case& c : cases) f.add(c.P, c.Mx, c.My);
    const CheckResult r = RunCapacityCheck(f.req);
    EXPECT_EQ(r.Curves, 0);
    ASSERT_EQ(r.Rows.size(), std::size(cases));
    for (size_t k = 0; k < r.Rows.size(); ++k) {
        EXPECT_EQ(r.Rows[k].Case, static_cast<int>(k) + 1);
        EXPECT_FALSE(r.Rows[k].Capacity) << k;
        ASSERT_TRUE(r.Rows[k].Ratio) << k;
        EXPECT_EQ(*r.Rows[k].Ratio, cases[k].ratio) << k;
    }
    EXPECT_EQ(r.Passed, 3);
    EXPECT_EQ(r.Governing, 3);
}

TEST(RunCapacityCheck, AMomentOnAWholeAxialCapacityIsNa) {
    // Nothing is left to carry a moment at PMax or PMin: "n/a", NG, and no
    // curve; an axial force alone there has its ratio 1.
    Fixture f;
    const double PMax = f.req.PMax, PMin = f.req.PMin;
    const double rows[][3] = {{PMin, 100, 0}, {PMax, 100, 0}, {PMin, 0, -100}, {PMax, 0, 100}};
    for (const auto& r : rows) f.add(r[0], r[1], r[2]);
    f.add(PMin, 0, 0);
    const CheckResult r = RunCapacityCheck(f.req);
    EXPECT_EQ(r.Curves, 0);
    for (size_t k = 0; k < std::size(rows); ++k) {
        EXPECT_FALSE(r.Rows[k].Capacity) << k;
        EXPECT_EQ(CheckCellText(r.Rows[k], 5), "n/a") << k;
        EXPECT_EQ(CheckCellText(r.Rows[k], 6), "NG") << k;
    }
    EXPECT_EQ(CheckCellText(r.Rows.back(), 5), "1.0000");
    EXPECT_EQ(r.Passed, 1);
}

TEST(RunCapacityCheck, MoreDistinctForcesThanOneBatchSolves) {
    // 300 distinct axial forces take two batches of the shared solve; each
    // row gets the capacity it gets when checked alone.
    Fixture f, alone;
    for (int i = 0; i < 300; ++i) f.add(-(1000 + 37.0 * i), 100 + i, 50);
    const CheckResult r = RunCapacityCheck(f.req);
    EXPECT_EQ(r.Curves, 300);
    EXPECT_EQ(r.Passed, 300);
    const int picked[] = {0, 255, 256, 299};
    for (int i : picked) alone.add(-(1000 + 37.0 * i), 100 + i, 50);
    const CheckResult a = RunCapacityCheck(alone.req);
    for (size_t k = 0; k < std::size(picked); ++k) {
        ASSERT_TRUE(a.Rows[k].Capacity) << picked[k];
        EXPECT_EQ(r.Rows[static_cast<size_t>(picked[k])].Capacity, a.Rows[k].Capacity) << picked[k];
    }
}

TEST(RunLive, ChecksFromTheFirstImportedCombination) {
    // The live check's run: a check as soon as one combination is imported,
    // none before; the surface either way.
    for (int count : {0, 1, 2}) {
        LiveInputs in;
        in.fields = DefaultFields();
        in.fields.texts["Edit65"] = "3";
        ReadSectionInput(in.fields, in.base);
        for (int i = 0; i < count; ++i) in.loads.Items.push_back({1000.0 * (i + 1), 500, 200});
        in.loads.Count = count;
        const std::atomic<bool> cancel{false};
        const LiveResults r = RunLive(in, cancel);
        EXPECT_EQ(r.error, "") << count;
        EXPECT_EQ(r.surface.Levels.size(), 2u) << count;
        ASSERT_EQ(r.check.has_value(), count >= 1) << count;
        if (r.check) {
            EXPECT_EQ(r.check->Rows.size(), static_cast<size_t>(count));
            EXPECT_EQ(r.check->Passed, count);
        }
    }
}

CheckRow Row(int i, std::optional<double> capacity, std::optional<double> ratio) {
    CheckRow r;
    r.Case = i;
    r.Capacity = capacity;
    r.Ratio = ratio;
    return r;
}

TEST(TallyCheck, GoverningIsTheFirstLargestWithNaLargest) {
    // Each ratio governs on its own; the radial line names the larger of
    // the two largest ("n/a" largest, the constant-P ratio on a tie).
    const std::nullopt_t na = std::nullopt;
    struct Case {
        std::vector<std::optional<double>> ratios, radials;
        int passed, governing, radialGoverning;
        const char* radialLine;
    };
    const Case cases[] = {
        {{0.5, 0.9, 0.9, 0.2}, {0.4, 0.95, 0.3, 0.96}, 4, 1, 3,
         "Radial ratio: governing case 4, ratio 0.9600; the radial ratio governs"},
        {{0.5, na, 2.0, na}, {0.5, 3.0, 2.5, 1.0}, 1, 1, 1,
         "Radial ratio: governing case 2, ratio 3.0000; the constant-P ratio governs"},
        {{1.0, 1.0000000000000002}, {1.0000000000000002, na}, 1, 1, 1,
         "Radial ratio: governing case 2, ratio n/a; the radial ratio governs"},
        {{0.7, 0.8}, {0.8, 0.2}, 2, 1, 0, "Radial ratio: governing case 1, ratio 0.8000; the constant-P ratio governs"},
        {{}, {}, 0, -1, -1, ""},
    };
    for (const Case& c : cases) {
        CheckResult r;
        for (size_t k = 0; k < c.ratios.size(); ++k) {
            r.Rows.push_back(Row(static_cast<int>(k) + 1, 1.0, c.ratios[k]));
            r.Rows.back().Radial = c.radials[k];
        }
        TallyCheck(r);
        EXPECT_EQ(r.Passed, c.passed);
        EXPECT_EQ(r.Governing, c.governing);
        EXPECT_EQ(r.RadialGoverning, c.radialGoverning);
        EXPECT_EQ(CheckRadialLine(r), c.radialLine);
    }
}

TEST(CheckCsv, BytesAndSummaryLine) {
    CheckResult r;
    r.Rows.push_back(Row(1, 16145.625, 0.03125));  // ties round away from zero
    r.Rows.back().P = -0.001;
    r.Rows.back().Mx = 504.5;
    r.Rows.back().My = -12.125;
    r.Rows.push_back(Row(2, std::nullopt, 1.25));
    r.Rows.back().P = 150000;
    r.Rows.back().Missing = NoCapacity::AbovePMax;
    r.Rows.back().Radial = 1.25;
    r.Rows.back().Name = "ULS 7";  // the case's name, where the table has one
    r.Rows.push_back(Row(3, std::nullopt, std::nullopt));
    r.Rows.back().Missing = NoCapacity::BelowPMin;
    r.Rows.back().Radial = 0.03125;
    TallyCheck(r);
    EXPECT_EQ(CheckCsv(r, "\r\n"),
              "Case,P (kN),Mx (kNm),My (kNm),Capacity (kNm),Ratio,Status,Radial Ratio\r\n"
              "1,-0.00,504.50,-12.13,16145.63,0.0313,OK,n/a\r\n"
              "ULS 7,150000.00,0.00,0.00,n/a: P above PMax,1.2500,NG,1.2500\r\n"
              "3,0.00,0.00,0.00,n/a: P below PMin,n/a,NG,0.0313\r\n");
    EXPECT_EQ(CheckSummaryLine(r), "Passed 1 of 3; governing case 3, ratio n/a");
    r.FromCentre = true;
    EXPECT_EQ(CheckColumnName(r, kRatioColumn), "Ratio from plastic centroid");
    EXPECT_EQ(CheckColumnName(r, kRadialColumn), "Radial Ratio from plastic centroid");
    for (NoCapacity why : {NoCapacity::AtPMax, NoCapacity::AtPMin, NoCapacity::NoMoment, NoCapacity::OutOfReach,
                           NoCapacity::NoCrossing})
        EXPECT_TRUE(std::string(NoCapacityText(why)).starts_with("n/a: ")) << static_cast<int>(why);
    EXPECT_EQ(NoCapacityText(NoCapacity::None), std::string());
    r.Rows.pop_back();
    TallyCheck(r);
    EXPECT_EQ(CheckSummaryLine(r), "Passed 1 of 2; governing case 2, ratio 1.2500");
}

// The check written out plainly: the curve "Gen MM Curve" gives at Pa, and
// the farthest crossing of the demand's direction with its closed polygon.
std::optional<double> PlainCapacity(pxtest::Column& col, double Pa, double Mx, double My) {
    MmSettings s;
    s.axialForce = Pa;
    MMCurve c;
    SolveOptions root;
    root.search = MmSearch::Root;  // as the check solves its curves
    SolveMMCurve(col.t, col.in.B, col.in.H, s, c, {}, root);
    const double m = std::hypot(Mx, My);
    std::optional<double> best;
    for (int k = 1; k <= s.points; ++k) {
        const int n = k < s.points ? k + 1 : 1;
        // a + s (b - a) = t u, solved by Cramer's rule.
        const double a11 = Mx / m, a12 = c.Mx[k] - c.Mx[n], a21 = My / m, a22 = c.My[k] - c.My[n];
        const double det = a11 * a22 - a12 * a21;
        if (det == 0) continue;
        const double t = (c.Mx[k] * a22 - a12 * c.My[k]) / det;
        const double sAlong = (a11 * c.My[k] - c.Mx[k] * a21) / det;
        if (sAlong >= 0 && sAlong <= 1 && t > 0 && (!best || t > *best)) best = t;
    }
    return best;
}

TEST(RunCapacityCheck, DefaultColumnAgainstAPlainComputation) {
    Fixture f;
    f.loads = pxtest::RealisticForces();
    f.req.FactorP = 1.05;
    f.req.FactorMx = 1.1;
    f.req.FactorMy = 0.95;
    std::set<double> distinct;
    for (int i = 1; i <= f.loads.Count; ++i) distinct.insert(1.05 * f.loads.Items[i].P);
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<int> progress;
    SolveOptions two;
    two.threads = 2;
    const CheckResult r = RunCapacityCheck(
        f.req,
        [&](int p) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            progress.push_back(p);
        },
        two);
    ASSERT_EQ(r.Rows.size(), 240u);
    EXPECT_EQ(r.Curves, static_cast<int>(distinct.size()));  // shared forces solve once
    EXPECT_LT(r.Curves, 240);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 100);
    for (size_t k = 1; k < progress.size(); ++k) EXPECT_LE(progress[k - 1], progress[k]);
    EXPECT_EQ(r.Passed, 224);
    EXPECT_EQ(CheckSummaryLine(r), "Passed 224 of 240; governing case 240, ratio 2.0106");

    for (int i = 1; i <= 8; ++i) {
        const LoadCombination& c = f.loads.Items[i];
        const CheckRow& row = r.Rows[static_cast<size_t>(i - 1)];
        EXPECT_EQ(row.P, 1.05 * c.P);
        EXPECT_EQ(row.Mx, 1.1 * c.Mx);
        EXPECT_EQ(row.My, 0.95 * c.My);
        const std::optional<double> cap = PlainCapacity(f.col, row.P, row.Mx, row.My);
        ASSERT_TRUE(cap && row.Capacity && row.Ratio) << i;
        EXPECT_NEAR(*row.Capacity, *cap, *cap * 1e-13) << i;
        EXPECT_NEAR(*row.Ratio, std::hypot(row.Mx, row.My) / *cap, 1e-13) << i;
    }

    // The same rows, bit for bit, whatever the threads and the fiber pass.
    Fixture g;
    for (int i : {1, 2, 3, 50, 51, 52, 200, 240, 1, 51}) {
        const LoadCombination& c = f.loads.Items[i];
        g.add(c.P, c.Mx, c.My);
    }
    SolveOptions three = two, reference = two;
    three.threads = 3;
    reference.pass = SolverPass::Reference;
    const CheckResult a = RunCapacityCheck(g.req, {}, two);
    EXPECT_EQ(a.Curves, 8);
    for (const SolveOptions& o : {SolveOptions{}, three, reference}) {
        const CheckResult b = RunCapacityCheck(g.req, {}, o);
        EXPECT_EQ(CheckCsv(a, "\n"), CheckCsv(b, "\n"));
        for (size_t k = 0; k < a.Rows.size(); ++k) EXPECT_EQ(a.Rows[k].Capacity, b.Rows[k].Capacity);
    }
}

// The radial ratio against points known to lie on the surface: a force
// F found on the check's own curve at its P, scaled by k about the origin
// (the default column is point-symmetric), meets the surface at F, so its
// radial ratio is k exactly, while its constant-P ratio is not.
TEST(RadialRatio, ScaledSurfacePointsGiveTheirScale) {
    Fixture probe;
    const double PMax = probe.req.PMax, PMin = probe.req.PMin;
    struct Level {
        double P, angle;  // the direction of the moment, degrees
    };
    const Level levels[] = {{0.3 * PMax, 20}, {0.05 * PMax, 135}, {0.6 * PMax, 250}, {0.4 * PMin, 300}};
    for (const Level& l : levels) {
        const double ux = std::cos(l.angle * 3.141592653589793 / 180), uy = std::sin(l.angle * 3.141592653589793 / 180);
        probe.add(l.P, ux, uy);
    }
    const CheckResult on = RunCapacityCheck(probe.req);
    Fixture f;
    const double scales[] = {0.5, 1.0, 1.25};
    for (size_t i = 0; i < std::size(levels); ++i)
        for (double k : scales) {
            const double cap = *on.Rows[i].Capacity;
            f.add(k * levels[i].P, k * cap * on.Rows[i].Mx, k * cap * on.Rows[i].My);
        }
    const CheckResult r = RunCapacityCheck(f.req);
    for (size_t i = 0; i < r.Rows.size(); ++i) {
        const double k = scales[i % std::size(scales)];
        const CheckRow& row = r.Rows[i];
        ASSERT_TRUE(row.Radial && row.Ratio) << i;
        EXPECT_NEAR(*row.Radial, k, 1e-8 * k) << i;
        if (k == 1) {
            EXPECT_NEAR(*row.Ratio, 1, 1e-12) << i;  // on the curve: 1 both ways
        } else {
            EXPECT_GT(std::abs(*row.Ratio - k), 1e-3) << i;  // the constant-P ratio is another
        }
        EXPECT_EQ((*row.Radial > 1), (*row.Ratio > 1)) << i;  // one verdict either way
    }
    EXPECT_GT(r.RadialCurves, 0);
}

TEST(RadialRatio, RaysThatNeedNoSearch) {
    // On the P axis the ray is the axial force's; in the plane P = 0 it is
    // the constant-P ray; beyond or at an axial capacity the ray still meets
    // the surface before it, so the ratio is above 1 and finite.
    Fixture f;
    const double PMax = f.req.PMax, PMin = f.req.PMin;
    f.add(0.5 * PMax, 0, 0);
    f.add(0.5 * PMin, 0, 0);
    f.add(0, 3000, -2000);
    f.add(1.2 * PMax, 500, 0);
    f.add(PMax, 500, 0);
    f.add(PMin, 0, 500);
    const CheckResult r = RunCapacityCheck(f.req);
    EXPECT_EQ(*r.Rows[0].Radial, 0.5);
    EXPECT_EQ(*r.Rows[1].Radial, 0.5);
    EXPECT_EQ(r.Rows[2].Radial, r.Rows[2].Ratio);
    for (size_t i : {3, 4, 5}) {
        ASSERT_TRUE(r.Rows[i].Radial) << i;
        EXPECT_GT(*r.Rows[i].Radial, 1) << i;
        EXPECT_LT(*r.Rows[i].Radial, 2) << i;
    }
    // A small moment hardly moves the radial ratio off the axial one.
    EXPECT_NEAR(*r.Rows[3].Radial, 1.2, 0.05);
    EXPECT_EQ(CheckCellText(r.Rows[3], 4), "n/a: P above PMax");
    EXPECT_EQ(CheckCellText(r.Rows[4], 4), "n/a: P at PMax");
    EXPECT_EQ(CheckCellText(r.Rows[5], 4), "n/a: P at PMin");
    EXPECT_EQ(CheckCellText(r.Rows[0], 4), "n/a: no moment");
    // The axial capacities themselves, without a moment: nothing is beyond.
    Fixture at;
    at.add(PMax, 0, 0);
    at.add(PMin, 0, 0);
    const CheckResult a = RunCapacityCheck(at.req);
    for (const CheckRow& row : a.Rows) {
        EXPECT_EQ(CheckCellText(row, 4), "n/a: no moment") << row.P;
        EXPECT_EQ(row.Radial, 1.0) << row.P;
    }
}

TEST(RadialRatio, PlainConcreteHasNoTensionSide) {
    // A 400 x 400 block without bars: PMin = 0, so a ray needing the curve at
    // P = 0 (a force beyond PMax) or a tension force has no radial ratio
    // ("n/a"), and the rest of the check goes on.
    FiberTable t;
    for (int i = 0; i < 20; ++i)
        for (int j = 0; j < 20; ++j) pxtest::AddFiber(t, -190 + 20 * i, -190 + 20 * j, 400, MatCoreConcrete1);
    LoadCombinationTable loads;
    CheckRequest req;
    req.Fibers = &t;
    req.B = req.H = 400;
    ComputeAxialBounds(t, req.PMax, req.PMin);
    ASSERT_EQ(req.PMin, 0);
    req.Loads = &loads;
    for (const auto& f : {std::array<double, 3>{1.5 * req.PMax, 10, 0}, {0.5 * req.PMax, 20, 5}, {-100, 0, 10}}) {
        loads.Items.push_back({f[0], f[1], f[2]});
        ++loads.Count;
    }
    const CheckResult r = RunCapacityCheck(req);
    EXPECT_FALSE(r.Rows[0].Radial);
    ASSERT_TRUE(r.Rows[1].Radial && r.Rows[1].Ratio);
    EXPECT_GT(*r.Rows[1].Radial, *r.Rows[1].Ratio);  // most of its demand is the axial force
    EXPECT_FALSE(r.Rows[2].Radial);
}

TEST(RadialRatio, SameVerdictAsTheConstantPRatioOnRealisticForces) {
    Fixture f;
    f.loads = pxtest::RealisticForces();
    const CheckResult r = RunCapacityCheck(f.req);
    for (const CheckRow& row : r.Rows) {
        ASSERT_TRUE(row.Radial && row.Ratio) << row.Case;
        EXPECT_EQ(*row.Radial > 1, *row.Ratio > 1) << row.Case;
    }
    EXPECT_EQ(CheckRadialLine(r).substr(0, 30), "Radial ratio: governing case 2");
    // A few passes of one curve per row: the secant steps converge fast.
    EXPECT_LE(r.RadialCurves, 6 * 240);
}

TEST(RunCapacityCheck, RefusesBeforeAnyWork) {
    Fixture f;
    for (const char* message :
         {"No forces have been imported", "\"Num of MM Curve Points\" must be at least 1"}) {
        try {
            RunCapacityCheck(f.req);
            ADD_FAILURE() << message;
        } catch (const AppError& e) {
            EXPECT_STREQ(e.what(), message);
        }
        f.add(100, 10, 10);
        f.req.Mm.points = 0;
    }
}

TEST(RunCapacityCheck, CancelThrowsCancelled) {
    Fixture f;
    for (int i = 0; i < 6; ++i) f.add(1000.0 * i, 100 + i, 50);
    std::atomic<bool> stop{true};
    SolveOptions o;
    o.cancel = &stop;
    EXPECT_THROW(RunCapacityCheck(f.req, {}, o), Cancelled);
    // Stopped from the progress callback after the first curves.
    stop = false;
    for (int threads : {1, 2}) {
        o.threads = threads;
        stop = false;
        EXPECT_THROW(RunCapacityCheck(f.req, [&](int p) { stop = p > 0; }, o), Cancelled) << threads;
    }
}

}  // namespace
