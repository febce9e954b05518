// The validation against column tests: unit conversions, the cube rule, the
// specimens read from the files, the strengths compared, the statistics and
// the guard against the committed report.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "input/error.h"
#include "input/numbers.h"
#include "validation/report.h"
#include "validation/experiments.h"
#include "validation/validate.h"

using namespace px;
using namespace px::validation;

namespace {

const std::string kData = std::string(PILLARIX_SOURCE_DIR) + "/validation/data";
const std::string kBin = PILLARIX_BINARY_DIR;

// A folder of its own, removed afterwards.
struct TempDir {
    std::filesystem::path path;
    TempDir() {
        char pattern[] = "/tmp/px-validation-XXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string file(const std::string& name, const std::string& text) const {
        std::ofstream(path / name, std::ios::binary) << text;
        return (path / name).string();
    }
};

// Standard output of a shell command; its exit status in `status`.
std::string run(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int st = ::pclose(p);
    if (status) *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return out;
}

const char* const kCcftHeader =
    "Author,Year,Specimen,D,D_units,t,t_units,Fy,Fy_units,Fu,Fu_units,fc,fc_units,fc_type,Pexp,Pexp_units,"
    "d_at_Pexp,d_at_Pexp_units,et,et_units,eb,eb_units,L,L_units,Tags,Notes\n";
// A short filled tube: D 200, t 5, fy 300, fc 40, 2000 kN, L 600 mm.
const char* const kCcftRow = "A,2000,S1,200,mm,5,mm,300,MPa,,,40,MPa,Cylinder,2000,kN,,,0,mm,,,600,mm,,\n";

const Specimen& find(const std::vector<Specimen>& all, const std::string& file, int line) {
    for (const Specimen& s : all)
        if (s.File == file && s.Line == line) return s;
    throw std::runtime_error("no specimen at " + file + " line " + std::to_string(line));
}

}  // namespace

TEST(Validation, UnitsAndValues) {
    struct Case {
        double (*convert)(std::string_view);
        const char* unit;
        double factor;
    };
    const Case cases[] = {
        {LengthToMm, "mm", 1},           {LengthToMm, "cm", 10},           {LengthToMm, "m", 1000},
        {LengthToMm, "in", 25.4},        {LengthToMm, "ft", 304.8},        {StressToMpa, "MPa", 1},
        {StressToMpa, "kPa", 0.001},     {StressToMpa, "psi", 0.0068948},  {StressToMpa, "ksi", 6.8948},
        {StressToMpa, "kgscm", 0.098067}, {StressToMpa, "tscm", 98.0665},  {StressToMpa, "longton/in^2", 15.444},
        {ForceToKn, "kN", 1},            {ForceToKn, "MN", 1000},          {ForceToKn, "kips", 4.4482},
        {ForceToKn, "lbf", 0.0044482},   {ForceToKn, "tonne", 9.80665},    {ForceToKn, "longton", 9.9640},
        {MomentToKnm, "kN-m", 1},        {MomentToKnm, "kip-in", 0.11298}, {MomentToKnm, "kip-ft", 1.35582},
    };
    for (const Case& c : cases) EXPECT_NEAR(c.convert(c.unit) / c.factor, 1, 5e-5) << c.unit;
    EXPECT_THROW(LengthToMm(""), AppError);
    EXPECT_THROW(StressToMpa("mpa"), AppError);
    EXPECT_THROW(ForceToKn("ton"), AppError);

    EXPECT_EQ(ParseValue(" 12.5 "), 12.5);
    EXPECT_EQ(ParseValue("1,114"), 1114);
    EXPECT_EQ(ParseValue("12,345,678.5"), 12345678.5);
    EXPECT_EQ(ParseValue("#7"), 0.875);
    EXPECT_EQ(ParseValue("-1,000.5"), -1000.5);
    EXPECT_NEAR(MomentToKnm("k-in") / 0.11298, 1, 5e-5);
    EXPECT_NEAR(MomentToKnm("k-ft") / 1.35582, 1, 5e-5);
    EXPECT_NEAR(MomentToKnm("tf-m"), 9.80665, 1e-12);
    // A long grouped number is refused, not taken apart by recursion.
    std::string grouped = "1";
    while (grouped.size() < 40000) grouped += ",000";
    for (const std::string& bad : {std::string(), std::string("1,11"), std::string("1,1140"), std::string("12x"),
                                   std::string("nan"), std::string("#"), std::string(",100"), std::string("1,000,"),
                                   std::string("1234,567"), grouped, std::string(41, '1')})
        EXPECT_THROW(ParseValue(bad), AppError) << bad.substr(0, 20);
    EXPECT_EQ(ParseValue(std::string(40, '1')), 1111111111111111111111111111111111111111.0);

    struct Fc {
        const char* type;
        double factor;
    };
    const Fc fcs[] = {{"Cylinder", 1},    {"cylinder", 1},      {"", 1},        {"Cylinder/100mm", 1},
                      {"Prism/100mm", 1}, {"Cube", 0.8},        {"cube", 0.8},  {"Cube/150mm", 0.8},
                      {"Cube/100mm", 0.76}, {"Cube/200mm", 0.84}};
    for (const Fc& c : fcs) EXPECT_NEAR(CylinderStrength(50, c.type), 50 * c.factor, 1e-12) << c.type;
    EXPECT_THROW(CylinderStrength(50, "Cube/300mm"), AppError);
}

