// The live check's runner without a window: the part of the live check that
// works on threads of its own. With no window in the process, no picture is
// painted, so ThreadSanitizer watches these runs with none of Qt's picture
// threads beside them.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "check/capacity_check.h"
#include "check/ui/live_check.h"
#include "input/error.h"
#include "section/mesh.h"
#include "input/section_input.h"
#include "realistic_forces.h"

using namespace px;

namespace {

LiveInputs Inputs(const char* mesh, const char* width) {
    LiveInputs in;
    in.fields = DefaultFields();
    in.fields.texts["Edit12"] = in.fields.texts["Edit13"] = mesh;
    in.fields.texts["Edit1"] = width;
    in.fields.texts["Edit65"] = "4";
    ReadSectionInput(in.fields, in.base);
    in.loads = pxtest::RealisticForces();
    return in;
}

template <class Done>
void Spin(Done done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 60000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct Runner {
    LiveRunner runner{nullptr};
    std::vector<std::shared_ptr<const LiveResults>> got;
    Runner() {
        QObject::connect(&runner, &LiveRunner::finished,
                         [this](std::shared_ptr<const LiveResults> r) { got.push_back(std::move(r)); });
    }
    void schedule(const char* mesh, const char* width) {
        runner.schedule([=] { return Inputs(mesh, width); });
    }
};

}  // namespace

TEST(LiveRunner, DeliversOnlyTheNewestRunAndNeverWaitsForAnOldOne) {
    Runner r;
    // The first run is held on its thread once it has its results.
    std::atomic<unsigned long long> first{0};
    std::atomic<bool> held{false}, release{false};
    r.runner.setRunHook([&](unsigned long long run) {
        unsigned long long none = 0;
        if (!first.compare_exchange_strong(none, run) && first.load() != run) return;
        held = true;
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    r.schedule("12", "2200");
    Spin([&] { return held.load(); });
    ASSERT_TRUE(held);

    // Changes while it is held: each restarts the pause, and the run that
    // follows is delivered while the held one still lives.
    for (const char* width : {"2300", "2400", "2500"}) r.schedule("12", width);
    int most = 0;
    Spin([&] {
        most = std::max(most, r.runner.threads());
        return !r.got.empty() && !r.runner.pending();
    });
    EXPECT_EQ(most, 2);
    ASSERT_EQ(r.got.size(), 1u);
    const LiveResults direct = RunLive(Inputs("12", "2500"), std::atomic<bool>{false});
    ASSERT_TRUE(r.got[0]->check && direct.check);
    EXPECT_EQ(CheckCsv(*r.got[0]->check, "\n"), CheckCsv(*direct.check, "\n"));
    EXPECT_EQ(r.got[0]->surface.Levels.size(), direct.surface.Levels.size());

    // Let go, the held run ends and is joined, and shows nothing.
    release = true;
    Spin([&] { return r.runner.threads() == 0; });
    QCoreApplication::processEvents(QEventLoop::AllEvents, 4 * LiveRunner::kPollMs);
    EXPECT_EQ(r.runner.threads(), 0);
    EXPECT_EQ(r.got.size(), 1u);
}

TEST(LiveRunner, StoppedAndDestroyedRunsDeliverNothing) {
    {
        // Stopped in the pause, and in flight on a fine mesh.
        Runner r;
        r.schedule("12", "2200");
        r.runner.stop();
        r.schedule("200", "2200");
        Spin([&] { return r.runner.threads() > 0; });
        r.runner.stop();
        EXPECT_FALSE(r.runner.pending());
        Spin([&] { return r.runner.threads() == 0; });
        EXPECT_TRUE(r.got.empty());
        // A fault is a result: its message and nothing else.
        r.runner.schedule([] {
            LiveInputs in = Inputs("12", "2200");
            in.fields.texts["Edit1"] = "-5";
            return in;
        });
        Spin([&] { return !r.got.empty(); });
        ASSERT_EQ(r.got.size(), 1u);
        EXPECT_EQ(r.got[0]->error, "\"Sec Width B\" must be greater than 0");
        EXPECT_FALSE(r.got[0]->check);
    }
    // Destroyed with a run in flight: the run is cancelled and joined.
    Runner r;
    r.schedule("300", "2200");
    Spin([&] { return r.runner.threads() > 0; });
}

TEST(LiveRunner, AFineMeshStopsOnceItsRunIsCancelled) {
    // A million fibers: a cancelled run gives up while meshing, and only on
    // the thread whose scope holds the flag.
    MapFields f = DefaultFields();
    f.texts["Edit12"] = "1000";
    f.texts["Edit13"] = "996";
    std::atomic<bool> cancel{true};
    SectionInput in;
    FiberTable t;
    ReadSectionInput(f, in);
    {
        const MeshCancelScope scope(&cancel);
        EXPECT_THROW(BuildFiberTable(in, t), Cancelled);
        EXPECT_LE(std::count_if(t.f.begin(), t.f.end(), [](const Fiber& x) { return x.Area > 0; }), 4096);
        std::thread other([&] { EXPECT_NO_THROW(BuildFiberTable(in, t)); });
        other.join();
        {
            const MeshCancelScope inner(nullptr);
            EXPECT_NO_THROW(BuildFiberTable(in, t));
        }
        EXPECT_THROW(BuildFiberTable(in, t), Cancelled);  // the outer scope's flag again
    }
    EXPECT_NO_THROW(BuildFiberTable(in, t));
    EXPECT_THROW(ReadCheckSection(f, in, &cancel), Cancelled);
    // The live run hands its flag to the mesher: it stops within the first
    // 4096 of the million fibers rather than after meshing them all.
    CheckSection s;
    EXPECT_THROW(ReadCheckSectionInto(f, in, s, &cancel), Cancelled);
    EXPECT_GT(s.fibers.NFib, 1000 * 996);  // the table was sized for the whole mesh
    EXPECT_LE(std::count_if(s.fibers.f.begin(), s.fibers.f.end(), [](const Fiber& x) { return x.Area > 0; }), 4096);
}
