#pragma once
// Everything the main window computes and keeps between commands.
#include <optional>
#include <string>

#include "analysis/curves.h"
#include "check/capacity_check.h"
#include "codes/code_section.h"
#include "curvature/moment_curvature.h"
#include "input/section_input.h"
#include "loads/load_table.h"
#include "plot/scales.h"
#include "section/fiber.h"

namespace px {

struct Workspace {
    SectionInput Input;
    FiberTable Fibers;
    MaterialColors Colors = MaterialColors::defaults();

    PMCurve PM;
    double PMax = 0, PMin = 0;
    PMPlotScale PMScale;
    // The design code of the last P-M curves and their design curves (empty
    // under "None").
    codes::CodeSection Code;
    codes::DesignCurve Design;

    MMCurve MM;
    int MMPointCount = 0;
    double MMAxialForce = 0;
    MMPlotScale MMScale;

    LoadCombinationTable Loads;
    double ForceFactorP = 0, ForceFactorMx = 0, ForceFactorMy = 0;
    ForceColumns ForceCols;  // field numbers of the last import

    // Last capacity check of the forces; stale once the section, the MM
    // settings or the forces change after it.
    std::optional<CheckResult> Check;
    bool CheckStale = false;

    // Last moment-curvature curve and MphiInputsKey of what it was made from.
    std::optional<MphiResult> Mphi;
    std::string MphiKey;

    // Project file the window was opened from or saved to; empty when none.
    std::string ProjectPath;
};

}  // namespace px
