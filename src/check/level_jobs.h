#pragma once
// Mx-My curves of one section at several axial forces, spread over threads:
// the capacity check and the interaction surface both solve their levels
// through this, with the solver the "Gen MM Curve" command uses.
#include <functional>
#include <vector>

#include "analysis/curves.h"
#include "analysis/mm_solver.h"
#include "analysis/section_steps.h"
#include "section/fiber.h"

namespace px {

// The section whose Mx-My curves are solved at several axial forces.
struct SectionRequest {
    const FiberTable* Fibers = nullptr;
    double B = 0, H = 0;        // section extent used by the solver
    MmSettings Mm;              // axialForce is ignored: each level uses its own
    double PMax = 0, PMin = 0;  // axial capacities of the same table (ComputeAxialBounds)
    // Each level's curve straight to its axial force; the grid search of
    // "Gen MM Curve" only to compare with.
    MmSearch Search = MmSearch::Root;
};

// Receives the curve of level k; may run on a worker thread, one call per
// level, and must not keep the curve (it is reused for the next level).
using LevelSink = std::function<void(int level, const MMCurve& curve)>;

// Solves the curve of s.Mm with axialForce = P[k] for every k. Whole levels
// go to the threads, each with its own copy of the table; the few left over
// when they do not divide evenly are solved one by one with the solver's own
// threads. Progress 0..100 on the calling thread only, repeated every few
// tens of milliseconds while the workers run. Throws Cancelled when
// options.cancel is set (checked before each level and passed to the
// solver), and the first level's fault in level order otherwise. A level
// whose axial force no state of some angle carries (AxialForceOutOfReach) goes
// to `outOfReach` instead of the sink when one is given, and the rest go on.
using LevelMiss = std::function<void(int level)>;
void SolveLevels(const SectionRequest& s, const std::vector<double>& P, const Progress& progress,
                 const SolveOptions& options, const LevelSink& sink,
                 const LevelMiss& outOfReach = {});

}  // namespace px
