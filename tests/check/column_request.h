#pragma once
// The section part of a check or surface request over a meshed test column:
// its fibers and extent, its axial capacities, the default MM settings.
#include "../analysis/default_column.h"
#include "analysis/section_steps.h"
#include "check/level_jobs.h"

namespace pxtest {

inline px::SectionRequest SectionOf(const Column& col) {
    px::SectionRequest s;
    s.Fibers = &col.t;
    s.B = col.in.B;
    s.H = col.in.H;
    px::ComputeAxialBounds(col.t, s.PMax, s.PMin);
    return s;
}

}  // namespace pxtest
