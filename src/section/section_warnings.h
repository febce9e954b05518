#pragma once
// Where the fiber model is not safe: sections whose measured strengths in
// tests fall short of the computed ones because of what the model leaves
// out (local buckling of thin steel walls and plates, the brittleness of
// very strong concrete). The warnings change no number; they tell the user.
#include <string>
#include <vector>

#include "input/section_input.h"
#include "section/fiber.h"

namespace px {

// The material values the limits depend on.
struct WarningMaterials {
    double SteelFy = 0;  // steel section's yield stress, N/mm2
    double SteelEs = 0;  // steel section's modulus, N/mm2
    double ConcreteFc = 0;  // strongest concrete of the section, N/mm2
};

// The steel section's fy and Es (its first fiber) and the largest concrete
// fc of the fibers; zero where the section has no such fiber.
WarningMaterials WarningMaterialsOf(const FiberTable& t);

enum class WarningKind { TubeWall, BoxWall, HFlange, HighConcrete, Drawing };

struct SectionWarning {
    WarningKind Kind;
    double Value = 0;  // the section's slenderness or strength
    double Limit = 0;  // the limit it is beyond
    std::string Text;  // one sentence for the user
};

// Limits, each passed only when the value is strictly beyond it:
// - circular tube (type 5): D/t > 0.15 Es/fy;
// - rectangular box (type 6): b/t > 2.26 sqrt(Es/fy) for either wall pair,
//   with b the outside width the wall spans less 3 t;
// - encased H sections (types 3, 4, 7) whose concrete cover is thinner than
//   the larger of 40 mm and bf/6: flange bf/tf > 44 sqrt(235/fy);
// - concrete-filled and encased sections (types 3 to 8): fc > 69 N/mm2;
// - a custom section (type 9) whose reader skipped entities or doubts the
//   drawing's units: the reader's own warning, first.
// A limit that needs fy is not applied when fy is not above zero.
std::vector<SectionWarning> ComputeSectionWarnings(const SectionInput& in, const WarningMaterials& m);

// Wall slenderness of a circular tube (D/t) or rectangular box (the larger
// b/t) and its limit, as the warnings compute them; false for other types,
// non-positive walls or no yield stress.
bool WallSlenderness(const SectionInput& in, const WarningMaterials& m, double& ratio, double& limit);

// The warnings' sentences joined by a blank; empty for none.
std::string WarningsText(const std::vector<SectionWarning>& w);

// The warnings of a meshed section whose materials are assigned.
inline std::string SectionWarningsText(const SectionInput& in, const FiberTable& t) {
    return WarningsText(ComputeSectionWarnings(in, WarningMaterialsOf(t)));
}

}  // namespace px
