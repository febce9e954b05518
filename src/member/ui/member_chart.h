#pragma once
// The member's interaction curve over a P-M chart.
#include <string>

#include "member/member.h"
#include "plot/scales.h"

class QPainter;
class QColor;

namespace px {

// Colour of the member curves.
const QColor& MemberCurveColor();

// Draws the curve's points (P up, M right) in the chart's scale `s`, joined,
// and `label` inside the frame's top right corner, in the member colour;
// levels beyond the section's reach are left out.
void DrawMemberCurve(QPainter& p, int W, int H, const MemberCurve& curve, const PMPlotScaleSet& s,
                     const std::string& label);

}  // namespace px
