#include "input/field_names.h"

#include <cstring>

namespace px {

namespace {

// A caption for the section types listed in `types` ("257": types 2, 5 and 7).
struct TypeCaption {
    const char* types;
    const char* caption;
};

struct Name {
    const char* name;
    const char* page;
    const char* caption;
    TypeCaption byType[2];  // unused entries hold null
};

constexpr const char* kSection = "Section";
constexpr const char* kConcrete = "Concrete Material";
constexpr const char* kSteel = "Steel Material";
constexpr const char* kPm = "PM Curve";
constexpr const char* kMm = "MM Curve";
constexpr const char* kImport = "Import Force Data";

// Captions as the pages show them, misspellings included, so that a message
// names the words the user sees. The Section page relabels its rows by type
// (types 2, 5 and 7 are round; 5 a tube, 6 a box, 8 holds a pipe); a row's
// caption comes before its column's ("X-Dir Rebar" + "Diameter").
constexpr Name kNames[] = {
    // ---- Section page
    {"Edit1", kSection, "Sec Width B", {{"257", "Diameter D"}, {"3", "Sec Widht B"}}},
    {"Edit2", kSection, "Sec Height H", {{"3", "Sec Heigth H"}}},
    {"Edit3", kSection, "Cover as", {{"5", "Thickness tw"}, {"6", "X-Dir Thickness"}}},
    {"Edit41", kSection, "Y-Dir Thickness", {}},
    {"Edit12", kSection, "X-Dir Mesh Num", {{"257", "Mesh Num 1"}}},
    {"Edit13", kSection, "Y-Dir Mesh Num", {{"257", "Mesh Num 2"}}},
    {"Edit70", kSection, "Cover Layers", {}},
    {"Edit69", kSection, "Mesh Size", {}},
    {"Edit5", kSection, "X-Dir Rebar Row", {{"27", "Rebar Row"}}},
    {"Edit6", kSection, "X-Dir Rebar Num", {{"27", "Rebar Num"}}},
    {"Edit7", kSection, "X-Dir Rebar Diameter", {{"27", "Rebar Diameter"}}},
    {"Edit4", kSection, "Y-Dir Rebar Row", {}},
    {"Edit8", kSection, "Y-Dir Rebar Num", {}},
    {"Edit9", kSection, "Y-Dir Rebar Diameter", {}},
    {"Edit10", kSection, "Corner Rebar Num", {{"8", "Coner Rebar Num"}}},
    {"Edit11", kSection, "Corner Rebar Diameter", {{"8", "Coner Rebar Diameter"}}},
    {"Edit42", kSection, "Steel Y-Dir Sec Height H", {{"8", "Pipe Sec Height H"}}},
    {"Edit43", kSection, "Steel Y-Dir Sec Width B", {}},
    {"Edit44", kSection, "Steel Y-Dir Flange Thick tf", {{"8", "Pipe Flange Thick tf"}}},
    {"Edit45", kSection, "Steel Y-Dir Web Thick tw", {}},
    {"Edit46", kSection, "Steel X-Dir Sec Height H", {}},
    {"Edit47", kSection, "Steel X-Dir Sec Width B", {}},
    {"Edit48", kSection, "Steel X-Dir Flange Thick tf", {}},
    {"Edit49", kSection, "Steel X-Dir Web Thick tw", {}},
    {"Edit50", kSection, "Flange Mesh Num", {{"8", "Pile Mesh Num1"}}},
    {"Edit51", kSection, "Web Mesh Num", {{"8", "Pile Mesh Num2"}}},
    {"Edit36", kSection, "Gross Area", {}},
    {"Edit31", kSection, "Conc Area", {}},
    {"Edit37", kSection, "Rebar Area", {}},
    {"Edit39", kSection, "Rebar Ratio(%)", {}},
    {"Edit38", kSection, "Steel Area", {}},
    {"Edit40", kSection, "Steel Ratio(%)", {}},

    // ---- Material pages: the group's title, then the field's caption
    {"Edit14", kConcrete, "Cover Concrete Yield Strength fc", {}},
    {"Edit15", kConcrete, "Cover Concrete Yield Stage Stain e0", {}},
    {"Edit17", kConcrete, "Cover Concrete Ultimate Stage Strength fcu", {}},
    {"Edit16", kConcrete, "Cover Concrete Ultimate Stage Strain ecu", {}},
    {"Edit18", kConcrete, "Core Concrete One Yield Strength fc", {}},
    {"Edit19", kConcrete, "Core Concrete One Yield Stage Stain e0", {}},
    {"Edit21", kConcrete, "Core Concrete One Ultimate Stage Strength fcu", {}},
    {"Edit20", kConcrete, "Core Concrete One Ultimate Stage Strain ecu", {}},
    {"Edit22", kConcrete, "Core Concrete Two Yield Strength fc", {}},
    {"Edit23", kConcrete, "Core Concrete Two Yield Stage Stain e0", {}},
    {"Edit25", kConcrete, "Core Concrete Two Ultimate Stage Strength fcu", {}},
    {"Edit24", kConcrete, "Core Concrete Two Ultimate Stage Strain ecu", {}},
    {"Edit26", kSteel, "Rebar Material Modulus of Elasticity Es", {}},
    {"Edit27", kSteel, "Rebar Material Yield Strength fy", {}},
    {"Edit28", kSteel, "Steel Section Material Modulus of Elasticity Es", {}},
    {"Edit29", kSteel, "Steel Section Material Yield Strength fy", {}},

    // ---- PM Curve page
    {"Edit32", kPm, "Strain Limit", {}},
    {"Edit33", kPm, "Axial Force Division Points", {}},
    {"Edit52", kPm, "Outside Steps K", {}},
    {"Edit53", kPm, "Inside Steps N", {}},
    {"Edit60", kPm, "Extention Factor", {}},
    {"Edit71", kPm, "alpha_cc", {}},
    {"Edit72", kPm, "Member Length", {}},
    {"Edit73", kPm, "kx", {}},
    {"Edit74", kPm, "ky", {}},
    {"Edit75", kPm, "ACI beta_dns", {}},
    {"Edit76", kPm, "EN phi_ef", {}},
    {"Edit77", kPm, "Initial Bow", {}},

    // ---- MM Curve page
    {"Edit30", kMm, "Axial Force", {}},
    {"Edit34", kMm, "Strain Limit", {}},
    {"Edit35", kMm, "Num of MM Curve Points", {}},
    {"Edit64", kMm, "Axial Force Range", {}},
    {"Edit61", kMm, "Outside Step K", {}},
    {"Edit62", kMm, "Inside Step N", {}},
    {"Edit63", kMm, "Extention Factor", {}},

    // ---- Import Force Data page: a row of two fields, column and factor
    {"Edit54", kImport, "Table Column of Axial Force(kN)", {}},
    {"Edit55", kImport, "Table Column of Moment Mx(kNm)", {}},
    {"Edit56", kImport, "Table Column of Moment My(kNm)", {}},
    {"Edit57", kImport, "Amplifie Factor of Axial Force(kN)", {}},
    {"Edit58", kImport, "Amplifie Factor of Moment Mx(kNm)", {}},
    {"Edit59", kImport, "Amplifie Factor of Moment My(kNm)", {}},
    {"Edit78", kImport, "Table Column of Load Case", {}},
    {"Edit79", kImport, "Table Column of Mx Other End", {}},
    {"Edit80", kImport, "Table Column of My Other End", {}},

    // ---- PMM_3D_Curve and M-Phi Curve pages
    {"Edit65", "PMM_3D_Curve", "Axial Levels", {}},
    {"Edit66", "M-Phi Curve", "Axial Force", {}},
    {"Edit67", "M-Phi Curve", "Neutral Axis Angle", {}},
    {"Edit68", "M-Phi Curve", "Curvature Steps", {}},
};

const Name* find(const std::string& name) {
    for (const Name& n : kNames)
        if (name == n.name) return &n;
    return nullptr;
}

}  // namespace

std::string FieldCaption(const std::string& name, int sectionType) {
    const Name* n = find(name);
    if (!n) return {};
    const char type = static_cast<char>('0' + sectionType);
    if (sectionType >= 1 && sectionType <= 9)
        for (const TypeCaption& t : n->byType)
            if (t.types && std::strchr(t.types, type)) return t.caption;
    return n->caption;
}

std::string FieldPage(const std::string& name) {
    const Name* n = find(name);
    return n ? n->page : std::string();
}

std::string FieldLabel(const std::string& name, int sectionType) {
    const Name* n = find(name);
    if (!n) return {};
    return FieldCaption(name, sectionType) + " (" + n->page + " page)";
}

}  // namespace px
