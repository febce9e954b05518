#pragma once
// The items of the main window's combo boxes, for front ends that set the
// fields without the window. The window starts on item 0 of each; the edit
// fields' starting texts are DefaultFieldTexts() (input/fields.h).
#include <string>
#include <vector>

namespace px {

// Items of "ComboBox1" ... "ComboBox10" in order; empty for any other name.
// ComboBox9: "Design Code"; ComboBox10: "Transverse Reinforcement".
const std::vector<std::string>& ComboBoxItems(const std::string& name);

// Number of combo boxes of the window.
inline constexpr int kComboBoxCount = 10;
// Number of edit fields of the window.
// Edit65: "Axial Levels" of the surface; Edit66..68: the M-Phi page;
// Edit70: "Cover Layers" of the Section page; Edit71: alpha_cc and Edit72:
// "Member Length" of the design code.
inline constexpr int kEditCount = 72;

}  // namespace px