// Rows of the files as they are: every unit, the kinds and the scope.
TEST(Validation, SpecimensOfTheFiles) {
    const std::vector<Specimen> all = LoadSpecimens(kData);
    EXPECT_EQ(all.size(), 2624u);
    for (const Specimen& s : all) EXPECT_EQ(s.OutOfScope.rfind("unreadable", 0), std::string::npos) << s.File << s.Line;

    // Inches, psi, kips; no eccentricity but 15 depths long.
    const Specimen& a = find(all, "CCFT_C+PBC.csv", 2);
    EXPECT_EQ(a.Fam, Family::CCFT);
    EXPECT_NEAR(a.H, 3.74 * 25.4, 1e-9);
    EXPECT_NEAR(a.Fy, 39830 * 0.00689475729, 1e-6);
    EXPECT_NEAR(a.Test, 212.9 * 4.44822162, 1e-6);
    EXPECT_EQ(a.K, Kind::Stub);
    EXPECT_EQ(a.OutOfScope, "slender");
    // A quoted force with a thousands separator.
    const Specimen& b = find(all, "RCFT_C+PBC.csv", 157);
    EXPECT_EQ(b.Test, 1114);
    EXPECT_EQ(b.L, 360);
    EXPECT_TRUE(b.OutOfScope.empty());
    // US bar sizes with no unit; the cover from the bars' centres, as the
    // database documents it.
    const Specimen& c = find(all, "SRC_C+PBC.csv", 116);
    EXPECT_NEAR(c.BarDia, 0.875 * 25.4, 1e-9);
    EXPECT_NEAR(c.Cover, 1 * 25.4, 1e-9);
    EXPECT_NEAR(c.L, 15 * 304.8, 1e-9);
    EXPECT_FALSE(c.Strong);
    // Beams: cube strength and moments in kN-m; kip-in.
    const Specimen& d = find(all, "RCFT_Beams.csv", 82);
    EXPECT_EQ(d.K, Kind::Beam);
    EXPECT_NEAR(d.Fc, 0.8 * 30.1, 0.8 * 0.05 + 1e-9);
    int kipIn = 0;
    for (const Specimen& s : all) kipIn += s.File == "CCFT_Beams.csv" && s.K == Kind::Beam && s.Test > 0;
    EXPECT_EQ(kipIn, 57);
    // The scope from the lengths and eccentricities as the files give them,
    // counted apart from the program (L <= 4 x the smaller side, equal end
    // eccentricities): 466 CCFT, 465 RCFT and 12 SRC columns.
    std::map<Family, int> inScope;
    for (const Specimen& s : all) inScope[s.Fam] += s.OutOfScope.empty() && s.K != Kind::Beam;
    EXPECT_EQ(inScope[Family::CCFT], 466);
    EXPECT_EQ(inScope[Family::RCFT], 465);
    EXPECT_EQ(inScope[Family::SRC], 12);
    // Lengths at the limit: 4 x H as a ratio is in; 800 mm of a 198 x 400
    // box (4.04 x its smaller side) and 500 mm of a 120 box are out.
    EXPECT_EQ(find(all, "RCFT_C+PBC.csv", 48).OutOfScope, "");
    EXPECT_EQ(find(all, "RCFT_C+PBC.csv", 48).L, 4 * 199);
    EXPECT_EQ(find(all, "RCFT_C+PBC.csv", 1002).OutOfScope, "slender");
    EXPECT_EQ(find(all, "RCFT_C+PBC.csv", 82).OutOfScope, "slender");
}

