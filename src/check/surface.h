#pragma once
// The P-Mx-My interaction surface of the section: Mx-My curves at evenly
// spaced axial forces between the tension and compression capacities,
// closed by the two pure-axial points.
#include <string>
#include <vector>

#include "analysis/curves.h"
#include "analysis/mm_solver.h"
#include "analysis/section_steps.h"
#include "check/level_jobs.h"
#include "section/fiber.h"

namespace px {

// "Axial Levels": at least 2 (one curve), at most this many.
inline constexpr int kMaxAxialLevels = 200;
// Points stored by the whole surface: levels x curve points, at most this.
inline constexpr int kMaxSurfacePoints = 10000000;

// The section, with each level solved at its own axial force.
struct SurfaceRequest : SectionRequest {
    int Levels = 20;  // "Axial Levels" L
};

// One ring: the curve at P as "Gen MM Curve" computes it, Mm.points + 1
// entries indexed by angle step; entries 1 .. points make the closed ring
// (entry 0 is the same angle as entry points).
struct SurfaceLevel {
    double P = 0;
    MMCurve Curve;
};

struct InteractionSurface {
    double PMin = 0, PMax = 0;  // the apexes (Mx1, My1, PMin) and (Mx0, My0, PMax)
    // Moments of the pure-axial states (ComputePureAxialPoints): 0 for a
    // point-symmetric section.
    double Mx0 = 0, My0 = 0, Mx1 = 0, My1 = 0;
    int Points = 0;             // angle steps of every ring
    // Levels j = 1 .. L - 1 at P = PMin + (PMax - PMin) j / L, rising P.
    // Rings join level to level and to the apexes by equal angle index.
    std::vector<SurfaceLevel> Levels;
};

// Refuses an "Axial Levels" value outside 2 .. kMaxAxialLevels, or one that
// with `points` per ring would store more than kMaxSurfacePoints.
void CheckAxialLevels(int levels, int points);

// Solves every ring with the MM settings (checked first, with the messages of
// "Gen MM Curve"); the levels are shared by the threads. Raises AppError for
// a fault and Cancelled when options.cancel is set; progress 0..100 on the
// calling thread.
InteractionSurface SolveSurface(const SurfaceRequest& req, const Progress& progress = {},
                                const SolveOptions& options = {});

// The surface as text, each line followed by `eol`: the header
// "Level,P,Point,Mx,My", then the apex (Mx1, My1, PMin) as level 0 point 0,
// the rings as levels 1 .. L - 1 with points 1 .. n, and the apex
// (Mx0, My0, PMax) as level L point 0. P, Mx, My by "%0.2F".
std::string SurfaceCsv(const InteractionSurface& s, const std::string& eol);

}  // namespace px
