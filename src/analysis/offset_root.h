#pragma once
// Root-finding on the offset of a neutral axis: the state of a family of
// strain planes (one axis direction, offsets c) whose axial force is a target
// Pt. The family's force falls as the offset grows. Each step evaluates a
// block of trials at once, as many as one pass of the widest fiber sweep
// takes, so a block costs about what one trial costs.
#include <cmath>
#include <string>

#include "input/error.h"

namespace px {

// One trial of the family: offset, axial force (kN) and moments (kNm).
struct OffsetState {
    double c = 0, P = 0, Mx = 0, My = 0;
};

inline constexpr int kRootTrials = 8;

// What the search looks for: the force Pt, within tol.
struct ForceTarget {
    double Pt = 0, tol = 0;
    // Above 0: a bracket of offsets no wider than this is done, whatever its
    // force misses by (laws with steps, a design code's block and plastic
    // distributions, whose force jumps where a fiber changes sides).
    double cTol = 0;
    double miss(const OffsetState& s) const { return std::fabs(s.P - Pt); }
    const OffsetState& nearer(const OffsetState& a, const OffsetState& b) const {
        return miss(a) <= miss(b) ? a : b;
    }
};

// Where a block of the narrowing puts its trials, in units of the bracket
// (0 at lo, 1 at hi), in order from lo to hi.
//
// With a third trial beside the bracket, the estimate is the inverse
// quadratic through the three, and the trials cluster around it at the
// scale of its distance d from the regula falsi estimate (about the error of
// that estimate, far more than its own): at 0, +-d/64, +-d/4, +-4d and
// -d/4096. Without one, or when the quadratic leaves the bracket, the
// estimate is the regula falsi's and the trials lie at distances that shrink
// 32-fold towards it on both sides. Trials that would leave the bracket go
// halfway between the estimate and the bracket's end.
inline void PlaceTrials(const OffsetState& lo, const OffsetState& hi, const OffsetState* third,
                        double Pt, double* u) {
    const double lin = (Pt - lo.P) / (hi.P - lo.P);  // in (0, 1]
    double x = lin, d = 0;
    if (third) {
        const double W = hi.c - lo.c;
        const double p[3] = {lo.P, hi.P, third->P};
        const double q[3] = {0, 1, (third->c - lo.c) / W};
        double est = 0;
        for (int i = 0; i < 3; ++i) {
            double term = q[i];
            for (int j = 0; j < 3; ++j)
                if (j != i) term *= (Pt - p[j]) / (p[i] - p[j]);
            est += term;
        }
        if (est > 0 && est < 1) {
            x = est;
            d = std::fabs(est - lin);
        }
    }
    if (d > 0) {
        const double at[kRootTrials] = {-4, -0.25, -1.0 / 64, -1.0 / 4096, 0, 1.0 / 64, 0.25, 4};
        for (int k = 0; k < kRootTrials; ++k) {
            double v = x + at[k] * d;
            if (v <= 0) v = x / 2;
            if (v >= 1) v = (1 + x) / 2;
            u[k] = v;
        }
        return;
    }
    double spread = 1;
    for (int k = 0; k < 4; ++k) {
        spread /= 32;
        u[k] = x - x * spread;
        if (k < 3) u[kRootTrials - 1 - k] = x + (1 - x) * spread;
    }
    u[4] = x;
}

// Narrows a bracket whose force has not reached Pt at `lo` and has at `hi`
// (on the side of Pt that `hi` is on, Pt included) until a trial is within
// the tolerance or the bracket stops shrinking; returns the trial nearest to
// Pt. `third`, when given, is a trial beside the bracket that sharpens the
// first estimate. eval(states, T) fills P, Mx and My of states[0 .. T) from
// their c. When a block leaves more than a quarter of the bracket, the next
// block divides it evenly instead (the guard against a poor estimate).
template <class Eval>
OffsetState NarrowToForce(Eval&& eval, OffsetState lo, OffsetState hi, const ForceTarget& g,
                          const OffsetState* third = nullptr) {
    const double side = hi.P >= lo.P ? 1.0 : -1.0;
    auto passed = [&](const OffsetState& s) { return side * (s.P - g.Pt) >= 0; };
    bool evenly = false;
    OffsetState trial[kRootTrials], beside;
    bool haveBeside = third != nullptr;
    if (third) beside = *third;
    for (;;) {
        const OffsetState& best = g.nearer(lo, hi);
        if (g.miss(best) <= g.tol) return best;
        if (g.cTol > 0 && std::fabs(hi.c - lo.c) <= g.cTol) return best;
        const double width = hi.c - lo.c;
        double u[kRootTrials];
        if (evenly) {
            for (int k = 0; k < kRootTrials; ++k) u[k] = static_cast<double>(k + 1) / (kRootTrials + 1);
        } else {
            PlaceTrials(lo, hi, haveBeside ? &beside : nullptr, g.Pt, u);
        }
        for (int k = 0; k < kRootTrials; ++k) trial[k].c = lo.c + u[k] * width;
        eval(trial, kRootTrials);
        OffsetState nlo = lo, nhi = hi;
        int at = kRootTrials;  // index of the first trial that passed
        for (int k = 0; k < kRootTrials; ++k) {
            if (passed(trial[k])) {
                nhi = trial[k];
                at = k;
                break;
            }
            nlo = trial[k];
        }
        const double left = std::fabs(nhi.c - nlo.c);
        if (!(left < std::fabs(width))) return g.nearer(nlo, nhi);
        evenly = left > std::fabs(width) / 4;
        // The next trial out from the new bracket, on the nearer side.
        const OffsetState* below = at >= 2 ? &trial[at - 2] : (at == 1 ? &lo : nullptr);
        const OffsetState* above = at + 1 < kRootTrials ? &trial[at + 1] : (at < kRootTrials ? &hi : nullptr);
        haveBeside = below || above;
        if (below && above) {
            beside = std::fabs(below->c - nlo.c) <= std::fabs(above->c - nhi.c) ? *below : *above;
        } else if (below || above) {
            beside = below ? *below : *above;
        }
        lo = nlo;
        hi = nhi;
    }
}

// Brackets Pt beyond `end`, a trial whose force falls short of it, moving
// away from `other` in steps that double from a sixteenth of a unit up to
// 2^(kRootTrials x batches - 4) units; then narrows the bracket. The unit is
// the larger of |end.c - other| and `span` (the offsets the section covers),
// so a narrow window still reaches every state past it. Past a window
// narrower than that, the steps go the way the force must go (it falls as the
// offset grows), whichever end they start from: the two ends of a window of
// no width carry the same force.
// `inner`, when given, is a trial on the other side of `end` that sharpens
// the first estimate. Calls refuse() (which throws) when no trial passes Pt.
template <class Eval, class Refuse>
OffsetState SolvePastEnd(Eval&& eval, const OffsetState& end, double other, const ForceTarget& g,
                         int batches, const OffsetState* inner, Refuse&& refuse, double span = 0) {
    const double side = g.Pt > end.P ? 1.0 : -1.0;
    double outward = end.c - other;
    if (std::fabs(outward) < span) outward = -side * span;
    OffsetState lo = end, before;
    bool haveBefore = inner != nullptr;
    if (inner) before = *inner;
    OffsetState trial[kRootTrials];
    for (int b = 0; b < batches; ++b) {
        for (int k = 0; k < kRootTrials; ++k)
            trial[k].c = end.c + std::ldexp(outward, kRootTrials * b + k - 4);
        eval(trial, kRootTrials);
        for (const OffsetState& s : trial) {
            if (side * (s.P - g.Pt) >= 0) return NarrowToForce(eval, lo, s, g, haveBefore ? &before : nullptr);
            before = lo;
            haveBefore = true;
            lo = s;
        }
    }
    refuse();
    return lo;
}

}  // namespace px
