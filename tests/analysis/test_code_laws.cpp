// The solvers under a design code: the worked columns' points by hand from
// the codes' clauses, the design pass, and the refusal of a code that does
// not apply.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "analysis/mm_solver.h"
#include "analysis/pm_solver.h"
#include "codes/code_fields.h"
#include "codes/code_section.h"
#include "default_column.h"
#include "input/error.h"
#include "input/field_defaults.h"

namespace {

using namespace px;
using namespace px::codes;

void ExpectNear(double actual, double expected, const std::string& what, double rel = 1e-3) {
    EXPECT_NEAR(actual, expected, rel * std::fabs(expected)) << what;
}

// The template's bar area (0.785 d^2 for the corner bundles, 3.14 / 4 d^2 for the others).
constexpr double kBar = 3.14 / 4 * 25 * 25;
constexpr double kAst = 8 * kBar;

// The worked column: 400 x 400, bars of 25 mm at the corners and mid-sides
// with centres 60 mm from the faces; a 0.5 mm grid through the depth.
pxtest::Column WorkedColumn(const std::string& fc, const std::string& fy) {
    MapFields f;
    f.texts = {{"Edit1", "400"}, {"Edit2", "400"}, {"Edit3", "60"},  {"Edit4", "1"},   {"Edit5", "1"},
               {"Edit6", "1"},   {"Edit7", "25"},  {"Edit8", "1"},   {"Edit9", "25"},  {"Edit10", "1"},
               {"Edit11", "25"}, {"Edit12", "4"},  {"Edit13", "562"}, {"Edit70", "1"}, {"Edit14", fc},
               {"Edit18", fc},   {"Edit22", fc},   {"Edit27", fy},   {"Edit17", fc},   {"Edit21", fc},
               {"Edit25", fc}};
    return pxtest::MeshedColumn(0, &f);
}

CodeSection SectionUnder(DesignCode code, const pxtest::Column& col, CodeSettings s = {}) {
    s.code = code;
    CodeShape shape;
    shape.type = col.in.SectionType;
    shape.B = col.in.B;
    shape.H = col.in.H;
    shape.tx = col.in.SteelYTw;
    shape.ty = col.in.SteelXTw;
    return DescribeSection(s, shape, col.t);
}

// By hand (ACI 318-19 22.2): the block 0.85 f'c over beta1 c of the 400 wide
// face, less the concrete the bars in it displace, and the three bar layers
// (3, 2, 3 bars at depths 60, 200, 340) elastic-perfectly plastic with Es
// 200,000. Force (N, compression positive) and moment about the centre.
struct Hand {
    double P, M;
};
Hand AciByHand(double c, double fc, double fy) {
    const double beta1 = fc <= 28 ? 0.85 : std::max(0.65, 0.85 - 0.05 * (fc - 28) / 7);
    const double a = std::min(beta1 * c, 400.0);
    Hand h{0.85 * fc * 400 * a, 0.85 * fc * 400 * a * (200 - a / 2)};
    const double layers[3][2] = {{60, 3}, {200, 2}, {340, 3}};
    for (const auto& l : layers) {
        const double eps = 0.003 * (c - l[0]) / c;  // compression positive
        const double s = std::clamp(200000 * eps, -fy, fy) - (l[0] < a ? 0.85 * fc : 0);
        h.P += s * l[1] * kBar;
        h.M += s * l[1] * kBar * (200 - l[0]);
    }
    return h;
}

// The neutral-axis depth whose force is 0, by bisection.
template <class F>
double DepthOfZeroForce(F&& force, double lo, double hi) {
    for (int i = 0; i < 200; ++i) {
        const double mid = (lo + hi) / 2;
        (force(mid) > 0 ? hi : lo) = mid;
    }
    return (lo + hi) / 2;
}

}  // namespace

