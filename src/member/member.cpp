#include "member/member.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/mm_solver.h"
#include "curvature/moment_curvature.h"
#include "input/error.h"
#include "input/guards.h"
#include "input/numbers.h"

namespace px {

namespace {

void RequireFieldPositive(double v, const char* caption, const char* field) {
    if (v > 0 && std::isfinite(v)) return;
    throw FieldError(field, std::string("\"") + caption + "\" must be greater than 0");
}

void CheckRatioAndSegments(double endRatio, int segments) {
    if (!(endRatio >= -1 && endRatio <= 1))
        throw AppError("The ratio of the end moments M1/M2 must lie between -1 and 1");
    if (segments < kMinMemberSegments || segments > kMaxMemberSegments)
        throw AppError("A member needs between " + std::to_string(kMinMemberSegments) + " and " +
                       std::to_string(kMaxMemberSegments) + " segments");
}

}  // namespace

void CheckMemberSettings(const MemberSettings& s) {
    RequireFieldPositive(s.length, "Member Length", "Edit72");
    RequireFieldPositive(s.kx, "kx", "Edit73");
    RequireFieldPositive(s.ky, "ky", "Edit74");
    if (!(s.bow >= 0) || !std::isfinite(s.bow)) throw FieldError("Edit77", "\"Initial Bow\" must be at least 0");
    CheckRatioAndSegments(s.endRatio, s.segments);
    RequireAtLeast(s.curvatureSteps, 1, "Curvature Steps");
    RequireAtMost(s.curvatureSteps, kMaxCurvatureSteps, "Curvature Steps");
    if (!(s.strainLimit < 0)) throw AppError("\"Strain Limit\" must be less than 0");
    if (!(s.factor > 0) || !std::isfinite(s.factor)) throw AppError("\"Extention Factor\" must be greater than 0");
}

double EffectiveLength(const MemberSettings& s, MemberAxis axis) {
    return checkedFinite((axis == MemberAxis::X ? s.kx : s.ky) * s.length);
}
const char* FactorCaption(MemberAxis axis) { return axis == MemberAxis::X ? "kx" : "ky"; }
const char* FactorField(MemberAxis axis) { return axis == MemberAxis::X ? "Edit73" : "Edit74"; }
double AxisAngle(MemberAxis axis) { return axis == MemberAxis::X ? 0 : 90; }

namespace {

// Curvature at a moment on a loading branch, with its slope dphi/dM. The
// branch is searched for the first state that reaches the moment (the
// running maximum of the moments is nondecreasing); past the peak the
// curvature goes on along a steep line so that Newton's iterates stay
// defined, and the state is flagged.
struct BranchLookup {
    const MphiBranch& b;
    std::vector<double> runMax;
    double peak = 0, steep = 0, slope0 = 0;

    explicit BranchLookup(const MphiBranch& br) : b(br), runMax(br.M.size()) {
        double m = 0;
        for (size_t k = 0; k < b.M.size(); ++k) runMax[k] = m = std::max(m, b.M[k]);
        peak = m;
        for (size_t k = 1; k < b.M.size(); ++k) {
            if (b.M[k] > b.M[k - 1]) {
                slope0 = (b.phi[k] - b.phi[k - 1]) / (b.M[k] - b.M[k - 1]);
                break;
            }
        }
        steep = peak > 0 ? 1e3 * std::max(slope0, b.phi.back() / peak) : 0;
    }

    // Curvature for a moment of magnitude m >= 0; `beyond` set past the peak.
    double at(double m, double& slope, bool& beyond) const {
        if (m <= 0 || peak <= 0) {
            slope = slope0;
            return slope0 * m;
        }
        if (m > peak) {
            beyond = true;
            slope = steep;
            return b.phi.back() + (m - peak) * steep;
        }
        const size_t k = std::lower_bound(runMax.begin(), runMax.end(), m) - runMax.begin();
        // runMax[k] >= m > runMax[k - 1] >= M[k - 1], and M[k] = runMax[k].
        const size_t j = std::max<size_t>(k, 1);
        slope = (b.phi[j] - b.phi[j - 1]) / (b.M[j] - b.M[j - 1]);
        return b.phi[j - 1] + (m - b.M[j - 1]) * slope;
    }
};

// The member cut into n segments of length h: stations 0..n, the M2 end at 0.
class Member {
public:
    Member(const MphiBranch& pos, const MphiBranch& neg, double P, double l, double e0, double r, int n)
        : pos_(pos), neg_(neg), P_(P / 1000), n_(n), h2_((l / n) * (l / n)), shape_(n + 1), bow_(n + 1),
          phi_(n + 1), slope_(n + 1), R_(n + 1), piv_(n + 1), dy_(n + 1), trial_(n + 1) {
        for (int i = 0; i <= n; ++i) {
            const double x = static_cast<double>(i) / n;
            shape_[i] = 1 - (1 - r) * x;
            bow_[i] = e0 * std::sin(std::numbers::pi * x);
        }
        bow_[0] = bow_[n] = 0;
    }

