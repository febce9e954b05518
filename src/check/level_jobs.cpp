#include "check/level_jobs.h"

#include <algorithm>
#include <exception>
#include <limits>

#include "analysis/parallel_jobs.h"
#include "input/error.h"
#include "input/numbers.h"

namespace px {

namespace {

// Root-finding: the levels strictly inside the axial range in batches, each
// batch one solve that shares every angle's sampled family among its levels
// and spreads the angles over the threads; a level at or beyond PMin or PMax
// falls back to its own solve. Sink, misses and faults in level order.
void SolveLevelsRoot(const SectionRequest& s, const std::vector<double>& P, const Progress& progress,
                     const SolveOptions& options, const LevelSink& sink, const LevelMiss& outOfReach) {
    constexpr size_t kBatch = 256;
    const size_t levels = P.size();
    FiberTable table = *s.Fibers;
    std::vector<MMCurve> curves(std::min(kBatch, levels));
    std::vector<std::exception_ptr> faults(curves.size());
    std::vector<double> inside;
    std::vector<int> slot(curves.size());
    for (size_t b0 = 0; b0 < levels; b0 += kBatch) {
        ThrowIfCancelled(options.cancel);
        const size_t n = std::min(kBatch, levels - b0);
        inside.clear();
        for (size_t j = 0; j < n; ++j) {
            const double Pk = P[b0 + j];
            slot[j] = s.PMin < Pk && Pk < s.PMax ? static_cast<int>(inside.size()) : -1;
            if (slot[j] >= 0) inside.push_back(Pk);
        }
        Progress inner;
        if (progress) {
            inner = [&, b0, n](int p) {
                progress(nearest((static_cast<double>(b0) * 100 + static_cast<double>(n) * p) / levels));
            };
        }
        if (!inside.empty()) {
            SolveMMCurvesRoot(table, s.B, s.H, s.Mm, inside.data(), static_cast<int>(inside.size()),
                              curves.data(), faults.data(), inner, options);
        }
        for (size_t j = 0; j < n; ++j) {
            const int k = static_cast<int>(b0 + j);
            if (slot[j] < 0) {
                MmSettings mm = s.Mm;
                mm.axialForce = P[b0 + j];
                MMCurve c;
                SolveMMCurve(table, s.B, s.H, mm, c, {}, options);  // beyond the range: the grid's answer
                sink(k, c);
                continue;
            }
            const std::exception_ptr& fault = faults[static_cast<size_t>(slot[j])];
            if (!fault) {
                sink(k, curves[static_cast<size_t>(slot[j])]);
                continue;
            }
            try {
                std::rethrow_exception(fault);
            } catch (const AxialForceOutOfReach&) {
                if (!outOfReach) throw;
                outOfReach(k);
            }
        }
        if (progress) progress(nearest(static_cast<double>(b0 + n) * 100 / levels));
    }
    ThrowIfCancelled(options.cancel);
}

}  // namespace

void SolveLevels(const SectionRequest& s, const std::vector<double>& P, const Progress& progress,
                 const SolveOptions& given, const LevelSink& sink, const LevelMiss& outOfReach) {
    // Every level solves over the same table: its capacities are the request's.
    SolveOptions options = given;
    options.bounds = AxialBounds{s.PMax, s.PMin};
    auto stopIfCancelled = [&] { ThrowIfCancelled(options.cancel); };
    stopIfCancelled();
    const int levels = static_cast<int>(P.size());
    if (levels == 0) {
        if (progress) progress(100);
        return;
    }
    if (s.Search == MmSearch::Root) {
        SolveLevelsRoot(s, P, progress, options, sink, outOfReach);
        return;
    }
    // Threads as the solver would use them for one curve; fewer levels than
    // threads are all left over.
    const int threads = ThreadCountFor(options.threads, std::numeric_limits<int>::max());
    const int whole = threads > 1 ? levels - levels % threads : 0;
    // The solver writes each fiber's trial strain and stress, so every
    // thread works on its own table; one curve per thread, reused.
    std::vector<FiberTable> tables(static_cast<size_t>(whole > 0 ? threads : 1), *s.Fibers);
    std::vector<MMCurve> curves(tables.size());
    int shown = 0;
    auto report = [&](int done) {
        stopIfCancelled();
        shown = nearest(static_cast<double>(done) * 100 / levels);
        if (progress) progress(shown);
    };
    // While long levels run on the workers, the calling thread repeats the
    // progress now and then, so a window can take a cancel meanwhile.
    auto tick = [&] {
        if (progress) progress(shown);
        stopIfCancelled();
    };
    const bool ticking = progress || options.cancel;
    auto solveLevel = [&](FiberTable& table, int k, MMCurve& curve, const Progress& inner,
                          SolveOptions opts) {
        MmSettings mm = s.Mm;
        mm.axialForce = P[static_cast<size_t>(k)];
        opts.search = s.Search;
        try {
            SolveMMCurve(table, s.B, s.H, mm, curve, inner, opts);
        } catch (const AxialForceOutOfReach&) {
            if (!outOfReach) throw;
            outOfReach(k);
            return;
        }
        sink(k, curve);
    };

    if (whole > 0) {
        SolveOptions one = options;
        one.threads = 1;
        std::vector<std::exception_ptr> errors;
        const int failed = RunJobs(
            whole, threads,
            [&](int worker, int k) {
                if (CancelRequested(options.cancel)) return;  // thrown once, below
                solveLevel(tables[static_cast<size_t>(worker)], k,
                           curves[static_cast<size_t>(worker)], {}, one);
            },
            report, errors, ticking ? std::function<void()>(tick) : nullptr);
        stopIfCancelled();
        if (failed < whole) std::rethrow_exception(errors[static_cast<size_t>(failed)]);
    }

    SolveOptions shared = options;
    shared.threads = threads;
    for (int k = whole; k < levels; ++k) {
        stopIfCancelled();
        Progress inner;
        if (progress) {
            inner = [&, k](int p) {
                progress(nearest((static_cast<double>(k) * 100 + p) / levels));
            };
        }
        solveLevel(tables[0], k, curves[0], inner, shared);
        report(k + 1);
    }
    // A cancel that came with the last level still discards the results.
    stopIfCancelled();
}

}  // namespace px