TEST(CodeLaws, AciWorkedColumn) {
    const pxtest::Column col = WorkedColumn("28", "420");
    const CodeSection cs = SectionUnder(DesignCode::Aci318, col);
    FiberTable t = CodeFiberTable(col.t, cs);
    // Po = 0.85 f'c (Ag - Ast) + fy Ast (22.4.2.2): the bars' concrete is net.
    double PMax = 0, PMin = 0;
    ComputeAxialBounds(t, PMax, PMin);
    const double po = 0.85 * 28 * (160000 - kAst) + 420 * kAst;
    ExpectNear(PMax * 1000, po, "Po");
    ExpectNear(-PMin * 1000, 420 * kAst, "Pnt,max");
    // Balanced: epsilon_cu at the top, epsilon_ty in the bottom bars, c = 200.
    const SectionForceResult b = SectionForces(t, 0, 0, 0.003 / 200);
    const Hand hb = AciByHand(200, 28, 420);
    ExpectNear(b.P * 1000, hb.P, "Pb");                 // 1,583,352 N
    ExpectNear(-b.Mx * 1e6, hb.M, "Mb");                // 354.39 kNm
    EXPECT_DOUBLE_EQ(ExtremeSteelStrain(t, 0, 1, 0, 0.003 / 200).epsT, 0.0021);
    EXPECT_EQ(PointFactor(cs, 1, 2, hb.P, 0.0021, 0.0021), 0.65);
    // Pure bending: the solver's state at P = 0 against the hand depth.
    MmSettings ms;
    ms.axialForce = 0;
    const MmState s = SolveMmStateAt(t, 400, 400, ms, 0);
    const double c0 = DepthOfZeroForce([](double c) { return AciByHand(c, 28, 420).P; }, 1, 400);
    ExpectNear(std::fabs(s.Mx) * 1e6, AciByHand(c0, 28, 420).M, "Mn at P = 0");
    const ExtremeSteel e = ExtremeSteelStrain(t, 0.0001, AxisNorm(0.0001), s.c, s.phi);
    EXPECT_GT(e.epsT, 0.0021 + 0.003);
    EXPECT_EQ(PointFactor(cs, 1, 2, 0, e.epsT, e.epsTy), 0.90);

    // The design curve: phi Pn cut at 0.80 Po x 0.65 with ties, 0.85 x 0.75
    // with spirals; every point phi times the nominal below the cap.
    PmSettings ps;
    ps.nP = 40;
    PMCurve pm;
    SolvePM(t, 400, 400, ps, 0, PMin, PMax, pm);
    SolvePM(t, 400, 400, ps, 90, PMin, PMax, pm);
    for (aci318::Transverse tr : {aci318::Transverse::Ties, aci318::Transverse::Spirals}) {
        CodeSettings st;
        st.transverse = tr;
        const CodeSection c2 = SectionUnder(DesignCode::Aci318, col, st);
        const DesignCurve d = MakeDesignCurve(pm, c2);
        const bool spirals = tr == aci318::Transverse::Spirals;
        ExpectNear(d.cap * 1000, (spirals ? 0.75 * 0.85 : 0.65 * 0.80) * po, "cap");
        ASSERT_EQ(d.X.size(), pm.PX.size());
        EXPECT_EQ(d.X.front().factor, 0.90);
        EXPECT_EQ(d.X.back().P, d.cap);
        EXPECT_EQ(d.X.back().factor, spirals ? 0.75 : 0.65);
        for (size_t i = 0; i < d.X.size(); ++i) {
            EXPECT_GE(d.X[i].factor, spirals ? 0.75 : 0.65);
            EXPECT_LE(d.X[i].factor, 0.90);
            EXPECT_DOUBLE_EQ(d.X[i].P, std::min(d.X[i].factor * pm.PX[i], d.cap)) << i;
            EXPECT_DOUBLE_EQ(d.X[i].M, d.X[i].factor * pm.MX[i]) << i;
        }
    }
    // The key points of the balanced state and of the tension-controlled
    // start (eps_t = eps_ty + 0.003: c = 0.003 / 0.0081 x 340), solved
    // exactly (the X direction: the mesh is fine through the depth only).
    const Hand ht = AciByHand(0.003 / 0.0081 * 340, 28, 420);
    const std::vector<KeyPoint> k = KeyPoints(pm, cs);
    ASSERT_EQ(k.size(), 5u);
    ExpectNear(k[2].P * 1000, hb.P, "Pb key point");
    ExpectNear(k[2].M * 1e6, hb.M, "Mb key point");
    ExpectNear(k[3].P * 1000, ht.P, "tension-controlled start P", 2e-3);
    ExpectNear(k[3].M * 1e6, ht.M, "tension-controlled start M");
    EXPECT_EQ(k[3].factor, 0.90);
    EXPECT_TRUE(pm.Balanced[1].found && pm.TensionStart[1].found);
    const std::vector<std::string> lines = KeyPointLines(pm, cs);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].rfind("Po: P = ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[2].rfind("Balanced point, compression-controlled end (eps_t = eps_ty): P = ", 0), 0u) << lines[2];
    EXPECT_NE(lines[4].find("phi = 0.900"), std::string::npos) << lines[4];
}

