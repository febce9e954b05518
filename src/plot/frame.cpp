#include "plot/frame.h"

#include <cmath>

#include "input/error.h"
#include "input/numbers.h"

namespace px {

bool AxisHasRange(double lo, double hi) { return hi > lo; }

double MapXExact(double v, double lo, double hi, int W) {
    return checkedFinite(checkedDiv(v - lo, hi - lo) * (W - 2 * kFrameSide) + kFrameSide);
}

double MapYExact(double v, double lo, double hi, int H) {
    return checkedFinite(checkedDiv(hi - v, hi - lo) * (H - 2 * kFrameEnd) + kFrameEnd);
}

int MapX(double v, double lo, double hi, int W) { return nearest(MapXExact(v, lo, hi, W)); }
int MapY(double v, double lo, double hi, int H) { return nearest(MapYExact(v, lo, hi, H)); }

namespace {
std::optional<int> visible(double exact, int size, int slack) {
    if (exact < -slack - 1.0 || exact > size + slack + 1.0) return std::nullopt;
    return nearest(exact);
}
}  // namespace

std::optional<int> VisibleX(double v, double lo, double hi, int W, int slack) {
    if (!AxisHasRange(lo, hi)) return std::nullopt;
    return visible(MapXExact(v, lo, hi, W), W, slack);
}

std::optional<int> VisibleY(double v, double lo, double hi, int H, int slack) {
    if (!AxisHasRange(lo, hi)) return std::nullopt;
    return visible(MapYExact(v, lo, hi, H), H, slack);
}

double ReadX(int X, double lo, double hi, int W) {
    return checkedFinite(lo + checkedDiv((hi - lo) * (X - kFrameSide), W - 2 * kFrameSide));
}

double ReadY(int Y, double lo, double hi, int H) {
    return checkedFinite(hi - checkedDiv((hi - lo) * (Y - kFrameEnd), H - 2 * kFrameEnd));
}

int GridX(int i, int W) {
    return nearest(static_cast<double>(i) * (W - 2 * kFrameSide) / 5 + kFrameSide);
}

int GridY(int i, int H) {
    return nearest(static_cast<double>(i) * (H - 2 * kFrameEnd) / 10 + kFrameEnd);
}

int LabelYAt(int i, int H) {
    return nearest((H - kFrameEnd) - static_cast<double>(i) * (H - 2 * kFrameEnd) / 10);
}

int LabelXRow(int H) { return H - 15; }

std::vector<double> AxisSteps(double lo, double hi, int n) {
    std::vector<double> v;
    v.reserve(n + 1);
    for (int i = 0; i <= n; ++i) v.push_back(checkedFinite(lo + (hi - lo) * i / n));
    return v;
}

std::vector<std::string> AxisLabelsF0(double lo, double hi, int n) {
    std::vector<std::string> out;
    for (double v : AxisSteps(lo, hi, n)) out.push_back(F0(v));
    return out;
}

std::vector<std::string> AxisLabelsF2(double lo, double hi, int n) {
    std::vector<std::string> out;
    for (double v : AxisSteps(lo, hi, n)) out.push_back(F2(v));
    return out;
}

// A limit of -0.0 (ceiling of a small negative) is stored as 0.
double RoundLimitUp(double v, double step) {
    return checkedFinite(std::ceil(checkedDiv(v, step)) * step) + 0.0;
}

double RoundLimitNearest(double v, double step) {
    return checkedFinite(std::ceil(checkedDiv(v, step) - 0.5) * step) + 0.0;
}

}  // namespace px
