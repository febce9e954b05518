#pragma once
// A P-M chart under a design code: the design curve solid with its points,
// the code's nominal curve dashed, the axial cap and the code's key points
// marked and labelled.
#include <QPainter>

#include "analysis/curves.h"
#include "codes/code_section.h"
#include "plot/scales.h"

namespace px {

// Draws one direction (angle 90: Y, else X) and writes the scale of that
// direction, as DrawPMCurve does; the scale spans both curves.
void DrawDesignPMCurve(QPainter& p, int W, int H, const PMCurve& nominal, const codes::DesignCurve& design,
                       const codes::CodeSection& code, double angle, PMPlotScale& scale);

}  // namespace px