TEST(CodeLaws, EnWorkedColumn) {
    const pxtest::Column col = WorkedColumn("30", "500");
    const CodeSection cs = SectionUnder(DesignCode::Eurocode, col);
    ASSERT_EQ(cs.rules, CodeRules::En1992);
    FiberTable t = CodeFiberTable(col.t, cs);
    // NRd at the pivot: uniform 0.002, concrete at fcd = 20 (net of the
    // bars), bars at 0.002 Es = 400 < fyd = 434.8.
    double PMax = 0, PMin = 0;
    ComputeAxialBounds(t, PMax, PMin);
    ExpectNear(PMax * 1000, (160000 - kAst) * 20 + kAst * 400, "NRd");
    ExpectNear(-PMin * 1000, kAst * 500 / 1.15, "tension");
    // A section wholly in compression is held at 0.002 at 3/7 h: the
    // strain plane through 0.002 uniformly is the limit.
    const StrainLimitPoints pts = StrainLimitPoints::Of(t, 400, 400);
    const double phi = TrialCurvatureAt(0, -1e9, pts, -0.0035, false);  // far past the face
    EXPECT_NEAR(phi * 1e9, 0.002, 1e-9);
    // With the axis at the bottom face: 0.0035 at the top (3/7 h and eps_cu2 agree).
    EXPECT_DOUBLE_EQ(TrialCurvatureAt(0, -200, pts, -0.0035, false), 0.0035 / 400);
    // Pure bending by the parabola-rectangle: 17/21 fcd b x at 99/238 x.
    auto parabola = [](double eps) { return eps >= 0.002 ? 20.0 : 20 * (1 - (1 - eps / 0.002) * (1 - eps / 0.002)); };
    auto hand = [&](double x) {
        Hand h{17.0 / 21 * 20 * 400 * x, 17.0 / 21 * 20 * 400 * x * (200 - 99.0 / 238 * x)};
        const double layers[3][2] = {{60, 3}, {200, 2}, {340, 3}};
        for (const auto& l : layers) {
            const double eps = 0.0035 * (x - l[0]) / x;
            const double s = std::clamp(200000 * eps, -500 / 1.15, 500 / 1.15) - (eps > 0 ? parabola(eps) : 0);
            h.P += s * l[1] * kBar;
            h.M += s * l[1] * kBar * (200 - l[0]);
        }
        return h;
    };
    const double x0 = DepthOfZeroForce([&](double x) { return hand(x).P; }, 1, 400);
    MmSettings ms;
    ms.axialForce = 0;
    const MmState s = SolveMmStateAt(t, 400, 400, ms, 0);
    ExpectNear(std::fabs(s.Mx) * 1e6, hand(x0).M, "MRd at N = 0", 2e-3);
}

TEST(CodeLaws, AiscFilledBoxWallClasses) {
    // 300 x 300 box, Fy 345, f'c 35: compact at t = 8, noncompact at 5,
    // slender at 3.5 (b = 300 - 3 t).
    const struct {
        const char* t;
        aisc360::WallClass cls;
    } rows[] = {{"8", aisc360::WallClass::Compact},
                {"5", aisc360::WallClass::Noncompact},
                {"3.5", aisc360::WallClass::Slender}};
    const double r = std::sqrt(200000 / 345.0), lp = 2.26 * r, lr = 3.00 * r;
    for (const auto& row : rows) {
        MapFields f;
        f.texts = {{"Edit1", "300"}, {"Edit2", "300"}, {"Edit3", row.t}, {"Edit41", row.t}, {"Edit12", "32"},
                   {"Edit13", "32"}, {"Edit18", "35"}, {"Edit29", "345"}};
        const pxtest::Column col = pxtest::MeshedColumn(5, &f);
        const CodeSection cs = SectionUnder(DesignCode::Aisc360, col);
        EXPECT_EQ(cs.wallClass, row.cls) << row.t;
        const double t = std::stod(row.t), lambda = (300 - 3 * t) / t;
        const double as = 300 * 300 - (300 - 2 * t) * (300 - 2 * t), ac = (300 - 2 * t) * (300 - 2 * t);
        const double pp = 345 * as + 0.85 * 35 * ac, py = 345 * as + 0.7 * 35 * ac;
        double pno = pp;
        if (row.cls == aisc360::WallClass::Noncompact) pno = pp - (pp - py) * std::pow((lambda - lp) / (lr - lp), 2);
        if (row.cls == aisc360::WallClass::Slender) pno = 9 * 200000 / (lambda * lambda) * as + 0.7 * 35 * ac;
        const FiberTable ct = CodeFiberTable(col.t, cs);
        double PMax = 0, PMin = 0;
        ComputeAxialBounds(ct, PMax, PMin);
        ExpectNear(PMax * 1000, pp, std::string("Pp, t = ") + row.t);
        ExpectNear(PMax * cs.pnoRatio * 1000, pno, std::string("Pno, t = ") + row.t);
        PMCurve pm;
        FiberTable work = ct;
        SolvePM(work, 300, 300, PmSettings{}, 0, PMin, PMax, pm);
        SolvePM(work, 300, 300, PmSettings{}, 90, PMin, PMax, pm);
        const DesignCurve d = MakeDesignCurve(pm, cs);
        ExpectNear(d.X.back().P * 1000, 0.75 * pno, "phi_c Pno");
        EXPECT_DOUBLE_EQ(d.X[5].M, 0.9 * pm.MX[5]);
        EXPECT_EQ(d.X.front().P, 0.9 * PMin);
        EXPECT_NE(cs.notes.at(0).find("AISC 360-16 Table I1.1a"), std::string::npos);
    }
}

