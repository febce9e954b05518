#pragma once
// A section of many fibers, drawn as its parts: each material's area in
// its colour with a black outline where the material changes or the
// section ends, instead of every fiber's edges (which turn a fine mesh into
// a black square).
#include <QPainter>

#include "section/fiber.h"

namespace px {

// Above this many fibers the Section page draws the parts, not the fibers:
// a square section's fibers are then about 3 pixels apart in the picture,
// where their edges would cover more than half of it.
inline constexpr int kRegionDrawingFibers = 15000;

// Paints the concrete and steel fibers of `t` (bars and deducted concrete
// left out) as regions over a W x H area, a fiber at (x, y) mm landing at
// pixel (s x + cx, cy - s y).
void DrawFiberRegions(QPainter& p, int W, int H, const FiberTable& t, const MaterialColors& colors, double s,
                      double cx, double cy);

}  // namespace px
