#pragma once
// Pieces shared by the meshers: the fiber writer and the fiber groups that
// more than one section type lays out the same way.
#include "input/section_input.h"
#include "section/fiber.h"

namespace px::mesh {

inline constexpr double kDegToRad = 0.017453292519943295;

// Stores NFib, resizes the table keeping its old elements, and hands out
// fibers 1, 2, ... in order. Each fiber is checked for a finite position,
// area, outline and bar diameter once the next one is asked for (or at
// finish()), so no inf or NaN from huge dimensions reaches the solvers.
class FiberWriter {
public:
    FiberWriter(FiberTable& t, long long count);
    Fiber& next();
    // Checks the last fiber; call when the mesher is done.
    void finish();

private:
    void checkLast();
    FiberTable& t_;
    int index_ = 0;
};

// A rectangular concrete or steel fiber centred on (x, y) with half-width dx
// and half-height dy; corners top-left, top-right, bottom-right, bottom-left.
void RectFiber(Fiber& f, double x, double y, double dx, double dy, double area, int matId);

// How a sector's ring area is multiplied out: r x r x 3.14 (the circular
// column) or 3.14 x r x r (the steel tube); the last bit differs.
enum class RingArea { RadiusFirst, PiFirst };

// Sector l of n between radii rIn and rOut: corners inner-start, outer-start,
// outer-end, inner-end over the angles l x 360/n .. (l + 1) x 360/n degrees;
// the centre is the mean of the four corners.
void SectorFiber(Fiber& f, double rIn, double rOut, int l, int n, RingArea form, int matId);

// The rectangular column's fibers: core grid, bottom/top and left/right
// cover strips, X- and Y-direction bar rows, four corner bundles.
void AppendRectColumn(const SectionInput& in, FiberWriter& w);

// The circular column's fibers: core sectors, cover ring, bar circles.
void AppendCircularColumn(const SectionInput& in, FiberWriter& w);

// Strips of the two H sections that the SRC types encase.
void AppendYFlanges(const SectionInput& in, FiberWriter& w);  // bottom, then top
void AppendXFlanges(const SectionInput& in, FiberWriter& w);  // left, then right
void AppendYWeb(const SectionInput& in, FiberWriter& w);
void AppendXWeb(const SectionInput& in, FiberWriter& w);
// Both H sections: Y flanges, X flanges, Y web, X web.
void AppendCrossedHSections(const SectionInput& in, FiberWriter& w);

// Depth of the middle of layer k (1 = outermost) of layers `depth` thick,
// from the outer face: depth / 2 + (k - 1) x depth, so that one layer sits
// exactly where the band's single fiber does.
inline double LayerMid(double depth, int k) { return depth / 2 + (k - 1) * depth; }

// Sector l of n of the ring rIn..rOut cut into `layers` rings from the
// outside in; the outermost and innermost radii are rOut and rIn exactly.
void AppendRingLayers(double rIn, double rOut, int l, int n, int layers, RingArea form, int matId, FiberWriter& w);

// Sectors l = 1..n (outer loop), each cut into rings k = 1..nr from the
// centre outwards between the radii rBase x (k - 1) / nr and rBase x k / nr.
void AppendPolarDisc(double rBase, int n, int nr, RingArea form, int matId, FiberWriter& w);

}  // namespace px::mesh
