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

// One ray to solve at axial force P: from the level's centre through the
// force (Mx, My), or, `along`, in the direction (ux, uy) whatever the force.
struct Probe {
    double P = 0, Mx = 0, My = 0;
    bool along = false;
    double ux = 0, uy = 0;
    // Results: the force's distance from the centre and the curve's along
    // the ray; `reached` false when no curve was solved at P.
    double m = 0;
    std::optional<double> cap;
    bool reached = false;
};

// Solves every probe, one curve per distinct axial force (each strictly
// between PMin and PMax), levels in the order their first probe appears so
// that the first fault reported is the earliest's. Progress 0..100 of this
// pass. Returns the number of curves solved.
int SolveProbes(const CheckRequest& req, const PureAxialPoints& pure, std::vector<Probe>& probes,
                const Progress& progress, const SolveOptions& options) {
    // Probes as (bits of P, index) pairs.
    std::vector<std::pair<std::uint64_t, int>> needs;
    needs.reserve(probes.size());
    for (size_t i = 0; i < probes.size(); ++i)
        if (probes[i].P > req.PMin && probes[i].P < req.PMax)  // else no curve: unreached
            needs.emplace_back(std::bit_cast<std::uint64_t>(probes[i].P), static_cast<int>(i));
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
                        Probe& pr = probes[static_cast<size_t>(members[static_cast<size_t>(k)])];
                        double cx = 0, cy = 0;
                        CentreOf(pure, curve, points, pr.P, cx, cy);
                        if (axes.solved && mx.empty()) {
                            WithAxisPoints(curve, points, axes, level, cx, cy, mx, my);
                            cMx = mx.data();
                            cMy = my.data();
                            last = static_cast<int>(mx.size()) - 1;
                        }
                        pr.reached = true;
                        double ux = pr.ux, uy = pr.uy;
                        if (!pr.along) {
                            const double dx = pr.Mx - cx, dy = pr.My - cy;
                            pr.m = std::hypot(dx, dy);
                            if (pr.m == 0) continue;  // the force is the centre
                            ux = dx / pr.m;
                            uy = dy / pr.m;
                        }
                        pr.cap = CapacityAlongFrom(cMx, cMy, 1, last, cx, cy, ux, uy);
                    }
                },
                // No state carries this axial force at some angle: its probes
                // stay unreached and the rest go on.
                [](int) {});
    return static_cast<int>(groups.size());
}

