#pragma once
// The design-code fields of the window read into CodeSettings, and the code
// a section takes under them.
#include <string>
#include <vector>

#include "codes/code_section.h"
#include "input/fields.h"
#include "input/section_input.h"

namespace px::codes {

// ComboBox9 "Design Code", ComboBox10 "Transverse Reinforcement", Edit71
// alpha_cc, Edit72 "Member Length"; the edits are read (and checked) only
// under a code, so "None" reads nothing it did not read before.
CodeSettings ReadCodeSettings(const FieldSource& f);

// The code of the section `in` meshed into `t` (materials assigned) under
// the fields' settings. Refuses a code that does not apply, or settings out
// of range, naming the field; changes nothing.
CodeSection SectionCodeOf(const FieldSource& f, const SectionInput& in, const FiberTable& t);

// The table the solvers take: `t` itself under "None", else `coded` filled
// by CodeFiberTable.
FiberTable& SolverTable(FiberTable& t, const CodeSection& c, FiberTable& coded);

// Under a code, what "Export Text" adds below the P-M table: the code, its
// notes, its key points one a line, and per point of each direction the
// factor (phi), phi Pn, phi Mn and eps_t. Nothing under "None".
void AppendDesignText(std::vector<std::string>& lines, const PMCurve& nominal, const DesignCurve& d,
                      const CodeSection& c);

}  // namespace px::codes