TEST(CodeLaws, AiscRoundFilledTubeTakesC2Of095) {
    // 323.9 x 8 round tube, Fy 345, f'c 35: D/t = 40.5 <= 0.15 Es / Fy, compact;
    // Pp = Fy As + 0.95 f'c Ac (I2-9a, no bars).
    MapFields f;
    f.texts = {{"Edit1", "323.9"}, {"Edit3", "8"}, {"Edit12", "36"}, {"Edit13", "12"}, {"Edit18", "35"},
               {"Edit29", "345"}};
    const pxtest::Column col = pxtest::MeshedColumn(4, &f);
    double as = 0, ac = 0;
    for (int i = 1; i <= col.t.NFib; ++i) (col.t[i].MatId == MatSteelSection ? as : ac) += col.t[i].Area;
    const CodeSection cs = SectionUnder(DesignCode::Aisc360, col);
    EXPECT_EQ(cs.wallClass, aisc360::WallClass::Compact);
    EXPECT_NEAR(cs.wallLambda, 323.9 / 8, 1e-9);
    double PMax = 0, PMin = 0;
    ComputeAxialBounds(CodeFiberTable(col.t, cs), PMax, PMin);
    ExpectNear(PMax * 1000, 345 * as + 0.95 * 35 * ac, "Pp round");
    ExpectNear(-PMin * 1000, 345 * as, "tension");
}

TEST(CodeLaws, CodeThatDoesNotApplyIsRefused) {
    const pxtest::Column col = pxtest::MeshedColumn(0);
    try {
        SectionUnder(DesignCode::Aisc360, col);
        FAIL() << "AISC 360-16 on a Rect Column";
    } catch (const AppError& e) {
        EXPECT_NE(e.message().find("AISC 360-16"), std::string::npos) << e.message();
        EXPECT_NE(e.message().find("\"Rect Column\""), std::string::npos) << e.message();
    }
    CodeSettings s;
    s.alphaCc = 1.2;
    EXPECT_THROW(SectionUnder(DesignCode::Eurocode, col, s), AppError);
    // A strength outside the code's range is named, never refused.
    const CodeSection weak = SectionUnder(DesignCode::Aci318, WorkedColumn("15", "420"));
    ASSERT_EQ(weak.notes.size(), 1u);
    EXPECT_NE(weak.notes[0].find("ACI 318-19 Table 19.2.1.1"), std::string::npos) << weak.notes[0];
    // "None" is the table as it is: same laws, no deducted fibers, no rules.
    const FiberTable t = CodeFiberTable(col.t, SectionUnder(DesignCode::None, col));
    EXPECT_EQ(t.NFib, col.t.NFib);
    EXPECT_TRUE(t.Rules.isDefault());
}

