#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "input/error.h"
#include "input/fields.h"
#include "input/section_input.h"
#include "section/fiber.h"
#include "section/mesh.h"

namespace {

using namespace px;

// The input record of section type `type` with the window's default fields.
SectionInput DefaultInput(int type) {
    MapFields f = DefaultFields();
    f.items["ComboBox1"] = type - 1;
    SectionInput in;
    ReadSectionInput(f, in);
    return in;
}

FiberTable Meshed(const SectionInput& in) {
    FiberTable t;
    BuildFiberTable(in, t);
    return t;
}

constexpr double kTol = 5e-4;  // the figures are given to three decimals

void ExpectCorners(const Fiber& f, std::initializer_list<double> c) {
    const double* want = c.begin();
    const double got[8] = {f.X1, f.Y1, f.X2, f.Y2, f.X3, f.Y3, f.X4, f.Y4};
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(got[i], want[i], kTol) << "corner coordinate " << i;
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
    EXPECT_EQ(a.X, b.X) << "fiber " << i;
    EXPECT_EQ(a.Y, b.Y) << "fiber " << i;
    EXPECT_EQ(a.Area, b.Area) << "fiber " << i;
    EXPECT_EQ(a.MatId, b.MatId) << "fiber " << i;
    EXPECT_EQ(a.X1, b.X1) << "fiber " << i;
    EXPECT_EQ(a.Y1, b.Y1) << "fiber " << i;
    EXPECT_EQ(a.X2, b.X2) << "fiber " << i;
    EXPECT_EQ(a.Y2, b.Y2) << "fiber " << i;
    EXPECT_EQ(a.X3, b.X3) << "fiber " << i;
    EXPECT_EQ(a.Y3, b.Y3) << "fiber " << i;
    EXPECT_EQ(a.X4, b.X4) << "fiber " << i;
    EXPECT_EQ(a.Y4, b.Y4) << "fiber " << i;
    EXPECT_EQ(a.BarDia, b.BarDia) << "fiber " << i;
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
    FiberTable t = Meshed(in);
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

}  // namespace
