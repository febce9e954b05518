#include "check/level_jobs.h"

#include <exception>
#include <limits>

#include "analysis/parallel_jobs.h"
#include "input/error.h"
#include "input/numbers.h"

namespace px {

void SolveLevels(const SectionRequest& s, const std::vector<double>& P, const Progress& progress,
                 const SolveOptions& options, const LevelSink& sink, const LevelMiss& outOfReach) {
    auto stopIfCancelled = [&] { ThrowIfCancelled(options.cancel); };
    stopIfCancelled();
    const int levels = static_cast<int>(P.size());
    if (levels == 0) {
        if (progress) progress(100);
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
