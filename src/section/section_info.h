#pragma once
// Areas and ratios of the current section for the "Section Information" group.
#include <string>

#include "input/section_input.h"
#include "section/fiber.h"

namespace px {

struct SectionInfo {
    double Ag = 0, Ac = 0, As = 0, Aa = 0, barRatio = 0, steelRatio = 0;
    // A custom section: its gross area is its outline's, and its centroid
    // (drawing coordinates) is listed.
    bool custom = false;
    double centroidX = 0, centroidY = 0;
    // A section that is not point-symmetric: its pure-axial points, whose
    // moments about the centroid are listed under it.
    bool pureAxial = false;
    double PMax = 0, PMin = 0, Mx0 = 0, My0 = 0, Mx1 = 0, My1 = 0;
};

// Throws the floating-point fault messages for a zero gross area.
SectionInfo ComputeSectionInfo(const SectionInput& in, const FiberTable& t);

// Texts of Edit36, Edit31, Edit37, Edit38, Edit39, Edit40 in this order.
struct SectionInfoTexts {
    std::string Edit36, Edit31, Edit37, Edit38, Edit39, Edit40;
    // Empty for the templates. A section that is not point-symmetric adds
    // a line for each pure-axial point: "PMax = p kN at Mx = x, My = y kNm"
    // and "PMin = ...".
    std::string Centroid;
};
SectionInfoTexts FormatSectionInfo(const SectionInfo& s);

}  // namespace px