    double Peak(bool positive) const { return positive ? pos_.peak : neg_.peak; }

    // Solves the shape under end moment M2 from the guess y (stations 0..n,
    // ends 0); true, with y the stable shape within the section's branch,
    // or false, y unchanged.
    bool Solve(double M2, std::vector<double>& y) {
        trial_ = y;
        double norm = Residual(M2, trial_);
        for (int it = 0; it < kIterations; ++it) {
            if (!Step()) return false;
            double ymax = 0, dmax = 0;
            for (int i = 1; i < n_; ++i) {
                ymax = std::max(ymax, std::fabs(trial_[i]));
                dmax = std::max(dmax, std::fabs(dy_[i]));
            }
            if (dmax <= kTol * (1 + ymax)) {
                for (int i = 1; i < n_; ++i) trial_[i] += dy_[i];
                Residual(M2, trial_);
                // Converged: within the branch, and stable (the pivots of
                // the tangent at the solution are positive).
                if (beyond_ || !Step()) return false;
                for (int i = 1; i < n_; ++i)
                    if (!(piv_[i] > 0)) return false;
                y = trial_;
                return true;
            }
            // Backtracking: a step that does not reduce the residual is halved.
            base_ = trial_;
            double a = 1;
            for (int half = 0;; ++half) {
                for (int i = 1; i < n_; ++i) trial_[i] = base_[i] + a * dy_[i];
                const double next = Residual(M2, trial_);
                if (next < norm) {
                    norm = next;
                    break;
                }
                if (half == kHalvings) return false;
                a /= 2;
            }
        }
        return false;
    }

    // Moments at the stations of the shape y under end moment M2, kNm.
    std::vector<double> Moments(double M2, const std::vector<double>& y) const {
        std::vector<double> m(y.size());
        for (int i = 0; i <= n_; ++i) m[i] = M2 * shape_[i] + P_ * (y[i] + bow_[i]);
        return m;
    }

private:
    static constexpr int kIterations = 50;
    static constexpr int kHalvings = 20;
    static constexpr double kTol = 1e-11;

    // Curvatures and residuals R_i = y_{i-1} - 2 y_i + y_{i+1} +
    // h^2 phi_i at the shape y; returns max |R_i| / h^2.
    double Residual(double M2, const std::vector<double>& y) {
        beyond_ = false;
        double worst = 0;
        for (int i = 0; i <= n_; ++i) {
            const double m = M2 * shape_[i] + P_ * (y[i] + bow_[i]);
            double s = 0;
            const double c = m >= 0 ? pos_.at(m, s, beyond_) : -neg_.at(-m, s, beyond_);
            phi_[i] = c;
            slope_[i] = s;
        }
        for (int i = 1; i < n_; ++i) {
            R_[i] = y[i - 1] - 2 * y[i] + y[i + 1] + h2_ * phi_[i];
            worst = std::max(worst, std::fabs(R_[i]));
        }
        return worst / h2_;
    }

    // Newton's step dy from (2 - h^2 P phi'_i) dy_i - dy_{i-1} - dy_{i+1} =
    // R_i, by elimination; the pivots are kept. False on a zero pivot.
    bool Step() {
        double prev = 0, carry = 0;
        for (int i = 1; i < n_; ++i) {
            const double d = 2 - h2_ * P_ * slope_[i] - (i > 1 ? 1 / prev : 0);
            if (!(std::fabs(d) > 1e-300) || !std::isfinite(d)) return false;
            piv_[i] = prev = d;
            carry = R_[i] + (i > 1 ? carry / piv_[i - 1] : 0);
            dy_[i] = carry;
        }
        for (int i = n_ - 1; i >= 1; --i) dy_[i] = (dy_[i] + (i < n_ - 1 ? dy_[i + 1] : 0)) / piv_[i];
        return true;
    }

