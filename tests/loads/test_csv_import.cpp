#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <vector>

#include "input/error.h"
#include "input/fields.h"
#include "loads/csv_import.h"
#include "support/force_file.h"

using namespace px;

namespace {

std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const AppError& e) {
        return e.what();
    }
    return "(no error)";
}

// Header plus three combinations; fields 5, 10, 9 are P, Mx, My.
const char* kThree =
    "Story,Col,Load,Loc,P,V2,V3,T,M2,M3,Extra\n"
    "S1,C1,DL,0,-1500,1,2,3,40,-300,x\n"
    "S1,C1,LL,0,200.5,1,2,3,-41,250\n"
    "S1,C1,EQ,0, 12.5 ,1,2,3,1e2,0\n";

}  // namespace

TEST(SplitCsvLine, FieldsBetweenCommasTrimmedOfControlCharacters) {
    CsvFields f = SplitCsvLine(",5,6");
    EXPECT_EQ(f.FieldCount, 3);
    EXPECT_EQ(f[1], "");
    EXPECT_EQ(f[2], "5");
    EXPECT_EQ(f[3], "6");
    EXPECT_EQ(f[4], "");  // past the last field
    EXPECT_EQ(f[0], "");

    f = SplitCsvLine("");
    EXPECT_EQ(f.FieldCount, 1);
    EXPECT_EQ(f[1], "");

    f = SplitCsvLine("\t 12.5 \x01,a,,b ");
    EXPECT_EQ(f.FieldCount, 4);
    EXPECT_EQ(f[1], "12.5");
    EXPECT_EQ(f[3], "");
    EXPECT_EQ(f[4], "b");

    // No quoting: the comma inside quotation marks still separates.
    f = SplitCsvLine("a,\"1,5\",b");
    EXPECT_EQ(f.FieldCount, 4);
    EXPECT_EQ(f[2], "\"1");
    EXPECT_EQ(f[3], "5\"");
}

TEST(SplitCsvLine, KeepsFortyFieldsAndCountsTheRest) {
    std::string line;
    for (int i = 1; i <= 45; ++i) {
        if (i > 1) line += ',';
        line += std::to_string(i);
    }
    CsvFields f = SplitCsvLine(line);
    EXPECT_EQ(f.FieldCount, 45);
    EXPECT_EQ(f[40], "40");
    EXPECT_EQ(f[41], "");
}

TEST(SplitTextLines, CrLfLfAndCrEndings) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(SplitTextLines("a\r\nb\r\n"), (V{"a", "b"}));
    EXPECT_EQ(SplitTextLines("a\nb"), (V{"a", "b"}));
    EXPECT_EQ(SplitTextLines("a\rb\r"), (V{"a", "b"}));
    EXPECT_EQ(SplitTextLines("a\n\rb"), (V{"a", "", "b"}));
    EXPECT_EQ(SplitTextLines("a\r\n\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(SplitTextLines("\n"), (V{""}));
    EXPECT_TRUE(SplitTextLines("").empty());
    EXPECT_EQ(SplitTextLines("\xEF\xBB\xBFh,1\n2"), (V{"h,1", "2"}));
}

TEST(ImportForces, HeaderAndThreeLines) {
    ForceImport r = ImportForcesFromText(kThree, 5, 10, 9);
    ASSERT_EQ(r.Table.Count, 3);
    ASSERT_EQ(r.Table.Items.size(), 4u);
    EXPECT_EQ(r.CountLine, "Number of Import Force Load Comb = 3");
    EXPECT_EQ(r.Table.Items[0].P, 0);
    // -1500 in the file is 1500 of compression; moments keep their signs.
    EXPECT_EQ(r.Table.Items[1].P, 1500);
    EXPECT_EQ(r.Table.Items[1].Mx, -300);
    EXPECT_EQ(r.Table.Items[1].My, 40);
    EXPECT_EQ(r.Table.Items[2].P, -200.5);
    EXPECT_EQ(r.Table.Items[2].My, -41);
    EXPECT_EQ(r.Table.Items[3].P, -12.5);  // blanks around 12.5
    EXPECT_EQ(r.Table.Items[3].My, 100);

    // The grid holds every line and every field, at least ten of each.
    ASSERT_EQ(r.GridRows.size(), 4u);
    EXPECT_EQ(r.GridRows[0][0], "Story");
    EXPECT_EQ(r.GridRows[0][9], "M3");
    ASSERT_EQ(r.GridRows[0].size(), 11u);
    EXPECT_EQ(r.GridRows[0][10], "Extra");
    EXPECT_EQ(r.GridRows[3].size(), 10u);
    EXPECT_EQ(ImportForcesFromText("P,Mx,My\n1,2,3", 1, 2, 3).GridRows[1].size(), 10u);  // padded
    EXPECT_EQ(r.GridRows[3][4], "12.5");
}

TEST(ImportForces, SameTableWhateverTheLineEndings) {
    const std::string lf = kThree;
    std::string crlf, cr;
    for (char c : lf) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        cr += c == '\n' ? '\r' : c;
    }
    for (const std::string& text : {crlf, cr}) {
        ForceImport r = ImportForcesFromText(text, 5, 10, 9);
        ASSERT_EQ(r.Table.Count, 3);
        EXPECT_EQ(r.Table.Items[1].P, 1500);
        EXPECT_EQ(r.Table.Items[3].Mx, 0);
        EXPECT_EQ(r.GridRows[1][9], "-300");
    }
}

