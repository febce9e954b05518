#include "section/mesh_common.h"

#include <cmath>
#include <string>

#include "input/error.h"
#include "section/mesh.h"

namespace px {

namespace {
// The flag of the innermost MeshCancelScope of this thread, if any.
thread_local const std::atomic<bool>* tMeshCancel = nullptr;
}  // namespace

MeshCancelScope::MeshCancelScope(const std::atomic<bool>* cancel) : previous_(tMeshCancel) { tMeshCancel = cancel; }

MeshCancelScope::~MeshCancelScope() { tMeshCancel = previous_; }

}  // namespace px

namespace px::mesh {

FiberWriter::FiberWriter(FiberTable& t, long long count) : t_(t) {
    // The count was checked before meshing; this only keeps a direct call
    // with bad counts from sizing the table absurdly.
    if (count < 0 || count > kMaxFibers)
        throw AppError("The mesh would have " + std::to_string(count) + " fibers; it must have 0 to " +
                       std::to_string(kMaxFibers));
    t_.resize(static_cast<int>(count));
    // Every template is point-symmetric with its strain limits at the corners
    // of its B x H rectangle, and carries nothing of a drawn section meshed
    // into the table before.
    t_.Outline.clear();
    t_.OriginX = t_.OriginY = 0;
    t_.LimitPoints.clear();
    t_.PointSymmetric = true;
}

Fiber& FiberWriter::next() {
    checkLast();
    if (index_ >= t_.NFib) throw AppError("The mesh wrote more fibers than it counted");
    if ((index_ & 4095) == 0 && tMeshCancel && tMeshCancel->load(std::memory_order_relaxed)) throw Cancelled();
    ++index_;
    return t_[index_];
}

void FiberWriter::finish() { checkLast(); }

void FiberWriter::checkLast() {
    if (index_ == 0) return;
    const Fiber& f = t_[index_];
    for (double v : {f.X, f.Y, f.Area, f.X1, f.Y1, f.X2, f.Y2, f.X3, f.Y3, f.X4, f.Y4, f.BarDia}) checkedFinite(v);
}

void RectFiber(Fiber& f, double x, double y, double dx, double dy, double area, int matId) {
    f.X = x;
    f.Y = y;
    f.Area = area;
    f.MatId = matId;
    f.X1 = f.X - dx;
    f.Y1 = f.Y + dy;
    f.X2 = f.X + dx;
    f.Y2 = f.Y + dy;
    f.X3 = f.X + dx;
    f.Y3 = f.Y - dy;
    f.X4 = f.X - dx;
    f.Y4 = f.Y - dy;
}

void SectorFiber(Fiber& f, double rIn, double rOut, int l, int n, RingArea form, int matId) {
    const double step = 360.0 / n;
    const double a1 = l * step * kDegToRad;
    const double a2 = (l + 1) * step * kDegToRad;
    const double c1 = std::cos(a1), s1 = std::sin(a1);
    const double c2 = std::cos(a2), s2 = std::sin(a2);
    f.X1 = rIn * c1;
    f.Y1 = rIn * s1;
    f.X2 = rOut * c1;
    f.Y2 = rOut * s1;
    f.X3 = rOut * c2;
    f.Y3 = rOut * s2;
    f.X4 = rIn * c2;
    f.Y4 = rIn * s2;
    if (form == RingArea::RadiusFirst)
        f.Area = (rOut * rOut * 3.14 - rIn * rIn * 3.14) / n;
    else
        f.Area = (3.14 * rOut * rOut - 3.14 * rIn * rIn) / n;
    f.X = (f.X1 + f.X2 + f.X3 + f.X4) / 4;
    f.Y = (f.Y1 + f.Y2 + f.Y3 + f.Y4) / 4;
    f.MatId = matId;
}

void AppendPolarDisc(double rBase, int n, int nr, RingArea form, int matId, FiberWriter& w) {
    for (int l = 1; l <= n; ++l)
        for (int k = 1; k <= nr; ++k) {
            const double rOut = rBase * k / nr;
            const double rIn = rBase * (k - 1) / nr;
            SectorFiber(w.next(), rIn, rOut, l, n, form, matId);
        }
}

void AppendRingLayers(double rIn, double rOut, int l, int n, int layers, RingArea form, int matId, FiberWriter& w) {
    const double depth = rOut - rIn;
    for (int k = 1; k <= layers; ++k) {
        const double outer = k == 1 ? rOut : rOut - depth * (k - 1) / layers;
        const double inner = k == layers ? rIn : rOut - depth * k / layers;
        SectorFiber(w.next(), inner, outer, l, n, form, matId);
    }
}

namespace {
void BarFiber(Fiber& f, double x, double y, double area, double dia) {
    f.X = x;
    f.Y = y;
    f.Area = area;
    f.MatId = MatRebar;
    f.BarDia = dia;
}
}  // namespace

void AppendRectColumn(const SectionInput& in, FiberWriter& w) {
    const double B = in.B, H = in.H, cv = in.Cover;
    const int nx = in.MeshX, ny = in.MeshY;
    const int kx = nx - 2, ky = ny - 2;
    const double Bc = checkedFinite(B - 2 * cv), Hc = checkedFinite(H - 2 * cv);

    // Core grid, left to right, each column bottom to top.
    if (kx >= 1 && ky >= 1) {
        const double dx = Bc / kx, dy = Hc / ky;
        for (int a = 1; a <= kx; ++a)
            for (int b = 1; b <= ky; ++b) {
                const double x = -B / 2 + cv + dx / 2 + (a - 1) * dx;
                const double y = -H / 2 + cv + dy / 2 + (b - 1) * dy;
                RectFiber(w.next(), x, y, dx / 2, dy / 2, Bc * Hc / (kx * ky), MatCoreConcrete1);
            }
    }

    // The cover band in layers through its depth, from the face in.
    const int nl = in.CoverLayers;
    const double lt = cv / nl;

    // Bottom and top cover strips over the full width.
    for (int a = 1; a <= nx; ++a) {
        const double wd = B / nx;
        const double x = wd / 2 - B / 2 + (a - 1) * wd;
        const double area = lt * B / nx;
        for (int k = 1; k <= nl; ++k) {
            const double off = LayerMid(lt, k);
            RectFiber(w.next(), x, -H / 2 + off, wd / 2, lt / 2, area, MatCoverConcrete);
            RectFiber(w.next(), x, H / 2 - off, wd / 2, lt / 2, area, MatCoverConcrete);
        }
    }

    // Left and right cover strips between them.
    for (int b = 1; b <= ny; ++b) {
        const double h = Hc / ny;
        const double y = -H / 2 + cv + h / 2 + (b - 1) * h;
        const double area = Hc * lt / ny;
        for (int k = 1; k <= nl; ++k) {
            const double off = LayerMid(lt, k);
            RectFiber(w.next(), -B / 2 + off, y, lt / 2, h / 2, area, MatCoverConcrete);
            RectFiber(w.next(), B / 2 - off, y, lt / 2, h / 2, area, MatCoverConcrete);
        }
    }

    // X-direction bars: rows step 40 mm inwards from the bottom and top faces.
    for (int r = 1; r <= in.XBarRows; ++r)
        for (int m = 1; m <= in.XBarNum; ++m) {
            const double x = -B / 2 + cv + Bc / (in.XBarNum + 1) * m;
            const double area = in.XBarDia * in.XBarDia * 3.14 / 4;
            BarFiber(w.next(), x, -H / 2 + cv + (r - 1) * 40, area, in.XBarDia);
            BarFiber(w.next(), x, H / 2 - cv - (r - 1) * 40, area, in.XBarDia);
        }

    // Y-direction bars on the left and right faces.
    for (int r = 1; r <= in.YBarRows; ++r)
        for (int m = 1; m <= in.YBarNum; ++m) {
            const double y = -H / 2 + cv + Hc / (in.YBarNum + 1) * m;
            const double area = in.YBarDia * in.YBarDia * 3.14 / 4;
            BarFiber(w.next(), -B / 2 + cv + (r - 1) * 40, y, area, in.YBarDia);
            BarFiber(w.next(), B / 2 - cv - (r - 1) * 40, y, area, in.YBarDia);
        }

    // Corner bundles: one circle with the bundle's area.
    const double cx[4] = {-B / 2 + cv, B / 2 - cv, B / 2 - cv, -B / 2 + cv};
    const double cy[4] = {-H / 2 + cv, -H / 2 + cv, H / 2 - cv, H / 2 - cv};
    for (int c = 0; c < 4; ++c) {
        Fiber& f = w.next();
        BarFiber(f, cx[c], cy[c], 0.785 * in.CornerBarDia * in.CornerBarDia * in.CornerBarNum, 0);
        f.BarDia = checkedSqrt(in.CornerBarNum) * in.CornerBarDia;
    }
}

void AppendCircularColumn(const SectionInput& in, FiberWriter& w) {
    const double D = in.H, cv = in.Cover;
    const double Rc = checkedFinite((D - 2 * cv) / 2);
    const int nt = in.MeshX, nr = in.MeshY;

    AppendPolarDisc(Rc, nt, nr, RingArea::RadiusFirst, MatCoreConcrete1, w);
    for (int i = 1; i <= nt; ++i)
        AppendRingLayers(Rc, D / 2, i, nt, in.CoverLayers, RingArea::RadiusFirst, MatCoverConcrete, w);

    // Bars angle by angle, each angle from the outer circle inwards.
    for (int m = 1; m <= in.XBarNum; ++m) {
        const double a = (360.0 / in.XBarNum) * m * kDegToRad;
        for (int r = 1; r <= in.XBarRows; ++r) {
            const double Dr = D - 2 * cv - (r - 1) * 40 * 2;
            BarFiber(w.next(), Dr / 2 * std::cos(a), Dr / 2 * std::sin(a), 3.14 * in.XBarDia * in.XBarDia / 4,
                     in.XBarDia);
        }
    }
}

void AppendYFlanges(const SectionInput& in, FiberWriter& w) {
    const int nf = in.FlangeMesh;
    const double B = in.SteelYB, H = in.SteelYH, tf = in.SteelYTf;
    for (int i = 1; i <= nf; ++i)
        RectFiber(w.next(), -B / 2 + (i - 0.5) * B / nf, -H / 2 + 0.5 * tf, (B / nf) / 2, tf / 2, B * tf / nf,
                  MatSteelSection);
    for (int i = 1; i <= nf; ++i)
        RectFiber(w.next(), -B / 2 + (i - 0.5) * B / nf, H / 2 - 0.5 * tf, (B / nf) / 2, tf / 2, B * tf / nf,
                  MatSteelSection);
}

void AppendXFlanges(const SectionInput& in, FiberWriter& w) {
    const int nf = in.FlangeMesh;
    const double B = in.SteelXB, H = in.SteelXH, tf = in.SteelXTf;
    for (int i = 1; i <= nf; ++i)
        RectFiber(w.next(), -H / 2 + 0.5 * tf, -B / 2 + (i - 0.5) * B / nf, tf / 2, (B / nf) / 2, B * tf / nf,
                  MatSteelSection);
    for (int i = 1; i <= nf; ++i)
        RectFiber(w.next(), H / 2 - 0.5 * tf, -B / 2 + (i - 0.5) * B / nf, tf / 2, (B / nf) / 2, B * tf / nf,
                  MatSteelSection);
}

void AppendYWeb(const SectionInput& in, FiberWriter& w) {
    const int nw = in.WebMesh;
    const double H = in.SteelYH, tf = in.SteelYTf, tw = in.SteelYTw;
    const double hw = checkedFinite(H - 2 * tf);
    for (int i = 1; i <= nw; ++i)
        RectFiber(w.next(), 0, -H / 2 + tf + (i - 0.5) * hw / nw, tw / 2, (hw / nw) * 0.5, hw * tw / nw,
                  MatSteelSection);
}

void AppendXWeb(const SectionInput& in, FiberWriter& w) {
    const int nw = in.WebMesh;
    const double H = in.SteelXH, tf = in.SteelXTf, tw = in.SteelXTw;
    const double hw = checkedFinite(H - 2 * tf);
    for (int i = 1; i <= nw; ++i)
        RectFiber(w.next(), -H / 2 + tf + (i - 0.5) * hw / nw, 0, (hw / nw) * 0.5, tw / 2, hw * tw / nw,
                  MatSteelSection);
}

void AppendCrossedHSections(const SectionInput& in, FiberWriter& w) {
    AppendYFlanges(in, w);
    AppendXFlanges(in, w);
    AppendYWeb(in, w);
    AppendXWeb(in, w);
}

}  // namespace px::mesh
