#pragma once
// Where a template's strain limits apply: the corners of its B x H rectangle
// (the table's LimitPoints left empty) or the vertices of its outline's
// convex hull as meshed.
#include <utility>
#include <vector>

#include "section/fiber.h"

namespace px {

// "Strain limits at" (ComboBox8).
enum StrainLimitsAt : int { LimitsAtBoundingRectangle = 0, LimitsAtSectionOutline = 1 };

// Vertices of the convex hull of every fiber's corners (bars, which lie
// inside the concrete or steel around them, left out), counter-clockwise
// from the lowest-leftmost, without points on its edges. Fewer than three
// points when the corners do not span an area.
std::vector<std::pair<double, double>> FiberOutlineHull(const FiberTable& t);

// Sets t.LimitPoints for the setting: none for the bounding rectangle, the
// outline's hull for the section outline.
void ApplyStrainLimitsAt(int at, FiberTable& t);

}  // namespace px