// Every CSV of the folder in the database's format is read, the others
// named; impossible values are refused with the row; files that are not
// files, and headers naming a column twice, stop the run.
TEST(Validation, FolderFilesAndRefusedRows) {
    TempDir dir;
    dir.file("extra_tubes.csv", std::string(kCcftHeader) + kCcftRow);
    dir.file("notes.csv", "Name,Value\nx,1\n");
    dir.file("readme.txt", "not a csv");
    struct Bad {
        const char* row;
        const char* says;
    };
    const Bad bad[] = {
        {"A,1,S,200,mm,5,mm,300,MPa,,,40,MPa,Cylinder,0,kN,,,0,mm,,,600,mm,,", "Pexp is 0.000 kN"},
        {"A,1,S,200,mm,5,mm,300,MPa,,,40,MPa,Cylinder,-5,kN,,,0,mm,,,600,mm,,", "Pexp is -5.000 kN"},
        {"A,1,S,200,mm,5,mm,300,MPa,,,40,MPa,Cylinder,1e308,kips,,,0,mm,,,600,mm,,", "Pexp is not finite"},
        {"A,1,S,200,mm,5,mm,300,MPa,,,40,MPa,Cylinder,2e9,kN,,,0,mm,,,600,mm,,", "Pexp is 2000000000.000 kN: no value may exceed 1e9 kN"},
        {"A,1,S,200,mm,5,mm,300,MPa,,,-1,MPa,Cylinder,2000,kN,,,0,mm,,,600,mm,,", "fc is -1.000 N/mm2"},
        {"A,1,S,200,mm,5,mm,0,MPa,,,40,MPa,Cylinder,2000,kN,,,0,mm,,,600,mm,,", "Fy is 0.000 N/mm2"},
        {"A,1,S,200,mm,5,mm,300,MPa,,,40,MPa,Cylinder,2000,kN,,,0,mm,,,-600,mm,,", "L is -600.000 mm"},
        {"A,1,S,200,mm,0,mm,300,MPa,,,40,MPa,Cylinder,2000,kN,,,0,mm,,,600,mm,,", "t is 0.000 mm"},
        {"A,1,S,200,mm,5,mm,300,MPa,,,40,MPa,Cylinder,1;114,kN,,,0,mm,,,600,mm,,", "Pexp: '1;114' is not a number"},
    };
    std::string rows = kCcftHeader;
    for (const Bad& b : bad) rows += std::string(b.row) + "\n";
    dir.file("bad.csv", rows);
    std::vector<DataFile> files;
    const std::vector<Specimen> all = LoadSpecimens(dir.path.string(), &files);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].Name, "bad.csv");
    EXPECT_TRUE(files[0].Read);
    EXPECT_EQ(files[0].Rows, 9);
    EXPECT_TRUE(files[1].Read);  // another file of the format, whatever its name
    EXPECT_EQ(files[2].Name, "notes.csv");
    EXPECT_FALSE(files[2].Read);
    EXPECT_EQ(files[2].Note, "not of the database's format (no column \"Author\")");
    ASSERT_EQ(all.size(), 10u);
    for (size_t k = 0; k < std::size(bad); ++k) {
        EXPECT_EQ(all[k].Line, static_cast<int>(k + 2));
        EXPECT_EQ(all[k].Refused.rfind(bad[k].says, 0), 0u) << all[k].Refused;
        EXPECT_EQ(all[k].OutOfScope, "refused");
    }
    EXPECT_EQ(all[9].Refused, "");
    EXPECT_EQ(all[9].OutOfScope, "");
    // Refused rows are counted, never predicted.
    const std::vector<Prediction> pred = PredictAll(all, {});
    const RowCounts c = CountRows(all, pred);
    EXPECT_EQ(c.Read, 10);
    EXPECT_EQ(c.Refused, 9);
    EXPECT_EQ(c.Predicted, 1);
    for (size_t k = 0; k < 9; ++k) EXPECT_FALSE(pred[k].Ok);

    // What stops the run.
    struct Stop {
        std::string name, text, says;
    };
    const Stop stops[] = {
        {"twice.csv", "Author,Year,Author\n", "twice.csv line 1: the column \"Author\" appears twice"},
        {"zero.csv", "", "It is not a file"},
    };
    for (const Stop& st : stops) {
        TempDir d;
        if (st.name == "zero.csv") ASSERT_EQ(::symlink("/dev/zero", (d.path / st.name).c_str()), 0);
        else d.file(st.name, st.text);
        try {
            LoadSpecimens(d.path.string());
            ADD_FAILURE() << st.name;
        } catch (const AppError& e) {
            EXPECT_NE(e.message().find(st.says), std::string::npos) << e.message();
        }
    }
    EXPECT_THROW(LoadSpecimens((dir.path / "none").string()), AppError);
}

