// The fast pass (trial-batched sweep, each vector width, worker threads) must
// give the bits of the reference pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "analysis/fiber_sweep.h"
#include "analysis/mm_solver.h"
#include "analysis/pm_solver.h"
#include "codes/code_section.h"
#include "default_column.h"
#include "input/error.h"

namespace {

using namespace px;
using Vec = std::vector<double>;

constexpr SolveOptions kReference{SolverPass::Reference, 1};
// A width the processor lacks falls back to the baseline.
const SolveOptions kFastModes[] = {{SolverPass::Fast, 1, SweepIsa::Baseline},
                                   {SolverPass::Fast, 2, SweepIsa::Avx2},
                                   {SolverPass::Fast, 2, SweepIsa::Avx512},
                                   {SolverPass::Fast, 3, SweepIsa::Baseline},
                                   {SolverPass::Fast, 2, SweepIsa::Auto}};

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// Both P-M directions and the Mx-My curve, then every fiber's Strain and
// Stress as the last trial left them, all in one list.
std::vector<double> Solve(FiberTable t, const SectionInput& in, const PmSettings& ps,
                          const MmSettings& ms, const SolveOptions& opt) {
    double PMax = 0, PMin = 0;
    ComputeAxialBounds(t, PMax, PMin);
    PMCurve pm;
    SolvePM(t, in.B, in.H, ps, 0, PMin, PMax, pm, {}, opt);
    SolvePM(t, in.B, in.H, ps, 90, PMin, PMax, pm, {}, opt);
    std::vector<double> out = pm.PX;
    for (const Vec* v : {&pm.MX, &pm.PY, &pm.MY}) out.insert(out.end(), v->begin(), v->end());
    for (int i = 1; i <= t.NFib; ++i) out.insert(out.end(), {t[i].Strain, t[i].Stress});
    MMCurve mm;
    SolveMMCurve(t, in.B, in.H, ms, mm, {}, opt);
    out.insert(out.end(), mm.Mx.begin(), mm.Mx.end());
    out.insert(out.end(), mm.My.begin(), mm.My.end());
    out.insert(out.end(), mm.P.begin(), mm.P.end());
    for (int i = 1; i <= t.NFib; ++i) out.insert(out.end(), {t[i].Strain, t[i].Stress});
    SolveOptions root = opt;
    root.search = MmSearch::Root;
    SolveMMCurve(t, in.B, in.H, ms, mm, {}, root);
    for (const Vec* v : {&mm.Mx, &mm.My, &mm.P}) out.insert(out.end(), v->begin(), v->end());
    for (int i = 1; i <= t.NFib; ++i) out.insert(out.end(), {t[i].Strain, t[i].Stress});
    return out;
}

void ExpectSameSolves(const pxtest::Column& col, const PmSettings& ps, const MmSettings& ms,
                      const std::string& what) {
    const std::vector<double> ref = Solve(col.t, col.in, ps, ms, kReference);
    for (const SolveOptions& opt : kFastModes) {
        EXPECT_TRUE(SameBits(Solve(col.t, col.in, ps, ms, opt), ref))
            << what << ", threads " << opt.threads << ", isa " << static_cast<int>(opt.isa);
    }
}

TEST(FastPass, BitIdenticalForEverySectionTypeAndSettings) {
    PmSettings ps;
    ps.nP = 7;
    ps.K = 3;
    ps.N = 37;
    ps.factor = 1.0;  // trials through the corners
    ps.strainLimit = -0.003;
    MmSettings ms;
    ms.points = 13;
    ms.axialForce = 5000;
    ms.K = 3;
    ms.N = 41;
    ms.factor = 1.3;
    ms.strainLimit = -0.004;
    for (int type = 0; type < 8; ++type) {
        const pxtest::Column col = pxtest::MeshedColumn(type);
        ASSERT_GT(col.t.NFib, 0) << type;
        ExpectSameSolves(col, PmSettings{}, MmSettings{}, "type " + std::to_string(type + 1));
        ExpectSameSolves(col, ps, ms, "changed settings, type " + std::to_string(type + 1));
        // Close to the capacities, where the points are solved past the window.
        double PMax = 0, PMin = 0;
        ComputeAxialBounds(col.t, PMax, PMin);
        for (double Pt : {0.97 * PMax, 0.97 * PMin}) {
            MmSettings near;
            near.axialForce = Pt;
            ExpectSameSolves(col, ps, near, "near the limits, type " + std::to_string(type + 1));
        }
    }
}

pxtest::Column FineColumn() {
    MapFields f;
    f["Edit12"] = "40";  // "X-Dir Mesh Num"
    f["Edit13"] = "40";  // "Y-Dir Mesh Num"
    return pxtest::MeshedColumn(0, &f);
}

TEST(FastPass, KernelLawsAtTheirBreakpointsOnEveryInstructionSet) {
    // One fiber, trials whose strain is exactly +ey, -ey, 0, -e0 (and one
    // plain value), each landing on every lane; the moduli are such that
    // Es x (fy / Es) is not fy, so the elastic and the plastic branch differ
    // at the yield strain. Unit and non-unit axis divisors.
    struct Law { int id; double es, fy; };
    const Law laws[] = {{MatRebar, 190000, 202},        {MatSteelSection, 206000, 203},
                        {MatRebar, 210000, 235},        {MatCoreConcrete1, 0, 0},
                        {MatDeductedConcrete1, 0, 0}};
    struct Axis { double w, norm, c; };
    const Axis axes[] = {{0, 1, 0}, {0.75, 1.25, 0.25}};  // (w 0 + 1 + c) / norm = 1 exactly
    std::vector<SweepIsa> isas = {SweepIsa::Baseline};
    if (SweepIsaSupported(SweepIsa::Avx2)) isas.push_back(SweepIsa::Avx2);
    if (SweepIsaSupported(SweepIsa::Avx512)) isas.push_back(SweepIsa::Avx512);
    for (const Law& law : laws) {
        FiberTable t;
        pxtest::AddFiber(t, 0, -1, 490.625, law.id);
        if (law.es > 0) {
            t[1].Es = law.es;
            t[1].Fy = law.fy;
            ASSERT_NE(law.es * (law.fy / law.es), law.fy);
        }
        const double ey = (law.es > 0 ? law.fy / law.es : 202.0 / 190000), e0 = t[1].E0;
        const double strains[] = {ey, -ey, 0.0, -e0, 0.5 * ey};
        constexpr int T = 40;  // five strains over blocks of 4 and 8 trials: every lane
        const SweepTable st = BuildSweepTable(t);
        for (const Axis& a : axes) {
            std::vector<double> U, c(T, a.c), phi(T), F(T), Sx(T), Sy(T);
            for (int g = 0; g < T; ++g) phi[g] = strains[g % 5];
            AxisTerms(st, a.w, U);
            for (SweepIsa isa : isas) {
                SweepTrials(st, isa, U.data(), a.norm, c.data(), phi.data(), T, F.data(), Sx.data(), Sy.data());
                for (int g = 0; g < T; ++g) {
                    const SectionForceResult ref = SectionForcesNorm(t, a.w, a.norm, a.c, phi[g]);
                    ASSERT_EQ(t[1].Strain, phi[g]);
                    const std::vector<double> fast = {-F[g] / 1000, Sx[g] / 1000000, Sy[g] / 1000000};
                    EXPECT_TRUE(SameBits(fast, {ref.P, ref.Mx, ref.My}))
                        << "material " << law.id << ", strain " << phi[g] << ", norm " << a.norm << ", isa "
                        << static_cast<int>(isa) << ": " << fast[0] << " vs " << ref.P;
                }
            }
        }
    }
}

TEST(FastPass, PillarixIsaChoosesTheInstructionSetThatRuns) {
    // PILLARIX_ISA=avx512 on a processor without it must not pass quietly on
    // the baseline: run it where the kernel can run (or under an emulator).
    bool known = false;
    const SweepIsa named = SweepIsaFromEnvironment(&known);
    const char* text = std::getenv("PILLARIX_ISA");
    ASSERT_TRUE(known) << "PILLARIX_ISA=" << text << " is none of baseline, avx2, avx512, auto";
    if (named != SweepIsa::Auto) {
        ASSERT_TRUE(SweepIsaSupported(named)) << "PILLARIX_ISA=" << text << ": this processor lacks it";
        EXPECT_EQ(ResolveSweepIsa(SweepIsa::Auto), named);
    }
    const char* names[] = {"auto", "baseline", "avx2", "avx512"};
    std::string compared = "baseline";
    for (SweepIsa isa : {SweepIsa::Avx2, SweepIsa::Avx512})
        if (SweepIsaSupported(isa)) compared += std::string(" ") + names[static_cast<int>(isa)];
    RecordProperty("compared", compared);
    std::printf("instruction sets compared: %s; solves use %s\n", compared.c_str(),
                names[static_cast<int>(ResolveSweepIsa(SweepIsa::Auto))]);
}

TEST(FastPass, BitIdenticalWhenThreadsShareTheLastSweeps) {
    // With enough fibers the levels (angles) left over when the threads do
    // not divide them evenly are solved with the threads sharing each sweep.
    const pxtest::Column col = FineColumn();
    ASSERT_GT(col.t.NFib * 101, 100000);
    PmSettings ps;
    ps.nP = 8;  // 7 levels: one left over on 2 and on 3 threads
    MmSettings ms;
    ms.points = 12;  // 13 angles
    ms.axialForce = 40000;
    ExpectSameSolves(col, ps, ms, "shared sweeps");
}

TEST(FastPass, BitIdenticalWithLawlessFibersAndOtherModels) {
    pxtest::Column col = pxtest::MeshedColumn(7);  // steel tube in a rect column: id 31
    // Fibers with no law or an unknown model keep their stress...
    col.t[3].MatId = 40;
    col.t[3].Stress = -3.5;
    col.t[5].ConcModel = 4;
    col.t[5].Stress = -1.25;
    int deducted = 0;
    for (int i = 1; i <= col.t.NFib; ++i) {
        if (col.t[i].MatId == MatRebar) col.t[i].SteelModel = 0, col.t[i].Stress = 100;
        if (col.t[i].MatId == MatDeductedConcrete1) deducted = i;
    }
    ASSERT_GT(deducted, 0);
    PmSettings ps;
    ps.nP = 5;
    ps.N = 30;
    MmSettings ms;
    ms.points = 8;
    ms.N = 30;
    ExpectSameSolves(col, ps, ms, "lawless fibers");
    // ...and deducted concrete of an unknown model flips its sign every trial.
    col.t[deducted].ConcModel = 3;
    col.t[deducted].Stress = 2;
    ExpectSameSolves(col, ps, ms, "flipping deducted fiber");
}

// A cover of the descending law (crushed past 0.0025) acts in every solve,
// fast or not: the same bits as the reference pass, and a smaller Mx-My
// curve than the simple law's.
TEST(FastPass, DescendingLawSolvesAsTheReferencePass) {
    pxtest::Column col = pxtest::MeshedColumn(0);
    PmSettings ps;
    ps.nP = 5;
    ps.N = 30;
    MmSettings ms;
    ms.points = 8;
    ms.N = 30;
    ms.axialForce = 60000;  // the compressed corner reaches the strain limit
    MMCurve simple;
    SolveMMCurve(col.t, col.in.B, col.in.H, ms, simple);
    for (int i = 1; i <= col.t.NFib; ++i)
        if (col.t[i].MatId == MatCoverConcrete) col.t[i].ConcModel = 2, col.t[i].Fcu = 0, col.t[i].Ecu = 0.0025;
    ExpectSameSolves(col, ps, ms, "descending cover");
    MMCurve descending;
    SolveMMCurve(col.t, col.in.B, col.in.H, ms, descending);
    EXPECT_LT(std::fabs(descending.Mx[0]), std::fabs(simple.Mx[0]));
}

TEST(FastPass, FaultsRaiseTheReferenceMessageAndKeepItsState) {
    // A concrete fiber of enormous area just below the section is reached
    // only by the top level, whose window slides below the initial one: the
    // lower levels are stored and the top level's overflow is raised,
    // whatever order the threads solve the levels in.
    pxtest::Column col = FineColumn();
    pxtest::AddFiber(col.t, 0, -1330, 1e307, MatCoreConcrete1);
    auto run = [&](const SolveOptions& opt, PMCurve& c) {
        FiberTable t = col.t;
        try {
            SolvePM(t, 2200, 2200, PmSettings{}, 0, -16190.625, 149290.625, c, {}, opt);
        } catch (const AppError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    PMCurve ref;
    ASSERT_EQ(run(kReference, ref), kOverflow);
    ASSERT_GT(ref.MX[8], 0);
    for (const SolveOptions& opt : kFastModes) {
        PMCurve fast;
        EXPECT_EQ(run(opt, fast), kOverflow);
        EXPECT_TRUE(SameBits(fast.PX, ref.PX) && SameBits(fast.MX, ref.MX));
    }
}

TEST(FastPass, ProgressOnlyOnTheCallingThread) {
    pxtest::Column col = FineColumn();
    const std::thread::id me = std::this_thread::get_id();
    std::vector<int> values;
    bool foreign = false;
    auto progress = [&](int v) {
        foreign = foreign || std::this_thread::get_id() != me;
        values.push_back(v);
    };
    PMCurve c;
    SolvePM(col.t, 2200, 2200, PmSettings{}, 0, -16190.625, 149290.625, c, progress,
            {SolverPass::Fast, 2});
    ASSERT_GE(values.size(), 2u);
    EXPECT_EQ(values.back(), 0);
    values.pop_back();
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_EQ(values.back(), 100);
    values.clear();
    MMCurve m;
    SolveMMCurve(col.t, 2200, 2200, MmSettings{}, m, progress, {SolverPass::Fast, 2});
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_EQ(values.back(), 100);
    EXPECT_FALSE(foreign);
}

TEST(FastPass, CancelledSolvesThrowAndLeaveTheCurve) {
    // Every pass, the threads sharing the last sweeps included; the flag set
    // before the solve or from its second progress report.
    const pxtest::Column small = pxtest::MeshedColumn(), fine = FineColumn();
    std::vector<std::pair<const pxtest::Column*, SolveOptions>> runs = {{&small, kReference}};
    for (const SolveOptions& opt : kFastModes) runs.push_back({&small, opt});
    runs.push_back({&fine, {SolverPass::Fast, 2}});
    PmSettings ps;
    ps.nP = 8;
    MmSettings ms;
    ms.points = 12;
    const PMCurve pmBefore{3, {1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}};
    const MMCurve mmBefore{{1, 2}, {3, 4}, {5, 6}};
    for (const auto& [col, base] : runs) {
        for (const bool early : {true, false}) {
            std::atomic<bool> cancel{early};
            SolveOptions opt = base;
            opt.cancel = &cancel;
            int calls = 0;
            auto progress = [&](int) {
                if (++calls == 2) cancel = true;
            };
            const std::string what = "threads " + std::to_string(opt.threads) + ", isa " +
                                     std::to_string(static_cast<int>(opt.isa)) +
                                     (early ? ", set before" : ", set during");
            FiberTable t = col->t;
            PMCurve pm = pmBefore;
            EXPECT_THROW(SolvePM(t, 2200, 2200, ps, 90, -16190.625, 149290.625, pm, progress, opt),
                         Cancelled)
                << what;
            EXPECT_TRUE(SameBits(pm.PX, pmBefore.PX) && SameBits(pm.MY, pmBefore.MY) &&
                        pm.Divisions == 3)
                << what;
            cancel = early;
            calls = 0;
            MMCurve mm = mmBefore;
            EXPECT_THROW(SolveMMCurve(t, 2200, 2200, ms, mm, progress, opt), Cancelled) << what;
            EXPECT_TRUE(SameBits(mm.Mx, mmBefore.Mx) && SameBits(mm.My, mmBefore.My)) << what;
        }
    }
}

TEST(FastPass, ProgressStartsAtZeroAndMovesWithinALevel) {
    // One P-M level and two Mx-My angles of five passes each: the bar moves
    // after every pass.
    const pxtest::Column col = pxtest::MeshedColumn();
    PmSettings ps;
    ps.nP = 2;
    ps.N = 2000;
    MmSettings ms;
    ms.points = 1;
    ms.N = 2000;
    for (const SolveOptions& opt : {SolveOptions{SolverPass::Fast, 1}, kFastModes[1]}) {
        std::vector<int> values;
        auto progress = [&](int v) { values.push_back(v); };
        FiberTable t = col.t;
        PMCurve pm;
        SolvePM(t, 2200, 2200, ps, 0, -16190.625, 149290.625, pm, progress, opt);
        values.erase(std::unique(values.begin(), values.end()), values.end());
        EXPECT_EQ(values, (std::vector<int>{0, 20, 40, 60, 80, 100, 0})) << opt.threads;
        values.clear();
        MMCurve mm;
        SolveMMCurve(t, 2200, 2200, ms, mm, progress, opt);
        ASSERT_GE(values.size(), 2u);
        EXPECT_EQ(values.front(), 0);
        EXPECT_EQ(values.back(), 100);
        EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
        if (opt.threads == 1) {
            values.erase(std::unique(values.begin(), values.end()), values.end());
            EXPECT_EQ(values.size(), 11u);  // 0, 10, ..., 100
        }
    }
}

}  // namespace

TEST(FastPass, BitIdenticalUnderEachDesignCode) {
    // The codes' laws (block, parabola-rectangle, plastic), their strain
    // limits and the deducted fibers of net concrete, on every template.
    using namespace px::codes;
    for (int type = 0; type < 8; ++type) {
        pxtest::Column col = pxtest::MeshedColumn(type);
        for (DesignCode code : {DesignCode::Aci318, DesignCode::Eurocode, DesignCode::Aisc360}) {
            if (code == DesignCode::Aisc360 && type < 2) continue;
            CodeSettings s;
            s.code = code;
            CodeShape shape{type + 1, false, col.in.B, col.in.H, col.in.SteelYTw, col.in.SteelXTw};
            pxtest::Column coded = col;
            coded.t = CodeFiberTable(col.t, DescribeSection(s, shape, col.t));
            ExpectSameSolves(coded, PmSettings{}, MmSettings{},
                             DesignCodeName(code) + ", type " + std::to_string(type + 1));
        }
    }
}
