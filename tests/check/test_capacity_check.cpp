#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <optional>
#include <set>
#include <thread>
#include <vector>

#include "analysis/default_column.h"
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
    struct Case {
        std::vector<std::optional<double>> ratios;
        int passed, governing;
    };
    const Case cases[] = {
        {{0.5, 0.9, 0.9, 0.2}, 4, 1},
        {{0.5, std::nullopt, 2.0, std::nullopt}, 1, 1},
        {{1.0, 1.0000000000000002}, 1, 1},
        {{}, 0, -1},
    };
    for (const Case& c : cases) {
        CheckResult r;
        for (size_t k = 0; k < c.ratios.size(); ++k)
            r.Rows.push_back(Row(static_cast<int>(k) + 1, 1.0, c.ratios[k]));
        TallyCheck(r);
        EXPECT_EQ(r.Passed, c.passed);
        EXPECT_EQ(r.Governing, c.governing);
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
    r.Rows.push_back(Row(3, std::nullopt, std::nullopt));
    TallyCheck(r);
    EXPECT_EQ(CheckCsv(r, "\r\n"),
              "Case,P,Mx,My,Capacity,Ratio,Status\r\n"
              "1,-0.00,504.50,-12.13,16145.63,0.0313,OK\r\n"
              "2,150000.00,0.00,0.00,,1.2500,NG\r\n"
              "3,0.00,0.00,0.00,,n/a,NG\r\n");
    EXPECT_EQ(CheckSummaryLine(r), "Passed 1 of 3; governing case 3, ratio n/a");
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
