#include "codes/ui/design_pm_chart.h"

#include <vector>

#include "input/numbers.h"
#include "plot/frame.h"
#include "plot/pm_plot.h"
#include "plot/ui/chart_canvas.h"

namespace px {

namespace {

// One closed line of a direction: the positive half, then a section bent
// both ways its negative half back down.
struct Line {
    std::vector<double> P, M;
};
Line DesignLine(const codes::DesignCurve& d, bool yDir) {
    Line l;
    for (const auto& pt : yDir ? d.Y : d.X) {
        l.P.push_back(pt.P);
        l.M.push_back(pt.M);
    }
    const auto& neg = yDir ? d.YNeg : d.XNeg;
    for (size_t i = neg.size(); i-- > 0;) {
        l.P.push_back(neg[i].P);
        l.M.push_back(neg[i].M);
    }
    return l;
}

}  // namespace

void DrawDesignPMCurve(QPainter& p, int W, int H, const PMCurve& nominal, const codes::DesignCurve& design,
                       const codes::CodeSection& code, double angle, PMPlotScale& scale) {
    const bool yDir = angle == 90;
    const PMChartLine nomLine = PMChartPolygon(nominal, yDir ? 90 : 0);
    const Line nom{nomLine.P, nomLine.M}, des = DesignLine(design, yDir);
    Line both = nom;
    both.P.insert(both.P.end(), des.P.begin(), des.P.end());
    both.M.insert(both.M.end(), des.M.begin(), des.M.end());
    const int n = static_cast<int>(both.P.size()) - 1;
    const PMPlotScaleSet s = n >= 0 ? PMAxisLimits(both.P, both.M, n, W, H) : PMPlotScaleSet{};

    BeginChart(p, W, H);
    (yDir ? scale.Y : scale.X) = s;
    DrawChartAxes(p, W, H, PMMomentAxis(s, yDir ? 90 : 0, W), PMForceAxis(s, H));
    if (!AxisHasRange(s.MAxisMin, s.MAxisMax) || !AxisHasRange(s.PAxisMin, s.PAxisMax)) return;
    auto at = [&](double M, double P) { return QPoint(MapX(M, s.MAxisMin, s.MAxisMax, W), MapY(P, s.PAxisMin, s.PAxisMax, H)); };

    QPen dashed = ChartPen(kCurveRed, 1);
    dashed.setStyle(Qt::DashLine);
    p.setPen(dashed);
    for (size_t i = 1; i < nom.P.size(); ++i) p.drawLine(at(nom.M[i - 1], nom.P[i - 1]), at(nom.M[i], nom.P[i]));

    p.setPen(ChartPen(kCurveRed, 2));
    for (size_t i = 0; i < des.P.size(); ++i) {
        const QPoint pt = at(des.M[i], des.P[i]);
        DrawMarker(p, pt.x(), pt.y(), 3);
        if (i > 0) p.drawLine(at(des.M[i - 1], des.P[i - 1]), pt);
    }
    if (auto y0 = ZeroForceLineY(s, H)) {
        p.setPen(ChartPen(kZeroLineBlue, 2));
        p.drawLine(kFrameLeft, *y0, W - kFrameRight, *y0);
    }
    // The code's marks on the design curve, each labelled.
    p.setPen(ChartPen(kAxialLinePurple, 2));
    for (const codes::KeyPoint& k : codes::KeyPoints(nominal, code, yDir)) {
        if (k.factor == 1 && k.name != "NRd" && k.name != "Npl,Rd") continue;  // a nominal value: not on the design curve
        const QPoint pt = at(k.factor * k.M, k.factor * k.P);
        DrawMarker(p, pt.x(), pt.y(), 5);
        std::string label = k.name.substr(0, k.name.find(" ("));
        label = label.substr(0, label.find(','));
        DrawChartText(p, pt.x() + 8, pt.y() - 14, label);
    }
    DrawChartText(p, kFrameLeft + 2, 3, codes::DesignCodeName(code.settings.code) + ": design solid, nominal dashed");
}

}  // namespace px
