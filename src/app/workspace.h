#pragma once
// Everything the main window computes and keeps between commands.
#include "analysis/curves.h"
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

    MMCurve MM;
    int MMPointCount = 0;
    double MMAxialForce = 0;
    MMPlotScale MMScale;

    LoadCombinationTable Loads;
    double ForceFactorP = 0, ForceFactorMx = 0, ForceFactorMy = 0;
    int ForceColumnP = 0, ForceColumnMx = 0, ForceColumnMy = 0;
};

}  // namespace px
