#pragma once
// Specimens of the composite column test files, converted to the program's
// units (mm, N/mm2, kN, kNm) and sorted into what a section analysis can
// predict and what it cannot.
#include <string>
#include <string_view>
#include <vector>

namespace px::validation {

// Factors to mm, N/mm2, kN and kNm of the units the files use; an unknown
// unit throws an AppError naming it and the quantity.
double LengthToMm(std::string_view unit);
double StressToMpa(std::string_view unit);
double ForceToKn(std::string_view unit);
double MomentToKnm(std::string_view unit);

// A number of the files: plain decimal, or a US bar size "#n" (n/8 of the
// unit). Throws an AppError for anything else.
double ParseValue(std::string_view text);

// The cylinder strength of a concrete strength of the given type
// ("Cylinder", "Cube/150mm", "Cube/100mm", "Prism/100mm", empty ...):
// cylinders and prisms as they are, cubes 0.8 x the 150 mm cube strength,
// where a 100 mm cube reads 1/0.95 and a 200 mm cube 1/1.05 of a 150 mm one;
// a cube of no stated size counts as 150 mm.
double CylinderStrength(double fc, std::string_view type);

enum class Family { CCFT, RCFT, SRC };
enum class Kind { Stub, Beam, BeamColumn };

const char* FamilyName(Family f);
const char* KindName(Kind k);

// Members no longer than this many depths are short: a section analysis
// predicts their strength without second-order effects.
inline constexpr double kShortLength = 4.0;

struct Specimen {
    std::string File;  // file name
    int Line = 0;      // line of the file, the header is 1
    std::string Author, Year, Name;
    Family Fam = Family::CCFT;
    Kind K = Kind::Stub;
    // Outside dimensions: width B (along x) and height H (along y); the
    // diameter in both for circular tubes. t is the tube wall.
    double B = 0, H = 0, t = 0;
    // Encased H section: depth, flange width, flange and web thickness; bars
    // at the four corners (none when BarDia is 0) at Cover from the faces
    // to their centres.
    double d = 0, bf = 0, tf = 0, tw = 0, BarDia = 0, Cover = 0;
    double Fy = 0, FyBar = 0;  // steel section and bars, N/mm2
    double Fc = 0;             // cylinder strength, N/mm2
    std::string FcType;        // as the file states it
    double L = 0;              // length, mm (0: a beam without one)
    double E = 0;              // end eccentricity, mm
    bool Strong = true;        // bending about x (the strong axis); else about y
    double Test = 0;           // measured strength: kN, or kNm for beams
    // Why a section analysis cannot predict it; empty when it can.
    std::string OutOfScope;
    // Smaller outside dimension, mm: the depth the length is measured in.
    double Depth() const { return B < H ? B : H; }
};

// Every specimen of the five files in `folder`, in file and line order. A
// row whose values cannot be read is kept, with the reason as OutOfScope.
std::vector<Specimen> LoadSpecimens(const std::string& folder);

// One CSV line split at commas outside double quotes, each field trimmed,
// quotes removed.
std::vector<std::string> SplitCsv(std::string_view line);

}  // namespace px::validation