// The program: a folder it cannot predict from exits 1 and says so; the
// refused rows are named; --csv writes every specimen.
TEST(Validation, ProgramCountsAndPerSpecimenTable) {
    TempDir dir;
    const std::string d = dir.path.string();
    dir.file("t.csv", std::string(kCcftHeader) + "A,1,S,200,mm,5,mm,300,MPa,,,40,MPa,Cylinder,-5,kN,,,0,mm,,,600,mm,,\n");
    int status = -1;
    const std::string out = run(kBin + "/pillarix-validate --threads 1 --data " + d + " 2>&1", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("t.csv line 2: refused: Pexp is -5.000 kN"), std::string::npos) << out;
    EXPECT_NE(out.find("1 rows read: 1 refused, 0 out of scope, 0 predicted"), std::string::npos) << out;
    EXPECT_NE(out.find("nothing could be predicted"), std::string::npos) << out;
    run(kBin + "/pillarix-validate --threads 1 --data " + d + "/empty 2>&1", &status);
    EXPECT_EQ(status, 2);  // no such folder
    // Past a file-size limit (bash counts 1024-byte blocks) the help is cut:
    // a failed write, reported, not a death by signal.
    EXPECT_NE(run("bash -c 'ulimit -f 1; " + kBin + "/pillarix-validate --help > " + d + "/help.txt' 2>&1", &status)
                  .find("Cannot write to standard output. File too large."),
              std::string::npos);
    EXPECT_EQ(status, 2);

    dir.file("t.csv", std::string(kCcftHeader) + kCcftRow + "A,1,S2,8,in,0.2,in,50,ksi,,,4,ksi,Cylinder,500,kips,,,0,in,,,100,in,,\n");
    const std::string csv = d + "/specimens.csv";
    run(kBin + "/pillarix-validate --threads 1 --data " + d + " --csv " + csv + " 2>&1", &status);
    EXPECT_EQ(status, 0);
    std::ifstream in(csv);
    std::string header, first, second;
    std::getline(in, header);
    std::getline(in, first);
    std::getline(in, second);
    // As read, in mm and N/mm2; the prediction is the squash load of the
    // sectors' areas by 3.14 (the mesher's rule).
    const double P = (3.14 * (100 * 100 - 95 * 95) * 300 + 3.14 * 95 * 95 * 40) / 1000;
    EXPECT_EQ(first, "t.csv,2,A,2000,S1,CCFT,stub columns,,200.0000,200.0000,5.0000,,,,,,,300.0000,,40.0000,Cylinder,"
                     "40.0000,600.0000,0.0000,2000.0000," + FormatFixed(P, 4) + "," + FormatFixed(2000 / P, 4) + "," +
                     FormatFixed(200.0 / 5 / (0.15 * 215000 / 300), 4) + ",predicted\r");
    EXPECT_EQ(second.substr(0, 31), "t.csv,3,A,1,S2,CCFT,stub column");
    EXPECT_NE(second.find(",203.2000,203.2000,5.0800,"), std::string::npos) << second;
    EXPECT_NE(second.find(",out of scope: slender\r"), std::string::npos) << second;
}

