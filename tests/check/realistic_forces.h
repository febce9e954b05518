#pragma once
// Design forces of one column over four storeys of a frame, as a force file
// lists them: 20 load combinations at the top, middle and bottom of each
// storey (240 lines), two decimals as the file writes them. Sized for the
// default column: most combinations pass, the seismic ones of the lowest
// storeys do not.
#include "input/numbers.h"
#include "loads/load_table.h"

namespace pxtest {

inline px::LoadCombinationTable RealisticForces() {
    struct Combo {
        double D, L, Ex, Ey;
    };
    const Combo combos[20] = {
        {1.4, 0, 0, 0},       {1.2, 1.6, 0, 0},     {1.2, 1.0, 1, 0.3},   {1.2, 1.0, -1, 0.3},
        {1.2, 1.0, 1, -0.3},  {1.2, 1.0, -1, -0.3}, {1.2, 1.0, 0.3, 1},   {1.2, 1.0, -0.3, 1},
        {1.2, 1.0, 0.3, -1},  {1.2, 1.0, -0.3, -1}, {0.9, 0, 1, 0.3},     {0.9, 0, -1, 0.3},
        {0.9, 0, 1, -0.3},    {0.9, 0, -1, -0.3},   {0.9, 0, 0.3, 1},     {0.9, 0, -0.3, 1},
        {0.9, 0, 0.3, -1},    {0.9, 0, -0.3, -1},   {1.2, 0.5, 1.3, 0.4}, {0.9, 0, -1.3, -0.4},
    };
    auto fileValue = [](double v) { return px::StrToFloat(px::F2(v)); };
    px::LoadCombinationTable t;
    for (int storey = 0; storey < 4; ++storey) {
        const double PD = 8000 + 6000 * storey, PL = 2000 + 1500 * storey;
        const double PEx = 1500 + 2500 * storey, PEy = 1150 + 1900 * storey;  // sway
        const double MxD = 310.5 + 40 * storey, MyD = -205.25 - 30 * storey;
        const double MxE = 9000 + 7000 * storey, MyE = 7000 + 6000 * storey;
        for (const Combo& c : combos) {
            for (int station = 0; station < 3; ++station) {
                const double along[3] = {1.0, -0.08, -1.15};  // top, middle, bottom
                const double self = 47.5 * station;
                px::LoadCombination f;
                f.P = fileValue(c.D * (PD + self) + c.L * PL + c.Ex * PEx + c.Ey * PEy);
                f.Mx = fileValue(along[station] * (c.D * MxD + c.L * 0.3 * MxD + c.Ex * MxE));
                f.My = fileValue(along[station] * (c.D * MyD + c.L * 0.3 * MyD + c.Ey * MyE));
                t.Items.push_back(f);
            }
        }
    }
    t.Count = static_cast<int>(t.Items.size()) - 1;
    return t;
}

}  // namespace pxtest
