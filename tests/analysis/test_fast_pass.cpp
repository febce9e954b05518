// The fast pass (trial-batched sweep, worker threads) must give the bits of
// the reference pass for every section type and setting.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "analysis/mm_solver.h"
#include "analysis/pm_solver.h"
#include "default_column.h"
#include "input/error.h"

namespace {

using namespace px;

constexpr SolveOptions kReference{SolverPass::Reference, 1};
// Every vector width on one or more threads; a width the processor lacks
// falls back to the baseline.
const SolveOptions kFastModes[] = {{SolverPass::Fast, 1, SweepIsa::Baseline},
                                   {SolverPass::Fast, 2, SweepIsa::Avx2},
                                   {SolverPass::Fast, 3, SweepIsa::Baseline},
                                   {SolverPass::Fast, 2, SweepIsa::Auto}};

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// Strain and Stress of every fiber, as the last trial leaves them.
std::vector<double> FiberState(const FiberTable& t) {
    std::vector<double> v;
    for (int i = 1; i <= t.NFib; ++i) {
        v.push_back(t[i].Strain);
        v.push_back(t[i].Stress);
    }
    return v;
}

struct PmRun {
    PMCurve curve;
    std::vector<double> fibers;
};

PmRun RunPm(FiberTable t, const SectionInput& in, const PmSettings& s, double PMin, double PMax,
            const SolveOptions& opt) {
    PmRun r;
    SolvePM(t, in.B, in.H, s, 0, PMin, PMax, r.curve, {}, opt);
    SolvePM(t, in.B, in.H, s, 90, PMin, PMax, r.curve, {}, opt);
    r.fibers = FiberState(t);
    return r;
}

struct MmRun {
    MMCurve curve;
    std::vector<double> fibers;
};

MmRun RunMm(FiberTable t, const SectionInput& in, const MmSettings& s, const SolveOptions& opt) {
    MmRun r;
    SolveMMCurve(t, in.B, in.H, s, r.curve, {}, opt);
    r.fibers = FiberState(t);
    return r;
}

void ExpectSameSolves(const pxtest::Column& col, const PmSettings& ps, const MmSettings& ms,
                      const std::string& what) {
    double PMax = 0, PMin = 0;
    ComputeAxialBounds(col.t, PMax, PMin);
    const PmRun ref = RunPm(col.t, col.in, ps, PMin, PMax, kReference);
    const MmRun mref = RunMm(col.t, col.in, ms, kReference);
    for (const SolveOptions& opt : kFastModes) {
        const std::string where = what + ", threads " + std::to_string(opt.threads) + ", isa " +
                                  std::to_string(static_cast<int>(opt.isa));
        const PmRun fast = RunPm(col.t, col.in, ps, PMin, PMax, opt);
        EXPECT_EQ(fast.curve.Divisions, ref.curve.Divisions) << where;
        EXPECT_TRUE(SameBits(fast.curve.PX, ref.curve.PX)) << where;
        EXPECT_TRUE(SameBits(fast.curve.MX, ref.curve.MX)) << where;
        EXPECT_TRUE(SameBits(fast.curve.PY, ref.curve.PY)) << where;
        EXPECT_TRUE(SameBits(fast.curve.MY, ref.curve.MY)) << where;
        EXPECT_TRUE(SameBits(fast.fibers, ref.fibers)) << where;
        const MmRun mfast = RunMm(col.t, col.in, ms, opt);
        EXPECT_TRUE(SameBits(mfast.curve.Mx, mref.curve.Mx)) << where;
        EXPECT_TRUE(SameBits(mfast.curve.My, mref.curve.My)) << where;
        EXPECT_TRUE(SameBits(mfast.fibers, mref.fibers)) << where;
    }
}

TEST(FastPass, BitIdenticalForEverySectionTypeAndSettings) {
    PmSettings changedPm;
    changedPm.nP = 7;
    changedPm.K = 3;
    changedPm.N = 37;
    changedPm.factor = 1.0;  // corner trials
    changedPm.strainLimit = -0.003;
    MmSettings changedMm;
    changedMm.points = 13;
    changedMm.axialForce = 5000;
    changedMm.K = 3;
    changedMm.N = 41;
    changedMm.factor = 1.3;
    changedMm.strainLimit = -0.004;
    for (int type = 0; type < 8; ++type) {
        const pxtest::Column col = pxtest::MeshedColumn(type);
        ASSERT_GT(col.t.NFib, 0) << type;
        const std::string name = "type " + std::to_string(type + 1);
        ExpectSameSolves(col, PmSettings{}, MmSettings{}, name + ", defaults");
        ExpectSameSolves(col, changedPm, changedMm, name + ", changed settings");
    }
}

TEST(FastPass, BitIdenticalWhenThreadsShareTheLastSweeps) {
    // With enough fibers, the levels (angles) left over when the threads do
    // not divide them evenly are solved with the threads sharing each sweep.
    px::MapFields f;
    f["Edit12"] = "40";  // "X-Dir Mesh Num"
    f["Edit13"] = "40";  // "Y-Dir Mesh Num"
    const pxtest::Column col = pxtest::MeshedColumn(0, &f);
    ASSERT_GT(col.t.NFib * 101, 100000);
    PmSettings ps;
    ps.nP = 8;  // 7 levels: one left over on 2 and on 3 threads
    MmSettings ms;
    ms.points = 12;  // 13 angles
    ms.axialForce = 40000;
    ExpectSameSolves(col, ps, ms, "shared sweeps");
}

TEST(FastPass, BitIdenticalWithLawlessFibersAndOtherModels) {
    pxtest::Column col = pxtest::MeshedColumn(2);  // Rect SRC type 1: bars, steel, id 31
    // Some fibers with no law or a model the laws do not know keep their
    // stress; a deducted fiber of another model flips its stress every trial.
    col.t[3].MatId = 40;
    col.t[3].Stress = -3.5;
    col.t[5].ConcModel = 2;
    col.t[5].Stress = -1.25;
    for (int i = 1; i <= col.t.NFib; ++i) {
        if (col.t[i].MatId == MatRebar) {
            col.t[i].SteelModel = 0;
            col.t[i].Stress = 100;
            break;
        }
    }
    PmSettings ps;
    ps.nP = 5;
    ps.N = 30;
    MmSettings ms;
    ms.points = 8;
    ms.N = 30;
    ExpectSameSolves(col, ps, ms, "lawless fibers");

    for (int i = 1; i <= col.t.NFib; ++i) {
        if (col.t[i].MatId == MatDeductedConcrete1) {
            col.t[i].ConcModel = 3;
            col.t[i].Stress = 2;
            break;
        }
    }
    ExpectSameSolves(col, ps, ms, "flipping deducted fiber");
}

TEST(FastPass, FaultsRaiseTheReferenceMessageAndKeepItsState) {
    // A concrete fiber of enormous area just below the section is reached
    // only by the top level, whose window slides below the initial one: the
    // lower levels are stored and the overflow of the top level is raised,
    // whatever order the threads solve the levels in.
    px::MapFields f;
    f["Edit12"] = "40";
    f["Edit13"] = "40";
    pxtest::Column col = pxtest::MeshedColumn(0, &f);
    pxtest::AddFiber(col.t, 0, -1330, 1e307, MatCoreConcrete1);
    const PmSettings s;
    std::string refMessage;
    PMCurve ref;
    try {
        FiberTable t = col.t;
        SolvePM(t, 2200, 2200, s, 0, -16190.625, 149290.625, ref, {}, kReference);
    } catch (const AppError& e) {
        refMessage = e.what();
    }
    ASSERT_EQ(refMessage, kOverflow);
    ASSERT_GT(ref.MX[8], 0);  // the levels below were stored
    for (const SolveOptions& opt : kFastModes) {
        PMCurve fast;
        std::string message;
        try {
            FiberTable t = col.t;
            SolvePM(t, 2200, 2200, s, 0, -16190.625, 149290.625, fast, {}, opt);
        } catch (const AppError& e) {
            message = e.what();
        }
        EXPECT_EQ(message, refMessage);
        EXPECT_TRUE(SameBits(fast.PX, ref.PX));
        EXPECT_TRUE(SameBits(fast.MX, ref.MX));
    }
}

TEST(FastPass, ProgressOnlyOnTheCallingThread) {
    px::MapFields f;
    f["Edit12"] = "40";  // enough fibers for the threads to share sweeps
    f["Edit13"] = "40";
    pxtest::Column col = pxtest::MeshedColumn(0, &f);
    const std::thread::id me = std::this_thread::get_id();
    std::vector<int> values;
    bool foreign = false;
    auto progress = [&](int v) {
        if (std::this_thread::get_id() != me) foreign = true;
        values.push_back(v);
    };
    PMCurve c;
    SolvePM(col.t, 2200, 2200, PmSettings{}, 0, -16190.625, 149290.625, c, progress,
            {SolverPass::Fast, 2});
    EXPECT_FALSE(foreign);
    ASSERT_GE(values.size(), 2u);
    EXPECT_EQ(values.back(), 0);
    for (size_t k = 0; k + 1 < values.size(); ++k) {
        EXPECT_GT(values[k], 0);
        EXPECT_LE(values[k], 100);
        if (k > 0) {
            EXPECT_GE(values[k], values[k - 1]);
        }
    }
    values.clear();
    MMCurve m;
    SolveMMCurve(col.t, 2200, 2200, MmSettings{}, m, progress, {SolverPass::Fast, 2});
    EXPECT_FALSE(foreign);
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(values.back(), 100);
}

}  // namespace