// A beam's wall against the compactness limits in flexure.
TEST(Validation, FlexuralWallSlenderness) {
    Specimen s;
    s.Fam = Family::CCFT;
    s.B = s.H = 400;
    s.t = 4;
    s.Fy = 300;
    EXPECT_NEAR(FlexuralWallSlenderness(s, 200000), 100 / 60.0, 1e-12);  // 0.09 x 200000 / 300 = 60
    s.Fam = Family::RCFT;
    s.B = 300;  // flange about x: (300 - 12) / 4 = 72 over 2.26 x 25.82
    s.H = 500;  // web: (500 - 12) / 4 = 122 over 3.00 x 25.82
    const double root = std::sqrt(200000 / 300.0);
    EXPECT_NEAR(FlexuralWallSlenderness(s, 200000), 122 / (3 * root), 1e-12);
    s.Strong = false;  // about y the 500 wall is the flange
    EXPECT_NEAR(FlexuralWallSlenderness(s, 200000), 122 / (2.26 * root), 1e-12);
    s.Fam = Family::SRC;
    EXPECT_EQ(FlexuralWallSlenderness(s, 200000), 0);
}

// The strengths compared, from first principles.
TEST(Validation, PredictedStrengths) {
    // A linear interaction M = 100 (1 - P / 1000) on 10 divisions from -500:
    // M = P e / 1000 at P = 100 / (e / 1000 + 0.1).
    std::vector<double> P, M;
    for (int i = 0; i <= 10; ++i) {
        P.push_back(-500 + 150.0 * i);
        M.push_back(-100 * (1 - P.back() / 1000));  // the sign does not matter
    }
    double Pe = 0;
    for (double e : {1.0, 50.0, 400.0, 5000.0}) {
        ASSERT_TRUE(CurveMeetsEccentricity(P, M, 10, e, Pe)) << e;
        EXPECT_NEAR(Pe, 100 / (e / 1000 + 0.1), 1e-9) << e;
    }
    // A curve whose compression side never reaches the line.
    std::vector<double> flat(11, 0.0);
    EXPECT_FALSE(CurveMeetsEccentricity(P, flat, 10, 50, Pe));

    // A filled tube's squash load: the sectors' areas by 3.14 (the mesher's
    // rule) times the strengths; the beam and beam-column below it.
    Specimen s;
    s.Fam = Family::CCFT;
    s.B = s.H = 200;
    s.t = 5;
    s.Fy = 300;
    s.Fc = 40;
    s.Test = 2000;
    const double As = 3.14 * 100 * 100 - 3.14 * 95 * 95, Ac = 3.14 * 95 * 95;
    const Prediction stub = Predict(s, {});
    ASSERT_TRUE(stub.Ok) << stub.Error;
    EXPECT_NEAR(stub.Value, (As * 300 + Ac * 40) / 1000, 1e-6);
    EXPECT_NEAR(stub.Ratio, 2000 / stub.Value, 1e-12);
    s.K = Kind::BeamColumn;
    s.E = 20;
    const Prediction bc = Predict(s, {});
    ASSERT_TRUE(bc.Ok) << bc.Error;
    EXPECT_LT(bc.Value, stub.Value);
    EXPECT_GT(bc.Value, 0.5 * stub.Value);
    s.K = Kind::Beam;
    const Prediction beam = Predict(s, {});
    ASSERT_TRUE(beam.Ok) << beam.Error;
    // Between the steel tube's plastic moment and that plus the concrete's.
    const double Mp = 300 * (200.0 * 200 * 200 - 190.0 * 190 * 190) / 6 / 1e6;
    EXPECT_GT(beam.Value, Mp);
    EXPECT_LT(beam.Value, 1.4 * Mp);
    // A rectangular tube: weak axis bending about y is less than strong.
    Specimen r = s;
    r.Fam = Family::RCFT;
    r.B = 100;
    r.H = 200;
    const double strong = Predict(r, {}).Value;
    r.Strong = false;
    EXPECT_LT(Predict(r, {}).Value, 0.7 * strong);
    // A section the program refuses is reported, not predicted.
    r.t = 60;
    const Prediction bad = Predict(r, {});
    EXPECT_FALSE(bad.Ok);
    EXPECT_FALSE(bad.Error.empty());
}

