#pragma once
// What the user calls each edit field of the main window: the caption beside
// it and the page it stands on, so that a refusal of its text can name it.
#include <string>

namespace px {

// Caption of edit field `name` ("Edit7") as the window shows it while section
// type `sectionType` (1 .. 9) is chosen, with the group or row it belongs to
// where the caption alone is ambiguous ("X-Dir Rebar Diameter", "Cover
// Concrete Yield Strength fc"); empty for a name the window does not have.
std::string FieldCaption(const std::string& name, int sectionType);

// The page caption of edit field `name` ("Section", "MM Curve"); empty for a
// name the window does not have.
std::string FieldPage(const std::string& name);

// "Sec Width B (Section page)": how a message names the field; empty for a
// name the window does not have.
std::string FieldLabel(const std::string& name, int sectionType);

}  // namespace px
