#include <gtest/gtest.h>

#include "support/sections.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <set>
#include <string>

#include "input/error.h"
#include "input/fields.h"
#include "input/section_input.h"
#include "section/fiber.h"
#include "section/mesh.h"

namespace {

using namespace px;
using px::fixtures::DefaultInput;
using px::fixtures::Meshed;
using px::fixtures::MeshedUnguarded;

constexpr double kTol = 5e-4;  // the figures are given to three decimals

void ExpectCorners(const Fiber& f, const std::array<double, 8>& want) {
    const double got[8] = {f.X1, f.Y1, f.X2, f.Y2, f.X3, f.Y3, f.X4, f.Y4};
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(got[i], want[i], kTol) << "corner coordinate " << i;
}

// A sector fiber's corners and centre to three decimals, its area within
// areaTol and its material.
struct Sector {
    std::array<double, 8> corners;
    double x, y, area;
    int mat;
    double areaTol = kTol;
};

void ExpectSector(const Fiber& f, const Sector& w) {
    ExpectCorners(f, w.corners);
    EXPECT_NEAR(f.X, w.x, kTol);
    EXPECT_NEAR(f.Y, w.y, kTol);
    EXPECT_NEAR(f.Area, w.area, w.areaTol);
    EXPECT_EQ(f.MatId, w.mat);
}

// Sum of Area over the fibers with the given id, in fiber order.
double AreaOf(const FiberTable& t, int id) {
    double s = 0;
    for (int i = 1; i <= t.NFib; ++i)
        if (t[i].MatId == id) s += t[i].Area;
    return s;
}

int CountOf(const FiberTable& t, int id) {
    int n = 0;
    for (int i = 1; i <= t.NFib; ++i) n += t[i].MatId == id;
    return n;
}

// Every field a mesher writes, compared bit for bit.
void ExpectSameFiber(const Fiber& a, const Fiber& b, int i) {
    auto written = [](const Fiber& f) {
        return std::array<double, 13>{f.X, f.Y, f.Area, double(f.MatId), f.X1, f.Y1, f.X2,
                                      f.Y2, f.X3, f.Y3, f.X4, f.Y4, f.BarDia};
    };
    EXPECT_EQ(written(a), written(b)) << "fiber " << i;
}

// Fibers [from, from + n) of a equal fibers [fromB, fromB + n) of b.
void ExpectSameRange(const FiberTable& a, int from, const FiberTable& b, int fromB, int n) {
    for (int k = 0; k < n; ++k) ExpectSameFiber(a[from + k], b[fromB + k], from + k);
}

std::string MessageOf(const SectionInput& in) {
    FiberTable t;
    try {
        BuildFiberTable(in, t);
    } catch (const AppError& e) {
        return e.what();
    }
    return "";
}

// ---- Rectangular column ----------------------------------------------------

TEST(RectColumn, DefaultFibers) {
    const FiberTable t = Meshed(DefaultInput(1));
    ASSERT_EQ(t.NFib, 248);
    ASSERT_EQ(t.f.size(), 249u);
    EXPECT_EQ(CountOf(t, MatCoreConcrete1), 100);
    EXPECT_EQ(CountOf(t, MatCoverConcrete), 48);
    EXPECT_EQ(CountOf(t, MatRebar), 100);

    // Bottom-left core cell.
    EXPECT_DOUBLE_EQ(t[1].X, -954);
    EXPECT_DOUBLE_EQ(t[1].Y, -954);
    EXPECT_DOUBLE_EQ(t[1].Area, 44944);
    EXPECT_EQ(t[1].MatId, MatCoreConcrete1);
    ExpectCorners(t[1], {-1060, -848, -848, -848, -848, -1060, -1060, -1060});
    // The core runs left to right, each column bottom to top.
    EXPECT_DOUBLE_EQ(t[2].X, -954);
    EXPECT_DOUBLE_EQ(t[2].Y, -742);
    EXPECT_DOUBLE_EQ(t[11].X, -742);
    EXPECT_DOUBLE_EQ(t[100].X, 954);
    EXPECT_DOUBLE_EQ(t[100].Y, 954);

    // Left-most bottom cover strip, then its top twin.
    EXPECT_NEAR(t[101].X, -1008.333333, 1e-6);
    EXPECT_DOUBLE_EQ(t[101].Y, -1080);
    EXPECT_EQ(t[101].MatId, MatCoverConcrete);
    EXPECT_NEAR(t[101].Area, 40.0 * 2200 / 12, 1e-9);
    ExpectCorners(t[101], {-1100, -1060, -916.667, -1060, -916.667, -1100, -1100, -1100});
    EXPECT_DOUBLE_EQ(t[102].Y, 1080);
    // First left strip and its right twin.
    EXPECT_DOUBLE_EQ(t[125].X, -1080);
    EXPECT_NEAR(t[125].Y, -1060 + 2120.0 / 24, 1e-9);
    EXPECT_DOUBLE_EQ(t[126].X, 1080);

    // First X bar (bottom), its top twin, the second row 40 mm further in.
    EXPECT_NEAR(t[149].X, -1060 + 2120.0 / 13, 1e-9);
    EXPECT_DOUBLE_EQ(t[149].Y, -1060);
    EXPECT_DOUBLE_EQ(t[150].Y, 1060);
    EXPECT_DOUBLE_EQ(t[149].Area, 490.625);
    EXPECT_DOUBLE_EQ(t[149].BarDia, 25);
    EXPECT_EQ(t[149].MatId, MatRebar);
    EXPECT_DOUBLE_EQ(t[173].Y, -1020);
    EXPECT_DOUBLE_EQ(t[174].Y, 1020);
    // First Y bar (left) and its right twin.
    EXPECT_DOUBLE_EQ(t[197].X, -1060);
    EXPECT_DOUBLE_EQ(t[198].X, 1060);
    EXPECT_NEAR(t[197].Y, -1060 + 2120.0 / 13, 1e-9);

    // Corner bundles: bottom-left, bottom-right, top-right, top-left.
    const double cx[4] = {-1060, 1060, 1060, -1060}, cy[4] = {-1060, -1060, 1060, 1060};
    for (int c = 0; c < 4; ++c) {
        EXPECT_DOUBLE_EQ(t[245 + c].X, cx[c]);
        EXPECT_DOUBLE_EQ(t[245 + c].Y, cy[c]);
        EXPECT_DOUBLE_EQ(t[245 + c].Area, 490.625);
        EXPECT_DOUBLE_EQ(t[245 + c].BarDia, 25);
    }

    // Core and cover tile B x H once.
    EXPECT_NEAR(AreaOf(t, MatCoreConcrete1) + AreaOf(t, MatCoverConcrete), 2200.0 * 2200, 1e-6);
    EXPECT_DOUBLE_EQ(AreaOf(t, MatRebar), 49062.5);
}

TEST(RectColumn, TwoMeshCellsLeaveNoCore) {
    SectionInput in = DefaultInput(1);
    in.MeshX = 2;
    FiberTable t = MeshedUnguarded(in);
    EXPECT_EQ(t.NFib, 0 + 4 + 24 + 48 + 48 + 4);
    EXPECT_EQ(CountOf(t, MatCoreConcrete1), 0);
    EXPECT_EQ(t[1].MatId, MatCoverConcrete);
    EXPECT_DOUBLE_EQ(t[1].X, -550);  // half of the 2200 width
}

TEST(RectColumn, BarRowVariants) {
    SectionInput in = DefaultInput(1);
    in.XBarNum = 1;
    in.XBarRows = 3;
    FiberTable t = Meshed(in);
    EXPECT_EQ(t.NFib, 100 + 48 + 6 + 48 + 4);
    // Single bar at mid-width; rows at cover, cover + 40, cover + 80 from each face.
    const double y[3] = {-1060, -1020, -980};
    for (int r = 0; r < 3; ++r) {
        EXPECT_DOUBLE_EQ(t[149 + 2 * r].X, 0);
        EXPECT_DOUBLE_EQ(t[149 + 2 * r].Y, y[r]);
        EXPECT_DOUBLE_EQ(t[150 + 2 * r].Y, -y[r]);
    }

    in = DefaultInput(1);
    in.XBarRows = 0;
    t = Meshed(in);
    EXPECT_EQ(t.NFib, 100 + 48 + 48 + 4);
    EXPECT_EQ(CountOf(t, MatRebar), 52);  // Y bars and the four corners remain
}

TEST(RectColumn, EmptyCornerBundles) {
    SectionInput in = DefaultInput(1);
    in.CornerBarNum = 0;
    FiberTable t = Meshed(in);
    ASSERT_EQ(t.NFib, 248);
    for (int i = 245; i <= 248; ++i) {
        EXPECT_EQ(t[i].MatId, MatRebar);
        EXPECT_EQ(t[i].Area, 0);
        EXPECT_EQ(t[i].BarDia, 0);
    }
}

TEST(RectColumn, NegativeCornerBundleIsAnInvalidOperation) {
    // The mesher itself, without the guard of BuildFiberTable.
    SectionInput in = DefaultInput(1);
    in.CornerBarNum = -1;
    FiberTable t;
    try {
        MeshRectColumn(in, t);
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_STREQ(e.what(), kInvalidOp);
    }
    EXPECT_EQ(t.NFib, 248);  // counted and written up to the first bundle
    EXPECT_DOUBLE_EQ(t[244].X, 1020);  // the last Y bar is in place
    EXPECT_DOUBLE_EQ(t[245].X, -1060);  // the first bundle got its position, not its diameter
}

TEST(RectColumn, SmallerMeshReusesElementsAndWritesAllItsFields) {
    FiberTable t = Meshed(DefaultInput(3));  // leaves steel fibers in 249..308
    t[5].Stress = 7;
    t[5].Fc = 27.5;
    SectionInput in = DefaultInput(1);
    FiberTable fresh = Meshed(in);
    BuildFiberTable(in, t);
    ASSERT_EQ(t.NFib, 248);
    ASSERT_EQ(t.f.size(), 249u);
    ExpectSameRange(t, 1, fresh, 1, 248);
    EXPECT_EQ(t[5].Stress, 7);  // solver and material fields are left alone
    EXPECT_EQ(t[5].Fc, 27.5);
}

// ---- Circular column -------------------------------------------------------

TEST(CircularColumn, DefaultFibers) {
    const SectionInput in = DefaultInput(2);
    EXPECT_EQ(in.H, 2200);
    const FiberTable t = Meshed(in);
    ASSERT_EQ(t.NFib, 180);
    EXPECT_EQ(CountOf(t, MatCoreConcrete1), 144);
    EXPECT_EQ(CountOf(t, MatCoverConcrete), 12);
    EXPECT_EQ(CountOf(t, MatRebar), 24);

    // Innermost sector from 30 to 60 degrees: a triangle from the origin.
    ExpectSector(t[1], {{0, 0, 76.499, 44.167, 44.167, 76.499, 0, 0},
                        30.166, 30.166, 2041.727, MatCoreConcrete1});
    // The next fiber is the next ring of the same sector.
    EXPECT_NEAR(t[2].X1, 76.499, kTol);

    // First cover fiber.
    ExpectSector(t[145], {{917.987, 530, 952.628, 550, 550, 952.628, 530, 917.987},
                          737.654, 737.654, 22608, MatCoverConcrete, 1e-6});

    // Bars angle by angle, outer circle first.
    EXPECT_NEAR(t[157].X, 917.987, kTol);
    EXPECT_NEAR(t[157].Y, 530, kTol);
    EXPECT_NEAR(t[158].X, 883.346, kTol);
    EXPECT_NEAR(t[158].Y, 510, kTol);
    EXPECT_DOUBLE_EQ(t[157].Area, 490.625);
    EXPECT_DOUBLE_EQ(t[157].BarDia, 25);
    // The last bar angle is 360 degrees, on the +x axis.
    EXPECT_NEAR(t[179].X, 1060, 1e-9);
    EXPECT_NEAR(t[179].Y, 0, 1e-9);

    // 3.14 x (D/2)^2 in concrete, ring by ring.
    EXPECT_NEAR(AreaOf(t, MatCoreConcrete1) + AreaOf(t, MatCoverConcrete), 3799400, 1e-6);
}

TEST(CircularColumn, CountVariants) {
    SectionInput in = DefaultInput(2);
    in.MeshY = 1;
    in.MeshX = 4;
    in.XBarNum = 4;
    in.XBarRows = 1;
    FiberTable t = Meshed(in);
    ASSERT_EQ(t.NFib, 4 + 4 + 4);
    // Four sectors starting on the axes at 90, 180, 270, 360 degrees; one
    // triangle each from the centre to the core radius.
    EXPECT_NEAR(t[1].X2, 0, 1e-9);
    EXPECT_NEAR(t[1].Y2, 1060, 1e-9);
    EXPECT_NEAR(t[1].X3, -1060, 1e-9);
    EXPECT_NEAR(t[4].X2, 1060, 1e-9);
    // Bars on +y, -x, -y, +x.
    const double bx[4] = {0, -1060, 0, 1060}, by[4] = {1060, 0, -1060, 0};
    for (int m = 0; m < 4; ++m) {
        EXPECT_NEAR(t[9 + m].X, bx[m], 1e-9);
        EXPECT_NEAR(t[9 + m].Y, by[m], 1e-9);
    }

    in = DefaultInput(2);
    in.XBarNum = 0;
    EXPECT_EQ(Meshed(in).NFib, 144 + 12);
}

// ---- Rect SRC columns ------------------------------------------------------

TEST(RectSrcType1, DefaultFibers) {
    const FiberTable rect = Meshed(DefaultInput(1));
    const FiberTable t = Meshed(DefaultInput(3));
    ASSERT_EQ(t.NFib, 308);
    ExpectSameRange(t, 1, rect, 1, 248);

    EXPECT_DOUBLE_EQ(t[249].X, -275);
    EXPECT_DOUBLE_EQ(t[249].Y, -770);
    EXPECT_DOUBLE_EQ(t[249].Area, 3000);
    EXPECT_EQ(t[249].MatId, MatSteelSection);
    ExpectCorners(t[249], {-300, -740, -250, -740, -250, -800, -300, -800});
    EXPECT_DOUBLE_EQ(t[261].Y, 770);  // top flange follows the bottom one
    EXPECT_DOUBLE_EQ(t[273].X, -770);
    EXPECT_DOUBLE_EQ(t[273].Y, -275);
    EXPECT_DOUBLE_EQ(t[273].Area, 3000);
    ExpectCorners(t[273], {-800, -250, -740, -250, -740, -300, -800, -300});
    EXPECT_DOUBLE_EQ(t[285].X, 770);
    EXPECT_DOUBLE_EQ(t[297].X, 0);
    EXPECT_NEAR(t[297].Y, -616.667, kTol);
    EXPECT_NEAR(t[297].Area, 4933.333, kTol);
    ExpectCorners(t[297], {-10, -493.333, 10, -493.333, 10, -740, -10, -740});
    EXPECT_NEAR(t[303].X, -616.667, kTol);
    EXPECT_DOUBLE_EQ(t[303].Y, 0);
    EXPECT_NEAR(t[308].X, 616.667, kTol);

    EXPECT_NEAR(AreaOf(t, MatCoreConcrete1) + AreaOf(t, MatCoverConcrete), 4840000, 1e-6);
    EXPECT_NEAR(AreaOf(t, MatSteelSection), 203200, 1e-6);
}

TEST(RectSrcType1, SteelCounts) {
    SectionInput in = DefaultInput(3);
    in.FlangeMesh = 0;
    in.WebMesh = 0;
    const FiberTable rect = Meshed(DefaultInput(1));
    FiberTable t = MeshedUnguarded(in);
    ASSERT_EQ(t.NFib, 248);
    ExpectSameRange(t, 1, rect, 1, 248);

    in.FlangeMesh = 1;
    in.WebMesh = 1;
    t = Meshed(in);
    ASSERT_EQ(t.NFib, 254);
    const double x[6] = {0, 0, -770, 770, 0, 0}, y[6] = {-770, 770, 0, 0, 0, 0};
    for (int k = 0; k < 6; ++k) {
        EXPECT_DOUBLE_EQ(t[249 + k].X, x[k]) << k;
        EXPECT_DOUBLE_EQ(t[249 + k].Y, y[k]) << k;
    }
}

TEST(RectSrcType2, EqualsType1WithoutTheXSection) {
    const FiberTable t3 = Meshed(DefaultInput(3));
    const FiberTable t = Meshed(DefaultInput(4));
    ASSERT_EQ(t.NFib, 278);
    ExpectSameRange(t, 1, t3, 1, 272);   // column and Y flanges
    ExpectSameRange(t, 273, t3, 297, 6);  // Y web
    EXPECT_DOUBLE_EQ(t[249].X, -275);
    EXPECT_DOUBLE_EQ(t[249].Y, -770);
    EXPECT_DOUBLE_EQ(t[249].Area, 3000);
    EXPECT_DOUBLE_EQ(t[261].X, -275);
    EXPECT_DOUBLE_EQ(t[261].Y, 770);
    EXPECT_DOUBLE_EQ(t[273].X, 0);
    EXPECT_NEAR(t[273].Y, -616.667, kTol);
    EXPECT_NEAR(t[273].Area, 4933.333, kTol);
    EXPECT_NEAR(t[278].Y, 616.667, kTol);

    SectionInput in = DefaultInput(4);
    in.FlangeMesh = 0;
    in.WebMesh = 0;
    EXPECT_EQ(MeshedUnguarded(in).NFib, 248);
}

// ---- Steel tube and box ----------------------------------------------------

TEST(CircularSteelTube, DefaultFibers) {
    const FiberTable t = Meshed(DefaultInput(5));
    ASSERT_EQ(t.NFib, 156);
    ExpectSector(t[1], {{0, 0, 76.499, 44.167, 44.167, 76.499, 0, 0},
                        30.166, 30.166, 2041.727, MatCoreConcrete1});
    ExpectCorners(t[145], {917.987, 530, 952.628, 550, 550, 952.628, 530, 917.987});
    EXPECT_NEAR(t[145].X, 737.654, kTol);
    EXPECT_NEAR(t[145].Area, 22608, 1e-6);
    EXPECT_EQ(t[145].MatId, MatSteelSection);
    EXPECT_NEAR(AreaOf(t, MatCoreConcrete1), 3528104, 1e-6);
    EXPECT_NEAR(AreaOf(t, MatSteelSection), 271296, 1e-6);

    // Same layout as the circular column's core and cover, but the ring area
    // is multiplied out as 3.14 x r x r.
    const FiberTable c = Meshed(DefaultInput(2));
    for (int i = 1; i <= 156; ++i) {
        EXPECT_EQ(t[i].X1, c[i].X1);
        EXPECT_EQ(t[i].X, c[i].X);
        EXPECT_NEAR(t[i].Area, c[i].Area, 1e-9);
    }
}

TEST(CircularSteelTube, Variants) {
    SectionInput in = DefaultInput(5);
    in.MeshY = 1;
    in.SteelYTw = 0;
    const FiberTable t = Meshed(in);
    ASSERT_EQ(t.NFib, 24);
    EXPECT_EQ(t[1].X1, 0);
    EXPECT_NEAR(t[1].X2, 1100 * std::cos(30 * 0.017453292519943295), 1e-9);
    for (int i = 13; i <= 24; ++i) EXPECT_EQ(t[i].Area, 0);
    EXPECT_NEAR(t[13].X1, t[13].X2, 1e-9);
}

TEST(RectSteelBox, DefaultFibers) {
    const FiberTable t = Meshed(DefaultInput(6));
    ASSERT_EQ(t.NFib, 148);
    EXPECT_DOUBLE_EQ(t[1].X, -954);
    EXPECT_DOUBLE_EQ(t[1].Y, -954);
    EXPECT_DOUBLE_EQ(t[1].Area, 44944);
    EXPECT_EQ(t[1].MatId, MatCoreConcrete1);
    EXPECT_NEAR(t[101].X, -1008.333, kTol);
    EXPECT_DOUBLE_EQ(t[101].Y, -1080);
    EXPECT_NEAR(t[101].Area, 7333.333, kTol);
    EXPECT_EQ(t[101].MatId, MatSteelSection);
    ExpectCorners(t[101], {-1100, -1060, -916.667, -1060, -916.667, -1100, -1100, -1100});
    EXPECT_DOUBLE_EQ(t[102].Y, 1080);
    EXPECT_DOUBLE_EQ(t[125].X, -1080);
    EXPECT_NEAR(t[125].Y, -971.667, kTol);
    EXPECT_NEAR(t[125].Area, 7066.667, kTol);
    EXPECT_DOUBLE_EQ(t[126].X, 1080);
    EXPECT_NEAR(AreaOf(t, MatCoreConcrete1), 4494400, 1e-6);
    EXPECT_NEAR(AreaOf(t, MatSteelSection), 345600, 1e-6);
}

TEST(RectSteelBox, TwoThicknessesAndNoInfill) {
    SectionInput in = DefaultInput(6);
    in.SteelYTw = 20;  // left and right walls
    in.SteelXTw = 40;  // bottom and top walls
    FiberTable t = Meshed(in);
    EXPECT_DOUBLE_EQ(t[1].X, -972);
    EXPECT_DOUBLE_EQ(t[1].Y, -954);
    ExpectCorners(t[1], {-1080, -848, -864, -848, -864, -1060, -1080, -1060});
    EXPECT_DOUBLE_EQ(t[101].Y3 - t[101].Y1, -40);  // bottom strip 40 high
    EXPECT_DOUBLE_EQ(t[125].X2 - t[125].X1, 20);   // left strip 20 wide
    EXPECT_NEAR(AreaOf(t, MatCoreConcrete1), 2160.0 * 2120, 1e-6);

    in.MeshX = 2;
    t = MeshedUnguarded(in);
    EXPECT_EQ(t.NFib, 4 + 24);
    EXPECT_EQ(CountOf(t, MatCoreConcrete1), 0);
}

// ---- Circular SRC and steel tube in rect -----------------------------------

TEST(CircularSrc, DefaultFibers) {
    const FiberTable circ = Meshed(DefaultInput(2));
    const FiberTable t3 = Meshed(DefaultInput(3));
    const FiberTable t = Meshed(DefaultInput(7));
    ASSERT_EQ(t.NFib, 240);
    ExpectSameRange(t, 1, circ, 1, 180);
    ExpectSameRange(t, 181, t3, 249, 60);
    EXPECT_NEAR(t[157].X, 917.987, kTol);
    EXPECT_NEAR(t[157].Y, 530, kTol);
    EXPECT_DOUBLE_EQ(t[157].Area, 490.625);
    EXPECT_DOUBLE_EQ(t[157].BarDia, 25);
    EXPECT_NEAR(t[158].X, 883.346, kTol);
    EXPECT_NEAR(t[158].Y, 510, kTol);
    EXPECT_DOUBLE_EQ(t[181].X, -275);
    EXPECT_DOUBLE_EQ(t[181].Y, -770);
    EXPECT_DOUBLE_EQ(t[181].Area, 3000);
    EXPECT_DOUBLE_EQ(t[205].X, -770);
    EXPECT_DOUBLE_EQ(t[205].Y, -275);
    EXPECT_DOUBLE_EQ(t[229].X, 0);
    EXPECT_NEAR(t[229].Y, -616.667, kTol);
    EXPECT_NEAR(t[235].X, -616.667, kTol);
    EXPECT_DOUBLE_EQ(t[235].Y, 0);
    EXPECT_NEAR(t[240].X, 616.667, kTol);
    EXPECT_EQ(t[240].MatId, MatSteelSection);

    SectionInput in = DefaultInput(7);
    in.FlangeMesh = 0;
    in.WebMesh = 0;
    const FiberTable bare = MeshedUnguarded(in);
    ASSERT_EQ(bare.NFib, 180);
    ExpectSameRange(bare, 1, circ, 1, 180);
}

TEST(SteelTubeInRect, DefaultFibers) {
    const FiberTable rect = Meshed(DefaultInput(1));
    const FiberTable t = Meshed(DefaultInput(8));
    ASSERT_EQ(t.NFib, 404);
    ExpectSameRange(t, 1, rect, 1, 248);

    ExpectSector(t[249], {{0, 0, 106.810, 61.667, 61.667, 106.810, 0, 0},
                          42.119, 42.119, 3980.241, MatCoreConcrete2});

    ExpectSector(t[321], {{0, 0, 115.470, 66.667, 66.667, 115.470, 0, 0},
                          45.534, 45.534, 4651.852, MatDeductedConcrete1});

    ExpectSector(t[393], {{640.859, 370, 692.820, 400, 400, 692.820, 370, 640.859},
                          525.920, 525.920, 24178, MatSteelSection, 1e-6});

    const double infill = AreaOf(t, MatCoreConcrete2), deducted = AreaOf(t, MatDeductedConcrete1),
                 wall = AreaOf(t, MatSteelSection);
    EXPECT_NEAR(infill, 1719464, 1e-6);
    EXPECT_NEAR(deducted, 2009600, 1e-6);
    EXPECT_NEAR(wall, 290136, 1e-6);
    EXPECT_NEAR(infill + wall, deducted, 1e-6);
}

TEST(SteelTubeInRect, TubeCounts) {
    const FiberTable rect = Meshed(DefaultInput(1));
    SectionInput in = DefaultInput(8);
    in.FlangeMesh = 0;
    FiberTable t = MeshedUnguarded(in);
    ASSERT_EQ(t.NFib, 248);
    ExpectSameRange(t, 1, rect, 1, 248);

    // No rings would keep the wall but drop the deducted disc: refused.
    in = DefaultInput(8);
    in.WebMesh = 0;
    EXPECT_EQ(MessageOf(in), "\"Pile Mesh Num2\" must be at least 1");

    // A tube larger than the core but inside the section is meshed in full,
    // its deducted disc reaching into the cover band.
    in = DefaultInput(8);
    in.SteelYH = 2180;
    t = Meshed(in);
    EXPECT_NEAR(AreaOf(t, MatDeductedConcrete1), 3.14 * 1090 * 1090, 1e-6);
}

// ---- Guards ----------------------------------------------------------------

struct GuardCase {
    int type;
    void (*edit)(SectionInput&);
    const char* message;
};

TEST(MeshGuards, RefuseCountsThatLeaveAPartWithoutFibers) {
    const GuardCase cases[] = {
        {1, [](SectionInput& in) { in.MeshX = 2; }, "\"X-Dir Mesh Num\" must be at least 3"},
        {1, [](SectionInput& in) { in.MeshY = -3; }, "\"Y-Dir Mesh Num\" must be at least 3"},
        {1, [](SectionInput& in) { in.XBarRows = -1; }, "\"X-Dir Rebar Row\" must be at least 0"},
        {1, [](SectionInput& in) { in.XBarNum = -1; }, "\"X-Dir Rebar Num\" must be at least 0"},
        {1, [](SectionInput& in) { in.YBarRows = -1; }, "\"Y-Dir Rebar Row\" must be at least 0"},
        {1, [](SectionInput& in) { in.YBarNum = -1; }, "\"Y-Dir Rebar Num\" must be at least 0"},
        {1, [](SectionInput& in) { in.CornerBarNum = -1; }, "\"Corner Rebar Num\" must be at least 0"},
        {2, [](SectionInput& in) { in.MeshX = 0; }, "\"Mesh Num 1\" must be at least 4"},
        {2, [](SectionInput& in) { in.MeshX = 2; }, "\"Mesh Num 1\" must be at least 4"},
        {2, [](SectionInput& in) { in.MeshY = 0; }, "\"Mesh Num 2\" must be at least 1"},
        {2, [](SectionInput& in) { in.XBarRows = -2; }, "\"Rebar Row\" must be at least 0"},
        {2, [](SectionInput& in) { in.XBarNum = -2; }, "\"Rebar Num\" must be at least 0"},
        {3, [](SectionInput& in) { in.FlangeMesh = 0; }, "\"Flange Mesh Num\" must be at least 1"},
        {4, [](SectionInput& in) { in.WebMesh = -1; }, "\"Web Mesh Num\" must be at least 1"},
        {4, [](SectionInput& in) { in.MeshX = 0; }, "\"X-Dir Mesh Num\" must be at least 3"},
        {5, [](SectionInput& in) { in.MeshX = 3; }, "\"Mesh Num 1\" must be at least 4"},
        {5, [](SectionInput& in) { in.MeshY = -1; }, "\"Mesh Num 2\" must be at least 1"},
        {6, [](SectionInput& in) { in.MeshY = 2; }, "\"Y-Dir Mesh Num\" must be at least 3"},
        {7, [](SectionInput& in) { in.WebMesh = 0; }, "\"Web Mesh Num\" must be at least 1"},
        {7, [](SectionInput& in) { in.XBarNum = -1; }, "\"Rebar Num\" must be at least 0"},
        {8, [](SectionInput& in) { in.FlangeMesh = 0; }, "\"Pile Mesh Num1\" must be at least 4"},
        {8, [](SectionInput& in) { in.FlangeMesh = -1; }, "\"Pile Mesh Num1\" must be at least 4"},
        // One message for every wrong value of a count.
        {8, [](SectionInput& in) { in.WebMesh = -1; }, "\"Pile Mesh Num2\" must be at least 1"},
        {8, [](SectionInput& in) { in.WebMesh = 0; }, "\"Pile Mesh Num2\" must be at least 1"},
        {8, [](SectionInput& in) { in.CornerBarNum = -1; }, "\"Coner Rebar Num\" must be at least 0"},
    };
    for (const GuardCase& c : cases) {
        SCOPED_TRACE(c.message);
        FiberTable t = Meshed(DefaultInput(1));
        const FiberTable before = t;
        SectionInput in = DefaultInput(c.type);
        c.edit(in);
        try {
            BuildFiberTable(in, t);
            ADD_FAILURE() << "not refused";
        } catch (const AppError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
        ASSERT_EQ(t.NFib, 248);
        ASSERT_EQ(t.f.size(), 249u);
        ExpectSameRange(t, 1, before, 1, 248);
    }
}

TEST(MeshGuards, FieldsATypeDoesNotUseAreNotChecked) {
    SectionInput in = DefaultInput(5);  // tube: no bars, no cover
    in.XBarNum = -5;
    in.CornerBarNum = -1;
    in.FlangeMesh = -1;
    EXPECT_EQ(Meshed(in).NFib, 156);
    in = DefaultInput(2);  // circular column: no Y bars, no corners
    in.YBarRows = -1;
    in.CornerBarNum = -4;
    EXPECT_EQ(Meshed(in).NFib, 180);
    // Counts at their limits are accepted: no bars, 4 sectors, one ring,
    // one strip per flange and web, a 3 x 3 rectangular mesh.
    in = DefaultInput(2);
    in.XBarNum = 0;
    in.MeshX = 4;
    in.MeshY = 1;
    EXPECT_EQ(Meshed(in).NFib, 8);
    in = DefaultInput(3);
    in.FlangeMesh = in.WebMesh = 1;
    in.MeshX = in.MeshY = 3;
    EXPECT_EQ(Meshed(in).NFib, 1 + 12 + 96 + 4 + 6);
    in = DefaultInput(8);
    in.FlangeMesh = 4;
    in.WebMesh = 1;
    EXPECT_EQ(Meshed(in).NFib, 248 + 12);
}

TEST(MeshGuards, HugeMeshesAreRefusedWithTheirCount) {
    SectionInput in = DefaultInput(1);
    in.MeshX = 1002;
    in.MeshY = 1002;
    EXPECT_EQ(FiberCount(in), 1000000LL + 2004 + 2004 + 48 + 48 + 4);
    EXPECT_EQ(MessageOf(in), "The mesh would have 1004108 fibers; at most 1000000 are allowed");

    // Counts whose product overflows 32 bits, even 64 bits in the sum.
    in.MeshX = 2147483647;
    in.MeshY = 2147483647;
    in.XBarRows = in.XBarNum = in.YBarRows = in.YBarNum = 2147483647;
    EXPECT_EQ(FiberCount(in), std::numeric_limits<long long>::max());
    EXPECT_NE(MessageOf(in).find("at most 1000000"), std::string::npos);

    in = DefaultInput(2);
    in.MeshX = 100000;
    in.MeshY = 100000;
    EXPECT_EQ(MessageOf(in), "The mesh would have 10000100024 fibers; at most 1000000 are allowed");

    // Exactly at the limit is accepted: 666 x 1495 + 2 x 668 + 2 x 1497.
    in = DefaultInput(6);
    in.MeshX = 668;
    in.MeshY = 1497;
    EXPECT_EQ(FiberCount(in), kMaxFibers);
    EXPECT_EQ(MessageOf(in), "");
    in.MeshY = 1498;
    EXPECT_EQ(MessageOf(in), "The mesh would have 1000668 fibers; at most 1000000 are allowed");
}

TEST(MeshGuards, UnknownTypeLeavesTheTable) {
    FiberTable t = Meshed(DefaultInput(2));
    SectionInput in = DefaultInput(1);
    in.SectionType = 10;
    in.MeshX = -7;
    BuildFiberTable(in, t);
    EXPECT_EQ(t.NFib, 180);
}

TEST(MeshFaults, HugeDimensionsOverflowInsteadOfWritingInfinity) {
    SectionInput in = DefaultInput(1);
    in.B = 1e308;
    in.H = 1e308;
    in.Cover = -1e308;  // B - 2 x Cover is infinite
    FiberTable t;
    try {
        BuildFiberTable(in, t);
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_STREQ(e.what(), kOverflow);
    }
}

// ---- Cover layers ----------------------------------------------------------

// Three layers cut each cover fiber (and each tube, box or pipe wall fiber)
// into three through the depth: the count formula matches what is written,
// every fiber has area, the band's area is unchanged, and the layers sit at
// the band's thirds, the outermost on the face and the innermost on its
// inner edge.
TEST(CoverLayers, LayerTheCoverBandAndSteelWalls) {
    const struct {
        int type;
        int extraSteel;  // wall fibers of one layer
    } cases[] = {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 12}, {6, 48}, {7, 0}, {8, 12}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const SectionInput one = DefaultInput(c.type);
        SectionInput three = one;
        three.CoverLayers = 3;
        const FiberTable a = Meshed(one), b = Meshed(three);
        ASSERT_EQ(b.NFib, FiberCount(three));
        for (int i = 1; i <= b.NFib; ++i) ASSERT_GT(b[i].Area, 0) << i;
        EXPECT_EQ(CountOf(b, MatCoverConcrete), 3 * CountOf(a, MatCoverConcrete));
        EXPECT_EQ(CountOf(b, MatSteelSection), CountOf(a, MatSteelSection) + 2 * c.extraSteel);
        for (int id : {MatCoverConcrete, MatSteelSection, MatCoreConcrete1, MatRebar})
            EXPECT_NEAR(AreaOf(b, id), AreaOf(a, id), 1e-9 * (AreaOf(a, id) + 1)) << id;
    }

    // The bottom cover strip of the column: centres at the band's sixths.
    SectionInput in = DefaultInput(1);
    in.CoverLayers = 3;
    const FiberTable t = Meshed(in);
    std::set<double> ys;
    for (int i = 1; i <= t.NFib; ++i)
        if (t[i].MatId == MatCoverConcrete && t[i].Y < -in.H / 2 + in.Cover) ys.insert(t[i].Y);
    ASSERT_EQ(ys.size(), 3u);
    int k = 0;
    for (double y : ys) EXPECT_NEAR(y, -in.H / 2 + in.Cover / 6 * (2 * k++ + 1), 1e-9);

    // The circular column's cover ring: radii from the core's edge to the face.
    SectionInput round = DefaultInput(2);
    round.CoverLayers = 4;
    const FiberTable r = Meshed(round);
    double lo = 1e300, hi = 0;
    for (int i = 1; i <= r.NFib; ++i)
        if (r[i].MatId == MatCoverConcrete) {
            lo = std::min(lo, std::hypot(r[i].X1, r[i].Y1));
            hi = std::max(hi, std::hypot(r[i].X2, r[i].Y2));
        }
    EXPECT_NEAR(lo, round.H / 2 - round.Cover, 1e-9);
    EXPECT_NEAR(hi, round.H / 2, 1e-9);

    // A thick cover whose core radius 148.9 a sum of layer depths misses by
    // a few bits: the innermost layer still meets the core exactly.
    round.H = round.B = 1000;
    round.Cover = 351.1;
    round.CoverLayers = 3;
    const FiberTable thick = Meshed(round);
    double coreEdge = 0, coverEdge = 1e300;
    for (int i = 1; i <= thick.NFib; ++i) {
        if (thick[i].MatId == MatCoreConcrete1) coreEdge = std::max(coreEdge, std::hypot(thick[i].X2, thick[i].Y2));
        if (thick[i].MatId == MatCoverConcrete) coverEdge = std::min(coverEdge, std::hypot(thick[i].X1, thick[i].Y1));
    }
    EXPECT_EQ(coverEdge, coreEdge);
}

TEST(CoverLayers, GuardNamesTheFieldAndLimits) {
    for (const auto& [layers, message] : {std::pair{0, "\"Cover Layers\" must be at least 1"},
                                          std::pair{-5, "\"Cover Layers\" must be at least 1"},
                                          std::pair{101, "\"Cover Layers\" must be at most 100"}}) {
        for (int type : {1, 6}) {
            SectionInput in = DefaultInput(type);
            in.CoverLayers = layers;
            FiberTable t = Meshed(DefaultInput(1));
            try {
                BuildFiberTable(in, t);
                ADD_FAILURE() << layers << " not refused";
            } catch (const FieldError& e) {
                EXPECT_EQ(std::string(e.what()), message);
                EXPECT_EQ(e.field(), "Edit70");
            }
            EXPECT_EQ(t.NFib, 248);
        }
    }
    SectionInput in = DefaultInput(1);
    in.CoverLayers = 100;
    EXPECT_EQ(MessageOf(in), "");
}

}  // namespace
