#pragma once
// One run of the live check: the section meshed from a copy of the window's
// fields, the capacity check of the imported forces and the interaction
// surface, all away from the window.
#include <atomic>
#include <optional>
#include <string>

#include "check/capacity_check.h"
#include "check/level_jobs.h"
#include "check/surface.h"
#include "input/fields.h"
#include "input/section_input.h"
#include "loads/load_table.h"
#include "section/fiber.h"

namespace px {

// The section a check or surface solves over, meshed from the fields as
// "Gen MM Curve" meshes it, with the MM settings and the axial capacities.
struct CheckSection {
    SectionInput input;
    FiberTable fibers;
    MmSettings mm;
    double PMax = 0, PMin = 0;
    SectionRequest request() const { return {&fibers, input.B, input.H, mm, PMax, PMin}; }
};

// `base` supplies what the fields do not (the input record as the window
// holds it). Raises the message of the first bad field or setting, and
// Cancelled once `cancel` is set (looked at while meshing and after it).
CheckSection ReadCheckSection(const FieldSource& fields, const SectionInput& base,
                              const std::atomic<bool>* cancel = nullptr);
// The same into `s`, which holds what was meshed when the run stops.
void ReadCheckSectionInto(const FieldSource& fields, const SectionInput& base, CheckSection& s,
                          const std::atomic<bool>* cancel = nullptr);

// What one run reads, copied on the window's thread.
struct LiveInputs {
    MapFields fields;  // every edit and combo box of the window, Edit65 included
    SectionInput base;
    LoadCombinationTable loads;
    double factorP = 1, factorMx = 1, factorMy = 1;
    std::string checkKey, surfaceKey;  // the window's names for these inputs, passed on
};

struct LiveResults {
    std::optional<CheckResult> check;  // none without imported forces
    InteractionSurface surface;
    std::string error;  // a run that failed: its message, and nothing else
    std::string checkKey, surfaceKey;
};

// Runs the section, the check and the surface of `in`. Throws Cancelled once
// `cancel` is set; any other fault ends up in LiveResults::error.
LiveResults RunLive(const LiveInputs& in, const std::atomic<bool>& cancel);

}  // namespace px