TEST(ImportForces, HeaderOnlyAndEmptyFile) {
    for (const char* text : {"P,Mx,My\r\n", "P,Mx,My", ""}) {
        ForceImport r = ImportForcesFromText(text, 1, 2, 3);
        EXPECT_EQ(r.Table.Count, 0);
        EXPECT_EQ(r.Table.Items.size(), 1u);
        EXPECT_EQ(r.CountLine, "Number of Import Force Load Comb = 0");
    }
    EXPECT_EQ(ImportForcesFromText("P,Mx,My", 1, 2, 3).GridRows.size(), 1u);
    EXPECT_TRUE(ImportForcesFromText("", 1, 2, 3).GridRows.empty());
}

// A text imported with the fields P, Mx, My, and the message it gives.
struct Refused {
    std::string text;
    int colP, colMx, colMy;
    const char* message;
};

void expectRefused(const std::vector<Refused>& cases) {
    for (const Refused& c : cases)
        EXPECT_EQ(errorOf([&] { ImportForcesFromText(c.text, c.colP, c.colMx, c.colMy); }), c.message) << c.text;
}

TEST(ImportForces, BadFieldNamesLineAndField) {
    expectRefused({
        // Line 3 is the second data line; its field 5 is text.
        {"h\n1,2,3,4,5,6,7,8,9,10\n1,2,3,4,abc,6,7,8,9,10\n", 5, 10, 9,
         "'abc' is not a valid floating point value (line 3, field 5)"},
        // The moment of the first line converts P first: Mx of field 10 fails.
        {"h\n1,2,3,4,5,6,7,8,9,x\n", 5, 10, 9, "'x' is not a valid floating point value (line 2, field 10)"},
        // A quoted "1,5" splits into two fields that neither convert.
        {"h\n\"1,5\",2,3\n", 1, 2, 3, "'\"1' is not a valid floating point value (line 2, field 1)"},
        {"h\n0,\"1,5\",3\n", 2, 1, 4, "'\"1' is not a valid floating point value (line 2, field 2)"},
        // A blank line, and a line too short for the chosen field.
        {"h\n1,2,3\n\n", 1, 2, 3, "'' is not a valid floating point value (line 3, field 1)"},
        {"h\n1,2\n", 1, 2, 3, "'' is not a valid floating point value (line 2, field 3)"},
    });
}

TEST(ImportForces, RefusesMoreThanFortyFieldsAndBadFieldNumbers) {
    std::string forty, fortyOne;
    for (int i = 1; i <= 40; ++i) forty += (i > 1 ? ",1" : "1");
    fortyOne = forty + ",1";
    EXPECT_EQ(ImportForcesFromText("h\n" + forty, 40, 1, 2).Table.Items[1].P, -1);
    expectRefused({
        {"h\n" + forty + "\n" + fortyOne + "\n", 1, 2, 3, "Line 3 holds 41 fields: a line may hold at most 40 fields"},
        // The header counts as well.
        {fortyOne, 1, 2, 3, "Line 1 holds 41 fields: a line may hold at most 40 fields"},
        {"h\n1,2,3", 0, 2, 3, "The field number of the axial force is 0: a field number must lie between 1 and 40"},
        {"h\n1,2,3", 1, 41, 3, "The field number of Mx is 41: a field number must lie between 1 and 40"},
    });
}

