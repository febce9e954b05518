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
    double miss(const OffsetState& s) const { return std::fabs(s.P - Pt); }
    const OffsetState& nearer(const OffsetState& a, const OffsetState& b) const {
        return miss(a) <= miss(b) ? a : b;
    }
};

// Narrows a bracket whose force has not reached Pt at `lo` and has at `hi`
// (on the side of Pt that `hi` is on, Pt included) until a trial is within
// the tolerance or the bracket stops shrinking; returns the trial nearest to
// Pt. eval(states, T) fills P, Mx and My of states[0 .. T) from their c.
//
// Each block puts its trials around the regula falsi estimate, at distances
// that shrink eightfold towards it on both sides, so a good estimate narrows
// the bracket by thousands at once. When a block still leaves more than a
// quarter of the bracket, the next block divides it evenly instead.
template <class Eval>
OffsetState NarrowToForce(Eval&& eval, OffsetState lo, OffsetState hi, const ForceTarget& g) {
    const double side = hi.P >= lo.P ? 1.0 : -1.0;
    auto passed = [&](const OffsetState& s) { return side * (s.P - g.Pt) >= 0; };
    bool evenly = false;
    OffsetState trial[kRootTrials];
    for (;;) {
        const OffsetState& best = g.nearer(lo, hi);
        if (g.miss(best) <= g.tol) return best;
        const double width = hi.c - lo.c;
        if (evenly) {
            for (int k = 0; k < kRootTrials; ++k)
                trial[k].c = lo.c + (static_cast<double>(k + 1) / (kRootTrials + 1)) * width;
        } else {
            const double t = (g.Pt - lo.P) / (hi.P - lo.P);  // in (0, 1]
            double spread = 1;  // trials in order from lo to hi
            for (int k = 0; k < kRootTrials / 2; ++k) {
                spread /= 8;
                trial[k].c = lo.c + (t - t * spread) * width;
                trial[kRootTrials - 1 - k].c = lo.c + (t + (1 - t) * spread) * width;
            }
        }
        eval(trial, kRootTrials);
        OffsetState nlo = lo, nhi = hi;
        for (const OffsetState& s : trial) {
            if (passed(s)) {
                nhi = s;
                break;
            }
            nlo = s;
        }
        const double left = std::fabs(nhi.c - nlo.c);
        if (!(left < std::fabs(width))) return g.nearer(nlo, nhi);
        evenly = left > std::fabs(width) / 4;
        lo = nlo;
        hi = nhi;
    }
}

// Brackets Pt beyond `end`, a trial whose force falls short of it, moving
// away from `other` in steps that double from one |end.c - other| up to
// 2^(kRootTrials x batches); then narrows the bracket. Throws
// AxialForceOutOfReach (what) when no trial passes Pt.
template <class Eval, class Refuse>
OffsetState SolvePastEnd(Eval&& eval, const OffsetState& end, double other, const ForceTarget& g,
                         int batches, Refuse&& refuse) {
    const double side = g.Pt > end.P ? 1.0 : -1.0;
    const double outward = end.c - other;
    OffsetState lo = end;
    OffsetState trial[kRootTrials];
    for (int b = 0; b < batches; ++b) {
        for (int k = 0; k < kRootTrials; ++k)
            trial[k].c = end.c + std::ldexp(outward, kRootTrials * b + k);
        eval(trial, kRootTrials);
        for (const OffsetState& s : trial) {
            if (side * (s.P - g.Pt) >= 0) return NarrowToForce(eval, lo, s, g);
            lo = s;
        }
    }
    refuse();
    return lo;
}

}  // namespace px
