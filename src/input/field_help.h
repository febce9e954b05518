#pragma once
// Help for the main window's fields and buttons, shown as tooltips: what a
// field sets, its unit and its range or default, in one or two lines. The
// captions stay as they are; the help says what a terse or misspelt caption
// means, and for the Section page what a field means for the chosen type.
#include <string>
#include <vector>

namespace px {

// Help of the control named `name` (its object name) while section type
// `sectionType` (1 .. 8) is chosen; empty for a control without help.
std::string FieldHelp(const std::string& name, int sectionType);

// Names of the controls that have help: every edit field, combo box and
// button of the window, and the axial-force slider.
const std::vector<std::string>& FieldHelpNames();

}  // namespace px
