#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "analysis/mm_solver.h"
#include "analysis/pm_solver.h"
#include "default_column.h"
#include "input/error.h"

namespace {

using namespace px;
using pxtest::AddFiber;

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const AppError& e) {
        return e.what();
    }
    return "";
}

TEST(AxialBounds, DefaultColumnAndDeductedConcrete) {
    const pxtest::Column c = pxtest::MeshedColumn();
    ASSERT_EQ(c.t.NFib, 248);
    double PMax = 0, PMin = 0;
    ComputeAxialBounds(c.t, PMax, PMin);
    EXPECT_EQ(PMax, 149290.625);
    EXPECT_EQ(PMin, -16190.625);

    FiberTable t;
    AddFiber(t, 0, 0, 1000, MatCoreConcrete2);     // +11900 N
    AddFiber(t, 0, 0, 100, MatDeductedConcrete1);  // -2750 N
    AddFiber(t, 0, 0, 10, MatSteelSection);        // +2600 N both ways
    AddFiber(t, 0, 0, 1e6, 7);                     // no material: nothing
    ComputeAxialBounds(t, PMax, PMin);
    EXPECT_DOUBLE_EQ(PMax, 11.75);
    EXPECT_EQ(PMin, -2.6);
}

TEST(AxisWindow, BothEndsScaledAndTheVerticalSlopeKeptFinite) {
    const AxisWindowResult a = AxisWindow(0, 2200, 1000, 1.2);
    EXPECT_EQ(a.w, 0.0);
    EXPECT_EQ(a.cmin, -600.0);
    EXPECT_EQ(a.cmax, 600.0);
    const AxisWindowResult v = AxisWindow(90, 2200, 2200, 1.2);
    EXPECT_GT(v.w, 1e15);
    EXPECT_TRUE(std::isfinite(v.cmin));
    EXPECT_EQ(v.cmin, -v.cmax);
}

TEST(TrialCurvature, DefaultColumnAtOffsetsZeroAndSevenHundred) {
    double dmin = 0, dmax = 0;
    CornerDistances(0, 0, 2200, 2200, dmin, dmax);
    EXPECT_EQ(dmin, -1100.0);
    EXPECT_EQ(dmax, 1100.0);
    double phi = TrialCurvature(dmin, dmax, -0.0035, false);
    EXPECT_EQ(phi, -0.0035 / -1100.0);  // the compressive limit governs
    EXPECT_DOUBLE_EQ(phi * dmin, -0.0035);
    EXPECT_DOUBLE_EQ(phi * dmax, 0.0035);

    CornerDistances(0, 700, 2200, 2200, dmin, dmax);
    EXPECT_EQ(dmin, -400.0);
    EXPECT_EQ(dmax, 1800.0);
    phi = TrialCurvature(dmin, dmax, -0.0035, false);
    EXPECT_EQ(phi, 0.01 / 1800.0);  // the tensile limit governs
    EXPECT_EQ(TrialCurvatureAt(0, 700, 2200, 2200, -0.0035, false), phi);
    EXPECT_NEAR(phi * dmin, -0.00222, 5e-6);
}

TEST(TrialCurvature, CornerOnTheAxisIsSkippedAndNoExtentIsRefused) {
    for (bool strict : {false, true}) {
        EXPECT_EQ(TrialCurvature(0, 2200, -0.0035, strict), 0.01 / 2200.0);
        EXPECT_EQ(TrialCurvature(-2200, 0, -0.0035, strict), -0.0035 / -2200.0);
        EXPECT_EQ(ErrorOf([&] { TrialCurvature(0, 0, -0.0035, strict); }), kDivByZero);
    }
}

TEST(SectionForces, SignConventionsAndFaults) {
    FiberTable t;
    AddFiber(t, -100, 200, 1000, MatCoreConcrete1);  // above the axis: compressed
    AddFiber(t, 300, -200, 500, MatRebar);           // below: stretched past yield
    AddFiber(t, 0, 0, 1e9, 42);                      // no law: keeps its zero stress
    const SectionForceResult r = SectionForces(t, 0, 0, 1e-5);
    EXPECT_DOUBLE_EQ(t[1].Strain, -0.002);
    EXPECT_EQ(t[1].Stress, -27.5);
    EXPECT_EQ(t[2].Stress, 330.0);
    const double s1 = -27.5 * 1000, s2 = 330.0 * 500;
    EXPECT_EQ(r.P, -(s1 + s2) / 1000);
    EXPECT_EQ(r.Mx, (s1 * 200 + s2 * -200) / 1000000);
    EXPECT_EQ(r.My, (s1 * -100 + s2 * 300) / 1000000);

    FiberTable big;
    AddFiber(big, 0, 10, 1e308, MatCoreConcrete1);  // -inf
    EXPECT_EQ(ErrorOf([&] { SectionForces(big, 0, 0, 1e-3); }), kOverflow);
    AddFiber(big, 0, -10, 1e308, MatRebar);  // +inf: inf - inf
    EXPECT_EQ(ErrorOf([&] { SectionForces(big, 0, 0, 1e-3); }), kInvalidOp);
}