TEST(CodeLaws, EnFilledTubeConfinement) {
    // 323.9 x 8 tube, S355, C30/37 (EN 1994-1-1 6.7.3.2(6), 6.7.3.3): at
    // L = 3 m lambda_bar is about 0.4 and the confined formula gives less than
    // the plain Npl,Rd (kept: the clause permits confinement, it does not
    // require it); at L = 1 m it gives more.
    MapFields f;
    f.texts = {{"Edit1", "323.9"}, {"Edit3", "8"}, {"Edit12", "72"}, {"Edit13", "24"}, {"Edit18", "30"},
               {"Edit29", "355"}};
    const pxtest::Column col = pxtest::MeshedColumn(4, &f);
    double aa = 0, ac = 0, ia = 0, ic = 0;
    for (int i = 1; i <= col.t.NFib; ++i) {
        const Fiber& fb = col.t[i];
        (fb.MatId == MatSteelSection ? aa : ac) += fb.Area;
        (fb.MatId == MatSteelSection ? ia : ic) += fb.Area * fb.Y * fb.Y;
    }
    const double plain = aa * 355 + ac * 20;
    for (const double length : {3000.0, 1000.0}) {
        CodeSettings s;
        s.memberLength = length;
        const CodeSection cs = SectionUnder(DesignCode::Eurocode, col, s);
        ASSERT_EQ(cs.rules, CodeRules::En1994);
        const double ecm = 22000 * std::pow(3.8, 0.3);
        const double ncr = M_PI * M_PI * (210000 * ia + 0.6 * ecm * ic) / (length * length);
        const double lambda = std::sqrt((aa * 355 + ac * 30) / ncr);
        ExpectNear(cs.lambdaBar, lambda, "lambda_bar");
        ASSERT_TRUE(cs.confinement);
        const double etaA = 0.25 * (3 + 2 * lambda), etaC = 4.9 - 18.5 * lambda + 17 * lambda * lambda;
        const double confined = etaA * aa * 355 + ac * 20 * (1 + etaC * (8 / 323.9) * (355.0 / 30));
        EXPECT_EQ(confined > plain, length == 1000.0);
        FiberTable t = CodeFiberTable(col.t, cs);
        double PMax = 0, PMin = 0;
        ComputeAxialBounds(t, PMax, PMin);
        ExpectNear(PMax * 1000, plain, "Npl,Rd without confinement");
        PMCurve pm;
        SolvePM(t, 323.9, 323.9, PmSettings{}, 0, PMin, PMax, pm);
        SolvePM(t, 323.9, 323.9, PmSettings{}, 90, PMin, PMax, pm);
        const DesignCurve d = MakeDesignCurve(pm, cs);
        ExpectNear(d.X.back().P * 1000, std::max(confined, plain), "Npl,Rd of the curve");
        const std::vector<KeyPoint> k = KeyPoints(pm, cs);
        ASSERT_GE(k.size(), 2u);
        EXPECT_EQ(k[1].name.rfind("Npl,Rd with confinement", 0), 0u);
        ExpectNear(k[1].P * 1000, confined, "Npl,Rd with confinement");
        // Along the curve the gain fades to nothing at e/d = 0.1 and beyond.
        for (size_t i = 0; i < d.X.size(); ++i) {
            EXPECT_GE(d.X[i].P, pm.PX[i]) << i;
            const double eOverD = pm.PX[i] > 0 ? pm.MX[i] * 1000 / pm.PX[i] / 323.9 : 1;
            if (eOverD >= 0.1) { EXPECT_EQ(d.X[i].P, pm.PX[i]) << i; }
        }
    }
    // No length: no confinement, and the note says why.
    const CodeSection none = SectionUnder(DesignCode::Eurocode, col);
    EXPECT_FALSE(none.confinement);
    EXPECT_NE(none.notes.at(0).find("\"Member Length\" is not given"), std::string::npos);
}

TEST(CodeLaws, SettingsFromTheFields) {
    MapFields f = DefaultFields();
    f.texts["Edit71"] = "x";  // not read under "None"
    EXPECT_EQ(ReadCodeSettings(f).code, DesignCode::None);
    f.items["ComboBox9"] = 1;
    f.items["ComboBox10"] = 1;
    f.texts["Edit71"] = "0.85";
    f.texts["Edit72"] = "3000";
    const CodeSettings s = ReadCodeSettings(f);
    EXPECT_EQ(s.code, DesignCode::Aci318);
    EXPECT_EQ(s.transverse, aci318::Transverse::Spirals);
    EXPECT_EQ(s.alphaCc, 0.85);
    EXPECT_EQ(s.memberLength, 3000);
    f.items["ComboBox10"] = 0;
    EXPECT_EQ(ReadCodeSettings(f).transverse, aci318::Transverse::Ties);
    f.items["ComboBox9"] = 4;
    EXPECT_THROW(ReadCodeSettings(f), AppError);
    // The field defaults: "None", "Ties", alpha_cc 1.0, no length.
    EXPECT_EQ(ComboBoxItems("ComboBox9"), DesignCodeNames());
    EXPECT_EQ(ComboBoxItems("ComboBox10"), (std::vector<std::string>{"Ties", "Spirals"}));
    EXPECT_EQ(DefaultFieldTexts().at("Edit71"), "1.0");
    EXPECT_EQ(DefaultFieldTexts().at("Edit72"), "0");
}
