// The project file's JSON reader and writer and the .pxc format itself,
// without a window.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>

#include "input/fields.h"
#include "project/json.h"
#include "project/project_file.h"

using namespace px;

namespace {

std::string readOneString(std::string_view text) {
    JsonReader r(text);
    std::string s = r.readString();
    r.finish();
    return s;
}

double readOneNumber(std::string_view text) {
    JsonReader r(text);
    const double v = r.readNumber();
    r.finish();
    return v;
}

// Where and why a text fails to read as one JSON value.
JsonError failure(std::string_view text, int depth = kJsonMaxDepth) {
    try {
        JsonReader r(text, depth);
        r.skipValue();
        r.finish();
    } catch (const JsonError& e) {
        return e;
    }
    ADD_FAILURE() << "no error for: " << text;
    return JsonError(0, "");
}

// n cells of a grid row: "1","2",...
std::string cells(int n) {
    std::string s;
    for (int k = 1; k <= n; ++k) s += (k > 1 ? ",\"" : "\"") + std::to_string(k) + "\"";
    return s;
}

std::string withForces(const std::string& forces) {
    return R"({"format": "pillarix-column", "version": 1, "forces": )" + forces + "}";
}

}  // namespace

TEST(Json, StringsAndEscapes) {
    EXPECT_EQ(readOneString(R"("a\"b\\c\/d\b\f\n\r\t")"), "a\"b\\c/d\b\f\n\r\t");
    EXPECT_EQ(readOneString(R"("\u0041\u00e9\u4e2d")"), "A\xC3\xA9\xE4\xB8\xAD");
    EXPECT_EQ(readOneString(R"("\ud83d\ude00")"), "\xF0\x9F\x98\x80");  // a surrogate pair
    EXPECT_EQ(readOneString("\"\xE4\xB8\xAD\xF0\x9F\x98\x80\""), "\xE4\xB8\xAD\xF0\x9F\x98\x80");
    EXPECT_EQ(readOneString(R"("\u0000")"), std::string(1, '\0'));
}

TEST(Json, NumbersReadBackBitForBit) {
    const double values[] = {0.0, -0.0, 1.0, -1500.0, 0.1, 0.1 + 0.2, 1.0 / 3.0, 2200.0000000000005,
                             std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
                             std::numeric_limits<double>::denorm_min(), -123456.78901234567};
    for (double v : values) {
        JsonWriter w;
        w.value(v);
        const double back = readOneNumber(w.text());
        EXPECT_EQ(std::bit_cast<std::uint64_t>(back), std::bit_cast<std::uint64_t>(v)) << w.text();
    }
    EXPECT_EQ(readOneNumber("1E+2"), 100.0);
    EXPECT_EQ(readOneNumber("-0.5e-1"), -0.05);
}

TEST(Json, FaultsNameTheirOffset) {
    const std::string deep = std::string(65, '[') + std::string(65, ']');
    struct Case {
        std::string text;
        std::size_t offset;
        const char* problem;
    } cases[] = {
        {"", 0, "ends too early"},
        {"{\"a\": 1", 7, "ends too early"},
        {"{\"a\" 1}", 5, "expected ':'"},
        {"{\"a\": 1,}", 8, "expected a key"},
        {"{\"a\": 1 \"b\": 2}", 8, "expected ',' or '}'"},
        {"[1, 2,]", 6, "unexpected ']'"},
        {"[1 2]", 3, "expected ',' or ']'"},
        {"{'a': 1}", 1, "expected a key"},
        {"[01]", 2, "expected ',' or ']'"},
        {"[1.]", 1, "after its point"},
        {"[1e]", 1, "exponent"},
        {"[-]", 1, "without digits"},
        {"[+1]", 1, "unexpected '+'"},
        {"[1e999]", 1, "out of range"},
        {"[NaN]", 1, "unexpected 'N'"},
        {"[tru]", 1, "unexpected 't'"},
        {"\"abc", 0, "no closing quote"},
        {"\"a\tb\"", 2, "control character"},
        {"\"\\x\"", 1, "unknown escape"},
        {"\"\\u12G4\"", 3, "four hexadecimal"},
        {"\"\\ud800\"", 1, "high surrogate without a low"},
        {"\"\\udc00\"", 1, "low surrogate without a high"},
        {"\"\xC3\x28\"", 1, "not UTF-8"},
        {"\"\xC0\xAF\"", 1, "not UTF-8"},        // overlong
        {"\"\xED\xA0\x80\"", 1, "not UTF-8"},    // an encoded surrogate
        {"\"\xF4\x90\x80\x80\"", 1, "not UTF-8"},  // past U+10FFFF
        {"{} {}", 3, "after the end"},
        {"\xEF\xBB\xBF{\"a\" 1}", 8, "expected ':'"},  // offsets count the byte order mark
        {"\xEF\xBB\xBF\xEF\xBB\xBF{}", 3, "unexpected byte 0xEF"},
        {deep, 64, "deeper than 64"},
    };
    for (const Case& c : cases) {
        const JsonError e = failure(c.text);
        EXPECT_EQ(e.offset, c.offset) << c.text;
        EXPECT_NE(e.problem.find(c.problem), std::string::npos) << c.text << " -> " << e.problem;
    }
}

