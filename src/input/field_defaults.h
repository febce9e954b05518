#pragma once
// The items of the main window's combo boxes, for front ends that set the
// fields without the window. The window starts on item 0 of each; the edit
// fields' starting texts are DefaultFieldTexts() (input/fields.h).
#include <string>
#include <vector>

namespace px {

// Items of "ComboBox1" ... "ComboBox8" in order; empty for any other name.
const std::vector<std::string>& ComboBoxItems(const std::string& name);

// Number of combo boxes of the window.
inline constexpr int kComboBoxCount = 8;
// Number of edit fields of the window.
// Edit65: "Axial Levels" of the surface; Edit66..68: the M-Phi page;
// Edit70: "Cover Layers" of the Section page; Edit78..80: the Import page's
// optional field numbers.
inline constexpr int kEditCount = 80;

}  // namespace px
