#pragma once
// The project file (.pxc): a column's input fields, combo box choices,
// material colours and imported forces as pretty-printed UTF-8 JSON with
// sorted keys.
//
//   {
//     "colors": {"Shape1": "#ffff00", ...},        material colours
//     "combos": {"ComboBox1": 0, ...},             item indexes
//     "fields": {"Edit1": "2200", ...},            texts as typed
//     "forces": {                                  only after an import
//       "columns": {"Mx": 10, "My": 9, "P": 5},    import field numbers (and
//                   "Load Case", "Mx Other End", "My Other End" when given)
//       "count": 3,
//       "factors": {"Mx": 1, "My": 1, "P": 1},     amplification factors
//       "file": "forces.csv",                      the imported file's name
//       "grid": [["Story", "Col", ...], ...],      the import grid's cells
//       "items": [[1500, 300, -200], ...],         P, Mx, My of each force
//       "names": ["ULS 1", ...],                   only when a force has a name
//       "other ends": [[120, null], ...]           only when a force has one:
//     },                                           Mx, My at the other end

//     "format": "pillarix-column",
//     "live": 1,                                   only while the live check is on
//     "program": "Pillarix 1.2",
//     "section": {                                 only with a custom section
//       "content": "cover 0 0 ...",                the loaded file's text
//       "name": "lcolumn.sec"                      its name, for display
//     },
//     "version": 1
//   }
//
// Numbers are written in their shortest exact form, so they read back bit
// for bit. Reading is all or nothing: any fault throws before a value is
// returned. Keys the program does not know are skipped; a field, combo box
// or colour missing from the file keeps its default.
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/version.h"
#include "geometry/source.h"
#include "loads/load_table.h"
#include "section/fiber.h"

namespace px {

inline constexpr const char* kProjectFormat = "pillarix-column";
inline constexpr int kProjectVersion = 1;
inline constexpr const char* kProjectProgram = kProgramName;
inline constexpr const char* kProjectSuffix = "pxc";
// Largest file the program reads.
inline constexpr std::size_t kProjectMaxBytes = std::size_t{64} << 20;

struct ProjectForces {
    // Rows of the import grid, each of at most ten cells (trailing empty
    // cells may be left out).
    std::vector<std::vector<std::string>> Grid;
    LoadCombinationTable Table;
    double FactorP = 1, FactorMx = 1, FactorMy = 1;
    int ColumnP = 5, ColumnMx = 10, ColumnMy = 9;
    // The optional fields' numbers; 0 when the import had none.
    int ColumnName = 0, ColumnMxOther = 0, ColumnMyOther = 0;
    std::string File;
};

struct ProjectData {
    std::string Program = kProjectProgram;
    // Every saved field by name ("Edit1" ...), defaults where the file has none.
    std::map<std::string, std::string> Fields;
    // "ComboBox1" ... "ComboBox8".
    std::map<std::string, int> Combos;
    MaterialColors Colors = MaterialColors::defaults();
    std::optional<ProjectForces> Forces;
    bool Live = false;  // the PMM page's "Live" check box
    // The custom section, read back from the content the project keeps, so
    // the project opens where its section file is gone.
    std::shared_ptr<const geom::LoadedSection> Section;
};

// The edit fields a project keeps: every input field; the section
// information outputs (Edit31, Edit36 ... Edit40) are left out.
const std::vector<std::string>& ProjectFieldNames();

// A project holding the window's start-up defaults.
ProjectData DefaultProject();

std::string WriteProject(const ProjectData& data);

// Reads a whole file's bytes. Throws AppError naming what is wrong (with the
// byte offset where there is one): a size over kProjectMaxBytes, text that is
// not JSON, a value of the wrong type or range, a count that does not match
// its forces, a number out of range, another format or a newer version, and
// a kept section that does not read as a section.
ProjectData ReadProject(std::string_view bytes);

// "#rrggbb".
std::string ColorText(const Rgb& c);

}  // namespace px
