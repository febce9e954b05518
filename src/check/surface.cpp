#include "check/surface.h"

#include <algorithm>

#include "check/level_jobs.h"
#include "input/error.h"
#include "input/guards.h"
#include "input/numbers.h"

namespace px {

void CheckAxialLevels(int levels, int points) {
    RequireAtLeast(levels, 2, "Axial Levels");
    RequireAtMost(levels, kMaxAxialLevels, "Axial Levels");
    if (points >= 1 && static_cast<long long>(levels - 1) * (points + 1) > kMaxSurfacePoints) {
        throw AppError("\"Axial Levels\" x \"Num of MM Curve Points\" must be at most " +
                       std::to_string(kMaxSurfacePoints));
    }
}

InteractionSurface SolveSurface(const SurfaceRequest& req, const Progress& progress,
                                const SolveOptions& options) {
    if (!req.Fibers) throw AppError("Nothing to solve");
    CheckMmSettings(req.Mm);
    CheckAxialLevels(req.Levels, req.Mm.points);
    const int L = req.Levels;
    InteractionSurface s;
    s.PMin = req.PMin;
    s.PMax = req.PMax;
    const PureAxialPoints pure =
        req.Fibers->PointSymmetric ? PureAxialPoints{} : ComputePureAxialPoints(*req.Fibers);
    s.Mx0 = pure.Mx0;
    s.My0 = pure.My0;
    s.Mx1 = pure.Mx1;
    s.My1 = pure.My1;
    s.Points = req.Mm.points;
    s.Levels.resize(static_cast<size_t>(L - 1));
    std::vector<double> P(static_cast<size_t>(L - 1));
    for (int j = 1; j < L; ++j) {
        SurfaceLevel& level = s.Levels[static_cast<size_t>(j - 1)];
        level.P = checkedFinite(req.PMin + (req.PMax - req.PMin) * j / L);
        level.Curve.Mx.resize(static_cast<size_t>(s.Points) + 1);
        level.Curve.My.resize(static_cast<size_t>(s.Points) + 1);
        P[static_cast<size_t>(j - 1)] = level.P;
    }
    SolveLevels(req, P, progress, options,
                [&](int k, const MMCurve& curve) {
                    MMCurve& to = s.Levels[static_cast<size_t>(k)].Curve;
                    std::copy(curve.Mx.begin(), curve.Mx.end(), to.Mx.begin());
                    std::copy(curve.My.begin(), curve.My.end(), to.My.begin());
                });
    return s;
}

std::string SurfaceCsv(const InteractionSurface& s, const std::string& eol) {
    const int L = static_cast<int>(s.Levels.size()) + 1;
    std::string out = "Level,P,Point,Mx,My" + eol;
    auto line = [&](int level, double P, int point, double Mx, double My) {
        out += std::to_string(level) + ',' + F2(P) + ',' + std::to_string(point) + ',' + F2(Mx) +
               ',' + F2(My) + eol;
    };
    line(0, s.PMin, 0, s.Mx1, s.My1);
    for (int j = 1; j < L; ++j) {
        const SurfaceLevel& level = s.Levels[static_cast<size_t>(j - 1)];
        for (int i = 1; i <= s.Points; ++i)
            line(j, level.P, i, level.Curve.Mx[static_cast<size_t>(i)],
                 level.Curve.My[static_cast<size_t>(i)]);
    }
    line(L, s.PMax, 0, s.Mx0, s.My0);
    return out;
}

}  // namespace px
