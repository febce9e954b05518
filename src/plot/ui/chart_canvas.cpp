#include "plot/ui/chart_canvas.h"

#include <QFont>
#include <QFontMetrics>

#include "plot/frame.h"

namespace px {

QPen ChartPen(const QColor& c, int width) {
    QPen pen(c);
    pen.setWidth(width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void PrepareChartPainter(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setBackgroundMode(Qt::TransparentMode);
    QFont font = p.font();
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    p.setBrush(Qt::NoBrush);
    p.setPen(ChartPen(Qt::black, 1));
}

void BeginChart(QPainter& p, int W, int H) {
    PrepareChartPainter(p);
    p.fillRect(0, 0, W, H, Qt::white);
    p.setPen(ChartPen(Qt::black, 1));
    p.drawRect(0, 0, W - 1, H - 1);
    p.setPen(ChartPen(kChartGrey, 1));
    p.drawRect(kFrameLeft, kFrameTop, FrameWidth(W), FrameHeight(H));
}

void DrawChartText(QPainter& p, int x, int y, const std::string& text) {
    const QPen keep = p.pen();
    p.setPen(Qt::black);
    p.drawText(QRect(x, y, 400, 100), Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(text));
    p.setPen(keep);
}

void DrawChartTextCentred(QPainter& p, int x, int y, const std::string& text) {
    const QPen keep = p.pen();
    p.setPen(Qt::black);
    p.drawText(QRect(x - 200, y, 400, 100), Qt::AlignHCenter | Qt::AlignTop, QString::fromStdString(text));
    p.setPen(keep);
}

void DrawChartTextRight(QPainter& p, int x, int y, const std::string& text) {
    const QPen keep = p.pen();
    p.setPen(Qt::black);
    p.drawText(QRect(x - 400, y, 400, 100), Qt::AlignRight | Qt::AlignTop, QString::fromStdString(text));
    p.setPen(keep);
}

void DrawChartAxes(QPainter& p, int W, int H, const ChartAxis& x, const ChartAxis& y) {
    const int right = W - kFrameRight, bottom = H - kFrameBottom;
    const int rowHeight = QFontMetrics(p.font()).height();
    p.setPen(ChartPen(kChartGrey, 1));
    if (AxisHasRange(x.lo, x.hi))
        for (const AxisTick& t : x.ticks) {
            const int px = MapX(t.value, x.lo, x.hi, W);
            p.drawLine(px, kFrameTop, px, bottom);
            DrawChartTextCentred(p, px, bottom + 3, t.text);
        }
    if (AxisHasRange(y.lo, y.hi))
        for (const AxisTick& t : y.ticks) {
            const int py = MapY(t.value, y.lo, y.hi, H);
            p.drawLine(kFrameLeft, py, right, py);
            DrawChartTextRight(p, kFrameLeft - 4, py - rowHeight / 2, t.text);
        }
    DrawChartTextCentred(p, kFrameLeft + FrameWidth(W) / 2, H - 3 - rowHeight, x.title);
    DrawChartText(p, 4, 3, y.title);
}

void DrawMarker(QPainter& p, int x, int y, int r) {
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPoint(x, y), r, r);
}

}  // namespace px