    BranchLookup pos_, neg_;
    double P_;  // kN / 1000: P y with y in mm gives kNm
    int n_;
    double h2_;
    std::vector<double> shape_, bow_, phi_, slope_, R_, piv_, dy_, trial_, base_;
    bool beyond_ = false;
};

}  // namespace

MemberPoint SolveMemberLimit(const MphiBranch& pos, const MphiBranch& neg, double P, double l, double e0,
                             double endRatio, int segments, double precision) {
    if (!(l > 0) || !std::isfinite(l)) throw AppError("The effective length must be greater than 0");
    if (!(precision >= 1e-15 && precision <= 0.1)) throw AppError("The end moment's precision must lie between 1e-15 and 0.1");
    if (!(e0 >= 0) || !std::isfinite(e0)) throw AppError("The initial bow must be at least 0");
    CheckRatioAndSegments(endRatio, segments);
    for (const MphiBranch* b : {&pos, &neg})
        if (b->phi.empty() || b->phi.size() != b->M.size())
            throw AppError("A moment-curvature branch needs as many moments as curvatures, at least one");
    checkedFinite(P);
    MemberPoint pt;
    pt.P = P;
    Member m(pos, neg, P, l, e0, endRatio, segments);
    pt.Msection = m.Peak(true);
    std::vector<double> y(static_cast<size_t>(segments) + 1, 0.0);
    if (!m.Solve(0, y)) {
        pt.limit = MemberLimit::Buckled;
        return pt;
    }
    // The end moments may reach the section's peak at both ends.
    double top = m.Peak(true);
    if (endRatio < 0) top = std::min(top, m.Peak(false) / -endRatio);
    // Continuation in the end moment: a step that finds no stable shape is
    // halved, down to the precision's share of the largest end moment.
    double M2 = 0, step = top / 16;
    std::vector<double> trial;
    if (top > 0) {
        trial = y;
        if (m.Solve(top, trial)) {
            M2 = top;
            y = trial;
        } else {
            while (step > precision * top) {
                trial = y;
                if (M2 + step < top && m.Solve(M2 + step, trial)) {
                    M2 += step;
                    y = trial;
                } else {
                    step /= 2;
                }
            }
        }
    }
    // The shape at the limit: moments and the critical section.
    const std::vector<double> Ms = m.Moments(M2, y);
    int crit = 0;
    for (int i = 1; i <= segments; ++i)
        if (std::fabs(Ms[i]) > std::fabs(Ms[crit])) crit = i;
    pt.M = M2;
    pt.Mcrit = Ms[crit];
    pt.xCrit = l * crit / segments;
    pt.deflection = y[crit];
    const double peak = m.Peak(Ms[crit] >= 0);
    pt.limit = std::fabs(Ms[crit]) >= (1 - 1e-6) * peak ? MemberLimit::Section : MemberLimit::Instability;
    return pt;
}

MemberState SolveMemberState(const MphiBranch& pos, const MphiBranch& neg, double P, double l, double e0,
                             double endRatio, int segments, double M2) {
    if (!(l > 0) || !std::isfinite(l)) throw AppError("The effective length must be greater than 0");
    if (!(e0 >= 0) || !std::isfinite(e0)) throw AppError("The initial bow must be at least 0");
    if (!(M2 >= 0) || !std::isfinite(M2)) throw AppError("The larger end moment M2 must be at least 0");
    CheckRatioAndSegments(endRatio, segments);
    for (const MphiBranch* b : {&pos, &neg})
        if (b->phi.empty() || b->phi.size() != b->M.size())
            throw AppError("A moment-curvature branch needs as many moments as curvatures, at least one");
    checkedFinite(P);
    MemberState st;
    Member m(pos, neg, P, l, e0, endRatio, segments);
    std::vector<double> y(static_cast<size_t>(segments) + 1, 0.0), trial;
    if (!m.Solve(0, y)) return st;
    // Continuation up to M2: a step that finds no stable shape is halved,
    // down to a millionth of M2.
    double M = 0, step = M2;
    while (M < M2) {
        trial = y;
        const double next = std::min(M + step, M2);
        if (m.Solve(next, trial)) {
            M = next;
            y = trial;
        } else if ((step /= 2) < 1e-6 * M2) {
            return st;
        }
    }
    const std::vector<double> Ms = m.Moments(M2, y);
    int crit = 0;
    for (int i = 1; i <= segments; ++i)
        if (std::fabs(Ms[i]) > std::fabs(Ms[crit])) crit = i;
    st.stable = true;
    st.Mmax = Ms[crit];
    st.xMax = l * crit / segments;
    st.deflection = y[crit];
    return st;
}

MphiBranch SectionBranch(FiberTable& t, double B, double H, const MemberSettings& s, double angle, double P) {
    MphiSettings ms;
    ms.axialForce = P;
    ms.angle = angle;
    ms.steps = s.curvatureSteps;
    ms.strainLimit = s.strainLimit;
    ms.factor = s.factor;
    const MphiResult r = SolveMomentCurvature(t, B, H, ms);
    MphiBranch b;
    size_t peak = 0;
    for (size_t k = 1; k < r.points.size(); ++k)
        if (r.points[k].M > r.points[peak].M) peak = k;
    for (size_t k = 0; k <= peak; ++k) {
        b.phi.push_back(r.points[k].phi);
        // The state without curvature bends the member by nothing.
        b.M.push_back(k == 0 ? 0 : r.points[k].M);
    }
    return b;
}

std::vector<double> MemberLevels(double PMin, double PMax, int nP) {
    RequireAtLeast(nP, 1, "Axial Force Division Points");
    std::vector<double> levels;
    for (int o = 0; o <= nP; ++o) levels.push_back(o == nP ? PMax : PMin + (PMax - PMin) / nP * o);
    return levels;
}

MemberCurve SolveMemberCurve(FiberTable& t, double B, double H, const MemberSettings& s, MemberAxis axis,
                             const std::vector<double>& levels, const Progress& progress,
                             const std::atomic<bool>* cancel) {
    CheckMemberSettings(s);
    for (double P : levels) checkedFinite(P);
    MemberCurve curve;
    curve.axis = axis;
    curve.effectiveLength = EffectiveLength(s, axis);
    curve.bow = checkedFinite(s.bow * curve.effectiveLength);
    const double angle = AxisAngle(axis);
    double PMax = 0, PMin = 0;
    ComputeAxialBounds(t, PMax, PMin);

    auto solve = [&](double P) {
        ThrowIfCancelled(cancel);
        if (!(P > PMin && P < PMax)) {
            MemberPoint end;
            end.P = P;
            return end;
        }
        MphiBranch pos;
        try {
            pos = SectionBranch(t, B, H, s, angle, P);
        } catch (const AxialForceOutOfReach&) {
            MemberPoint none;
            none.P = P;
            none.limit = MemberLimit::Unreachable;
            return none;
        }
        // Moments of the other sign bend the section the other way; a
        // point-symmetric section answers both alike.
        const bool other = !t.PointSymmetric && (s.endRatio < 0 || (P < 0 && s.bow > 0));
        const MphiBranch neg = other ? SectionBranch(t, B, H, s, angle + 180, P) : pos;
        return SolveMemberLimit(pos, neg, P, curve.effectiveLength, curve.bow, s.endRatio, s.segments);
    };

    // The smallest compressive level first: a member that buckles under it
    // has no curve to show.
    int first = -1;
    for (size_t i = 0; i < levels.size(); ++i)
        if (levels[i] > 0 && levels[i] < PMax && (first < 0 || levels[i] < levels[first])) first = static_cast<int>(i);
    MemberPoint firstPoint;
    if (first >= 0) {
        firstPoint = solve(levels[first]);
        if (firstPoint.limit == MemberLimit::Buckled)
            throw FieldError("Edit72", "\"Member Length\" is too long for the section: with \"" +
                                           std::string(FactorCaption(axis)) + "\" " +
                                           F2(axis == MemberAxis::X ? s.kx : s.ky) + " the member buckles under " +
                                           F2(levels[first]) + " kN, the smallest compressive level of its curve");
    }
    for (size_t i = 0; i < levels.size(); ++i) {
        if (progress) progress(static_cast<int>(std::lround(100.0 * static_cast<double>(i) / levels.size())));
        curve.points.push_back(static_cast<int>(i) == first ? firstPoint : solve(levels[i]));
    }
    if (progress) progress(100);
    return curve;
}

}  // namespace px
