#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "input/error.h"
#include "output/curve_text.h"

using namespace px;

namespace {

std::string readBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A P-M curve shaped like the default column's: 10 divisions, pure tension
// -16190.625 kN with no moment at level 0 in both directions.
PMCurve defaultShape() {
    PMCurve c;
    c.Divisions = 10;
    for (int i = 0; i <= 10; ++i) {
        const double p = -16190.625 + i * 10000.0;
        const double m = i == 0 || i == 10 ? 0.0 : 1000.0 * i + 0.125;
        c.PX.push_back(p);
        c.MX.push_back(m);
        c.PY.push_back(p);
        c.MY.push_back(m);
    }
    return c;
}

}  // namespace

TEST(PMText, HeaderRowsAndRule) {
    const auto lines = FillPMText(defaultShape());
    ASSERT_EQ(lines.size(), 18u);
    const std::string rule(60, '=');
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "PMM_Curve_Data ");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], rule);
    EXPECT_EQ(lines[4], "Axial_P        Moment_Mx      Axial_P        Moment_My      ");
    EXPECT_EQ(lines[5], rule);
    const std::string cells = "-16190.63" + std::string(6, ' ') + "0.00" + std::string(11, ' ');
    EXPECT_EQ(lines[6], cells + cells);
    EXPECT_EQ(lines[6].size(), 60u);
    EXPECT_EQ(lines[7], "-6190.63       1000.13        -6190.63       1000.13        ");
    EXPECT_EQ(lines[16], "83809.38       0.00           83809.38       0.00           ");
    EXPECT_EQ(lines[17], rule);
}

TEST(PMText, LongValueFillsItsCellWithoutSpace) {
    PMCurve c;
    c.Divisions = 0;
    c.PX = {123456789012.0};
    c.MX = {-1234567890123.0};
    c.PY = {1.0};
    c.MY = {-0.001};
    const auto lines = FillPMText(c);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[6], "123456789012.00-1234567890123.001.00           -0.00          ");
}

TEST(PMText, BothHalvesTraceTheClosedCurveWithNegativeMomentsSigned) {
    PMCurve c = defaultShape();
    for (int i = 0; i <= 10; ++i) {
        c.PXNeg.push_back(c.PX[i] + 0.5);
        c.MXNeg.push_back(-c.MX[i] / 2);
        c.PYNeg.push_back(c.PY[i]);
        c.MYNeg.push_back(-c.MY[i]);
    }
    c.Mx0 = -12.345;
    c.My0 = 6.7;
    c.Mx1 = 12.345;
    const auto lines = FillPMText(c);
    ASSERT_EQ(lines.size(), 21u + 11u);
    // Under the title: what the curves are and the pure-axial points.
    EXPECT_EQ(lines[1], "PMM_Curve_Data ");
    EXPECT_EQ(lines[2], "Uniaxial: Mx with My = 0, My with Mx = 0");
    EXPECT_EQ(lines[3], "Pure_Compression  Axial_P = 83809.38  Moment_Mx = 12.35  Moment_My = 6.70");
    EXPECT_EQ(lines[4], "Pure_Tension  Axial_P = -16190.63  Moment_Mx = -12.35  Moment_My = 0.00");
    EXPECT_EQ(lines[19], "83809.38       0.00           83809.38       0.00           ");  // the positive half's end
    EXPECT_EQ(lines[20], "83809.88       0.00           83809.38       0.00           ");  // PMax, back down
    EXPECT_EQ(lines[21], "73809.88       -4500.06       73809.38       -9000.13       ");
    EXPECT_EQ(lines[30], "-16190.13      0.00           -16190.63      0.00           ");  // PMin closes it
    EXPECT_EQ(lines[31], std::string(60, '='));
    // A shorter other half stops its rows where it ends.
    c.MYNeg.resize(2);
    EXPECT_EQ(FillPMText(c).size(), 21u + 2u);
}

TEST(PMText, BeforeAnyCurveAndShortArrays) {
    auto lines = FillPMText(PMCurve{});
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[6], std::string(60, '='));

    // Divisions larger than the arrays: rows stop where the shortest ends.
    PMCurve c = defaultShape();
    c.MY.resize(3);
    lines = FillPMText(c);
    EXPECT_EQ(lines.size(), 7u + 3u);
    c.Divisions = -5;
    EXPECT_EQ(FillPMText(c).size(), 7u);
}

TEST(MMText, ThirtySixPoints) {
    MMCurve c;
    for (int i = 0; i <= 36; ++i) {
        c.Mx.push_back(i == 0 ? 777.777 : 100.0 * i + 0.005);
        c.My.push_back(i == 0 ? -777.777 : -2.5 * i);
    }
    const auto lines = FillMMText(36, 12345.675, c);
    ASSERT_EQ(lines.size(), 45u);
    const std::string rule(30, '=');
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "Mx-My_Curve_Data");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "Axial_Force_P = 12345.67");  // 12345.675 is stored just below the tie
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], rule);
    EXPECT_EQ(lines[6], "Moment_Mx      Moment_My      ");
    EXPECT_EQ(lines[7], rule);
    // Entry 0 is not written: the rows start at point 1.
    EXPECT_EQ(lines[8], "100.00         -2.50          ");  // 100.005 is stored below the tie
    EXPECT_EQ(lines[43], "3600.01        -90.00         ");  // 3600.005 above it
    EXPECT_EQ(lines[44], rule);
    for (const auto& l : lines) EXPECT_EQ(l.find("777.78"), std::string::npos);
}

TEST(MMText, BeforeAnyCurveAndShortArrays) {
    auto lines = FillMMText(0, 0.0, MMCurve{});
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[3], "Axial_Force_P = 0.00");
    EXPECT_EQ(lines[8], std::string(30, '='));

    MMCurve c;
    c.Mx = {0, 1, 2, 3};
    c.My = {0, 1};
    lines = FillMMText(36, -1.0, c);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[3], "Axial_Force_P = -1.00");
    EXPECT_EQ(FillMMText(36, 0, MMCurve{}).size(), 9u);
}

TEST(SaveTextLines, CrLfAfterEveryLineNoBomReplacingTheFile) {
    const auto path = std::filesystem::temp_directory_path() / "px_save_text.txt";
    {
        std::ofstream old(path, std::ios::binary);
        old << std::string(5000, 'x');
    }
    SaveTextLines(path.string(), {"", "PMM_Curve_Data ", "1.00"});
    EXPECT_EQ(readBytes(path), "\r\nPMM_Curve_Data \r\n1.00\r\n");

    SaveTextLines(path.string(), {});
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    std::filesystem::remove(path);
}

TEST(SaveTextLines, FailureNamesTheFile) {
    const std::string path = (std::filesystem::temp_directory_path() / "px_no_such_dir" / "r.txt").string();
    try {
        SaveTextLines(path, {"a"});
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + path + "\". No such file or directory");
    }
}
