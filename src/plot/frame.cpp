#include "plot/frame.h"

#include <algorithm>
#include <cmath>

#include "input/error.h"
#include "input/numbers.h"

namespace px {

bool AxisHasRange(double lo, double hi) { return hi > lo; }

double MapXExact(double v, double lo, double hi, int W) {
    return checkedFinite(checkedDiv(v - lo, hi - lo) * FrameWidth(W) + kFrameLeft);
}

double MapYExact(double v, double lo, double hi, int H) {
    return checkedFinite(checkedDiv(hi - v, hi - lo) * FrameHeight(H) + kFrameTop);
}

int MapX(double v, double lo, double hi, int W) { return nearest(MapXExact(v, lo, hi, W)); }
int MapY(double v, double lo, double hi, int H) { return nearest(MapYExact(v, lo, hi, H)); }

std::optional<int> FrameRow(double v, double lo, double hi, int H) {
    if (!AxisHasRange(lo, hi)) return std::nullopt;
    const double y = MapYExact(v, lo, hi, H);
    if (y < kFrameTop - 0.5 || y > H - kFrameBottom + 0.5) return std::nullopt;
    return nearest(y);
}

bool InsideFrame(int x, int y, int W, int H) {
    return x >= kFrameLeft && x <= W - kFrameRight && y >= kFrameTop && y <= H - kFrameBottom;
}

double ReadX(int X, double lo, double hi, int W) {
    return checkedFinite(lo + checkedDiv((hi - lo) * (X - kFrameLeft), FrameWidth(W)));
}

double ReadY(int Y, double lo, double hi, int H) {
    return checkedFinite(hi - checkedDiv((hi - lo) * (Y - kFrameTop), FrameHeight(H)));
}

AxisLimits PaddedLimits(double lo, double hi, int length, int pad) {
    checkedFinite(lo);
    checkedFinite(hi);
    if (!AxisHasRange(lo, hi) || length <= 2 * pad) return {lo, hi};
    const double margin = checkedFinite((hi - lo) * pad / (length - 2 * pad));
    return {lo - margin, hi + margin};
}

int MaxIntervals(int length, int gap) { return std::max(1, length / std::max(1, gap)); }

double TickStep(double lo, double hi, int maxIntervals) {
    if (!AxisHasRange(lo, hi)) return 0;
    maxIntervals = std::max(1, maxIntervals);
    double decade = std::pow(10.0, std::floor(std::log10(checkedDiv(hi - lo, maxIntervals))));
    double previous = decade;
    // Up through 1, 2, 5 x 10^n until the lines fit; a step that would leave
    // the axis without a line falls back to the one before.
    for (int guard = 0; guard < 40; ++guard, decade *= 10) {
        for (double f : {1.0, 2.0, 5.0}) {
            const double s = decade * f;
            const double first = std::ceil(lo / s), last = std::floor(hi / s);
            if (last - first <= maxIntervals) return last >= first ? s : previous;
            previous = s;
        }
    }
    return previous;
}

std::vector<AxisTick> AxisTicks(double lo, double hi, double step, double scale) {
    std::vector<AxisTick> out;
    if (!(step > 0) || !AxisHasRange(lo, hi)) return out;
    const double shown = step * std::fabs(scale);
    const int decimals = shown >= 1 ? 0 : std::min(12, static_cast<int>(std::ceil(-std::log10(shown) - 1e-9)));
    const double first = std::ceil(lo / step), last = std::floor(hi / step);
    for (double k = first; k <= last; ++k) {
        const double v = k * step + 0.0;  // no -0
        out.push_back({v, FormatFixed(k * step * scale + 0.0, decimals)});
    }
    return out;
}

namespace {
ChartAxis makeAxis(double lo, double hi, int length, int gap, const std::string& title, double scale) {
    ChartAxis a{lo, hi, {}, title};
    a.ticks = AxisTicks(lo, hi, TickStep(lo, hi, MaxIntervals(length, gap)), scale);
    return a;
}
}  // namespace

ChartAxis HorizontalAxis(double lo, double hi, int W, const std::string& title, double scale) {
    return makeAxis(lo, hi, FrameWidth(W), kMinTickGapX, title, scale);
}

ChartAxis VerticalAxis(double lo, double hi, int H, const std::string& title, double scale) {
    return makeAxis(lo, hi, FrameHeight(H), kMinTickGapY, title, scale);
}

// A limit of -0.0 (ceiling of a small negative) is stored as 0.
double RoundLimitUp(double v, double step) {
    return checkedFinite(std::ceil(checkedDiv(v, step)) * step) + 0.0;
}

double RoundLimitDown(double v, double step) {
    return checkedFinite(std::floor(checkedDiv(v, step)) * step) + 0.0;
}

}  // namespace px