TEST(Validation, StatisticsAndTheGuard) {
    const Stats s = ComputeStats({1.2, 0.8, 1.0, 1.0, 0.89999});
    EXPECT_EQ(s.Count, 5);
    EXPECT_NEAR(s.Mean, 0.979998, 1e-12);
    EXPECT_NEAR(s.Cov, std::sqrt((0.0484 + 0.0324 + 0.0004 + 0.0004 + 0.0064) / 4) / 0.98, 1e-4);
    EXPECT_NEAR(s.Fractile5, 0.8 + 0.2 * 0.09999, 1e-12);  // (n - 1) x 0.05 = 0.2
    EXPECT_EQ(s.Min, 0.8);
    EXPECT_EQ(s.Below09, 2);
    EXPECT_EQ(ComputeStats({0.9}).Below09, 0);
    EXPECT_EQ(ComputeStats({}).Count, 0);

    const std::string text =
        "# r\n\n## Summary\n\n| Family | Members | Count | Mean | COV | 5 % fractile | Min | Below 0.9 |\n"
        "|---|---|---:|---:|---:|---:|---:|---:|\n"
        "| CCFT | stub columns | 3 | 1.270 | 0.158 | 0.989 | 0.814 | 5 |\n"
        "| RCFT | beams | 3 | 1.194 | 0.145 | 0.925 | 0.750 | 6 |\n\n## Rows\n\n| Rows | Count |\n|---|---:|\n"
        "| read | 12 |\n\n## The ten lowest ratios\n\n| 0.692 | a | b | c | d | 1 | 2 | 3 |\n";
    const std::vector<SummaryRow> rows = ReadSummary(text);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Key, "Summary / CCFT stub columns");
    EXPECT_EQ(rows[2].Key, "Rows / read");
    EXPECT_EQ(rows[2].Count, 12);
    EXPECT_TRUE(CompareWithReport(rows, rows, 0.02).empty());
    // One value of the first row changed at a time.
    struct Case {
        void (*change)(SummaryRow&);
        const char* says;
    };
    const Case cases[] = {
        {[](SummaryRow& r) { r.Mean += 0.019; }, nullptr},
        {[](SummaryRow& r) { r.Mean -= 0.021; }, "Summary / CCFT stub columns: mean 1.249, the report has 1.270"},
        {[](SummaryRow& r) { r.Mean = std::nan(""); }, "Summary / CCFT stub columns: mean "},
        {[](SummaryRow& r) { r.Fractile5 += 0.03; }, "Summary / CCFT stub columns: 5 % fractile"},
        {[](SummaryRow& r) { r.Cov = std::nan(""); }, "Summary / CCFT stub columns: COV"},
        {[](SummaryRow& r) { r.Min -= 0.05; }, "Summary / CCFT stub columns: min"},
        {[](SummaryRow& r) { r.Count -= 1; }, "Summary / CCFT stub columns: count 2, the report has 3"},
        {[](SummaryRow& r) { r.Below09 += 1; }, "Summary / CCFT stub columns: below 0.9 6, the report has 5"},
        {[](SummaryRow& r) { r.Key = "Summary / SRC beams"; }, "Summary / SRC beams: not in the committed report"},
    };
    for (const Case& c : cases) {
        std::vector<SummaryRow> run = rows;
        c.change(run[0]);
        const std::vector<std::string> diffs = CompareWithReport(rows, run, 0.02);
        if (!c.says) {
            EXPECT_TRUE(diffs.empty());
            continue;
        }
        ASSERT_FALSE(diffs.empty()) << c.says;
        EXPECT_EQ(diffs[0].rfind(c.says, 0), 0u) << diffs[0];
    }
    // A count row lost: the specimens dropped by a misread file.
    std::vector<SummaryRow> fewer = rows;
    fewer[2].Count = 11;
    EXPECT_EQ(CompareWithReport(rows, fewer, 0.02), std::vector<std::string>{"Rows / read: count 11, the report has 12"});
    fewer.pop_back();
    EXPECT_EQ(CompareWithReport(rows, fewer, 0.02), std::vector<std::string>{"Rows / read: not in this run"});
    // A committed value that is not a number never matches.
    std::vector<SummaryRow> nan = rows;
    nan[1].Mean = std::nan("");
    EXPECT_EQ(CompareWithReport(nan, rows, 0.02).size(), 1u);
}

