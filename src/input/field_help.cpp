#include "input/field_help.h"

#include <cstring>

namespace px {

namespace {

// A text for the section types listed in `types` ("257": types 2, 5 and 7).
struct TypeHelp {
    const char* types;
    const char* text;
};

// One control: its help, and the help that replaces it for some types.
struct Help {
    const char* name;
    const char* text;
    std::vector<TypeHelp> byType;
};

// Types 2, 5 and 7 are round; 5 and 6 have no bars; 3, 4 and 7 hold H
// sections; 8 holds a pipe in the steel group's first column.
const std::vector<Help>& Table() {
    static const std::vector<Help> t = {
        // ---- Section page
        {"ComboBox1", "Section type. Choosing one relabels this page and meshes and draws the new section.", {}},
        {"LoadSectionButton",
         "Loads a section file (.txt, .sec) or a DXF drawing as \"Custom Section\": any outline,\n"
         "holes, steel plates and bars. A file that cannot be read or meshed changes nothing.", {}},
        {"SectionFileLabel", "The file the custom section was loaded from; its content is kept in the project.", {}},
        {"Edit69",
         "Mesh Size: the side of the square grid cells the custom section is cut into (mm), greater than 0.\n"
         "Filled on load with the larger of the section's width and height / 40, or a quarter of the thickness of its\n"
         "thinnest part when that is smaller; empty means that default. A size that leaves a part one fiber across\n"
         "is refused.", {}},
        {"CentroidLabel", "Where the moments are taken about: the centroid of the outline, in the drawing's coordinates.",
         {}},
        {"Edit1",
         "Width B of the section along x (mm), greater than 0. Default 2200.",
         {{"27", "Diameter D of the column (mm), greater than 0. Default 2200."},
          {"5", "Outer diameter D of the steel tube (mm), greater than 0. Default 2200."},
          {"6", "Outer width B of the steel box along x (mm), greater than 0. Default 2200."}}},
        {"Edit2",
         "Height H of the section along y (mm), greater than 0. Default 2200.",
         {{"257", "Not read for a round section: its height is the diameter D."},
          {"6", "Outer height H of the steel box along y (mm), greater than 0. Default 2200."}}},
        {"Edit3",
         "Cover: from the faces to the bar centres, also the depth of the cover concrete (mm).\n"
         "Less than half of B and of H. Default 40.",
         {{"27", "Cover: from the face to the outer bar circle, also the depth of the cover ring (mm).\n"
                 "Less than half of D. Default 40."},
          {"5", "Wall thickness of the steel tube (mm), greater than 0 and less than half of D. Default 40."},
          {"6", "Thickness of the left and right walls of the box, along x (mm).\n"
                "Greater than 0 and less than half of B. Default 40."}}},
        {"Edit41",
         "Thickness of the top and bottom walls of the steel box, along y (mm).\n"
         "Greater than 0 and less than half of H. Default 40. Read for Rect Steel Box Column only.",
         {}},
        {"Edit12",
         "Number of concrete cells across the width, along x; at least 3. Default 12.",
         {{"27", "Number of sectors each concrete ring is cut into; at least 4. Default 12."},
          {"5", "Number of sectors around the tube; at least 4. Default 12."}}},
        {"Edit13",
         "Number of concrete cells across the height, along y; at least 3. Default 12.",
         {{"27", "Number of rings of the core concrete; at least 1. Default 12."},
          {"5", "Number of rings of the concrete inside the tube; at least 1. Default 12."}}},
        {"Edit70",
         "Cover Layers: the cover band is cut into this many layers through its depth; 1 to 100. Default 1.\n"
         "With 1 the cover is one fiber deep and a crushing cover drops the M-Phi curve in one step;\n"
         "8 or more let it crush gradually. Steel walls (tube, box, pipe) are layered the same way.",
         {{"5", "Cover Layers: the tube's wall is cut into this many layers through its thickness; 1 to 100. "
                "Default 1."},
          {"6", "Cover Layers: each wall of the box is cut into this many layers through its thickness; 1 to 100.\n"
                "Default 1."}}},
        {"Edit5",
         "Rows of bars along the top and bottom faces, each row 40 mm further in; 0 or more. Default 2.",
         {{"27", "Number of bar circles, each 40 mm further in; 0 or more. Default 2."}}},
        {"Edit6",
         "Bars per row along the top and bottom faces, corners not counted; 0 or more. Default 12.",
         {{"27", "Bars per circle; 0 or more. Default 12."}}},
        {"Edit7", "Diameter of the bars along the top and bottom faces (mm), 0 or more. Default 25.",
         {{"27", "Diameter of the bars (mm), 0 or more. Default 25."}}},
        {"Edit4", "Rows of bars along the left and right faces, each row 40 mm further in; 0 or more. Default 2.", {}},
        {"Edit8", "Bars per row along the left and right faces, corners not counted; 0 or more. Default 12.", {}},
        {"Edit9", "Diameter of the bars along the left and right faces (mm), 0 or more. Default 25.", {}},
        {"Edit10", "Bars bundled at each of the four corners; 0 or more. Default 1.", {}},
        {"Edit11", "Diameter of one corner bar (mm), 0 or more. Default 25.", {}},
        {"Edit42",
         "Steel Y-Dir H section: overall depth H (mm), greater than twice tf. Default 1600.",
         {{"8", "Outer diameter of the steel pipe (mm), greater than twice its wall. Default 1600."}}},
        {"Edit43", "Steel Y-Dir H section: flange width B (mm), greater than 0. Default 600.", {}},
        {"Edit44",
         "Steel Y-Dir H section: flange thickness tf (mm), less than half of H. Default 60.",
         {{"8", "Wall thickness of the steel pipe (mm), less than half of its diameter. Default 60."}}},
        {"Edit45", "Steel Y-Dir H section: web thickness tw (mm), greater than 0. Default 20.", {}},
        {"Edit46", "Steel X-Dir H section: overall depth H (mm), greater than twice tf. Default 1600.", {}},
        {"Edit47", "Steel X-Dir H section: flange width B (mm), greater than 0. Default 600.", {}},
        {"Edit48", "Steel X-Dir H section: flange thickness tf (mm), less than half of H. Default 60.", {}},
        {"Edit49", "Steel X-Dir H section: web thickness tw (mm), greater than 0. Default 20.", {}},
        {"Edit50",
         "Strips each flange of the H sections is cut into; at least 1. Default 12.",
         {{"8", "Number of sectors around the steel pipe; at least 4. Default 12."}}},
        {"Edit51",
         "Strips each web of the H sections is cut into; at least 1. Default 6.",
         {{"8", "Number of rings of the concrete inside the pipe; at least 1. Default 6."}}},
        {"Edit36", "Gross area of the section's outline (mm²), from the last \"Input Section\".", {}},
        {"Edit31", "Concrete area of the fibers (mm²), from the last \"Input Section\".", {}},
        {"Edit37", "Area of all bars (mm²), from the last \"Input Section\".", {}},
        {"Edit39", "Bar area as a percentage of the gross area.", {}},
        {"Edit38", "Area of the steel section: H sections, tube, box or pipe (mm²).", {}},
        {"Edit40", "Steel section area as a percentage of the gross area.", {}},
        {"Button1", "Reads this page, meshes the section into fibers, draws it and fills Section Information.", {}},

        // ---- Material pages
        {"ComboBox2", "Stress-strain law of the cover concrete. "
                      "\"Simplify model\": a parabola up to fc at e0, then flat.\n"
                      "\"Descending model\": the parabola, then a line down to fcu at ecu, then 0.", {}},
        {"ComboBox3", "Stress-strain law of core concrete one. "
                      "\"Simplify model\": a parabola up to fc at e0, then flat.\n"
                      "\"Descending model\": the parabola, then a line down to fcu at ecu, then 0.", {}},
        {"ComboBox4", "Stress-strain law of core concrete two. "
                      "\"Simplify model\": a parabola up to fc at e0, then flat.\n"
                      "\"Descending model\": the parabola, then a line down to fcu at ecu, then 0.", {}},
        {"Edit14", "Cover concrete: peak compressive stress fc (N/mm²), reached at strain e0. Default 27.5.", {}},
        {"Edit15", "Cover concrete: strain e0 at the peak stress, a positive number. Default 0.002.", {}},
        {"Edit17", "Cover concrete: ultimate stress fcu (N/mm²).\n"
                   "\"Descending model\": 0 <= fcu <= fc; the stress falls in a line from fc at e0 to fcu at ecu, then to 0.\n"
                   "\"Simplify model\": not used. Default 27.5.", {}},
        {"Edit16", "Cover concrete: ultimate strain ecu.\n"
                   "\"Descending model\": greater than e0; the strain at which the stress has fallen to fcu; past it the concrete "
                   "has crushed and carries 0.\n"
                   "\"Simplify model\": the end of the chart's strain range, a positive number. Default 0.0035.", {}},
        {"Edit18", "Core concrete one: peak compressive stress fc (N/mm²), reached at strain e0. Default 27.5.", {}},
        {"Edit19", "Core concrete one: strain e0 at the peak stress, a positive number. Default 0.002.", {}},
        {"Edit21", "Core concrete one: ultimate stress fcu (N/mm²).\n"
                   "\"Descending model\": 0 <= fcu <= fc; the stress falls in a line from fc at e0 to fcu at ecu, then to 0.\n"
                   "\"Simplify model\": not used. Default 27.5.", {}},
        {"Edit20", "Core concrete one: ultimate strain ecu.\n"
                   "\"Descending model\": greater than e0; the strain at which the stress has fallen to fcu; past it the concrete "
                   "has crushed and carries 0.\n"
                   "\"Simplify model\": the end of the chart's strain range, a positive number. Default 0.0035.", {}},
        {"Edit22", "Core concrete two: peak compressive stress fc (N/mm²), reached at strain e0. Default 11.9.", {}},
        {"Edit23", "Core concrete two: strain e0 at the peak stress, a positive number. Default 0.002.", {}},
        {"Edit25", "Core concrete two: ultimate stress fcu (N/mm²).\n"
                   "\"Descending model\": 0 <= fcu <= fc; the stress falls in a line from fc at e0 to fcu at ecu, then to 0.\n"
                   "\"Simplify model\": not used. Default 11.9.", {}},
        {"Edit24", "Core concrete two: ultimate strain ecu.\n"
                   "\"Descending model\": greater than e0; the strain at which the stress has fallen to fcu; past it the concrete "
                   "has crushed and carries 0.\n"
                   "\"Simplify model\": the end of the chart's strain range, a positive number. Default 0.0035.", {}},
        {"Button10", "Redraws the three concrete curves from the fields above.", {}},
        {"ComboBox5", "Stress-strain law of the bars. \"Simplify model\": "
                      "elastic with modulus Es up to fy, then flat.", {}},
        {"ComboBox6", "Stress-strain law of the steel section. \"Simplify model\": "
                      "elastic with modulus Es up to fy, then flat.", {}},
        {"Edit26", "Bars: modulus of elasticity Es (N/mm²), greater than 0. Default 206000.", {}},
        {"Edit27", "Bars: yield strength fy (N/mm²). Default 330.", {}},
        {"Edit28", "Steel section: modulus of elasticity Es (N/mm²), greater than 0. Default 215000.", {}},
        {"Edit29", "Steel section: yield strength fy (N/mm²). Default 260.", {}},
        {"Button11", "Redraws the two steel curves from the fields above.", {}},

        // ---- PM Curve page
        {"Edit32", "Compressive strain limit at the most compressed corner, a negative number. Default -0.0035.\n"
                   "The tensile limit is fixed at 0.01.", {}},
        {"Edit33", "Number of equal axial-force steps from the tension capacity to the compression capacity;\n"
                   "the curve has one point more. 1 to 1000000. Default 10.", {}},
        {"Edit52", "Passes of the neutral-axis search for each point, each one finer; at least 1. Default 5.", {}},
        {"Edit53", "Grid intervals of each search pass (N + 1 trial positions); 1 to 1000000. Default 100.", {}},
        {"Edit60", "Widens the first search window of neutral-axis positions past the section's edges;\n"
                   "greater than 0; keep it above 1. Default 1.2.", {}},
        {"Button2", "Meshes the section and computes and draws the P-M curves about X (0°) and Y (90°).", {}},
        {"Button9", "Draws the imported load combinations, amplified, over both P-M curves.", {}},
        {"Button5", "Shows the P-M curve points as text in the result window, from where they can be saved.", {}},
        {"Button16", "Saves the X-direction P-M picture as shown (.png, .bmp, else JPEG).", {}},
        {"Button17", "Saves the Y-direction P-M picture as shown (.png, .bmp, else JPEG).", {}},
        // ---- the "Member" group of the PM Curve page (braced, pin-ended members)
        {"Edit72", "Member Length L: the unbraced length of the column between its braced ends (mm).\n"
                   "Default 0 (not given); greater than 0 when \"Slenderness\" is not \"None\".", {}},
        {"Edit73", "kx: effective length factor for bending about X (0°); the member bends over kx L.\n"
                   "Greater than 0; 1 for pin-ended members. Default 1.", {}},
        {"Edit74", "ky: effective length factor for bending about Y (90°); the member bends over ky L.\n"
                   "Greater than 0; 1 for pin-ended members. Default 1.", {}},
        {"ComboBox11", "Slenderness: \"None\" checks the section alone (as before); \"General method\" draws the\n"
                       "member's curve from a second-order analysis on the section's moment-curvature.\n"
                       "\"Code method\" (a design code's rule for slender braced columns) needs a \"Design Code\";\n"
                       "the P-M page draws the general method's curve only.", {}},
        {"Edit75", "ACI beta_dns: the share of the factored axial load that is sustained, for the creep\n"
                   "in ACI 318's (EI)eff; 0 to 1 in practice, at least 0. Default 0.", {}},
        {"Edit76", "EN phi_ef: the effective creep ratio of EN 1992-1-1 5.8.4, for lambda_lim and\n"
                   "the nominal curvature; at least 0. Default 0.", {}},
        {"Edit77", "Initial Bow: the member's initial crookedness at mid-length as a share of the effective\n"
                   "length (0.001: L/1000) for the general method; 0 to 0.1. Default 0.001.", {}},

        // ---- MM Curve page
        {"Edit30", "Axial force of the Mx-My curve and of the purple line (kN, compression positive). Default 0.\n"
                   "The slider sets it between the compression and tension capacities.", {}},
        {"Button8", "Draws the purple line at the Axial Force typed on the left plot.", {}},
        {"ComboBox7", "Which P-M curve the left plot shows: about X (0°) or about Y (90°).", {}},
        {"ComboBox8", "Where every analysis (P-M, Mx-My, check, surface, M-Phi) applies the strain limits. "
                      "\"Bounding rectangle\": the corners of the section's B x H rectangle. \"Section outline\": "
                      "the corners of the outline as meshed (a circle's outer ring), so a round column's "
                      "Mx-My curve is round.", {}},
        {"ComboBox9", "The design code of the P-M curves (page, text, batch, study). \"None\": the material laws as set,\n"
                      "no factors. Under a code the strengths are read as characteristic (f'c / fck, fy), the code's\n"
                      "laws, strain limits, factors and caps apply and the concrete is net of bars and steel.\n"
                      "AISC 360-16 takes sections with a steel profile only.", {}},
        {"ComboBox10", "ACI 318-19 transverse reinforcement: ties (phi 0.65, 0.80 Po) or spirals (phi 0.75, 0.85 Po).", {}},
        {"Edit71", "alpha_cc of EN 1992-1-1 3.1.6 (fcd = alpha_cc fck / 1.5); greater than 0, at most 1. Default 1.0.", {}},
        {"Edit72", "Member length (mm) for the code's member rules (EN 1994-1-1 confinement of filled tubes).\n"
                   "0: not given (no confinement). Default 0.", {}},
        {"ScrollBar1", "Sets the Axial Force: top is the compression capacity, bottom the tension capacity.", {}},
        {"Edit34", "Compressive strain limit of the Mx-My curve, a negative number. Default -0.0035.", {}},
        {"Edit35", "Number of neutral-axis directions over a full turn: the points of the Mx-My curve.\n"
                   "1 to 1000000. Default 36.", {}},
        {"Edit64", "\"Show Force\" circles the combinations whose axial force lies within this many kN\n"
                   "of the Axial Force. Default 500.", {}},
        {"Edit61", "Passes of the neutral-axis search for each direction, each one finer; at least 1. Default 5.", {}},
        {"Edit62", "Grid intervals of each search pass (N + 1 trial positions); 2 to 1000000. Default 100.", {}},
        {"Edit63", "Widens the first search window of neutral-axis positions past the section's edges;\n"
                   "greater than 0, usually above 1. Default 1.2.", {}},
        {"Button3", "Shows the chosen P-M curve on the left with a purple line at the Axial Force.", {}},
        {"Button7", "Meshes the section and computes and draws the Mx-My curve at the Axial Force.", {}},
        {"Button12", "Draws the imported combinations over the Mx-My curve, circling those near the Axial Force,\n"
                     "and over the left P-M plot.", {}},
        {"Button6", "Shows the Mx-My curve points as text in the result window, from where they can be saved.", {}},
        {"Button14", "Saves the Mx-My picture as shown (.png, .bmp, else JPEG).", {}},

        // ---- Import Force Data page
        {"Edit54", "Field number of the axial force P (kN) in each line of the CSV file, counted from 1;\n"
                   "1 to 40. Default 5.", {}},
        {"Edit55", "Field number of the moment Mx (kNm) in each line of the CSV file, counted from 1;\n"
                   "1 to 40. Default 10.", {}},
        {"Edit56", "Field number of the moment My (kNm) in each line of the CSV file, counted from 1;\n"
                   "1 to 40. Default 9.", {}},
        {"Edit57", "Amplification factor on the imported axial forces, used when they are drawn and checked.\n"
                   "Default 1.0.", {}},
        {"Edit58", "Amplification factor on the imported moments Mx, used when they are drawn and checked.\n"
                   "Default 1.0.", {}},
        {"Edit59", "Amplification factor on the imported moments My, used when they are drawn and checked.\n"
                   "Default 1.0.", {}},
        {"Edit78", "Field number of the combination's name (Load Case) in each line of the CSV file;\n"
                   "1 to 40, or empty when the table has none (cases are then numbered). The check shows the name.", {}},
        {"Edit79", "Field number of the moment Mx (kNm) at the member's other end; 1 to 40, or empty:\n"
                   "equal end moments in single curvature. An empty cell leaves that line's value out too.", {}},
        {"Edit80", "Field number of the moment My (kNm) at the member's other end; 1 to 40, or empty:\n"
                   "equal end moments in single curvature. An empty cell leaves that line's value out too.", {}},
        {"Button13", "Takes the three amplification factors; the plots use them at their next \"Show Force\".", {}},
        {"Button4", "Reads load combinations from a CSV file: a header line, then one combination per line.", {}},
        {"Button15", "Fills the summary table: the combinations of largest and smallest P\n"
                     "and of largest |Mx| and |My|, as imported (not amplified).", {}},

        // ---- PMM_3D_Curve page
        {"Edit65", "Number of axial-force levels of the surface, from the tension to the compression capacity;\n"
                   "2 to 200. Default 20.", {}},
        {"Button18", "Computes the P-Mx-My surface: "
                     "an Mx-My curve at each axial level, with the MM Curve settings.", {}},
        {"Button19", "Checks each imported combination against the Mx-My curve at its axial force.", {}},
        {"Button20", "Writes the check table to a CSV file.", {}},
        {"Button21", "Saves the 3D picture as shown (.png, .bmp, else JPEG).", {}},
        {"Button22", "Turns and zooms the 3D picture back to its first view.", {}},
        {"Button23", "Stops the running command (also Esc); nothing changes.", {}},
        // ---- M-Phi Curve page
        {"Edit66", "Axial force of the moment-curvature analysis (kN, compression positive),\n"
                   "strictly between the pure tension and compression capacities. Default 0.", {}},
        {"Edit67", "Neutral-axis angle (degrees): 0 bends about X, 90 about Y, as on the MM Curve page. Default 0.", {}},
        {"Edit68", "Equal curvature steps from 0 to the ultimate curvature; at least 1. Default 100.", {}},
        {"Button24", "Computes the moment-curvature curve, first yield, the bilinear line and the key values.", {}},
        {"Button25", "Shows the curve's points and key values as text, to save.", {}},
        {"Button26", "Saves the moment-curvature chart (.png, .bmp, else JPEG).", {}},
        {"Button27", "Stops the running command (also Esc); nothing changes.", {}},
        {"CheckBox1", "Live check: while on, each change of the section, materials, MM settings or forces\n"
                      "checks the forces and draws the surface again once typing pauses. Default off.", {}},
    };
    return t;
}

}  // namespace

std::string FieldHelp(const std::string& name, int sectionType) {
    const char type = static_cast<char>('0' + sectionType);
    for (const Help& h : Table()) {
        if (name != h.name) continue;
        for (const TypeHelp& t : h.byType)
            if (sectionType >= 1 && sectionType <= 8 && std::strchr(t.types, type)) return t.text;
        return h.text;
    }
    return {};
}

const std::vector<std::string>& FieldHelpNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        for (const Help& h : Table()) v.emplace_back(h.name);
        return v;
    }();
    return names;
}

}  // namespace px