TEST(Json, WriterEscapesSortsAndIndents) {
    JsonWriter w;
    w.beginObject();
    w.key("a");
    w.beginArray(true);
    w.value(1);
    w.value("x\"\n\x01\xFF");
    w.endArray();
    w.key("b");
    w.beginArray();
    w.endArray();
    w.key("c");
    w.beginObject();
    w.endObject();
    w.endObject();
    EXPECT_EQ(w.text(), "{\n  \"a\": [1, \"x\\\"\\n\\u0001\xEF\xBF\xBD\"],\n  \"b\": [],\n  \"c\": {}\n}\n");
    JsonWriter unsorted;
    unsorted.beginObject();
    unsorted.key("b");
    unsorted.value(1);
    EXPECT_THROW(unsorted.key("a"), std::logic_error);
}

TEST(ProjectFile, RoundTripKeepsEveryValue) {
    ProjectData d = DefaultProject();
    d.Fields["Edit1"] = "1500";
    d.Fields["Edit2"] = "\xE4\xB8\xAD \"quoted\" \\ tab\t";
    d.Combos["ComboBox1"] = 7;
    d.Combos["ComboBox7"] = 1;
    // Every colour apart from its default and from the others.
    for (int k = 1; k <= 5; ++k) d.Colors.c[k] = {k, 2, 250 + k};
    ProjectForces f;
    f.Grid = {{"P", "Mx", "My"}, {"-1500.5", "1", "2"}, {}};
    f.Table.Count = 2;
    f.Table.Items.push_back({1500.5, 0.1 + 0.2, -1e-300});
    f.Table.Items.push_back({-0.0, 1.0 / 3.0, 6.02e23});
    // A name and an other-end moment on one force only: the other keeps none.
    f.Table.Items[2].Name = "1.2D+L+E \xE4\xB8\xAD";
    f.Table.Items[2].MyOther = -0.1;
    f.FactorP = 1.1;
    f.ColumnMy = 40;
    f.ColumnName = 3;
    f.ColumnMyOther = 12;
    f.File = "forces.csv";
    d.Forces = f;
    d.Live = true;

    const std::string text = WriteProject(d);
    const ProjectData back = ReadProject(text);
    EXPECT_EQ(back.Fields, d.Fields);
    EXPECT_EQ(back.Combos, d.Combos);
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(back.Colors.c[k], d.Colors.c[k]) << "Shape" << k;
        EXPECT_NE(back.Colors.c[k], MaterialColors::defaults().c[k]) << "Shape" << k;
    }
    ASSERT_TRUE(back.Forces);
    EXPECT_EQ(back.Forces->Grid, f.Grid);
    ASSERT_EQ(back.Forces->Table.Count, 2);
    for (int i = 1; i <= 2; ++i) {
        const LoadCombination &a = back.Forces->Table.Items[i], &b = f.Table.Items[i];
        EXPECT_EQ(std::bit_cast<std::uint64_t>(a.P), std::bit_cast<std::uint64_t>(b.P));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(a.Mx), std::bit_cast<std::uint64_t>(b.Mx));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(a.My), std::bit_cast<std::uint64_t>(b.My));
        EXPECT_EQ(a.Name, b.Name);
        EXPECT_EQ(a.MxOther, b.MxOther);
        EXPECT_EQ(a.MyOther, b.MyOther);
    }
    EXPECT_EQ(back.Forces->ColumnName, 3);
    EXPECT_EQ(back.Forces->ColumnMxOther, 0);
    EXPECT_EQ(back.Forces->ColumnMyOther, 12);
    EXPECT_NE(text.find("\"other ends\": [\n      [null, null],\n      [null, -0.1]\n"), std::string::npos) << text;
    EXPECT_EQ(back.Forces->FactorP, 1.1);
    EXPECT_EQ(back.Forces->ColumnMy, 40);
    EXPECT_EQ(back.Forces->File, "forces.csv");
    EXPECT_TRUE(back.Live);
    EXPECT_EQ(WriteProject(back), text);  // equal data, equal text
    // The live check's box is written only while it is on.
    EXPECT_EQ(WriteProject(DefaultProject()).find("\"live\""), std::string::npos);

    // The outputs of the section information are not kept.
    EXPECT_EQ(text.find("\"Edit31\""), std::string::npos);
    EXPECT_EQ(text.find("\"Edit36\""), std::string::npos);
    EXPECT_EQ(ProjectFieldNames().size(), 74u);  // Edit1..Edit77, Edit78..80, without the six outputs
    EXPECT_NE(text.find("\"Edit80\""), std::string::npos);  // the Import page's optional field numbers
    // Forces without names or other ends write neither key.
    ProjectData plain = d;
    for (LoadCombination& c : plain.Forces->Table.Items) c.Name.clear(), c.MyOther.reset();
    const std::string plainText = WriteProject(plain);
    EXPECT_EQ(plainText.find("\"names\""), std::string::npos);
    EXPECT_EQ(plainText.find("\"other ends\""), std::string::npos);
    EXPECT_NE(text.find("\"Edit68\""), std::string::npos);  // the M-Phi page's fields
}

