#pragma once
// Geometry shared by every chart: the plotting frame is inset 50 pixels from
// the left and right edges and 20 pixels from the top and bottom. Values map
// linearly onto the frame; readouts invert the maps without rounding.
#include <optional>
#include <string>
#include <vector>

namespace px {

inline constexpr int kFrameSide = 50;  // left and right inset, pixels
inline constexpr int kFrameEnd = 20;   // top and bottom inset, pixels

// Vertical grid lines (i = 0..5) and horizontal ones (i = 0..10).
inline constexpr int kVerticalLines = 6;
inline constexpr int kHorizontalLines = 11;

// True when [lo, hi] can be mapped onto pixels (hi above lo).
bool AxisHasRange(double lo, double hi);

// Unrounded pixel of v on a horizontal axis [lo, hi] / vertical axis [lo, hi]
// of a W x H image. An axis without range raises the division fault.
double MapXExact(double v, double lo, double hi, int W);
double MapYExact(double v, double lo, double hi, int H);

// Rounded pixels (nearest, halves to even).
int MapX(double v, double lo, double hi, int W);
int MapY(double v, double lo, double hi, int H);

// The same, but empty when the axis has no range or when the pixel lies more
// than `slack` pixels outside [0, size): such a point can't show on the image.
std::optional<int> VisibleX(double v, double lo, double hi, int W, int slack);
std::optional<int> VisibleY(double v, double lo, double hi, int H, int slack);

// Value under pixel X (or Y): the exact inverse of the maps above. With an
// empty axis this is simply lo (or hi).
double ReadX(int X, double lo, double hi, int W);
double ReadY(int Y, double lo, double hi, int H);

// Grid line positions.
int GridX(int i, int W);        // nearest(i x (W - 100) / 5 + 50)
int GridY(int i, int H);        // nearest(i x (H - 40) / 10 + 20)
int LabelYAt(int i, int H);     // nearest((H - 20) - i x (H - 40) / 10)
int LabelXRow(int H);           // H - 15: top of the labels under the frame

// Axis label values: lo + (hi - lo) x i / n for i = 0..n.
std::vector<double> AxisSteps(double lo, double hi, int n);
// The same, formatted.
std::vector<std::string> AxisLabelsF0(double lo, double hi, int n);
std::vector<std::string> AxisLabelsF2(double lo, double hi, int n);

// ceiling(v / step) x step: rounds an upper limit up to whole steps.
double RoundLimitUp(double v, double step);
// ceiling(v / step - 0.5) x step: rounds a lower limit to the nearest whole
// step, halves downwards.
double RoundLimitNearest(double v, double step);

}  // namespace px
