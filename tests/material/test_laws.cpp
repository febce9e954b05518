#include <gtest/gtest.h>

#include <cmath>

#include "analysis/section_steps.h"
#include "material/laws.h"

namespace {

using px::ConcreteStress;
using px::SteelStress;

double Concrete(double strain, double fc = 27.5, double e0 = 0.002, int model = 1) {
    double stress = 5.0, fcu = 27.5, ecu = 0.0035;
    ConcreteStress(fc, e0, fcu, ecu, stress, strain, model);
    return stress;
}

double Steel(double strain, double es = 206000, double fy = 330, int model = 1) {
    double stress = 5.0;
    SteelStress(es, fy, stress, strain, model);
    return stress;
}

TEST(ConcreteLaw, ParabolaThenPlateauAndNoTension) {
    EXPECT_EQ(Concrete(0.0), 0.0);
    EXPECT_EQ(Concrete(-0.0), 0.0);
    EXPECT_EQ(Concrete(0.001), 0.0);
    EXPECT_EQ(Concrete(-0.001), -20.625);
    EXPECT_EQ(Concrete(-0.002), -27.5);
    EXPECT_EQ(Concrete(-0.0035), -27.5);
    EXPECT_EQ(Concrete(-0.05), -27.5);
    // Core concrete two.
    EXPECT_EQ(Concrete(-0.002, 11.9), -11.9);
}

TEST(ConcreteLaw, ZeroPeakStrainGivesThePlateauForAnyCompression) {
    EXPECT_EQ(Concrete(-1e-12, 27.5, 0.0), -27.5);
    EXPECT_EQ(Concrete(0.0, 27.5, 0.0), 0.0);
}

// The descending model: fc 30, e0 0.002, fcu 6, ecu 0.004; the line falls
// 24 over 0.002 of strain.
TEST(ConcreteLaw, DescendingModelWorkedValues) {
    const struct {
        double strain, stress;
    } cases[] = {
        {0.001, 0},       {0.0, 0},          {-0.001, -22.5},  // tension, then the parabola
        {-0.002, -30},                                         // peak
        {-0.0025, -24},   {-0.003, -18},                        // on the line, halfway
        {-0.004, -6},                                          // ecu
        {-0.0040001, 0},  {-0.05, 0},                           // crushed
    };
    for (const auto& c : cases) {
        double stress = 5.0, fc = 30, e0 = 0.002, fcu = 6, ecu = 0.004;
        ConcreteStress(fc, e0, fcu, ecu, stress, c.strain, 2);
        EXPECT_NEAR(stress, c.stress, 1e-12) << c.strain;
    }
}

TEST(SteelLaw, ElasticPerfectlyPlasticBothWays) {
    EXPECT_NEAR(330.0 / 206000, 0.0016019, 1e-7);
    EXPECT_EQ(Steel(0.001), 206.0);
    EXPECT_EQ(Steel(-0.001), -206.0);
    EXPECT_EQ(Steel(0.0016019417475728155), 330.0);
    EXPECT_EQ(Steel(0.01), 330.0);
    EXPECT_EQ(Steel(-0.01), -330.0);
    EXPECT_EQ(Steel(0.0), 0.0);
}

TEST(SteelLaw, YieldStrainItselfIsOnTheElasticBranch) {
    // With Es = 49 and fy = 1, Es x (fy / Es) rounds to just below fy, so the
    // two branches give different values at the yield strain.
    const double ey = 1.0 / 49;
    ASSERT_NE(49 * ey, 1.0);
    EXPECT_EQ(Steel(ey, 49, 1), 49 * ey);
    EXPECT_EQ(Steel(-ey, 49, 1), 49 * -ey);
    EXPECT_EQ(Steel(std::nextafter(ey, 1.0), 49, 1), 1.0);
    EXPECT_EQ(Steel(std::nextafter(-ey, -1.0), 49, 1), -1.0);
}

TEST(Laws, OtherModelsLeaveTheStressUntouched) {
    EXPECT_EQ(Concrete(-0.001, 27.5, 0.002, 3), 5.0);
    EXPECT_EQ(Concrete(-0.001, 27.5, 0.002, 0), 5.0);
    EXPECT_EQ(Steel(0.001, 206000, 330, 2), 5.0);
    EXPECT_EQ(Steel(0.001, 206000, 330, 0), 5.0);
}

TEST(Laws, DeductedConcreteIsNegatedByTheSectionPass) {
    // One fiber of id 31 with core-concrete-one parameters at strain -0.001:
    // axis y = 0, curvature 1, fiber at y = 0.001.
    px::FiberTable t;
    t.resize(1);
    px::Fiber& f = t[1];
    f.MatId = px::MatDeductedConcrete1;
    f.X = 0;
    f.Y = 0.001;
    f.Area = 100;
    f.Fc = f.Fcu = 27.5;
    f.E0 = 0.002;
    f.Ecu = 0.0035;
    f.ConcModel = 1;
    const px::SectionForceResult r = px::SectionForces(t, 0, 0, 1);
    EXPECT_EQ(t[1].Strain, -0.001);
    EXPECT_EQ(t[1].Stress, 20.625);
    EXPECT_EQ(r.P, -2.0625);  // cancels compression: a tensile force
}

}  // namespace
