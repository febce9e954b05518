#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "analysis/default_column.h"
#include "check/capacity_check.h"
#include "check/column_request.h"
#include "check/surface.h"
#include "input/error.h"
#include "input/numbers.h"

namespace {

using namespace px;

struct Fixture {
    pxtest::Column col = pxtest::MeshedColumn();
    SurfaceRequest req{pxtest::SectionOf(col), 5};
    Fixture() { req.Mm.points = 12; }
};

TEST(SolveSurface, RingsAreTheMmCurvesAtEvenlySpacedForces) {
    Fixture f;
    SolveOptions two;
    two.threads = 2;  // 4 rings: two each
    const InteractionSurface s = SolveSurface(f.req, {}, two);
    ASSERT_EQ(s.Levels.size(), 4u);
    EXPECT_EQ(s.Points, 12);
    EXPECT_EQ(s.PMax, f.req.PMax);
    EXPECT_EQ(s.PMin, f.req.PMin);
    for (int j = 1; j <= 4; ++j) {
        const SurfaceLevel& level = s.Levels[static_cast<size_t>(j - 1)];
        EXPECT_EQ(level.P, f.req.PMin + (f.req.PMax - f.req.PMin) * j / 5);
        MmSettings m = f.req.Mm;
        m.axialForce = level.P;
        MMCurve c;
        SolveOptions root;
        root.search = MmSearch::Root;
        SolveMMCurve(f.col.t, f.req.B, f.req.H, m, c, {}, root);  // straight to the level's force
        EXPECT_EQ(level.Curve.Mx, c.Mx) << j;
        EXPECT_EQ(level.Curve.My, c.My) << j;
    }
    // Three threads leave one ring over, solved with the solver's threads.
    SolveOptions three;
    three.threads = 3;
    const InteractionSurface t = SolveSurface(f.req, {}, three);
    EXPECT_EQ(SurfaceCsv(s, "\n"), SurfaceCsv(t, "\n"));

    const std::string csv = SurfaceCsv(s, "\r\n");
    const std::string head = "Level,P,Point,Mx,My\r\n0," + F2(f.req.PMin) + ",0,0.00,0.00\r\n1," +
                             F2(s.Levels[0].P) + ",1," + F2(s.Levels[0].Curve.Mx[1]) + "," +
                             F2(s.Levels[0].Curve.My[1]) + "\r\n";
    EXPECT_EQ(csv.substr(0, head.size()), head);
    const std::string tail = "4," + F2(s.Levels[3].P) + ",12," + F2(s.Levels[3].Curve.Mx[12]) + "," +
                             F2(s.Levels[3].Curve.My[12]) + "\r\n5," + F2(f.req.PMax) +
                             ",0,0.00,0.00\r\n";
    ASSERT_GE(csv.size(), tail.size());
    EXPECT_EQ(csv.substr(csv.size() - tail.size()), tail);
    size_t lines = 0;
    for (char ch : csv) lines += ch == '\n';
    EXPECT_EQ(lines, 1u + 2u + 4u * 12u);
}

TEST(SolveSurface, GuardsAndCancel) {
    struct Case {
        int levels, points;
        const char* message;
    };
    const Case cases[] = {
        {1, 36, "\"Axial Levels\" must be at least 2"},
        {201, 36, "\"Axial Levels\" must be at most 200"},
        {200, 60000, "\"Axial Levels\" x \"Num of MM Curve Points\" must be at most 10000000"},
        {20, 0, "\"Num of MM Curve Points\" must be at least 1"},
    };
    Fixture f;
    for (const Case& c : cases) {
        f.req.Levels = c.levels;
        f.req.Mm.points = c.points;
        try {
            SolveSurface(f.req);
            ADD_FAILURE() << c.message;
        } catch (const AppError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    f.req.Levels = 4;
    f.req.Mm.points = 8;
    std::atomic<bool> stop{true};
    SolveOptions o;
    o.cancel = &stop;
    EXPECT_THROW(SolveSurface(f.req, {}, o), Cancelled);
    stop = false;
    EXPECT_THROW(SolveSurface(f.req, [&](int p) { stop = p > 0; }, o), Cancelled);
}

TEST(SolveSurface, EscWithTheLastProgressReportStillCancelsTheCheckAndTheSurface) {
    // Esc taken while the bar shows 100%: the results are discarded.
    Fixture f;
    f.req.Levels = 4;
    LoadCombinationTable loads;
    loads.Count = 3;
    loads.Items = {{}, {1000, 100, 50}, {2000, 120, 40}, {-500, 80, 60}};
    const CheckRequest check{f.req, &loads, 1, 1, 1};
    for (int threads : {1, 2}) {
        std::atomic<bool> stop{false};
        SolveOptions o;
        o.cancel = &stop;
        o.threads = threads;
        int last = -1;
        auto escAt100 = [&](int p) {
            last = p;
            if (p == 100) stop = true;
        };
        EXPECT_THROW(SolveSurface(f.req, escAt100, o), Cancelled) << threads;
        EXPECT_EQ(last, 100) << threads;
        stop = false;
        last = -1;
        EXPECT_THROW(RunCapacityCheck(check, escAt100, o), Cancelled) << threads;
        EXPECT_EQ(last, 100) << threads;
    }
}

}  // namespace
