#include <gtest/gtest.h>

#include <cmath>

#include "analysis/mm_solver.h"
#include "analysis/pm_solver.h"
#include "default_column.h"
#include "input/error.h"

namespace {

using namespace px;
using pxtest::AddFiber;

TEST(AxialBounds, DefaultRectColumn) {
    pxtest::Column c = pxtest::MeshedColumn();
    ASSERT_EQ(c.t.NFib, 248);
    double PMax = 0, PMin = 0;
    ComputeAxialBounds(c.t, PMax, PMin);
    EXPECT_EQ(PMax, 149290.625);
    EXPECT_EQ(PMin, -16190.625);
}

TEST(AxialBounds, DeductedConcreteIsTakenOffAndOtherIdsCountNothing) {
    FiberTable t;
    AddFiber(t, 0, 0, 1000, MatCoverConcrete);     // +27500
    AddFiber(t, 0, 0, 1000, MatCoreConcrete2);     // +11900
    AddFiber(t, 0, 0, 100, MatDeductedConcrete1);  // -2750
    AddFiber(t, 0, 0, 10, MatSteelSection);        // +2600 both ways
    AddFiber(t, 0, 0, 1e6, 7);                     // no material
    double PMax = 0, PMin = 0;
    ComputeAxialBounds(t, PMax, PMin);
    EXPECT_DOUBLE_EQ(PMax, (27500.0 + 11900 - 2750 + 2600) / 1000);
    EXPECT_EQ(PMin, -2.6);
}

TEST(AxialBounds, PlainConcreteHasNoTensionCapacity) {
    FiberTable t;
    AddFiber(t, 0, 0, 1000, MatCoreConcrete1);
    double PMax = 0, PMin = 1;
    ComputeAxialBounds(t, PMax, PMin);
    EXPECT_EQ(PMin, 0.0);
    EXPECT_EQ(PMax, 27.5);
}

TEST(AxisWindow, BothEndsScaledByTheFactor) {
    const AxisWindowResult a = AxisWindow(0, 2200, 1000, 1.2);
    EXPECT_EQ(a.w, 0.0);
    EXPECT_EQ(a.cmin, -600.0);
    EXPECT_EQ(a.cmax, 600.0);
    // 45 degrees: offsets y - x of the corners run from -1600 to 1600.
    const AxisWindowResult b = AxisWindow(45, 2200, 1000, 1.0);
    EXPECT_NEAR(b.w, 1.0, 1e-15);
    EXPECT_NEAR(b.cmin, -1600, 1e-9);
    EXPECT_NEAR(b.cmax, 1600, 1e-9);
    // 90 degrees: a huge but finite slope; the window is used as it is.
    const AxisWindowResult v = AxisWindow(90, 2200, 2200, 1.2);
    EXPECT_GT(v.w, 1e15);
    EXPECT_TRUE(std::isfinite(v.cmin) && std::isfinite(v.cmax));
    EXPECT_LT(v.cmin, 0);
    EXPECT_EQ(v.cmin, -v.cmax);
}

TEST(TrialCurvature, DefaultColumnAtOffsetsZeroAndSevenHundred) {
    double dmin = 0, dmax = 0;
    CornerDistances(0, 0, 2200, 2200, dmin, dmax);
    EXPECT_EQ(dmin, -1100.0);
    EXPECT_EQ(dmax, 1100.0);
    double phi = TrialCurvature(dmin, dmax, -0.0035, false);
    EXPECT_EQ(phi, -0.0035 / -1100.0);  // compressive limit governs
    EXPECT_DOUBLE_EQ(phi * dmin, -0.0035);
    EXPECT_DOUBLE_EQ(phi * dmax, 0.0035);

    CornerDistances(0, 700, 2200, 2200, dmin, dmax);
    EXPECT_EQ(dmin, -400.0);
    EXPECT_EQ(dmax, 1800.0);
    phi = TrialCurvature(dmin, dmax, -0.0035, false);
    EXPECT_EQ(phi, 0.01 / 1800.0);  // tensile limit governs
    EXPECT_NEAR(phi * dmin, -0.00222, 5e-6);
}

TEST(TrialCurvature, WholeRectangleOnOneSide) {
    // Wholly compressed: limit / dmin; wholly stretched: 0.01 / dmax.
    EXPECT_EQ(TrialCurvature(-500, -100, -0.0035, false), -0.0035 / -500.0);
    EXPECT_EQ(TrialCurvature(100, 500, -0.0035, false), 0.01 / 500.0);
    EXPECT_EQ(TrialCurvature(-500, -100, -0.0035, true), -0.0035 / -500.0);
    EXPECT_EQ(TrialCurvature(100, 500, -0.0035, true), 0.01 / 500.0);
}

TEST(TrialCurvature, CornerOnTheAxisIsSkippedAndNoExtentIsRefused) {
    for (bool strict : {false, true}) {
        EXPECT_EQ(TrialCurvature(0, 2200, -0.0035, strict), 0.01 / 2200.0);
        EXPECT_EQ(TrialCurvature(-2200, 0, -0.0035, strict), -0.0035 / -2200.0);
        try {
            TrialCurvature(0, 0, -0.0035, strict);
            FAIL() << "no candidate must raise";
        } catch (const AppError& e) {
            EXPECT_STREQ(e.what(), kDivByZero);
        }
    }
}

TEST(SectionForces, SumsInFiberOrderWithSignedMoments) {
    FiberTable t;
    AddFiber(t, -100, 200, 1000, MatCoreConcrete1);  // compressed above the axis
    AddFiber(t, 300, -200, 500, MatRebar);           // stretched below it
    AddFiber(t, 0, 0, 1e9, 42);                      // no law: its stress stays
    t[3].Stress = 0;
    // w = 0, c = 0, phi = 1e-5: strain = -1e-5 y.
    const SectionForceResult r = SectionForces(t, 0, 0, 1e-5);
    EXPECT_DOUBLE_EQ(t[1].Strain, -0.002);
    EXPECT_EQ(t[1].Stress, -27.5);
    EXPECT_EQ(t[2].Stress, 330.0);  // 0.002 is past yield
    const double s1 = t[1].Stress * 1000, s2 = t[2].Stress * 500;
    EXPECT_EQ(r.P, -(s1 + s2) / 1000);
    EXPECT_EQ(r.Mx, (s1 * 200 + s2 * -200) / 1000000);
    EXPECT_EQ(r.My, (s1 * -100 + s2 * 300) / 1000000);
    EXPECT_LT(r.Mx, 0);
}

TEST(SectionForces, FaultsRaiseTheirMessages) {
    FiberTable t;
    AddFiber(t, 0, 10, 1e308, MatCoreConcrete1);  // compressed: -inf force
    try {
        SectionForces(t, 0, 0, 1e-3);
        FAIL();
    } catch (const AppError& e) {
        EXPECT_STREQ(e.what(), kOverflow);
    }
    AddFiber(t, 0, -10, 1e308, MatRebar);  // stretched: +inf force
    try {
        SectionForces(t, 0, 0, 1e-3);
        FAIL();
    } catch (const AppError& e) {
        EXPECT_STREQ(e.what(), kInvalidOp);
    }
}

TEST(SearchSteps, TiesGoToTheLastIndexAndTheWindowIsNotClamped) {
    const double P[9] = {50, 40, 30, 12, 20, 30, 11, 8, 40};
    // |P - 10|: index 3 gives 2, index 7 gives 2; index 6 gives 1.
    EXPECT_EQ(ChooseClosest(P, 0, 8, 10), 6);
    const double Q[9] = {50, 40, 30, 12, 20, 30, 14, 8, 40};
    EXPECT_EQ(ChooseClosest(Q, 0, 8, 10), 7);
    // Interior range only: the ends are never chosen even when closer.
    const double R[5] = {10, 13, 7, 13, 10};
    EXPECT_EQ(ChooseClosest(R, 1, 3, 10), 3);
    EXPECT_EQ(ChooseClosest(R, 0, 4, 10), 4);

    double lo = 0, hi = 100;
    NarrowWindow(lo, hi, 0, 10);
    EXPECT_EQ(lo, -10);
    EXPECT_EQ(hi, 10);
    lo = 0, hi = 100;
    NarrowWindow(lo, hi, 10, 10);
    EXPECT_DOUBLE_EQ(lo, 90);
    EXPECT_DOUBLE_EQ(hi, 110);
}

TEST(Settings, PmFieldsReadInOrderAndChecked) {
    MapFields f = DefaultFields();
    const PmSettings s = ReadPmSettings(f);
    EXPECT_EQ(s.nP, 10);
    EXPECT_EQ(s.K, 5);
    EXPECT_EQ(s.N, 100);
    EXPECT_EQ(s.factor, 1.2);
    EXPECT_EQ(s.strainLimit, -0.0035);
    EXPECT_NO_THROW(CheckPmSettings(s));

    f["Edit53"] = "x";
    f["Edit60"] = "y";
    try {
        ReadPmSettings(f);
        FAIL();
    } catch (const AppError& e) {
        EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
    }

    auto refused = [](PmSettings bad) {
        try {
            CheckPmSettings(bad);
        } catch (const AppError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    PmSettings b = s;
    b.nP = 0;
    EXPECT_EQ(refused(b), "\"Axial Force Division Points\" must be at least 1");
    b = s;
    b.K = 0;
    EXPECT_EQ(refused(b), "\"Outside Steps K\" must be at least 1");
    b = s;
    b.N = 0;
    EXPECT_EQ(refused(b), "\"Inside Steps N\" must be at least 1");
    b = s;
    b.N = kMaxGridSteps + 1;
    EXPECT_EQ(refused(b), "\"Inside Steps N\" must be at most 1000000");
    b = s;
    b.strainLimit = 0;
    EXPECT_EQ(refused(b), "\"Strain Limit\" must be less than 0");
    b = s;
    b.strainLimit = 0.0035;
    EXPECT_EQ(refused(b), "\"Strain Limit\" must be less than 0");
}

TEST(Settings, MmFieldsReadInOrderAndChecked) {
    MapFields f = DefaultFields();
    f["Edit30"] = "1500";
    const MmSettings s = ReadMmSettings(f);
    EXPECT_EQ(s.points, 36);
    EXPECT_EQ(s.axialForce, 1500);
    EXPECT_EQ(s.K, 5);
    EXPECT_EQ(s.N, 100);
    EXPECT_EQ(s.factor, 1.2);
    EXPECT_EQ(s.strainLimit, -0.0035);

    f["Edit30"] = "a";
    f["Edit61"] = "b";
    try {
        ReadMmSettings(f);
        FAIL();
    } catch (const AppError& e) {
        EXPECT_STREQ(e.what(), "'a' is not a valid floating point value");
    }

    auto refused = [](MmSettings bad) {
        try {
            CheckMmSettings(bad);
        } catch (const AppError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_EQ(refused(s), "");
    MmSettings b = s;
    b.points = 0;
    EXPECT_EQ(refused(b), "\"Num of MM Curve Points\" must be at least 1");
    b = s;
    b.K = 0;
    EXPECT_EQ(refused(b), "\"Outside Step K\" must be at least 1");
    b = s;
    b.N = 1;
    EXPECT_EQ(refused(b), "\"Inside Step N\" must be at least 2");
    b = s;
    b.N = 2;
    EXPECT_EQ(refused(b), "");
    b.strainLimit = 0;
    EXPECT_EQ(refused(b), "\"Strain Limit\" must be less than 0");
}

}  // namespace
