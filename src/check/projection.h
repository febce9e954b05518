#pragma once
// The 3D picture of the interaction surface: what it holds (rings of Mx-My
// curves, apexes, checked combinations), its axis limits, and the orthographic
// view that maps (Mx, My, P) onto the picture's pixels.
#include <optional>
#include <string>
#include <vector>

#include "check/capacity_check.h"

namespace px {

struct Point3 {
    double Mx = 0, My = 0, P = 0;
};

// Wireframe of the surface: one ring per axial level, bottom to top, each
// ring the points of one Mx-My curve in angle order (closed back to its
// first point when drawn); meridians join equal indices level to level and
// to the apexes.
struct SurfaceWire {
    std::vector<std::vector<Point3>> Rings;
    std::optional<Point3> Bottom, Top;  // the pure-axial points at PMin and PMax
    bool empty() const { return Rings.empty() && !Bottom && !Top; }
};

// Axis ranges of the picture: moments symmetric about zero.
struct SceneLimits {
    double MxMax = 1000, MyMax = 1000;
    double PMin = -1000, PMax = 1000;
};

// Limits over the wire and the checked forces on round values: the largest
// |Mx| and |My| up to whole round steps (1, 2 or 5 x 10^n), P down and up
// to whole steps. An axis left without range gets one thousand on each side.
SceneLimits PmmAxisLimits(const SurfaceWire& wire, const CheckResult* check);

// The round step of the ticks along an axis [lo, hi]: at most
// kPmmTickIntervals intervals.
inline constexpr int kPmmTickIntervals = 6;
double PmmTickStep(double lo, double hi);

// Orthographic view: azimuth turns about the P axis, elevation tilts the P
// axis towards the viewer; zoom scales the picture about its centre.
inline constexpr double kDefaultAzimuth = 35;    // degrees
inline constexpr double kDefaultElevation = 20;  // degrees
struct View3D {
    double azimuth = kDefaultAzimuth;
    double elevation = kDefaultElevation;
    double zoom = 1;
};

// Where a point falls on a W x H picture (unrounded pixels, y downwards) and
// how far it lies behind the picture plane (larger is farther).
struct ScreenPoint {
    double x = 0, y = 0, depth = 0;
};

// Each axis is normalised to [-1, 1] over its limits, turned by the view and
// scaled so that the whole box fits the picture at zoom 1 from any side.
ScreenPoint ProjectPoint(const Point3& p, const SceneLimits& lim, const View3D& v, int W, int H);

// Dragging by (dx, dy) pixels: half a degree per pixel, elevation kept in
// [-90, 90], azimuth kept in [0, 360).
View3D DraggedView(const View3D& v, int dx, int dy);
// Wheel steps (one notch = 1): 1.2 times per step, kept in [0.2, 20].
View3D ZoomedView(const View3D& v, double steps);

// Indices into check.Rows in drawing order: farthest first, file order on
// equal depth.
std::vector<int> DotDrawOrder(const CheckResult& check, const SceneLimits& lim, const View3D& v, int W,
                              int H);

// Index into check.Rows of the dot nearest to pixel (x, y) within `radius`
// pixels; of equally near ones the one in front.
std::optional<int> DotAt(const CheckResult& check, const SceneLimits& lim, const View3D& v, int W, int H,
                         double x, double y, double radius);

// "Case i: P = ..., Mx = ..., My = ..., Ratio = ..., Radial Ratio = ..." (the
// case by its name where it has one) for the hover label;
// forces by "%0.2F", the ratio by "%0.4F" or "n/a".
std::string DotCaption(const CheckRow& row);

}  // namespace px