// The radial ratio of every row, by a search on the scale t of the force
// about the ray's start S = (0, centre at P = 0): the scaled force
// S + t (F - S) is on the surface where g(t) = (its distance from the
// level's centre) - (the curve's distance along the same ray) is 0. The
// offset from the level's centre scales with t (the centre moves linearly
// with P), so g is negative inside the surface and positive outside; at the
// axial capacity on the force's side (t = PMax / P or PMin / P) the curve
// has shrunk to its centre and g is the offset itself. Secant steps from
// the constant-P pass's point t = 1, kept inside the bracket that every
// value narrows (halving it where a step would leave it). Each pass solves
// one curve per open row, all rows at once.
int SolveRadial(const CheckRequest& req, const PureAxialPoints& pure, CheckResult& result,
                const Progress& progress, const SolveOptions& options) {
    struct Search {
        int row = 0;
        double dx = 0, dy = 0;             // the force's offset from its level's centre
        double lo = 0, hi = 0;             // the bracket on t: g(lo) <= 0 < g(hi)
        bool loKnown = false;              // g(lo) solved (else lo = 0, not yet solved)
        double t = 0, g = 0;               // the last point solved
        bool have = false;
        double next = 0;                   // the scale to try next
    };
    // Steps below this share of the scale end the search: the ratio is then
    // good to far more than its four decimals.
    constexpr double kScaleTolerance = 1e-6;
    constexpr int kMaxPasses = 60;

    double c0x = 0, c0y = 0;
    pure.centreAt(0, c0x, c0y);
    std::vector<Search> open;
    for (size_t i = 0; i < result.Rows.size(); ++i) {
        CheckRow& row = result.Rows[i];
        double cx = 0, cy = 0;
        pure.centreAt(row.P, cx, cy);
        if (row.Missing == NoCapacity::MemberBuckles || row.Missing == NoCapacity::MemberUnstable) continue;
        const double dx = row.checkMx() - cx, dy = row.checkMy() - cy;
        const double d = checkedFinite(std::hypot(dx, dy));
        if (d == 0) {  // on the centroid's axis: the ray is the P axis
            row.Radial = AxialRatio(row.P, req.PMax, req.PMin);
            continue;
        }
        if (row.P == 0) {  // the ray stays in the plane P = 0
            row.Radial = row.Ratio;
            continue;
        }
        const double top = row.P > 0 ? req.PMax : req.PMin;
        if (!(top * row.P > 0)) continue;  // no capacity on the force's side: "n/a"
        Search s;
        s.row = static_cast<int>(i);
        s.dx = dx;
        s.dy = dy;
        s.hi = checkedDiv(top, row.P);
        if (row.Capacity && row.Ratio) {
            const double g1 = d - *row.Capacity;
            if (g1 == 0) {
                row.Radial = 1.0;
                continue;
            }
            if (g1 < 0) s.lo = 1, s.loKnown = true;
            else s.hi = 1;
            s.t = 1, s.g = g1, s.have = true;
            // The first try: the scale that meets the curve were the
            // capacity the same at every P.
            s.next = checkedDiv(*row.Capacity, d);
        } else if (row.P > req.PMax || row.P < req.PMin || row.P == req.PMax || row.P == req.PMin) {
            s.next = -1;  // from the bracket's ends
        } else {
            continue;  // the level's curve was not solved: "n/a"
        }
        open.push_back(s);
    }

    int curves = 0;
    for (int pass = 0; !open.empty(); ++pass) {
        ThrowIfCancelled(options.cancel);
        std::vector<Probe> probes;
        probes.reserve(open.size());
        for (Search& s : open) {
            if (!(s.next > s.lo && s.next < s.hi)) {
                // A step that would leave the bracket: its lower end first
                // when not solved yet, else its middle.
                s.next = s.loKnown ? 0.5 * (s.lo + s.hi) : 0;
            }
            Probe p;
            const CheckRow& row = result.Rows[static_cast<size_t>(s.row)];
            p.P = s.next * row.P;
            if (s.next == 0) {  // the capacity at P = 0 along the offset's direction
                const double d = std::hypot(s.dx, s.dy);
                p.along = true;
                p.ux = s.dx / d;
                p.uy = s.dy / d;
            } else {
                p.Mx = c0x + s.next * (row.checkMx() - c0x);
                p.My = c0y + s.next * (row.checkMy() - c0y);
            }
            probes.push_back(p);
        }
        // Each pass fills half of what is left of the bar.
        const double from = 50 + 50 * (1 - std::ldexp(1.0, -pass)), span = 50 * std::ldexp(1.0, -pass - 1);
        const Progress sub = progress ? Progress([&](int p) { progress(static_cast<int>(from + span * p / 100)); })
                                      : Progress();
        curves += SolveProbes(req, pure, probes, sub, options);

        std::vector<Search> still;
        for (size_t k = 0; k < open.size(); ++k) {
            Search& s = open[k];
            const Probe& p = probes[k];
            CheckRow& row = result.Rows[static_cast<size_t>(s.row)];
            if (!p.reached || !p.cap) continue;  // no curve or no crossing there: "n/a"
            const double t = s.next;
            const double g = t == 0 ? -*p.cap : p.m - *p.cap;
            if (t == 0) {
                s.loKnown = true;
                if (!(g < 0)) continue;  // no capacity at P = 0 along the ray: "n/a"
            }
            if (g == 0 || pass + 1 == kMaxPasses) {
                row.Radial = checkedDiv(1.0, t);
                continue;
            }
            if (g > 0) s.hi = t;
            else s.lo = t;
            // The secant through the last two points; without a last one,
            // through this point and the bracket's far end, where g is the
            // offset itself.
            double t0 = s.t, g0 = s.g;
            if (!s.have) {
                t0 = s.hi;
                g0 = s.hi * std::hypot(s.dx, s.dy);
            }
            s.next = g != g0 ? t - g * (t - t0) / (g - g0) : -1;
            s.t = t, s.g = g, s.have = true;
            if (s.next > s.lo && s.next < s.hi && std::abs(s.next - t) <= kScaleTolerance * t) {
                row.Radial = checkedDiv(1.0, s.next);
                continue;
            }
            if (s.hi - s.lo <= kScaleTolerance * s.hi) {
                row.Radial = checkedDiv(2.0, s.lo + s.hi);
                continue;
            }
            still.push_back(s);
        }
        open = std::move(still);
    }
    return curves;
}

}  // namespace

