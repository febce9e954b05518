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
};

// Throws the floating-point fault messages for a zero gross area.
SectionInfo ComputeSectionInfo(const SectionInput& in, const FiberTable& t);

// Texts of Edit36, Edit31, Edit37, Edit38, Edit39, Edit40 in this order.
struct SectionInfoTexts {
    std::string Edit36, Edit31, Edit37, Edit38, Edit39, Edit40;
    std::string Centroid;  // empty for the templates
};
SectionInfoTexts FormatSectionInfo(const SectionInfo& s);

}  // namespace px
