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
    EXPECT_EQ(Concrete(-0.001, 27.5, 0.002, 7), 5.0);  // 3 and 4 are the design codes' laws
    EXPECT_EQ(Concrete(-0.001, 27.5, 0.002, 0), 5.0);
    EXPECT_EQ(Steel(0.001, 206000, 330, 7), 5.0);  // 2 is the design codes' plastic law
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

// The design codes' laws: ACI's block (model 3, -fc beyond -e0), EN 1992-1-1's
// parabola-rectangle of exponent n (model 4, n in fcu; fck 70: n = 1.4 + 23.4
// x 0.2^4, eps_c2 = 2.0 + 0.085 x 20^0.53 per mille) and plastic steel.
TEST(CodeLaws, BlockParabolaRectangleAndPlasticSteel) {
    auto law = [](double strain, double fc, double e0, double n, int model) {
        double stress = 5.0, ecu = 0.0035;
        ConcreteStress(fc, e0, n, ecu, stress, strain, model);
        return stress;
    };
    const double n70 = 1.4 + 23.4 * std::pow(0.2, 4), e70 = (2.0 + 0.085 * std::pow(20.0, 0.53)) / 1000;
    const struct {
        double strain, fc, e0, n;
        int model;
        double expected;
    } rows[] = {
        {-0.003, 23.8, 0.00045, 0, 3, -23.8},  // ACI f'c 28: 0.85 f'c beyond eps_cu (1 - beta1)
        {-0.00045, 23.8, 0.00045, 0, 3, 0.0},  // on the block's edge: outside it
        {-0.0004, 23.8, 0.00045, 0, 3, 0.0},
        {0.001, 23.8, 0.00045, 0, 3, 0.0},
        {-1e-12, 20, 0, 0, 3, -20.0},          // plastic concrete: any compression
        {0.0, 20, 0, 0, 3, 0.0},
        {-0.001, 46.67, 0.002, 2, 4, -46.67 * 0.75},
        {-0.001, 46.67, e70, n70, 4, -46.67 * (1 - std::pow(1 - 0.001 / e70, n70))},
        {-0.003, 46.67, e70, n70, 4, -46.67},
        {0.0005, 46.67, e70, n70, 4, 0.0},
    };
    for (const auto& r : rows)
        EXPECT_NEAR(law(r.strain, r.fc, r.e0, r.n, r.model), r.expected, 1e-12) << r.strain << " model " << r.model;
    EXPECT_EQ(Steel(1e-9, 200000, 345, 2), 345.0);
    EXPECT_EQ(Steel(-1e-9, 200000, 345, 2), -345.0);
    EXPECT_EQ(Steel(0.0, 200000, 345, 2), 0.0);
}
