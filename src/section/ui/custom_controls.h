#pragma once
// The Section page's controls that differ for "Custom Section".
class QComboBox;

namespace px {

// Filter of the "Load Section File..." dialog: the first one, shown by
// default, lists every kind the reader takes (a DXF drawing by its ".dxf",
// a section file by any other name).
inline constexpr const char* kLoadSectionFilter =
    "Sections (*.sec *.txt *.dxf);;Section files (*.sec *.txt);;DXF drawings (*.dxf);;All files (*)";

// "Strain limits at" (ComboBox8) for the chosen type. A custom section takes
// its strain limits on its outline's hull whatever the box says, so the box
// shows "Section outline" and cannot be changed; back on a template it
// shows the choice it had before and can be changed again.
void ShowStrainLimitsAt(QComboBox& box, bool custom);

}  // namespace px
