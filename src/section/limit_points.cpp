#include "section/limit_points.h"

#include <algorithm>

namespace px {

namespace {

using Point = std::pair<double, double>;

// Twice the signed area of the triangle o, a, b: > 0 when it turns left.
double Turn(const Point& o, const Point& a, const Point& b) {
    return (a.first - o.first) * (b.second - o.second) - (a.second - o.second) * (b.first - o.first);
}

}  // namespace

std::vector<Point> FiberOutlineHull(const FiberTable& t) {
    std::vector<Point> pts;
    pts.reserve(static_cast<size_t>(t.NFib) * 4);
    for (int i = 1; i <= t.NFib; ++i) {
        const Fiber& f = t[i];
        if (f.MatId == MatRebar) continue;
        pts.insert(pts.end(), {{f.X1, f.Y1}, {f.X2, f.Y2}, {f.X3, f.Y3}, {f.X4, f.Y4}});
    }
    std::sort(pts.begin(), pts.end(), [](const Point& a, const Point& b) {
        return a.second != b.second ? a.second < b.second : a.first < b.first;
    });
    pts.erase(std::unique(pts.begin(), pts.end()), pts.end());
    if (pts.size() < 3) return pts;
    // Monotone chain: the chain up the right side, then down the left.
    std::vector<Point> hull(2 * pts.size());
    size_t k = 0;
    for (const Point& p : pts) {
        while (k >= 2 && Turn(hull[k - 2], hull[k - 1], p) <= 0) --k;
        hull[k++] = p;
    }
    for (size_t i = pts.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && Turn(hull[k - 2], hull[k - 1], pts[i]) <= 0) --k;
        hull[k++] = pts[i];
    }
    hull.resize(k - 1);  // the last point is the first again
    return hull;
}

void ApplyStrainLimitsAt(int at, FiberTable& t) {
    if (at == LimitsAtSectionOutline) {
        t.LimitPoints = FiberOutlineHull(t);
    } else {
        t.LimitPoints.clear();
    }
}

}  // namespace px