// The plots: a marker per kind, counts in the legend, labelled lines, the fc
// plot on compact walls as its table, room for the last tick label.
TEST(Validation, ReportPlots) {
    std::vector<Specimen> all(3);
    std::vector<Prediction> pred(3);
    const Kind kinds[] = {Kind::Stub, Kind::Beam, Kind::BeamColumn};
    const Family fams[] = {Family::CCFT, Family::RCFT, Family::CCFT};
    const double test[] = {1000, 50, 500}, value[] = {900, 40, 600}, slender[] = {0.5, 0.8, 1.5};
    for (size_t i = 0; i < 3; ++i) {
        all[i].Fam = fams[i];
        all[i].K = kinds[i];
        all[i].Fc = 30;
        all[i].Fy = 300;
        all[i].Test = test[i];
        pred[i].Ok = true;
        pred[i].Value = value[i];
        pred[i].Ratio = test[i] / value[i];
        pred[i].Slenderness = slender[i];
    }
    std::map<std::string, std::string> files = BuildReport(all, pred, {}, {});
    for (const char* name : {"report.md", "scatter_axial.svg", "ratio_axial.svg", "scatter_beams.svg", "ratio_beams.svg",
                             "ratio_slenderness.svg", "ratio_fc.svg"})
        EXPECT_EQ(files.count(name), 1u) << name;
    auto has = [&](const char* file, const std::string& text) {
        return files[file].find(text) != std::string::npos;
    };
    // The beam-column's walls are beyond the limit: not in the fc plot.
    EXPECT_TRUE(has("ratio_fc.svg", "CCFT (1)"));
    EXPECT_TRUE(has("ratio_fc.svg", "RCFT (1)"));
    EXPECT_TRUE(has("ratio_slenderness.svg", "CCFT (2)"));
    EXPECT_TRUE(has("scatter_axial.svg", "stub columns (1)"));
    EXPECT_TRUE(has("scatter_axial.svg", "short beam-columns (1)"));
    EXPECT_TRUE(has("scatter_axial.svg", "<polygon"));                  // a triangle: beam-column
    EXPECT_TRUE(has("scatter_beams.svg", "width=\"5.0\" height=\"5.0\""));  // a square: beam
    EXPECT_FALSE(has("scatter_beams.svg", "<circle cx=\"1"));
    EXPECT_TRUE(has("scatter_axial.svg", ">test = predicted<"));
    EXPECT_TRUE(has("scatter_axial.svg", ">test = 0.9 x predicted<"));
    EXPECT_TRUE(has("ratio_axial.svg", ">+10 %<"));
    EXPECT_TRUE(has("ratio_axial.svg", ">-10 %<"));
    // The frame's right edge leaves half of a six-digit tick label (about
    // 21 pixels at 12 px) inside the 640-pixel picture.
    const std::string& svg = files["scatter_axial.svg"];
    const size_t frame = svg.find("fill=\"none\" stroke=\"black\"/>");
    const size_t rect = svg.rfind("<rect x=\"", frame);
    double x = 0, w = 0;
    ASSERT_EQ(std::sscanf(svg.c_str() + rect, "<rect x=\"%lf\" y=\"%*[0-9.]\" width=\"%lf\"", &x, &w), 2);
    EXPECT_LE(x + w + 21, 640);
    EXPECT_TRUE(has("report.md", "| predicted | 3 |"));
}