TEST(ImportForces, FromFileAndUnreadableFile) {
    const auto path = std::filesystem::temp_directory_path() / "px_import_test.csv";
    {
        std::ofstream out(path, std::ios::binary);
        out << kThree;
    }
    ForceImport r = ImportForcesFromFile(path.string(), 5, 10, 9);
    EXPECT_EQ(r.Table.Count, 3);
    std::filesystem::remove(path);
    EXPECT_EQ(errorOf([&] { ImportForcesFromFile(path.string(), 5, 10, 9); }),
              "Cannot open file \"" + path.string() + "\". No such file or directory");
    const std::string dir = std::filesystem::temp_directory_path().string();
    EXPECT_EQ(errorOf([&] { ImportForcesFromFile(dir, 5, 10, 9); }).rfind("Cannot open file \"" + dir + "\".", 0), 0u);
}

// Only a file is read, up to its size limit: a FIFO or a device that might
// never end is refused before any read, and so is UTF-16 text.
TEST(ImportForces, RefusesWhatIsNotAForceFile) {
    char tmpl[] = "/tmp/px_import_XXXXXX";
    const std::filesystem::path dir = mkdtemp(tmpl);
    const std::string fifo = (dir / "fifo").string(), big = (dir / "big.csv").string(), utf16 = (dir / "u16.csv").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(utf16, std::ios::binary) << std::string("\xFF\xFEP\0,\0M\0\n\0" "1\0,\0" "2\0", 16);
    {
        std::ofstream f(big, std::ios::binary);
        f.seekp(static_cast<std::streamoff>(kForceFileMaxBytes));
        f.put('\n');  // one byte past the limit, a sparse file
    }
    const std::pair<std::string, std::string> cases[] = {
        {fifo, "It is not a file"},
        {"/dev/zero", "It is not a file"},
        {dir.string(), "Is a directory"},
        {big, "The file is 268435457 bytes; a force file holds at most 256 MB"},
        {utf16, "The file is UTF-16 text: save it as UTF-8 or Windows-1252"},
    };
    for (const auto& [path, reason] : cases)
        EXPECT_EQ(errorOf([&] { ImportForcesFromFile(path, 1, 2, 3); }), "Cannot open file \"" + path + "\". " + reason);
    std::filesystem::remove_all(dir);

    // A bad value in a message: escaped and cut.
    EXPECT_EQ(errorOf([] { ImportForcesFromText(std::string("P,M\n2\0x,1\n", 10), 1, 2, 2); }),
              "'2\\x00x' is not a valid floating point value (line 2, field 1)");
    EXPECT_EQ(errorOf([] { ImportForcesFromText("P,M\n" + std::string(100000, 'x') + ",1\n", 1, 2, 2); }),
              "'" + std::string(60, 'x') + "...' is not a valid floating point value (line 2, field 1)");
}

TEST(ImportForces, HundredThousandLines) {
    const std::string text = fixtures::ForceFile(100000);
    ForceImport r = ImportForcesFromText(text, 5, 10, 9);
    EXPECT_EQ(r.Table.Count, 100000);
    EXPECT_EQ(r.GridRows.size(), 100001u);
    EXPECT_EQ(r.Table.Items[100000].P, 1000 + 99999 % 5000 + 0.25);
}

