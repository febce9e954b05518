#pragma once
// The "Design Code" group of the P-M page: the code (ComboBox9), ACI's
// transverse reinforcement (ComboBox10), EN 1992-1-1's alpha_cc (Edit71),
// "Member Length" (Edit72) and a note on what the code replaces.
class QGroupBox;
class QWidget;

namespace px {

class FormFields;

// Builds the group on `page` at (x, y) and registers its fields in
// `fields`. While a code is chosen the material-law combo boxes
// (ComboBox2 .. ComboBox6) are disabled and their tool tips say why.
QGroupBox* BuildDesignCodeGroup(QWidget* page, FormFields& fields, int x, int y);

// The note under the group for the code chosen in `fields`.
const char* DesignCodeNote(int codeIndex);

}  // namespace px