TEST(SearchSteps, TiesGoToTheLastIndexAndTheWindowIsNotClamped) {
    // |P - 10| is 2 at indices 3 and 7, the least: 7 is chosen.
    const double P[9] = {50, 40, 30, 12, 20, 30, 14, 8, 40};
    EXPECT_EQ(ChooseClosest(P, 0, 8, 10), 7);
    // Over the interior only, closer ends are never chosen.
    const double R[5] = {10, 13, 7, 13, 10};
    EXPECT_EQ(ChooseClosest(R, 1, 3, 10), 3);
    EXPECT_EQ(ChooseClosest(R, 0, 4, 10), 4);

    double lo = 0, hi = 100;
    NarrowWindow(lo, hi, 0, 10);
    EXPECT_EQ(lo, -10);
    EXPECT_EQ(hi, 10);
}

TEST(Settings, ReadInOrderAndGuarded) {
    MapFields f = DefaultFields();
    const PmSettings p = ReadPmSettings(f);
    EXPECT_EQ(p.nP, 10);
    EXPECT_EQ(p.K, 5);
    EXPECT_EQ(p.N, 100);
    EXPECT_EQ(p.factor, 1.2);
    EXPECT_EQ(p.strainLimit, -0.0035);
    f["Edit30"] = "1500";
    const MmSettings m = ReadMmSettings(f);
    EXPECT_EQ(m.points, 36);
    EXPECT_EQ(m.axialForce, 1500);
    EXPECT_EQ(m.K, 5);
    EXPECT_EQ(m.N, 100);
    EXPECT_EQ(m.factor, 1.2);
    EXPECT_EQ(m.strainLimit, -0.0035);

    // The first bad field in reading order is the one reported.
    f["Edit53"] = "x";
    f["Edit60"] = "y";
    EXPECT_EQ(ErrorOf([&] { ReadPmSettings(f); }), "Inside Steps N (PM Curve page): 'x' is not a valid integer value");
    f["Edit30"] = "a";
    f["Edit61"] = "b";
    EXPECT_EQ(ErrorOf([&] { ReadMmSettings(f); }), "Axial Force (MM Curve page): 'a' is not a valid floating point value");

    auto pm = [&](auto change) {
        PmSettings s = p;
        change(s);
        return ErrorOf([&] { CheckPmSettings(s); });
    };
    EXPECT_EQ(pm([](PmSettings&) {}), "");
    EXPECT_EQ(pm([](PmSettings& s) { s.nP = 0; }), "\"Axial Force Division Points\" must be at least 1");
    EXPECT_EQ(pm([](PmSettings& s) { s.K = 0; }), "\"Outside Steps K\" must be at least 1");
    EXPECT_EQ(pm([](PmSettings& s) { s.N = 0; }), "\"Inside Steps N\" must be at least 1");
    EXPECT_EQ(pm([](PmSettings& s) { s.N = 1000001; }), "\"Inside Steps N\" must be at most 1000000");
    EXPECT_EQ(pm([](PmSettings& s) { s.strainLimit = 0; }), "\"Strain Limit\" must be less than 0");
    EXPECT_EQ(pm([](PmSettings& s) { s.factor = 0, s.strainLimit = 0; }), "\"Extention Factor\" must be greater than 0");

    auto mm = [&](auto change) {
        MmSettings s = m;
        change(s);
        return ErrorOf([&] { CheckMmSettings(s); });
    };
    EXPECT_EQ(mm([](MmSettings& s) { s.N = 2; }), "");
    EXPECT_EQ(mm([](MmSettings& s) { s.points = 0; }), "\"Num of MM Curve Points\" must be at least 1");
    EXPECT_EQ(mm([](MmSettings& s) { s.K = 0; }), "\"Outside Step K\" must be at least 1");
    EXPECT_EQ(mm([](MmSettings& s) { s.N = 1; }), "\"Inside Step N\" must be at least 2");
    EXPECT_EQ(mm([](MmSettings& s) { s.strainLimit = 0.001; }), "\"Strain Limit\" must be less than 0");
    const std::string factor = "\"Extention Factor\" must be greater than 0";
    EXPECT_EQ(mm([](MmSettings& s) { s.factor = 1e-300; }), "");
    EXPECT_EQ(mm([](MmSettings& s) { s.factor = 0; }), factor);
    EXPECT_EQ(mm([](MmSettings& s) { s.factor = -1.2; }), factor);
    EXPECT_EQ(mm([](MmSettings& s) { s.factor = std::nan(""); }), factor);
    // The fields in the order they are read: the factor before the limit.
    EXPECT_EQ(mm([](MmSettings& s) { s.factor = 0, s.strainLimit = 0; }), factor);
}

}  // namespace

TEST(StrainLimitPoints, WindowAndDistancesOfAnyPointsInAnyOrderAndTurned) {
    // A triangle, each of its vertices first in turn.
    const double xs[3] = {0, -50, 60}, ys[3] = {100, -20, -40};
    for (int first = 0; first < 3; ++first) {
        StrainLimitPoints p;
        for (int k = 0; k < 3; ++k) {
            p.x.push_back(xs[(first + k) % 3]);
            p.y.push_back(ys[(first + k) % 3]);
        }
        const AxisWindowResult win = AxisWindowForSlope(0, p, 1.5);
        EXPECT_EQ(win.cmin, -40 * 1.5) << first;
        EXPECT_EQ(win.cmax, 100 * 1.5) << first;
        const AxisWindowResult turned = AxisWindowForSlope(0, p.Turned(), 1.5);
        EXPECT_EQ(turned.cmin, -100 * 1.5) << first;
        EXPECT_EQ(turned.cmax, 40 * 1.5) << first;
        double dmin, dmax;
        CornerDistances(0, 0, p, dmin, dmax);  // distance -y on a level axis
        EXPECT_EQ(dmin, -100) << first;
        EXPECT_EQ(dmax, 40) << first;
    }
}
