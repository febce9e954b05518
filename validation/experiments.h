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

// A number of the files: plain decimal, with or without thousands grouped
// by commas ("1,114"), or a US bar size "#n" (n/8 of the unit). Throws an
// AppError for anything else, a text of more than kMaxNumberChars among it.
inline constexpr size_t kMaxNumberChars = 40;
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
    double FcMeasured = 0;     // the strength as measured (a cube's for cubes), N/mm2
    std::string FcType;        // as the file states it
    double L = 0;              // length, mm (0: a beam without one)
    double E = 0;              // end eccentricity, mm
    double Et = 0, Eb = 0;     // signed end eccentricities, top and bottom, mm (Eb = Et when one is given)
    bool Strong = true;        // bending about x (the strong axis); else about y
    double Test = 0;           // measured strength: kN, or kNm for beams
    // Why a section analysis cannot predict it; empty when it can.
    std::string OutOfScope;
    // Why the row was refused (a value that cannot be read, or one that is
    // impossible: a strength of 0, a negative length); empty when read.
    // A refused row has "refused" as its OutOfScope and is never predicted.
    std::string Refused;
    // Smaller outside dimension, mm: the depth the length is measured in.
    double Depth() const { return B < H ? B : H; }
};

// Largest data file read, and longest field of a row.
inline constexpr unsigned long long kMaxDataFileBytes = 64ull << 20;
inline constexpr size_t kMaxFieldChars = 1000;

// A CSV file of the folder and what became of it.
struct DataFile {
    std::string Name;
    bool Read = false;  // of the database's format, its rows read
    int Rows = 0;       // rows read
    std::string Note;   // why it was not read
};

// Every specimen of every CSV file of the database's format in `folder`
// (the family and kind told by the header's columns), in file name and line
// order; `files`, when given, receives every CSV file and whether it was
// read. A row whose values cannot be read or are impossible is kept, with
// the reason as Refused. Throws AppError for a CSV file that is not a
// regular file or is larger than kMaxDataFileBytes ("It is not a file"), for
// a header naming a column twice, and for a folder that cannot be listed.
std::vector<Specimen> LoadSpecimens(const std::string& folder, std::vector<DataFile>* files = nullptr);

// One CSV line split at commas outside double quotes, each field trimmed,
// quotes removed.
std::vector<std::string> SplitCsv(std::string_view line);

}  // namespace px::validation
