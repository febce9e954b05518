#include "plot/ui/chart_canvas.h"

#include <QFont>

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
    p.drawRect(kFrameSide, kFrameEnd, W - 2 * kFrameSide, H - 2 * kFrameEnd);
}

void DrawChartText(QPainter& p, int x, int y, const std::string& text) {
    const QPen keep = p.pen();
    p.setPen(Qt::black);
    p.drawText(QRect(x, y, 400, 100), Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(text));
    p.setPen(keep);
}

void DrawChartGrid(QPainter& p, int W, int H, const std::vector<std::string>& xLabels,
                   const std::vector<std::string>& yLabels) {
    p.setPen(ChartPen(kChartGrey, 1));
    for (int i = 0; i < static_cast<int>(xLabels.size()); ++i) {
        const int x = GridX(i, W);
        p.drawLine(x, kFrameEnd, x, H - kFrameEnd);
        DrawChartText(p, x, LabelXRow(H), xLabels[i]);
    }
    for (int i = 0; i < static_cast<int>(yLabels.size()); ++i) {
        const int y = GridY(i, H);
        p.drawLine(kFrameSide, y, W - kFrameSide, y);
        DrawChartText(p, 5, LabelYAt(i, H), yLabels[i]);
    }
}

void DrawMarker(QPainter& p, int x, int y, int r) {
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPoint(x, y), r, r);
}

}  // namespace px