TEST(ImportSettings, ReadInTheWindowsOrder) {
    MapFields f = DefaultFields();
    double fp = 0, fmx = 0, fmy = 0;
    int cp = 0, cmx = 0, cmy = 0;
    ReadImportSettings(f, fp, fmx, fmy, cp, cmx, cmy);
    EXPECT_EQ(fp, 1.0);
    EXPECT_EQ(fmx, 1.0);
    EXPECT_EQ(fmy, 1.0);
    EXPECT_EQ(cp, 5);
    EXPECT_EQ(cmx, 10);
    EXPECT_EQ(cmy, 9);

    // A bad text: the factors before it are stored, the rest keep their values.
    f["Edit57"] = "2";
    f["Edit58"] = "1.5x";
    f["Edit54"] = "7";
    EXPECT_EQ(errorOf([&] { ReadImportSettings(f, fp, fmx, fmy, cp, cmx, cmy); }),
              "Amplifie Factor of Moment Mx(kNm) (Import Force Data page): '1.5x' is not a valid floating point value");
    EXPECT_EQ(fp, 2.0);
    EXPECT_EQ(fmx, 1.0);
    EXPECT_EQ(cp, 5);

    // The factors come before the field numbers.
    f["Edit58"] = "3";
    f["Edit55"] = "ten";
    EXPECT_EQ(errorOf([&] { ReadImportSettings(f, fp, fmx, fmy, cp, cmx, cmy); }),
              "Table Column of Moment Mx(kNm) (Import Force Data page): 'ten' is not a valid integer value");
    EXPECT_EQ(fmx, 3.0);
    EXPECT_EQ(cp, 7);
    EXPECT_EQ(cmx, 10);
}

TEST(ImportSettings, FieldNumberOutOfRangeChangesNothing) {
    for (const char* bad : {"0", "41", "-3"}) {
        MapFields f = DefaultFields();
        f["Edit57"] = "9";
        f["Edit56"] = bad;
        double fp = 1, fmx = 1, fmy = 1;
        int cp = 5, cmx = 10, cmy = 9;
        EXPECT_EQ(errorOf([&] { ReadImportSettings(f, fp, fmx, fmy, cp, cmx, cmy); }),
                  std::string("Table Column of Moment My(kNm) (Edit56) is ") + bad +
                      ": a field number must lie between 1 and 40");
        EXPECT_EQ(fp, 1.0);
        EXPECT_EQ(cmy, 9);
    }
}

TEST(ImportSettings, InputReadsTheThreeFactorsInOrder) {
    MapFields f = DefaultFields();
    f["Edit57"] = "1.2";
    f["Edit58"] = "";
    double fp = 0, fmx = 5, fmy = 5;
    EXPECT_EQ(errorOf([&] { ReadForceFactors(f, fp, fmx, fmy); }),
              "Amplifie Factor of Moment Mx(kNm) (Import Force Data page): '' is not a valid floating point value");
    EXPECT_EQ(fp, 1.2);
    EXPECT_EQ(fmx, 5);
    f["Edit58"] = "0.8";
    f["Edit59"] = "-1";
    ReadForceFactors(f, fp, fmx, fmy);
    EXPECT_EQ(fmx, 0.8);
    EXPECT_EQ(fmy, -1);
}