const char* NoCapacityText(NoCapacity why) {
    switch (why) {
        case NoCapacity::AbovePMax: return "n/a: P above PMax";
        case NoCapacity::BelowPMin: return "n/a: P below PMin";
        case NoCapacity::AtPMax: return "n/a: P at PMax";
        case NoCapacity::AtPMin: return "n/a: P at PMin";
        case NoCapacity::NoMoment: return "n/a: no moment";
        case NoCapacity::OutOfReach: return "n/a: no state carries P";
        case NoCapacity::NoCrossing: return "n/a: ray misses the curve";
        case NoCapacity::MemberBuckles: return "n/a: member buckles under P";
        case NoCapacity::MemberUnstable: return "n/a: member unstable under the end moments";
        default: return "";
    }
}

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

    // A slender member: each row's moments magnified before the check.
    std::optional<MemberMagnifier> member;
    if (req.Member) member.emplace(*req.Fibers, req.B, req.H, *req.Member);

    CheckResult result;
    result.Slender = member.has_value();
    result.Rows.resize(static_cast<size_t>(count));
    // Rows that need a curve, and their probes.
    std::vector<int> needs;
    std::vector<Probe> probes;
    for (int i = 1; i <= count; ++i) {
        const LoadCombination& c = loads.Items[static_cast<size_t>(i)];
        CheckRow& row = result.Rows[static_cast<size_t>(i - 1)];
        row.Case = i;
        row.Name = c.Name;
        row.P = checkedFinite(req.FactorP * c.P);
        row.Mx = checkedFinite(req.FactorMx * c.Mx);
        row.My = checkedFinite(req.FactorMy * c.My);
        if (member) {
            if (row.P > req.PMin && row.P < req.PMax) {
                MemberForce f{row.P, row.Mx, row.My, std::nullopt, std::nullopt};
                if (c.MxOther) f.MxOther = checkedFinite(req.FactorMx * *c.MxOther);
                if (c.MyOther) f.MyOther = checkedFinite(req.FactorMy * *c.MyOther);
                const MemberMagnified m = member->magnify(f, options.cancel);
                row.Member = m.row;
                if (m.fate != MemberFate::Magnified) {
                    // No magnified moment to check: the member fails first,
                    // or the section carries no state at P.
                    row.Missing = m.fate == MemberFate::Buckled    ? NoCapacity::MemberBuckles
                                  : m.fate == MemberFate::Unstable ? NoCapacity::MemberUnstable
                                                                   : NoCapacity::OutOfReach;
                    continue;
                }
            } else {
                row.Member = member->slenderness();
            }
        }
        // The force's offset from the plastic centroid at its P (the origin
        // for a point-symmetric section).
        double cx = 0, cy = 0;
        pure.centreAt(row.P, cx, cy);
        const double m = checkedFinite(std::hypot(row.checkMx() - cx, row.checkMy() - cy));
        // A force at the origin of a point-symmetric section, or at a
        // pure-axial point, needs no curve; any other section's centre is
        // checked against its curve first.
        const bool atCentre =
            m == 0 && (req.Fibers->PointSymmetric || row.P == req.PMax || row.P == req.PMin);
        if (atCentre || row.P > req.PMax || row.P < req.PMin) {
            row.Ratio = AxialRatio(row.P, req.PMax, req.PMin);
            row.Missing = row.P > req.PMax   ? NoCapacity::AbovePMax
                          : row.P < req.PMin ? NoCapacity::BelowPMin
                                             : NoCapacity::NoMoment;
        } else if (row.P == req.PMax || row.P == req.PMin) {
            // A moment on top of the whole axial capacity: nothing is left
            // to carry it, and no curve is solved there ("n/a").
            row.Missing = row.P == req.PMax ? NoCapacity::AtPMax : NoCapacity::AtPMin;
        } else {
            needs.push_back(i - 1);
            Probe& p = probes.emplace_back();
            p.P = row.P;
            p.Mx = row.checkMx();
            p.My = row.checkMy();
        }
    }

    // The constant-P pass fills the first half of the bar, the radial
    // passes the rest.
    const Progress half = progress ? Progress([&](int p) { progress(p / 2); }) : Progress();
    result.Curves = SolveProbes(req, pure, probes, half, options);
    for (size_t k = 0; k < needs.size(); ++k) {
        CheckRow& row = result.Rows[static_cast<size_t>(needs[k])];
        const Probe& p = probes[k];
        if (!p.reached) {
            row.Missing = NoCapacity::OutOfReach;
        } else if (p.m == 0) {  // the force is the centre: the axial ratio
            row.Ratio = AxialRatio(row.P, req.PMax, req.PMin);
            row.Missing = NoCapacity::NoMoment;
        } else if (p.cap) {
            row.Capacity = p.cap;
            row.Ratio = checkedDiv(p.m, *p.cap);
        } else {
            row.Missing = NoCapacity::NoCrossing;
        }
    }
    probes.clear();
    probes.shrink_to_fit();

    result.RadialCurves = SolveRadial(req, pure, result, progress, options);
    if (progress) progress(100);
    ThrowIfCancelled(options.cancel);  // Esc taken with the bar full still discards the check
    result.FromCentre = !req.Fibers->PointSymmetric;
    TallyCheck(result);
    return result;
}

