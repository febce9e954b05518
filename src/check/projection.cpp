#include "check/projection.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "input/numbers.h"
#include "plot/frame.h"

namespace px {

namespace {

constexpr double kStep = 1000;  // half the range of an axis without one
constexpr double kPi = 3.14159265358979323846;
constexpr int kInset = 64;      // pixels kept free for the axis labels outside the box

struct Extent {
    double mx = 0, my = 0;  // largest |Mx|, |My|
    double pLo = std::numeric_limits<double>::infinity();
    double pHi = -std::numeric_limits<double>::infinity();
    void add(double Mx, double My, double P) {
        if (!std::isfinite(Mx) || !std::isfinite(My) || !std::isfinite(P)) return;
        mx = std::max(mx, std::fabs(Mx));
        my = std::max(my, std::fabs(My));
        pLo = std::min(pLo, P);
        pHi = std::max(pHi, P);
    }
};

}  // namespace

double PmmTickStep(double lo, double hi) { return TickStep(lo, hi, kPmmTickIntervals); }

namespace {

// The largest |M| up to whole round steps; an empty axis gets one thousand.
double symmetricLimit(double largest) {
    if (!(largest > 0)) return kStep;
    const double step = PmmTickStep(-largest, largest);
    return RoundLimitUp(largest, step);
}

}  // namespace

SceneLimits PmmAxisLimits(const SurfaceWire& wire, const CheckResult* check) {
    Extent e;
    for (const auto& ring : wire.Rings)
        for (const Point3& p : ring) e.add(p.Mx, p.My, p.P);
    for (const auto& apex : {wire.Bottom, wire.Top})
        if (apex) e.add(apex->Mx, apex->My, apex->P);
    if (check)
        for (const CheckRow& r : check->Rows) e.add(r.checkMx(), r.checkMy(), r.P);
    SceneLimits s;
    s.MxMax = symmetricLimit(e.mx);
    s.MyMax = symmetricLimit(e.my);
    if (e.pLo < e.pHi) {
        const double step = PmmTickStep(e.pLo, e.pHi);
        s.PMax = RoundLimitUp(e.pHi, step);
        s.PMin = RoundLimitDown(e.pLo, step);
    } else if (e.pLo == e.pHi) {
        s.PMax = e.pHi + kStep;
        s.PMin = e.pLo - kStep;
    }
    return s;
}

ScreenPoint ProjectPoint(const Point3& p, const SceneLimits& lim, const View3D& v, int W, int H) {
    const double u = p.Mx / lim.MxMax;
    const double w = p.My / lim.MyMax;
    const double half = (lim.PMax - lim.PMin) / 2;
    const double h = (p.P - (lim.PMax + lim.PMin) / 2) / half;
    const double az = v.azimuth * kPi / 180, el = v.elevation * kPi / 180;
    const double sx = u * std::cos(az) - w * std::sin(az);
    const double d = u * std::sin(az) + w * std::cos(az);  // away from the viewer
    const double sy = h * std::cos(el) + d * std::sin(el);
    const double scale = v.zoom * (std::min(W, H) / 2.0 - kInset) / std::sqrt(3.0);
    ScreenPoint s;
    s.x = W / 2.0 + scale * sx;
    s.y = H / 2.0 - scale * sy;
    s.depth = d * std::cos(el) - h * std::sin(el);
    return s;
}

View3D DraggedView(const View3D& v, int dx, int dy) {
    View3D r = v;
    r.azimuth = std::fmod(v.azimuth - dx * 0.5, 360.0);
    if (r.azimuth < 0) r.azimuth += 360;
    r.elevation = std::clamp(v.elevation + dy * 0.5, -90.0, 90.0);
    return r;
}

View3D ZoomedView(const View3D& v, double steps) {
    View3D r = v;
    r.zoom = std::clamp(v.zoom * std::pow(1.2, steps), 0.2, 20.0);
    return r;
}

std::vector<int> DotDrawOrder(const CheckResult& check, const SceneLimits& lim, const View3D& v, int W,
                              int H) {
    std::vector<double> depth(check.Rows.size());
    for (size_t i = 0; i < check.Rows.size(); ++i) {
        const CheckRow& r = check.Rows[i];
        depth[i] = ProjectPoint({r.checkMx(), r.checkMy(), r.P}, lim, v, W, H).depth;
    }
    std::vector<int> order(check.Rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return depth[a] > depth[b]; });
    return order;
}

std::optional<int> DotAt(const CheckResult& check, const SceneLimits& lim, const View3D& v, int W, int H,
                         double x, double y, double radius) {
    std::optional<int> best;
    double bestD2 = radius * radius, bestDepth = 0;
    for (size_t i = 0; i < check.Rows.size(); ++i) {
        const CheckRow& r = check.Rows[i];
        const ScreenPoint s = ProjectPoint({r.checkMx(), r.checkMy(), r.P}, lim, v, W, H);
        const double d2 = (s.x - x) * (s.x - x) + (s.y - y) * (s.y - y);
        if (d2 > bestD2) continue;
        if (best && d2 == bestD2 && s.depth >= bestDepth) continue;
        best = static_cast<int>(i);
        bestD2 = d2;
        bestDepth = s.depth;
    }
    return best;
}

std::string DotCaption(const CheckRow& r) {
    // A slender member's dot stands at its magnified moments, which its caption gives.
    const bool magnified = r.Member && r.Member->Mx;
    return "Case " + r.caseText() + ": P = " + F2(r.P) + ", Mx = " + F2(r.checkMx()) + ", My = " + F2(r.checkMy()) +
           (magnified ? " (magnified)" : "") + ", Ratio = " + CheckCellText(r, kRatioColumn) + ", Radial Ratio = " + CheckCellText(r, kRadialColumn);
}

}  // namespace px