TEST(ImportForces, LoadCaseAndOtherEndFields) {
    // Field 3 names the case, fields 11 and 12 hold the other end's moments;
    // an empty cell leaves that line's value out.
    const char* text =
        "Story,Col,Load,Loc,P,V2,V3,T,M2,M3,M3b,M2b\n"
        "S1,C1,DL,0,-1500,1,2,3,40,-300,150,-20\n"
        "S1,C1,,0,200.5,1,2,3,-41,250,,7.5\n"
        "S1,C1,Séisme X,0,12.5,1,2,3,1e2,0\n";
    const ForceImport r = ImportForcesFromText(text, ForceColumns{5, 10, 9, 3, 11, 12});
    ASSERT_EQ(r.Table.Count, 3);
    const LoadCombination* c = &r.Table.Items[1];
    EXPECT_EQ(c[0].Name, "DL");
    EXPECT_EQ(c[0].MxOther, 150.0);
    EXPECT_EQ(c[0].MyOther, -20.0);
    EXPECT_EQ(c[1].Name, "");
    EXPECT_FALSE(c[1].MxOther);
    EXPECT_EQ(c[1].MyOther, 7.5);
    EXPECT_EQ(c[2].Name, "Séisme X");
    EXPECT_FALSE(c[2].MxOther);
    EXPECT_FALSE(c[2].MyOther);
    EXPECT_EQ(c[2].P, -12.5);
    // The first and the fortieth field may hold them too.
    std::string forty = "ULS 9,5";
    for (int i = 3; i <= 40; ++i) forty += i == 40 ? ",-2.5" : ",0";
    const ForceImport edges = ImportForcesFromText("h\n" + forty + "\n", ForceColumns{2, 2, 2, 1, 40, 0});
    EXPECT_EQ(edges.Table.Items[1].Name, "ULS 9");
    EXPECT_EQ(edges.Table.Items[1].MxOther, -2.5);
    EXPECT_EQ(errorOf([&] { ImportForcesFromText("h\n" + forty + "\n", ForceColumns{2, 2, 2, 0, 40, 1}); }),
              "My Other End: 'ULS 9' is not a valid floating point value (line 2, field 1)");
    // Without the optional fields nothing of them is read.
    const ForceImport plain = ImportForcesFromText(text, ForceColumns{5, 10, 9});
    EXPECT_EQ(plain.Table.Items[1].Name, "");
    EXPECT_FALSE(plain.Table.Items[1].MxOther);

    // A bad number names the field, the line and the field number; a field
    // number out of range is refused before the text is read.
    const struct {
        const char* text;
        ForceColumns cols;
        const char* message;
    } bad[] = {
        {"h\n1,2,3,4,x\n", {1, 2, 3, 0, 5, 0}, "Mx Other End: 'x' is not a valid floating point value (line 2, field 5)"},
        {"h\n1,2,3,4,5\n1,2,3,4,5,1e999\n", {1, 2, 3, 0, 5, 6},
         "My Other End: '1e999' is not a valid floating point value (line 3, field 6)"},
        {"h\n1,2,3\n", {1, 2, 3, 41, 0, 0},
         "The field number of Load Case is 41: a field number must lie between 1 and 40"},
        {"h\n1,2,3\n", {1, 2, 3, 0, -1, 0},
         "The field number of Mx Other End is -1: a field number must lie between 1 and 40"},
    };
    for (const auto& b : bad) EXPECT_EQ(errorOf([&] { ImportForcesFromText(b.text, b.cols); }), b.message);
}

TEST(ImportSettings, OptionalFieldNumbersEmptyOrOneToForty) {
    MapFields f = DefaultFields();
    double fp = 0, fmx = 0, fmy = 0;
    ForceColumns cols{1, 1, 1, 7, 7, 7};
    ReadImportSettings(f, fp, fmx, fmy, cols);
    EXPECT_EQ(cols.P, 5);
    EXPECT_EQ(cols.Name, 0);  // empty by default: not given
    EXPECT_EQ(cols.MxOther, 0);
    EXPECT_EQ(cols.MyOther, 0);
    f["Edit78"] = "3";
    f["Edit79"] = " 40";
    f["Edit80"] = "1";
    ReadImportSettings(f, fp, fmx, fmy, cols);
    EXPECT_EQ(cols.Name, 3);
    EXPECT_EQ(cols.MxOther, 40);
    EXPECT_EQ(cols.MyOther, 1);

    // A bad one changes nothing, the factors and field numbers included.
    const std::pair<const char*, const char*> refused[] = {
        {"Edit80", "Table Column of My Other End (Edit80) is 41: a field number must lie between 1 and 40"},
        {"Edit78", "Table Column of Load Case (Edit78) is 0: a field number must lie between 1 and 40"},
        {"Edit79", "Table Column of Mx Other End (Edit79): '1.5' is not a valid integer value"},
    };
    const std::string texts[] = {"41", "0", "1.5"};
    for (size_t k = 0; k < std::size(refused); ++k) {
        MapFields g = f;
        g["Edit57"] = "9";
        g[refused[k].first] = texts[k];
        const ForceColumns before = cols;
        EXPECT_EQ(errorOf([&] { ReadImportSettings(g, fp, fmx, fmy, cols); }), refused[k].second);
        EXPECT_EQ(fp, 1.0);
        EXPECT_EQ(cols.Name, before.Name);
        EXPECT_EQ(cols.MyOther, before.MyOther);
    }
}
