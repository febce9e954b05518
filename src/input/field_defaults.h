#pragma once
// The items of the main window's combo boxes, for front ends that set the
// fields without the window. The window starts on item 0 of each; the edit
// fields' starting texts are DefaultFieldTexts() (input/fields.h).
#include <string>
#include <vector>

namespace px {

// Items of the combo boxes "ComboBox1" ... in order; empty for any other name.
// ComboBox9: "Design Code"; ComboBox10: "Transverse Reinforcement";
// ComboBox11: "Slenderness" of the P-M page.
const std::vector<std::string>& ComboBoxItems(const std::string& name);

// Combo box numbers run to kComboBoxCount with gaps: the window's own are
// those with items.
inline constexpr int kComboBoxCount = 11;
// Number of edit fields of the window.
// Edit65: "Axial Levels" of the surface; Edit66..68: the M-Phi page;
// Edit70: "Cover Layers" of the Section page; Edit71: alpha_cc of the design
// code; Edit72..77: the "Member" group of the P-M page ("Member Length" is
// also the design code's); Edit78..80: the Import page's optional field numbers.
inline constexpr int kEditCount = 80;

}  // namespace px
