#include "check/capacity_check.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "check/level_jobs.h"
#include "analysis/mm_solver.h"
#include "input/error.h"
#include "input/numbers.h"

namespace px {

std::optional<double> CapacityAlong(const double* Mx, const double* My, int first, int last,
                                    double ux, double uy) {
    return CapacityAlongFrom(Mx, My, first, last, 0, 0, ux, uy);
}

bool InsidePolygon(const double* Mx, const double* My, int first, int last, double x, double y) {
    bool inside = false;
    for (int k = first; k <= last; ++k) {
        const int next = k == last ? first : k + 1;
        const double ax = Mx[k], ay = My[k], bx = Mx[next], by = My[next];
        if ((ay > y) != (by > y) && x < ax + (y - ay) / (by - ay) * (bx - ax)) inside = !inside;
    }
    return inside;
}

std::optional<double> CapacityAlongFrom(const double* Mx, const double* My, int first, int last,
                                        double cx, double cy, double ux, double uy) {
    std::optional<double> best;
    for (int k = first; k <= last; ++k) {
        const int next = k == last ? first : k + 1;
        const double ax = Mx[k] - cx, ay = My[k] - cy;
        const double dx = Mx[next] - Mx[k], dy = My[next] - My[k];
        const double den = ux * dy - uy * dx;
        if (den == 0) continue;
        const double t = (ax * dy - ay * dx) / den;
        const double s = (ax * uy - ay * ux) / den;
        // A ray through a vertex meets both of its edges at their ends; the
        // slack keeps rounding from missing both.
        constexpr double kSlack = 1e-9;
        if (s >= -kSlack && s <= 1 + kSlack && t > 0 && (!best || t > *best)) best = t;
    }
    return best;
}

namespace {

// Rows [begin, begin + count) of the member list share the axial force P.
struct LevelGroup {
    int begin = 0, count = 0;
    double P = 0;
};

// Ratio of an axial force alone to the capacity on its side; nothing when
// the section has no capacity on that side (no steel to carry tension).
std::optional<double> AxialRatio(double Pa, double PMax, double PMin) {
    if (Pa > 0) return PMax > 0 ? std::optional(checkedDiv(Pa, PMax)) : std::nullopt;
    if (Pa < 0) return PMin < 0 ? std::optional(checkedDiv(Pa, PMin)) : std::nullopt;
    return 0.0;
}

// The ray's start at axial force P: the plastic centroid's moments; should
// the curve at P not hold them (a section whose surface is not convex there),
// the mean of the curve's points, which a star-shaped curve holds.
void CentreOf(const PureAxialPoints& pure, const MMCurve& curve, int points, double P, double& cx,
              double& cy) {
    pure.centreAt(P, cx, cy);
    if (cx == 0 && cy == 0) return;  // point-symmetric: the origin, as ever
    if (InsidePolygon(curve.Mx.data(), curve.My.data(), 1, points, cx, cy)) return;
    double sx = 0, sy = 0;
    for (int k = 1; k <= points; ++k) {
        sx += curve.Mx[static_cast<size_t>(k)];
        sy += curve.My[static_cast<size_t>(k)];
    }
    cx = checkedFinite(sx / points);
    cy = checkedFinite(sy / points);
}

// The uniaxial states at each level's axial force (bending about x alone
// and about y alone, each side compressed) of a section that is not
// point-symmetric, which its P-M curves show: the check's curve passes
// through them, so the check and the P-M curves agree on the axes.
struct AxisPoints {
    bool solved = false;
    std::vector<UniaxialState> s[4];  // X top, X bottom, Y left, Y right; by level
};

AxisPoints SolveAxisPoints(const CheckRequest& req, const std::vector<double>& P,
                           const SolveOptions& options) {
    AxisPoints a;
    if (req.Fibers->PointSymmetric || P.empty()) return a;
    FiberTable t = *req.Fibers;
    const int n = static_cast<int>(P.size());
    try {
        for (int k = 0; k < 4; ++k) {
            a.s[k].resize(P.size());
            SolveUniaxialStates(t, req.B, req.H, k < 2 ? 0 : 90, k % 2 == 1, req.Mm.strainLimit,
                                req.Mm.factor, P.data(), n, a.s[k].data(), options);
        }
    } catch (const AxialForceOutOfReach&) {
        // Some level no state carries: the curves alone, as for any section
        // (that level's rows keep "n/a").
        return AxisPoints{};
    }
    a.solved = true;
    return a;
}

// The curve's points 1 .. points with the level's axis points, in order of
// their direction seen from the centre (cx, cy); entry 0 unused.
void WithAxisPoints(const MMCurve& curve, int points, const AxisPoints& axes, int level, double cx,
                    double cy, std::vector<double>& mx, std::vector<double>& my) {
    struct Pt {
        double a, x, y;
    };
    std::vector<Pt> all;
    all.reserve(static_cast<size_t>(points) + 4);
    for (int k = 1; k <= points; ++k) {
        const double x = curve.Mx[static_cast<size_t>(k)], y = curve.My[static_cast<size_t>(k)];
        all.push_back({std::atan2(y - cy, x - cx), x, y});
    }
    for (const std::vector<UniaxialState>& s : axes.s) {
        const UniaxialState& u = s[static_cast<size_t>(level)];
        all.push_back({std::atan2(u.My - cy, u.Mx - cx), u.Mx, u.My});
    }
    std::stable_sort(all.begin(), all.end(), [](const Pt& p, const Pt& q) { return p.a < q.a; });
    mx.assign(1, 0);
    my.assign(1, 0);
    for (const Pt& p : all) {
        mx.push_back(p.x);
        my.push_back(p.y);
    }
}

}  // namespace

CheckResult RunCapacityCheck(const CheckRequest& req, const Progress& progress,
                             const SolveOptions& options) {
    if (!req.Fibers || !req.Loads) throw AppError("Nothing to check");
    const LoadCombinationTable& loads = *req.Loads;
    const int count = std::min(loads.Count, static_cast<int>(loads.Items.size()) - 1);
    if (count < 1) throw AppError("No forces have been imported");
    CheckMmSettings(req.Mm);

    // A point-symmetric section's centre is the origin: no pass over its fibers.
    PureAxialPoints pure = req.Fibers->PointSymmetric ? PureAxialPoints{} : ComputePureAxialPoints(*req.Fibers);
    pure.PMax = req.PMax;
    pure.PMin = req.PMin;

    CheckResult result;
    result.Rows.resize(static_cast<size_t>(count));
    // Rows that need a curve, as (bits of Pa, row) pairs.
    std::vector<std::pair<std::uint64_t, int>> needs;
    for (int i = 1; i <= count; ++i) {
        const LoadCombination& c = loads.Items[static_cast<size_t>(i)];
        CheckRow& row = result.Rows[static_cast<size_t>(i - 1)];
        row.Case = i;
        row.P = checkedFinite(req.FactorP * c.P);
        row.Mx = checkedFinite(req.FactorMx * c.Mx);
        row.My = checkedFinite(req.FactorMy * c.My);
        // The force's offset from the plastic centroid at its P (the origin
        // for a point-symmetric section).
        double cx = 0, cy = 0;
        pure.centreAt(row.P, cx, cy);
        const double m = checkedFinite(std::hypot(row.Mx - cx, row.My - cy));
        // A force at the origin of a point-symmetric section, or at a
        // pure-axial point, needs no curve; any other section's centre is
        // checked against its curve first.
        const bool atCentre =
            m == 0 && (req.Fibers->PointSymmetric || row.P == req.PMax || row.P == req.PMin);
        if (atCentre || row.P > req.PMax || row.P < req.PMin) {
            row.Ratio = AxialRatio(row.P, req.PMax, req.PMin);
        } else if (row.P == req.PMax || row.P == req.PMin) {
            // A moment on top of the whole axial capacity: nothing is left
            // to carry it, and no curve is solved there ("n/a").
        } else {
            needs.emplace_back(std::bit_cast<std::uint64_t>(row.P), i - 1);
        }
    }

    // Distinct axial forces, each with the rows that share it; levels in the
    // order their first row appears in the file, so the first fault reported
    // is that of the earliest combination.
    std::sort(needs.begin(), needs.end());
    std::vector<LevelGroup> groups;
    std::vector<int> members;
    members.reserve(needs.size());
    for (size_t k = 0; k < needs.size(); ++k) {
        if (k == 0 || needs[k].first != needs[k - 1].first) {
            groups.push_back({static_cast<int>(members.size()), 0,
                              std::bit_cast<double>(needs[k].first)});
        }
        members.push_back(needs[k].second);
        ++groups.back().count;
    }
    needs.clear();
    needs.shrink_to_fit();
    std::sort(groups.begin(), groups.end(), [&](const LevelGroup& a, const LevelGroup& b) {
        return members[static_cast<size_t>(a.begin)] < members[static_cast<size_t>(b.begin)];
    });

    std::vector<double> Pa(groups.size());
    for (size_t g = 0; g < groups.size(); ++g) Pa[g] = groups[g].P;
    const int points = req.Mm.points;
    const AxisPoints axes = SolveAxisPoints(req, Pa, options);
    SolveLevels(req, Pa, progress, options,
                [&](int level, const MMCurve& curve) {
                    const LevelGroup& g = groups[static_cast<size_t>(level)];
                    std::vector<double> mx, my;  // the curve with its points on the axes
                    int last = points;
                    const double* cMx = curve.Mx.data();
                    const double* cMy = curve.My.data();
                    for (int k = g.begin; k < g.begin + g.count; ++k) {
                        const int at = members[static_cast<size_t>(k)];
                        CheckRow& row = result.Rows[static_cast<size_t>(at)];
                        double cx = 0, cy = 0;
                        CentreOf(pure, curve, points, row.P, cx, cy);
                        if (axes.solved && mx.empty()) {
                            WithAxisPoints(curve, points, axes, level, cx, cy, mx, my);
                            cMx = mx.data();
                            cMy = my.data();
                            last = static_cast<int>(mx.size()) - 1;
                        }
                        const double dx = row.Mx - cx, dy = row.My - cy;
                        const double m = std::hypot(dx, dy);
                        if (m == 0) {  // the force is the centre: the axial ratio
                            row.Ratio = AxialRatio(row.P, req.PMax, req.PMin);
                            continue;
                        }
                        row.Capacity = CapacityAlongFrom(cMx, cMy, 1, last, cx, cy, dx / m, dy / m);
                        if (row.Capacity) row.Ratio = checkedDiv(m, *row.Capacity);
                    }
                },
                // No state carries this axial force at some angle: its rows
                // keep "n/a" and the rest of the check goes on.
                [](int) {});

    result.Curves = static_cast<int>(groups.size());
    result.FromCentre = !req.Fibers->PointSymmetric;
    TallyCheck(result);
    return result;
}

void TallyCheck(CheckResult& r) {
    r.Passed = 0;
    r.Governing = -1;
    for (size_t k = 0; k < r.Rows.size(); ++k) {
        const CheckRow& row = r.Rows[k];
        if (row.ok()) ++r.Passed;
        if (r.Governing >= 0) {
            const CheckRow& gov = r.Rows[static_cast<size_t>(r.Governing)];
            if (!gov.Ratio || (row.Ratio && *row.Ratio <= *gov.Ratio)) continue;
        }
        r.Governing = static_cast<int>(k);
    }
}

std::string CheckCellText(const CheckRow& r, int column) {
    switch (column) {
        case 0: return std::to_string(r.Case);
        case 1: return F2(r.P);
        case 2: return F2(r.Mx);
        case 3: return F2(r.My);
        case 4: return r.Capacity ? F2(*r.Capacity) : std::string();
        case 5: return r.Ratio ? FormatFixed(*r.Ratio, 4) : "n/a";
        case 6: return r.ok() ? "OK" : "NG";
        default: return {};
    }
}

double CheckSortKey(const CheckRow& r, int column) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    switch (column) {
        case 0: return r.Case;
        case 1: return r.P;
        case 2: return r.Mx;
        case 3: return r.My;
        case 4: return r.Capacity ? *r.Capacity : -inf;
        case 5: return r.Ratio ? *r.Ratio : inf;
        case 6: return r.ok() ? 0 : 1;
        default: return 0;
    }
}

std::string CheckColumnName(const CheckResult& r, int column) {
    if (column < 0 || column >= kCheckColumns) return {};
    if (column == 5 && r.FromCentre) return "Ratio from plastic centroid";
    return kCheckColumnNames[column];
}

std::string CheckCsv(const CheckResult& r, const std::string& eol) {
    std::string out;
    for (int c = 0; c < kCheckColumns; ++c) {
        if (c) out += ',';
        out += CheckColumnName(r, c);
    }
    out += eol;
    for (const CheckRow& row : r.Rows) {
        for (int c = 0; c < kCheckColumns; ++c) {
            if (c) out += ',';
            out += CheckCellText(row, c);
        }
        out += eol;
    }
    return out;
}

std::string CheckSummaryLine(const CheckResult& r) {
    std::string s = "Passed " + std::to_string(r.Passed) + " of " + std::to_string(r.Rows.size());
    if (r.Governing >= 0 && static_cast<size_t>(r.Governing) < r.Rows.size()) {
        const CheckRow& g = r.Rows[static_cast<size_t>(r.Governing)];
        s += "; governing case " + std::to_string(g.Case) + ", ratio " + CheckCellText(g, 5);
    }
    return s;
}

}  // namespace px