TEST(ProjectFile, MissingValuesKeepDefaultsAndUnknownKeysAreSkipped) {
    // A byte order mark, as Windows editors write, is no fault.
    const ProjectData d = ReadProject("\xEF\xBB\xBF" R"({"version": 1, "format": "pillarix-column", "future": {"x": [1, {"y": null}]},
        "fields": {"Edit1": "900", "Edit31": "ignored", "Edit99": 5}, "combos": {"ComboBox7": 1, "ComboBox2": 1}})");
    EXPECT_EQ(d.Fields.at("Edit1"), "900");
    EXPECT_EQ(d.Fields.at("Edit2"), DefaultFieldTexts().at("Edit2"));
    EXPECT_EQ(d.Fields.count("Edit31"), 0u);
    EXPECT_EQ(d.Combos.at("ComboBox1"), 0);
    EXPECT_EQ(d.Combos.at("ComboBox7"), 1);
    EXPECT_EQ(d.Combos.at("ComboBox2"), 1);  // "Descending model"
    EXPECT_EQ(d.Combos.at("ComboBox8"), 0);  // an older file: strain limits at the bounding rectangle
    EXPECT_EQ(d.Colors.c[1], MaterialColors::defaults().c[1]);
    EXPECT_FALSE(d.Forces);
    EXPECT_FALSE(d.Live);
}

