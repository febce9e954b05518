#pragma once
// Painting of the fiber table into the Section page's picture.
#include <QImage>
#include <QPainter>
#include <QString>

#include "input/section_input.h"
#include "section/fiber.h"

namespace px {

// Size of the section picture (Image1).
inline constexpr int kSectionImageWidth = 607;
inline constexpr int kSectionImageHeight = 447;

// Radius in pixels below which a drawn (custom) section's bars are not drawn.
inline constexpr int kMinBarRadius = 2;

// Clears img to white with a black frame, writes the three banner lines
// (kProgramBanner, creditLine, "NFib = n") and paints every concrete and
// steel fiber as a polygon and every bar as a circle, in table order,
// scaled so that B x H fills 80 per cent of the limiting image dimension.
// A drawn (custom) section also gets its centroid's cross, a scale bar at
// the bottom left, and bars of kMinBarRadius pixels at least.
// A zero B or H raises "Floating point division by zero" after the banner.
void DrawSection(QImage& img, const SectionInput& in, const FiberTable& t, const MaterialColors& colors,
                 const QString& creditLine);

// The same picture painted on `p` over a W x Hs pixel area at the origin, in
// the painter's current font (the report paints it at print resolution
// through a scaling transform).
void DrawSection(QPainter& p, int W, int Hs, const SectionInput& in, const FiberTable& t,
                 const MaterialColors& colors, const QString& creditLine);

}  // namespace px
