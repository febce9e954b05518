#pragma once
// Geometry shared by every chart. The plotting frame is inset kFrameLeft
// pixels from the left edge (the value labels), kFrameRight from the right,
// kFrameTop from the top (the vertical axis's title) and kFrameBottom from
// the bottom (the value labels and the horizontal axis's title). Values map
// linearly onto the frame; readouts invert the maps without rounding.
//
// Axis limits hold every plotted point kCurvePad pixels inside the frame, so
// that a point's marker never crosses it; grid lines and their labels sit on
// round values (1, 2 or 5 x 10^n) between the limits.
#include <optional>
#include <string>
#include <vector>

namespace px {

inline constexpr int kFrameLeft = 50;
inline constexpr int kFrameRight = 24;
inline constexpr int kFrameTop = 20;
inline constexpr int kFrameBottom = 36;
// Room between a plotted point and the frame: a marker of radius 4 drawn
// with a pen of width 2, and a pixel to spare.
inline constexpr int kCurvePad = 7;
// Least distance between two grid lines: the labels under the frame are
// wide, those beside it low.
inline constexpr int kMinTickGapX = 56;
inline constexpr int kMinTickGapY = 26;

// Pixel extent of the frame on a W x H image.
inline int FrameWidth(int W) { return W - kFrameLeft - kFrameRight; }
inline int FrameHeight(int H) { return H - kFrameTop - kFrameBottom; }

// True when [lo, hi] can be mapped onto pixels (hi above lo).
bool AxisHasRange(double lo, double hi);

// Unrounded pixel of v on a horizontal axis [lo, hi] / vertical axis [lo, hi]
// of a W x H image. An axis without range raises the division fault.
double MapXExact(double v, double lo, double hi, int W);
double MapYExact(double v, double lo, double hi, int H);

// Rounded pixels (nearest, halves to even).
int MapX(double v, double lo, double hi, int W);
int MapY(double v, double lo, double hi, int H);

// Row of a horizontal line at v across the frame; empty when the axis has no
// range or the row lies outside the frame.
std::optional<int> FrameRow(double v, double lo, double hi, int H);

// Whether pixel (x, y) lies inside the frame or on its edge.
bool InsideFrame(int x, int y, int W, int H);

// Value under pixel X (or Y): the exact inverse of the maps above. With an
// empty axis this is simply lo (or hi).
double ReadX(int X, double lo, double hi, int W);
double ReadY(int Y, double lo, double hi, int H);

// Limits of an axis `length` pixels long (the frame's width or height) that
// put lo and hi `pad` pixels inside its ends. A range without width is
// returned as it is (nothing can be drawn on it).
struct AxisLimits {
    double lo = 0, hi = 0;
};
AxisLimits PaddedLimits(double lo, double hi, int length, int pad = kCurvePad);

// The round step (1, 2 or 5 x 10^n) that puts at most `maxIntervals`
// intervals between lo and hi, and at least one grid line on the axis; 0
// for an axis without range.
double TickStep(double lo, double hi, int maxIntervals);
// The most intervals an axis of `length` pixels takes with `gap` pixels
// between lines (at least 1).
int MaxIntervals(int length, int gap);

// One labelled grid line.
struct AxisTick {
    double value = 0;
    std::string text;
};
// Whole multiples of `step` inside [lo, hi], in increasing order, labelled
// with as many decimals as the step needs (0 for steps of 1 and more).
// `scale` multiplies the label only (strain shown in thousandths).
std::vector<AxisTick> AxisTicks(double lo, double hi, double step, double scale = 1);

// An axis as drawn: its limits, its labelled grid lines and its title, with
// the quantity and the unit ("P (kN)").
struct ChartAxis {
    double lo = 0, hi = 0;
    std::vector<AxisTick> ticks;
    std::string title;
};
// The axis of a W-wide (horizontal) or H-high (vertical) image between lo
// and hi, ticked on its own round step.
ChartAxis HorizontalAxis(double lo, double hi, int W, const std::string& title, double scale = 1);
ChartAxis VerticalAxis(double lo, double hi, int H, const std::string& title, double scale = 1);

// ceiling(v / step) x step: rounds an upper limit up to whole steps.
double RoundLimitUp(double v, double step);
// floor(v / step) x step: rounds a lower limit down to whole steps.
double RoundLimitDown(double v, double step);

}  // namespace px