TEST(ProjectFile, BadFilesAreRefusedWithTheReason) {
    const std::string head = R"({"format": "pillarix-column", "version": 1, )";
    struct Case {
        std::string text;
        const char* problem;
    } cases[] = {
        {"not json", "at byte offset 0: unexpected 'n'"},
        {head + R"("fields": {"Edit1": "22)", "at byte offset 64: a string has no closing quote"},
        {"[1, 2]", "must hold an object"},
        {R"({"format": "other", "version": 1})", "not a Pillarix column file"},
        {R"({"format": "pillarix-column"})", "no format version"},
        {R"({"format": "pillarix-column", "version": 2, "fields": 5})", "newer Pillarix (format version 2"},
        {R"({"format": "pillarix-column", "version": 1.5})", "whole number"},
        {R"({"format": "pillarix-column", "version": 0})", "whole number from 1"},
        {R"({"format": "pillarix-column", "version": -1})", "whole number from 1"},
        {R"({"format": "pillarix-column", "version": -2e9})", "whole number from 1"},
        {head + R"("fields": {"Edit1": 2200}})", "fields.Edit1 must be text in quotes"},
        {head + R"("fields": []})", "fields must be an object"},
        {head + R"("fields": {"Edit1": "1", "Edit1": "2"}})", "fields holds \"Edit1\" twice"},
        {head + R"("combos": {"ComboBox1": 9}})", "combos.ComboBox1 must be a whole number from 0 to 8"},
        {head + R"("combos": {"ComboBox2": 0.5}})", "combos.ComboBox2 must be a whole number from 0 to 1"},
        {head + R"("combos": {"ComboBox8": 2}})", "combos.ComboBox8 must be a whole number from 0 to 1"},
        {head + R"("colors": {"Shape4": "red"}})", "colors.Shape4 must be a colour written #rrggbb"},
        {withForces(R"({"count": 2, "items": [[1, 2, 3]]})"), "forces.count is 2 but forces.items holds 1"},
        {withForces(R"({"items": []})"), "forces has no count"},
        {withForces(R"({"count": 1, "items": [[1, 2]]})"), "forces.items[0] must hold three numbers"},
        {withForces(R"({"count": 1, "items": [[1, 2, 3, 4]]})"), "forces.items[0] must hold three numbers"},
        {withForces(R"({"count": 1, "items": [[1, "2", 3]]})"), "forces.items[0] must be a number"},
        {withForces(R"({"count": 1, "items": [[1e400, 2, 3]]})"), "a number out of range"},
        {withForces(R"({"count": 0, "items": [], "columns": {"P": 41}})"),
         "forces.columns.P must be a whole number from 1 to 40"},
        {withForces(R"({"count": 0, "items": [], "grid": [[)" + cells(41) + "]]}"),
         "forces.grid[0] has more than 40 cells"},
        {withForces(R"({"count": 0, "items": [], "columns": {"Load Case": 0}})"),
         "forces.columns.Load Case must be a whole number from 1 to 40"},
        {withForces(R"({"count": 1, "items": [[1, 2, 3]], "names": ["a", "b"]})"),
         "forces.names holds 2 names for 1 forces"},
        {withForces(R"({"count": 1, "items": [[1, 2, 3]], "names": [1]})"), "forces.names[0] must be text"},
        {withForces(R"({"count": 2, "items": [[1, 2, 3], [1, 2, 3]], "other ends": [[1, null]]})"),
         "forces.other ends holds 1 pairs for 2 forces"},
        {withForces(R"({"count": 1, "items": [[1, 2, 3]], "other ends": [[1]]})"),
         "forces.other ends[0] must hold two values"},
        {withForces(R"({"count": 1, "items": [[1, 2, 3]], "other ends": [[1, "x"]]})"),
         "forces.other ends[0] must be a number or null"},
        {withForces(R"({"count": 0, "items": [], "grid": [[], [], []]})"), "forces.grid has 3 rows"},
        {std::string(kProjectMaxBytes + 1, ' '), "a project file holds at most 64 MB"},
    };
    for (const Case& c : cases) {
        try {
            ReadProject(c.text);
            ADD_FAILURE() << "no error for: " << c.text.substr(0, 200);
        } catch (const AppError& e) {
            EXPECT_NE(std::string(e.what()).find(c.problem), std::string::npos)
                << c.text.substr(0, 200) << " -> " << e.what();
        }
    }
}
