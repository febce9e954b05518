#pragma once
// The 3D picture of the interaction surface and the checked combinations:
// the painter and the image control that turns, zooms and reports hovers.
#include <QFont>
#include <QPoint>
#include <QRectF>
#include <QString>
#include <vector>

#include "common/ui/image_box.h"
#include "check/projection.h"

namespace px {

// Size of the picture, pixels.
inline constexpr int kPmmImageSize = 600;
inline constexpr double kPmmHoverRadius = 5;  // pixels around a dot

// Dot colours: OK green, NG red.
inline constexpr QRgb kDotOk = 0x00A000;
inline constexpr QRgb kDotNg = 0xDC0000;

// A label of the axes: its box on the picture, its text, and whether it
// names an axis (bold) rather than a tick.
struct PmmLabel {
    QRectF box;
    QString text;
    bool title = false;
};

// The axis labels for a view: the titles "P (kN)", "Mx (kNm)", "My (kNm)"
// and the tick labels on round values by "%0.0F", each beside the edge of
// the limit box that lies at the picture's left (P) or bottom (Mx, My),
// outside the box's outline, so that no label covers the wire or a dot at
// any rotation; a label that would touch one already placed is left out.
std::vector<PmmLabel> PmmAxisLabels(const SceneLimits& lim, const View3D& view, int W, int H,
                                    const QFont& font);

// Paints the whole picture: white ground, the limit box in light grey, the
// axes Mx, My, P through the origin, ticks on the labelled box edges, the
// wireframe (rings dark blue, meridians light blue), the labels over it,
// then the dots, farthest first, each a disc of radius 3 centred on pixel (nearest(x), nearest(y))
// of its projection. `stale` writes a note in the top-left corner.
void DrawPmmPicture(QImage& image, const SurfaceWire& wire, const CheckResult* check, const SceneLimits& lim,
                    const View3D& view, bool stale);

// The same picture painted on `p` over a W x H pixel area at the origin.
void DrawPmmPicture(QPainter& p, int W, int H, const SurfaceWire& wire, const CheckResult* check,
                    const SceneLimits& lim, const View3D& view, bool stale);

// Image control of the 3D picture (objectName "Image12"): a left drag turns
// the view, the wheel zooms; mouseMoved is reported as for other images.
class SurfaceView : public ImageBox {
    Q_OBJECT
public:
    explicit SurfaceView(QWidget* parent = nullptr);

    // What the picture shows. `check` is where the check is kept (it must
    // outlive the control); it is read whenever the picture is drawn, so a
    // check emptied there simply loses its dots.
    void setContent(SurfaceWire wire, const std::optional<CheckResult>* check, bool stale);
    void setStale(bool stale);
    bool stale() const { return stale_; }
    const SurfaceWire& wire() const { return wire_; }
    const CheckResult* check() const { return check_ && *check_ ? &**check_ : nullptr; }
    const SceneLimits& limits() const { return limits_; }
    const View3D& view() const { return view_; }
    void setView(const View3D& v);
    void resetView() { setView(View3D{}); }
    // Repaints the picture from what it holds.
    void redraw();
    // Row of the check under pixel (x, y), if any.
    std::optional<int> dotAt(int x, int y) const;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    SurfaceWire wire_;
    const std::optional<CheckResult>* check_ = nullptr;
    SceneLimits limits_;
    View3D view_;
    bool stale_ = false;
    bool dragging_ = false;
    QPoint last_;
};

}  // namespace px
