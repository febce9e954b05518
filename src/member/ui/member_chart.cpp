#include "member/ui/member_chart.h"

#include <QColor>
#include <QPainter>

#include "plot/frame.h"
#include "plot/ui/chart_canvas.h"

namespace px {

const QColor& MemberCurveColor() {
    static const QColor c(0, 150, 0);
    return c;
}

void DrawMemberCurve(QPainter& p, int W, int H, const MemberCurve& curve, const PMPlotScaleSet& s,
                     const std::string& label) {
    if (!AxisHasRange(s.MAxisMin, s.MAxisMax) || !AxisHasRange(s.PAxisMin, s.PAxisMax)) return;
    p.save();
    p.setPen(ChartPen(MemberCurveColor(), 2));
    bool first = true;
    QPoint last;
    for (const MemberPoint& m : curve.points) {
        // Levels the section cannot reach carry nothing to draw.
        if (m.limit == MemberLimit::Unreachable) continue;
        const QPoint pt(MapX(m.M, s.MAxisMin, s.MAxisMax, W), MapY(m.P, s.PAxisMin, s.PAxisMax, H));
        DrawMarker(p, pt.x(), pt.y(), 3);
        if (!first) p.drawLine(last, pt);
        last = pt;
        first = false;
    }
    // The caption inside the frame's top right corner, where the curves of a
    // column leave the chart empty.
    p.drawText(QRect(kFrameLeft, kFrameTop + 2, FrameWidth(W) - 4, 16), Qt::AlignRight | Qt::AlignTop,
               QString::fromStdString(label));
    p.restore();
}

}  // namespace px
