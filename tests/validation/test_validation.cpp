// The validation against column tests: unit conversions, the cube rule, the
// specimens read from the files, the strengths compared, the statistics and
// the guard against the committed report.
#include <gtest/gtest.h>

#include <cmath>

#include "input/error.h"
#include "validation/report.h"
#include "validation/experiments.h"
#include "validation/validate.h"

using namespace px;
using namespace px::validation;

namespace {

const std::string kData = std::string(PILLARIX_SOURCE_DIR) + "/validation/data";

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
    for (const char* bad : {"", "1,11", "1,1140", "12x", "nan", "#"}) EXPECT_THROW(ParseValue(bad), AppError) << bad;

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
    // US bar sizes with no unit, clear cover to the bars.
    const Specimen& c = find(all, "SRC_C+PBC.csv", 116);
    EXPECT_NEAR(c.BarDia, 0.875 * 25.4, 1e-9);
    EXPECT_NEAR(c.Cover, (1 + 0.4375) * 25.4, 1e-9);
    EXPECT_NEAR(c.L, 15 * 304.8, 1e-9);
    EXPECT_FALSE(c.Strong);
    // Beams: cube strength and moments in kN-m; kip-in.
    const Specimen& d = find(all, "RCFT_Beams.csv", 82);
    EXPECT_EQ(d.K, Kind::Beam);
    EXPECT_NEAR(d.Fc, 0.8 * 30.1, 0.8 * 0.05 + 1e-9);
    int kipIn = 0, ratioLengths = 0, slender = 0, eccentric = 0;
    for (const Specimen& s : all) {
        kipIn += s.File == "CCFT_Beams.csv" && s.Test > 0 && s.Fam == Family::CCFT && s.K == Kind::Beam;
        slender += s.OutOfScope == "slender";
        eccentric += s.K == Kind::BeamColumn && s.OutOfScope.empty();
        ratioLengths += s.OutOfScope.empty() && s.L > 0 && s.L <= kShortLength * s.Depth();
    }
    EXPECT_EQ(kipIn, 57);
    EXPECT_GT(slender, 1000);
    EXPECT_GT(eccentric, 90);
    // Every in-scope column is short.
    int columns = 0;
    for (const Specimen& s : all) columns += s.OutOfScope.empty() && s.K != Kind::Beam;
    EXPECT_EQ(ratioLengths, columns);
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
        "| RCFT | beams | 3 | 1.194 | 0.145 | 0.925 | 0.750 | 6 |\n\n## Wall slenderness\n\n"
        "| RCFT | stub columns | 3 | 9.000 | 0.158 | 9.000 | 0.814 | 5 |\n";
    const std::vector<SummaryRow> rows = ReadSummary(text);
    ASSERT_EQ(rows.size(), 2u);
    auto group = [](Family f, Kind k, double mean, double fr) {
        GroupStats g{f, k, {}};
        g.S.Mean = mean;
        g.S.Fractile5 = fr;
        return g;
    };
    struct Case {
        double ccftMean, ccftFractile;
        size_t diffs;
    };
    const Case cases[] = {{1.270, 0.989, 0}, {1.289, 0.970, 0}, {1.291, 0.989, 1}, {1.270, 0.968, 1}, {1.2, 1.1, 2}};
    for (const Case& c : cases) {
        const std::vector<GroupStats> run = {group(Family::CCFT, Kind::Stub, c.ccftMean, c.ccftFractile),
                                             group(Family::RCFT, Kind::Beam, 1.194, 0.925)};
        EXPECT_EQ(CompareWithReport(rows, run, 0.02).size(), c.diffs) << c.ccftMean << " " << c.ccftFractile;
    }
    // A group in only one of the two.
    EXPECT_EQ(CompareWithReport(rows, {group(Family::RCFT, Kind::Beam, 1.194, 0.925)}, 0.02),
              std::vector<std::string>{"CCFT stub columns: not in this run"});
    EXPECT_EQ(CompareWithReport({}, {group(Family::SRC, Kind::Stub, 1, 1)}, 0.02),
              std::vector<std::string>{"SRC stub columns: not in the committed report"});
}