namespace {

// Index of the row with the largest value of `ratio`, "n/a" counting as
// largest, the first in file order on ties; -1 for no rows.
template <class Ratio>
int GoverningRow(const CheckResult& r, Ratio ratio) {
    int gov = -1;
    for (size_t k = 0; k < r.Rows.size(); ++k) {
        if (gov >= 0) {
            const std::optional<double>& g = ratio(r.Rows[static_cast<size_t>(gov)]);
            const std::optional<double>& v = ratio(r.Rows[k]);
            if (!g || (v && *v <= *g)) continue;
        }
        gov = static_cast<int>(k);
    }
    return gov;
}

}  // namespace

void TallyCheck(CheckResult& r) {
    r.Passed = 0;
    for (const CheckRow& row : r.Rows)
        if (row.ok()) ++r.Passed;
    r.Governing = GoverningRow(r, [](const CheckRow& row) -> const std::optional<double>& { return row.Ratio; });
    r.RadialGoverning =
        GoverningRow(r, [](const CheckRow& row) -> const std::optional<double>& { return row.Radial; });
}

std::string CheckCellText(const CheckRow& r, int column) {
    switch (column) {
        case 0: return r.caseText();
        case 1: return F2(r.P);
        case 2: return F2(r.Mx);
        case 3: return F2(r.My);
        case 4: return r.Capacity ? F2(*r.Capacity) : NoCapacityText(r.Missing);
        case 5: return r.Ratio ? FormatFixed(*r.Ratio, 4) : "n/a";
        case 6: return r.ok() ? "OK" : "NG";
        case 7: return r.Radial ? FormatFixed(*r.Radial, 4) : "n/a";
        default: break;
    }
    if (!r.Member) return {};
    const MemberRow& m = *r.Member;
    const auto opt = [](const std::optional<double>& v, int decimals) {
        return v ? FormatFixed(*v, decimals) : std::string("n/a");
    };
    switch (column - kCheckColumns) {
        case 0: return FormatFixed(m.SlenderX, 1);
        case 1: return FormatFixed(m.SlenderY, 1);
        case 2: return opt(m.MagX, 4);
        case 3: return opt(m.MagY, 4);
        case 4: return opt(m.Mx, 2);
        case 5: return opt(m.My, 2);
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
        case 7: return r.Radial ? *r.Radial : inf;
        default: break;
    }
    if (!r.Member) return 0;
    const MemberRow& m = *r.Member;
    switch (column - kCheckColumns) {
        case 0: return m.SlenderX;
        case 1: return m.SlenderY;
        case 2: return m.MagX ? *m.MagX : inf;
        case 3: return m.MagY ? *m.MagY : inf;
        case 4: return m.Mx ? *m.Mx : -inf;
        case 5: return m.My ? *m.My : -inf;
        default: return 0;
    }
}

int CheckColumnCount(const CheckResult& r) { return kCheckColumns + (r.Slender ? kMemberColumns : 0); }

std::string CheckColumnName(const CheckResult& r, int column) {
    if (column < 0 || column >= CheckColumnCount(r)) return {};
    if (column >= kCheckColumns) return kMemberColumnNames[column - kCheckColumns];
    if (column == kRatioColumn && r.FromCentre) return "Ratio from plastic centroid";
    if (column == kRadialColumn && r.FromCentre) return "Radial Ratio from plastic centroid";
    return kCheckColumnNames[column];
}

std::string CheckCsv(const CheckResult& r, const std::string& eol) {
    std::string out;
    const int columns = CheckColumnCount(r);
    for (int c = 0; c < columns; ++c) {
        if (c) out += ',';
        out += CheckColumnName(r, c);
    }
    out += eol;
    for (const CheckRow& row : r.Rows) {
        for (int c = 0; c < columns; ++c) {
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

std::string CheckRadialLine(const CheckResult& r) {
    if (r.RadialGoverning < 0 || static_cast<size_t>(r.RadialGoverning) >= r.Rows.size()) return {};
    const CheckRow& g = r.Rows[static_cast<size_t>(r.RadialGoverning)];
    std::string s = "Radial ratio: governing case " + std::to_string(g.Case) + ", ratio " + CheckCellText(g, 7);
    bool radial = false;
    if (r.Governing >= 0 && static_cast<size_t>(r.Governing) < r.Rows.size()) {
        const std::optional<double>& constant = r.Rows[static_cast<size_t>(r.Governing)].Ratio;
        radial = constant && (!g.Radial || *g.Radial > *constant);
    }
    return s + (radial ? "; the radial ratio governs" : "; the constant-P ratio governs");
}

}  // namespace px
