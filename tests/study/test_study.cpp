// pillarix-study: rows against pillarix-batch, shards and threads against the
// whole study, failing rows, the table's header and text, the window's
// starting fields against the table the study uses.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

#include "analysis/section_steps.h"
#include "app/ui/tform1.h"
#include "check/capacity_check.h"
#include "input/error.h"
#include "input/field_defaults.h"
#include "input/fields.h"
#include "input/numbers.h"
#include "input/section_input.h"
#include "loads/csv_import.h"
#include "section/mesh.h"
#include "study/study.h"
#include "support/scripted_platform.h"

using namespace px;
namespace fs = std::filesystem;

namespace {

const std::string kBin = PILLARIX_BINARY_DIR;

// The batch program the rows are compared against. PILLARIX_BATCH names
// another build of it: the ThreadSanitizer run compares against the Release
// one, whose Qt threads the sanitizer cannot see into.
std::string BatchProgram() {
    const char* other = std::getenv("PILLARIX_BATCH");
    return other && *other ? other : kBin + "/pillarix-batch";
}

struct TempDir {
    fs::path path;
    TempDir() {
        char tmpl[] = "/tmp/pillarix-study-XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempDir() { fs::remove_all(path); }
    std::string file(const std::string& name, const std::string& bytes) const {
        const fs::path p = path / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
};

std::string readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// Runs a command; its standard output and exit status.
std::string run(const std::string& command, int* status = nullptr) {
    std::string out;
    std::FILE* p = popen(command.c_str(), "r");
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int rc = pclose(p);
    if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

std::string study(StudyTable& t, int threads, long long shard = 0, long long shards = 1, StudySummary* sum = nullptr) {
    std::string out;
    StudyOptions o;
    o.Threads = threads;
    o.ShardIndex = shard;
    o.ShardCount = shards;
    const StudySummary s = RunStudy(t, o, [&](std::string_view text) { out += text; });
    if (sum) *sum = s;
    return out;
}

std::string study(const std::string& path, int threads, long long shard = 0, long long shards = 1) {
    StudyTable t(path);
    return study(t, threads, shard, shards);
}

std::vector<std::string> cellsOf(const std::string& line) {
    std::vector<std::string> cells;
    for (std::string_view c : SplitStudyLine(line)) cells.emplace_back(c);
    return cells;
}

// A small mesh keeps the many-row tables quick.
const char* const kSmall = ",4,4,6";  // Edit12, Edit13, Edit33

// Rows of every section type (small meshes), a failing row, blank lines,
// a Windows-1252 name, a name with a quotation mark and every line ending.
std::string mixedTable(int copies) {
    std::string t = "Name,ComboBox1,Edit12,Edit13,Edit33,,Edit1\r\n";
    for (int c = 0; c < copies; ++c) {
        for (int k = 0; k < 8; ++k) {
            t += 'T';
            t += std::to_string(c) + "_" + std::to_string(k) + "," + std::to_string(k) + kSmall + ",,";
            t += k == 1 ? "1000" : "2200";
            t += k % 3 == 0 ? "\r\n" : k % 3 == 1 ? "\n" : "\r";
        }
        t += "bad" + std::to_string(c) + ",0" + kSmall + ",,x\r\n";
        t += ",,,\r\n\r\n";
        t += "St\xFC" "tze \"A\",3" + std::string(kSmall) + ",,2200\n";
    }
    return t;
}

}  // namespace

// The study fills absent fields from the same table the window starts from.
TEST(Study, WindowStartsWithTheStudysFieldTable) {
    ScriptedPlatform platform;
    TForm1 form(&platform, false);
    size_t edits = 0;
    for (int n = 1; n <= kEditCount; ++n) {
        const std::string name = "Edit" + std::to_string(n);
        // The numbers may leave a gap: the window has exactly the table's.
        if (!DefaultFieldTexts().count(name)) {
            EXPECT_EQ(form.edit(n), nullptr) << name;
            continue;
        }
        ++edits;
        ASSERT_NE(form.edit(n), nullptr) << name;
        EXPECT_EQ(form.edit(n)->text().toStdString(), DefaultFieldTexts().at(name)) << name;
    }
    EXPECT_EQ(edits, DefaultFieldTexts().size());
    // Combo box numbers may leave a gap too: those with items.
    int combos = 0;
    for (int n = 1; n <= kComboBoxCount; ++n) combos += !ComboBoxItems("ComboBox" + std::to_string(n)).empty();
    EXPECT_EQ(form.findChildren<QComboBox*>().size(), combos);
    for (int n = 1; n <= kComboBoxCount; ++n) {
        const std::string name = "ComboBox" + std::to_string(n);
        if (ComboBoxItems(name).empty()) continue;
        const auto* c = form.findChild<QComboBox*>(QString::fromStdString(name));
        ASSERT_NE(c, nullptr) << name;
        EXPECT_EQ(c->currentIndex(), 0) << name;
        std::vector<std::string> items;
        for (int i = 0; i < c->count(); ++i) items.push_back(c->itemText(i).toStdString());
        EXPECT_EQ(items, ComboBoxItems(name)) << name;
    }
}

// Every section type: the row's figures are what pillarix-batch prints for
// the same fields (section information, the P-M text's first and last rows,
// the largest moment of each direction).
TEST(Study, RowFiguresEqualTheBatchPrintout) {
    struct Case {
        int type;
        std::vector<std::pair<std::string, std::string>> fields;
    };
    const Case cases[] = {
        {0, {{"Edit12", "8"}, {"Edit33", "14"}, {"Edit7", "32"}}},
        {1, {{"Edit1", "1000"}}},
        {2, {}},
        {3, {}},
        {4, {{"Edit1", "800"}, {"Edit3", "16"}}},
        {5, {{"Edit41", "30"}}},
        {6, {{"Edit1", "1800"}}},
        {7, {{"Edit60", "1.3"}}},
    };
    for (const Case& c : cases) {
        std::string header = "Name,ComboBox1", row = "C," + std::to_string(c.type), args;
        for (const auto& [k, v] : c.fields) {
            header += "," + k;
            row += "," + v;
            args += " " + k + "=" + v;
        }
        const StudyRowResult r = RunStudyRow(ReadStudyHeader(header), row, 2, ".", {});
        ASSERT_TRUE(r.Ok) << r.Line;
        std::vector<std::string> got = cellsOf(r.Line);

        const std::string printed =
            run(BatchProgram() + " ComboBox1=" + std::to_string(c.type) + args + " section pm");
        std::istringstream in(printed);
        std::string line;
        std::map<std::string, std::string> info;
        std::vector<std::string> ratios;
        std::vector<std::vector<std::string>> pm;
        while (std::getline(in, line)) {
            const size_t eq = line.find(" = ");
            if (eq != std::string::npos) {
                (line.compare(0, eq, "Ratio(%)") == 0 ? ratios.emplace_back() : info[line.substr(0, eq)]) =
                    line.substr(eq + 3);
            } else if (!line.empty() && (line[0] == '-' || (line[0] >= '0' && line[0] <= '9'))) {
                std::istringstream cells(line);
                pm.emplace_back(std::istream_iterator<std::string>(cells), std::istream_iterator<std::string>());
            }
        }
        ASSERT_EQ(ratios.size(), 2u) << printed;
        ASSERT_GE(pm.size(), 2u) << printed;
        auto largest = [&](size_t col) {
            size_t best = 0;
            for (size_t i = 1; i < pm.size(); ++i)
                if (std::stod(pm[i][col]) > std::stod(pm[best][col])) best = i;
            return pm[best][col];
        };
        // The moment at P = 0 between the printed points around it (the
        // printout's two decimals allow a cent of difference).
        auto atZero = [&](size_t p, size_t m) {
            for (size_t i = 0; i + 1 < pm.size(); ++i) {
                const double p0 = std::stod(pm[i][p]), p1 = std::stod(pm[i + 1][p]);
                const double m0 = std::stod(pm[i][m]), m1 = std::stod(pm[i + 1][m]);
                if (p0 <= 0 && p1 > 0) return m0 + (m1 - m0) * -p0 / (p1 - p0);
            }
            return -1.0;
        };
        ASSERT_EQ(got.size(), static_cast<size_t>(kStudyOutputColumns)) << r.Line;
        EXPECT_NEAR(std::stod(got[8]), atZero(0, 1), 0.011) << "type " << c.type;
        EXPECT_NEAR(std::stod(got[9]), atZero(2, 3), 0.011) << "type " << c.type;
        got[8] = got[9] = "";
        // The box with 30 mm top and bottom walls is beyond the compactness limit.
        const std::string warning =
            c.type == 5 ? "Warning: the box wall's b/t = 70.3 is beyond 2.26 sqrt(Es/fy) = 65.0: the wall may buckle "
                          "locally before the section reaches its computed strength."
                        : "";
        const std::vector<std::string> want = {
            "C", ComboBoxItems("ComboBox1")[static_cast<size_t>(c.type)], info["NFib"], info["Gross Area"],
            ratios[0], ratios[1], pm.back()[0], pm.front()[0], "", "", largest(1), largest(3),
            "", "", "", "", "", "", "", "", warning, "ok"};
        EXPECT_EQ(got, want) << "type " << c.type;
    }
}

// Shards put together in order, any thread count, the program itself and
// GNU parallel: the same bytes as the whole study on one thread.
TEST(Study, ShardsAndThreadsGiveTheSameBytes) {
    TempDir dir;
    const std::string path = dir.file("t.csv", mixedTable(3));
    const std::string whole = study(path, 1);
    ASSERT_EQ(std::count(whole.begin(), whole.end(), '\n'), 1 + 3 * 10);
    EXPECT_EQ(study(path, 2), whole);
    EXPECT_EQ(study(path, 3), whole);
    for (int n : {2, 4, 7, 40}) {
        std::string joined;
        for (int i = 0; i < n; ++i) joined += study(path, 1 + i % 2, i, n);
        EXPECT_EQ(joined, whole) << n << " shards";
    }

    const std::string bin = kBin + "/pillarix-study ";
    int status = -1;
    EXPECT_EQ(run(bin + path + " --threads 2", &status), whole);
    EXPECT_EQ(status, 1);  // the bad rows
    const std::string out = (dir.path / "out.csv").string();
    run(bin + "--out=" + out + " --threads=1 " + path, &status);
    EXPECT_EQ(readFile(out), whole);
    if (std::system("command -v parallel > /dev/null 2>&1") == 0) {
        EXPECT_EQ(run("parallel -k " + bin + path + " --shard {}/4 ::: 0 1 2 3"), whole);
    } else {
        ADD_FAILURE() << "GNU parallel is not installed";
    }
}

// A failing row: its name, the window's message in the Status column, every
// other field empty; the rows around it run; exit status 1.
TEST(Study, FailingRowsKeepTheirPlace) {
    TempDir dir;
    StudySummary sum;
    StudyTable t(dir.file("t.csv", mixedTable(1)));
    const std::string out = study(t, 2, 0, 1, &sum);
    EXPECT_EQ(sum.Rows, 10);
    EXPECT_EQ(sum.Failed, 1);
    std::vector<std::string> lines;
    for (size_t a = 0, b; (b = out.find("\r\n", a)) != std::string::npos; a = b + 2) lines.push_back(out.substr(a, b - a));
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], kStudyHeader);
    // The row's line in the table (blank lines counted) and its column.
    EXPECT_EQ(lines[9], "bad0" + std::string(21, ',') + "\"line 10, Edit1: Sec Width B (Section page): 'x' is not a valid floating point value.\"");
    // The Windows-1252 name arrives as UTF-8, quoted for its quotation marks.
    EXPECT_EQ(lines[10].substr(0, lines[10].find(",Rect SRC")), "\"St\xC3\xBCtze \"\"A\"\"\"");
    EXPECT_EQ(lines[10].substr(lines[10].size() - 3), ",ok");

    struct Case {
        const char* header;
        const char* row;
        const char* status;
    };
    const Case cases[] = {
        {"Name,ComboBox1", "C,9", "line 7, ComboBox1: '9' is not an item index (0..8)"},
        {"Name,ComboBox3", "C,one", "line 7, ComboBox3: 'one' is not an item index (0..1)"},
        {"Name,ComboBox11,Edit72", "C,2,0", "line 7, Edit72: \"Member Length\" must be greater than 0."},
        {"Name,ComboBox11,Edit72,Edit74", "C,2,3000,-1", "line 7, Edit74: \"ky\" must be greater than 0."},
        {"Name,Edit7,Edit12", "C,22O0,6", "line 7, Edit7: X-Dir Rebar Diameter (Section page): '22O0' is not a valid floating point value."},
        {"Name,Edit5", "C,1.5", "line 7, Edit5: X-Dir Rebar Row (Section page): '1.5' is not a valid integer value."},
        // The caption the Section page shows for the row's type.
        {"Name,ComboBox1,Edit1", "C,1,x", "line 7, Edit1: Diameter D (Section page): 'x' is not a valid floating point value."},
        {"Name,Edit26", "C,2e5x", "line 7, Edit26: Rebar Material Modulus of Elasticity Es (Steel Material page): '2e5x' is not a valid floating point value."},
        {"Name,Forces,Edit57", "C,f.csv,x", "line 7, Edit57: Amplifie Factor of Axial Force(kN) (Import Force Data page): 'x' is not a valid floating point value."},
        // Guards name the field's control as well as its caption.
        {"Name,Edit12", "C,0", "line 7, Edit12: \"X-Dir Mesh Num\" must be at least 3."},
        {"Name,Edit1", "C,0", "line 7, Edit1: \"Sec Width B\" must be greater than 0."},
        {"Name,ComboBox1,Edit1", "C,7,500", "line 7, Edit42: Pipe: \"Sec Height H\" must be less than"},
        {"Name,Edit33", "C,0", "line 7: \"Axial Force Division Points\" must be at least 1."},
        {"Name,Edit1", "C,2200,5", "line 7: Field 3 of the row has no column in the header (2 columns)"},
        {"Name,Edit1", ",2200", "line 7: The row has no Name."},
        // "Design Code" by name or index; a name that is no code, and a code
        // that does not apply to the section, are the row's errors.
        {"Name,Design Code", "C,ACI 318-14", "line 7, ComboBox9: 'ACI 318-14' is not an item index (0..3)"},
        {"Name,Design Code", "C,AISC 360-16", "line 7: AISC 360-16 designs composite members only, and \"Rect Column\""},
        // A force file's error names the file as the row gives it.
        {"Name,Forces", "C,missing.csv", "line 7, Forces \"missing.csv\": Cannot open file \"/nowhere/missing.csv\". "},
    };
    for (const Case& c : cases) {
        const StudyRowResult r = RunStudyRow(ReadStudyHeader(c.header), c.row, 7, "/nowhere", {});
        EXPECT_FALSE(r.Ok) << c.row;
        // Every field but the name empty, then the status as a CSV cell.
        const std::string name = c.row[0] == ',' ? "" : "C";
        ASSERT_EQ(r.Line.substr(0, name.size() + 21), name + std::string(21, ',')) << r.Line;
        std::string status = r.Line.substr(name.size() + 21);
        if (status.size() > 1 && status.front() == '"' && status.back() == '"') {
            status = status.substr(1, status.size() - 2);
            for (size_t q = 0; (q = status.find("\"\"", q)) != std::string::npos; ++q) status.erase(q, 1);
        }
        EXPECT_EQ(status.substr(0, std::strlen(c.status)), c.status);
    }
}

// A table the study cannot run: message, and the program's exit status 2
// before any output; wrong arguments likewise.
TEST(Study, RefusedTablesAndArguments) {
    TempDir dir;
    const std::pair<const char*, const char*> headers[] = {
        {"Edit1,Edit2\r\n", "The header has no \"Name\" column"},
        {"Name,Edit0\r\n", "Unknown column \"Edit0\" (column 2 of the header)"},
        {"Name,Edit99\r\n", "Unknown column \"Edit99\" (column 2 of the header)"},
        {"Name,Edit1,Edit1\r\n", "Column \"Edit1\" appears twice (column 3 of the header)"},
        {"", "is empty: it needs a header line"},
    };
    for (const auto& [text, message] : headers) {
        const std::string path = dir.file("h.csv", text);
        try {
            StudyTable t(path);
            ADD_FAILURE() << "accepted " << text;
        } catch (const AppError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
        int status = -1;
        EXPECT_EQ(run(kBin + "/pillarix-study " + path + " 2>/dev/null", &status), "");
        EXPECT_EQ(status, 2);
    }
    const std::string ok = dir.file("ok.csv", "Name,Edit12,Edit13,Edit33\nA,4,4,4\n");
    const std::pair<std::string, int> args[] = {
        {ok, 0},
        {"--help", 0},
        {ok + " --shard 4/4", 2},
        {ok + " --shard 1", 2},
        {ok + " --threads 0", 2},
        {ok + " --out ''", 2},
        {ok + " --out=", 2},
        {ok + " --bogus", 2},
        {ok + " " + ok, 2},
        {"", 2},
    };
    for (const auto& [a, want] : args) {
        int status = -1;
        run(kBin + "/pillarix-study " + a + " 2>/dev/null", &status);
        EXPECT_EQ(status, want) << a;
    }
    // The help names every edit field a header may hold; an output file that
    // cannot be made is named in the message form of the table's own.
    EXPECT_NE(run(kBin + "/pillarix-study --help").find("EditN (1.." + std::to_string(kEditCount) + ")"),
              std::string::npos);
    int status = -1;
    EXPECT_EQ(run(kBin + "/pillarix-study " + ok + " --out /nonexistent/x.csv 2>&1", &status),
              "pillarix-study: Cannot open file \"/nonexistent/x.csv\". No such file or directory.\n");
    EXPECT_EQ(status, 2);
    // A name longer than the folder holds is refused before any row runs.
    const std::string tooLong = (dir.path / (std::string(256, 'x') + ".csv")).string();
    EXPECT_EQ(run(kBin + "/pillarix-study " + ok + " --out " + tooLong + " 2>&1", &status),
              "pillarix-study: Cannot open file \"" + tooLong + "\". File name too long.\n");
    EXPECT_EQ(status, 2);
    // An empty shard of a small table: just the header for shard 0.
    EXPECT_EQ(study(ok, 1, 0, 3), std::string(kStudyHeader) + "\r\n");
    EXPECT_EQ(study(ok, 1, 1, 3), "");
}

// What a table must be: a file or a pipe (read once), of at most 1 GB, in
// UTF-8 or Windows-1252; messages show its bad bytes escaped.
TEST(Study, TablesFromPipesAndTablesThatAreRefused) {
    TempDir dir;
    std::string text = mixedTable(1);
    text.replace(text.find(",,Edit1"), 7, ",Forces,Edit1");  // a force column, every cell empty
    const std::string path = dir.file("t.csv", text);
    int status = -1;
    const std::string whole = run(kBin + "/pillarix-study " + path, &status);
    ASSERT_EQ(status, 1);
    const std::string out = (dir.path / "out.csv").string();
    EXPECT_EQ(run("cat " + path + " | " + kBin + "/pillarix-study /dev/stdin --threads 2", &status), whole);
    EXPECT_EQ(status, 1);
    dir.file("out.csv", "an earlier output\r\n");  // checked against the force files: the table is read twice
    run("cat " + path + " | " + kBin + "/pillarix-study /dev/stdin --out " + out, &status);
    EXPECT_EQ(readFile(out), whole);
    // A FIFO whose writer comes later.
    const std::string fifo = (dir.path / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(run("(sleep 0.3; cat " + path + " > " + fifo + ") & " + kBin + "/pillarix-study " + fifo), whole);

    const std::string big = (dir.path / "big.csv").string();
    {
        std::ofstream f(big, std::ios::binary);
        f.seekp(static_cast<std::streamoff>(kStudyTableMaxBytes));
        f.put('\n');  // one byte past the limit, a sparse file
    }
    const std::string d = dir.path.string();
    const std::pair<std::string, std::string> cases[] = {
        {dir.file("nul.csv", std::string("Na\0me,Edit1\r\n", 14)),
         "pillarix-study: Unknown column \"Na\\x00me\" (column 1 of the header): columns are Name, Forces, Section File, Edit1 .. "
         "Edit" + std::to_string(kEditCount) + " and ComboBox1 .. ComboBox" + std::to_string(kComboBoxCount) +
             ", with \"Design Code\" for ComboBox9.\n"},
        {dir.file("u16.csv", std::string("\xFF\xFEN\0a\0m\0e\0\r\0\n\0", 14)),
         "pillarix-study: The table \"" + d + "/u16.csv\" is UTF-16 text: save it as UTF-8 or Windows-1252.\n"},
        {d, "pillarix-study: Cannot open file \"" + d + "\". Is a directory.\n"},
        {"/dev/zero", "pillarix-study: Cannot open file \"/dev/zero\". It is not a file.\n"},
        {big, "pillarix-study: Cannot open file \"" + big + "\". The file is 1073741825 bytes; a table holds at most 1 GB.\n"},
    };
    for (const auto& [table, err] : cases) {
        EXPECT_EQ(run(kBin + "/pillarix-study '" + table + "' 2>&1", &status), err);
        EXPECT_EQ(status, 2) << table;
    }
}

// A failing row's message shows bad bytes escaped and long values cut; a
// force file that is not a file is refused without being read.
TEST(Study, RowMessagesShowBadBytesAndNeverHang) {
    TempDir dir;
    const std::string fifo = (dir.path / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    dir.file("empty.csv", "");
    const std::string big(10 << 20, 'x');
    const std::string d = dir.path.string();
    struct Case {
        std::string header, row, status;
    };
    const Case cases[] = {
        {"Name,Edit7", std::string("C,22\0x", 6), "line 7, Edit7: X-Dir Rebar Diameter (Section page): '22\\x00x' is not a valid floating point value."},
        // A trailing NUL is part of the cell, not a blank.
        {"Name,Edit7", std::string("C,22\0", 5), "line 7, Edit7: X-Dir Rebar Diameter (Section page): '22\\x00' is not a valid floating point value."},
        {"Name,Edit7", "C,1" + big, "line 7, Edit7: X-Dir Rebar Diameter (Section page): '1" + std::string(59, 'x') + "...' is not a valid floating point value."},
        {"Name,ComboBox1", "C,1\x01" "1", "line 7, ComboBox1: '1\\x011' is not an item index (0..8)"},
        {"Name,Forces", "C,fifo", "line 7, Forces \"fifo\": Cannot open file \"" + fifo + "\". It is not a file."},
        {"Name,Forces", "C,/dev/null", "line 7, Forces \"/dev/null\": Cannot open file \"/dev/null\". It is not a file."},
        {"Name,Forces", "C,/dev/zero", "line 7, Forces \"/dev/zero\": Cannot open file \"/dev/zero\". It is not a file."},
        {"Name,Forces", "C,empty.csv", "line 7, Forces \"empty.csv\": No forces have been imported from \"" + d + "/empty.csv\"."},
        {"Name,Forces", "C," + big, "line 7, Forces \"" + std::string(60, 'x') + "...\": Cannot open file \"" + d + "/" +
                                        std::string(60, 'x') + "...\". File name too long."},
    };
    for (const Case& c : cases) {
        // /dev allowed: devices are refused for what they are.
        const StudyRowResult r =
            RunStudyRow(ReadStudyHeader(c.header + ",Edit12,Edit13"), c.row + ",4,4", 7, d, {}, {"/dev"});
        EXPECT_FALSE(r.Ok);
        EXPECT_EQ(r.Line, "C" + std::string(21, ',') + CsvCell(c.status)) << c.status;
    }
    // A folder name with a control character, from the table's path.
    {
        const Case c{"Name,Forces", "C,f.csv",
                     "line 7, Forces \"f.csv\": Cannot open file \"/nowhere\\x01/f.csv\". No such file or directory."};
        const StudyRowResult r = RunStudyRow(ReadStudyHeader(c.header + ",Edit12,Edit13"), c.row + ",4,4", 7, "/nowhere\x01", {});
        EXPECT_FALSE(r.Ok);
        EXPECT_EQ(r.Line, "C" + std::string(21, ',') + CsvCell(c.status)) << c.status;
    }
}

// The moment at P = 0: at a point on it, or linear between the two points
// around it; nothing when the curve does not reach it.
TEST(Study, MomentAtZeroAxialForce) {
    struct Case {
        std::vector<double> P, M;
        std::optional<double> want;
    };
    const Case cases[] = {
        {{-100, -20, 60, 200}, {0, 40, 80, 0}, 50},
        {{-100, 0, 60, 200}, {0, 30, 80, 0}, 30},
        {{0, 100, 200}, {0, 10, 0}, 0},  // no tension capacity: (0, 0) first
        {{-100, -50}, {0, 10}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MomentAtZeroAxialForce(c.P, c.M, static_cast<int>(c.P.size()) - 1), c.want);

}

// With a force file (relative to the table's folder), the check columns are
// the capacity check's own result for the row's import and Mx-My settings.
TEST(Study, ForcesRunTheCapacityCheck) {
    TempDir dir;
    fs::create_directory(dir.path / "loads");
    const std::string forces = "Case,P,Mx,My\n1,-5000,3000,1000\n2,-90000,30000,20000\n3,-20000,60000,-10000\n";
    dir.file("loads/f.csv", forces);
    dir.file("loads/empty.csv", "Case,P,Mx,My\n");
    const std::string path = dir.file(
        "t.csv", "Name,Forces,Edit54,Edit55,Edit56,Edit58,Edit35,Edit12,Edit13\r\nA,loads/f.csv,2,3,4,1.5,24,6,6\r\n"
                 "B,loads/empty.csv,2,3,4,1.5,24,6,6\r\n");
    std::string out = study(path, 1);
    const std::string last = out.substr(out.rfind("\r\n", out.size() - 3) + 2);
    EXPECT_EQ(last, "B" + std::string(21, ',') + "\"line 3, Forces \"\"loads/empty.csv\"\": No forces have been imported from \"\"" +
                        (dir.path / "loads/empty.csv").string() + "\"\".\"\r\n");
    out.resize(out.size() - last.size());
    const std::vector<std::string> cells = cellsOf(out.substr(out.find("\r\n") + 2, out.size() - out.find("\r\n") - 4));

    MapFields f = DefaultFields();
    f["Edit12"] = f["Edit13"] = "6";
    f["Edit35"] = "24";
    SectionInput in;
    ReadSectionInput(f, in);
    FiberTable t;
    BuildFiberTable(in, t);
    AssignFiberMaterials(f, t);
    CheckRequest req;
    req.Fibers = &t;
    req.B = in.B;
    req.H = in.H;
    req.Mm = ReadMmSettings(f);
    ComputeAxialBounds(t, req.PMax, req.PMin);
    const ForceImport loads = ImportForcesFromText(forces, 2, 3, 4);
    req.Loads = &loads.Table;
    req.FactorMx = 1.5;
    const CheckResult check = RunCapacityCheck(req);
    ASSERT_GE(check.Governing, 0);
    const CheckRow& g = check.Rows[static_cast<size_t>(check.Governing)];
    EXPECT_LT(check.Passed, 3);  // a column whose forces fail still runs: its Check says so
    const std::vector<std::string> want = {"3",          std::to_string(check.Passed), "NG",
                                           std::to_string(g.Case), CheckCellText(g, 1), CheckCellText(g, 2),
                                           CheckCellText(g, 3),    FormatFixed(*g.Ratio, 4), "", "ok"};
    EXPECT_EQ(std::vector<std::string>(cells.begin() + 12, cells.end()), want) << out;
    EXPECT_EQ(g.Mx, 1.5 * loads.Table.Items[static_cast<size_t>(g.Case)].Mx);  // the amplified force
}

// A "Section File" column: the row is a Custom Section of that file, found
// relative to the table; a missing file or a clashing ComboBox1 fails the row.
TEST(Study, SectionFileColumnRunsACustomSection) {
    TempDir dir;
    fs::create_directory(dir.path / "secs");
    // The L with a hole of the window's tests: 1218 fibers at the default mesh.
    dir.file("secs/l.sec", "cover 0 0 600 0 600 200 200 200 200 600 0 600\nhole 50 50 150 50 150 150 50 150\n"
                           "bar 560 160 20\nbar 40 560 20\n");
    const std::string header = "Name,Section File,Edit69", withType = header + ",ComboBox1";
    const std::string d = dir.path.string();
    const StudyRowResult l = RunStudyRow(ReadStudyHeader(header), "L,secs/l.sec,", 2, d, {});
    ASSERT_TRUE(l.Ok) << l.Line;
    const std::vector<std::string> cells = cellsOf(l.Line);
    EXPECT_EQ(cells[1], "Custom Section");
    EXPECT_EQ(cells[2], "1218");
    EXPECT_EQ(cells[3], "190000");
    const StudyRowResult fine = RunStudyRow(ReadStudyHeader(withType), "M,secs/l.sec,7.5,8", 3, d, {});
    ASSERT_TRUE(fine.Ok) << fine.Line;
    // An empty section type beside a section file: a Custom Section.
    const StudyRowResult empty = RunStudyRow(ReadStudyHeader(withType), "E,secs/l.sec,,", 3, d, {});
    ASSERT_TRUE(empty.Ok) << empty.Line;
    EXPECT_EQ(cellsOf(empty.Line)[2], "1218");
    EXPECT_GT(std::stoi(cellsOf(fine.Line)[2]), 3000);

    const std::pair<std::string, std::string> failing[] = {
        // The status is a CSV cell: its quotation marks doubled.
        {"N,secs/none.sec,,8", "line 4, Section File \"\"secs/none.sec\"\": Cannot open the section file " + d +
                                   "/secs/none.sec: No such file"},
        {"O,secs,,8", "line 4, Section File \"\"secs\"\": Cannot open the section file " + d + "/secs: Is a directory"},
        {"P,secs/l.sec,,0", "line 4, ComboBox1: a row with a Section File is a Custom Section"},
        {"Q,secs/l.sec,0,8", "Mesh Size must be a length greater than 0 mm"},
        {"R,,,8", "Custom Section: no section is loaded"},
        {"T,../l.sec,,8", "line 4, Section File \"\"../l.sec\"\": The file lies outside the table's folder"},
    };
    for (const auto& [row, says] : failing) {
        const StudyRowResult r = RunStudyRow(ReadStudyHeader(withType), row, 4, d, {});
        EXPECT_FALSE(r.Ok) << row;
        EXPECT_NE(r.Line.find(says), std::string::npos) << r.Line;
    }
}

// A row reads files in the table's folder and below it only, unless another
// folder is allowed; nothing of a file outside reaches the output.
TEST(Study, RowFilesStayInTheTablesFolder) {
    TempDir dir;
    const std::string d = dir.path.string();
    fs::create_directories(dir.path / "t" / "loads");
    fs::create_directories(dir.path / "other");
    const std::string forces = "Case,P,Mx,My\n1,-100,10,10\n";
    dir.file("secret.csv", "root:*:SECRET\n");
    dir.file("t/loads/f.csv", forces);
    dir.file("other/g.csv", forces);
    fs::create_symlink(dir.path / "secret.csv", dir.path / "t" / "out.csv");
    fs::create_symlink(dir.path / "t" / "loads" / "f.csv", dir.path / "t" / "in.csv");
    const std::string folder = d + "/t";
    struct Case {
        std::string cell;
        std::vector<std::string> allowed;
        bool ok;
        std::string says;
    };
    const std::string outside = "The file lies outside the table's folder";
    const Case cases[] = {
        {"loads/f.csv", {}, true, ""},
        {"loads/../loads/f.csv", {}, true, ""},
        {"in.csv", {}, true, ""},  // a link that stays inside
        {"../secret.csv", {}, false, outside},
        {d + "/secret.csv", {}, false, outside},
        {"out.csv", {}, false, outside},
        {"/etc/passwd", {}, false, outside},
        {"../other/g.csv", {}, false, outside},
        {"../other/g.csv", {d + "/other"}, true, ""},
        {"../other/g.csv", {d + "/oth"}, false, outside},  // a folder's name is not a prefix
        {"../secret.csv", {d + "/other"}, false, outside},
        {std::string("loads/f.csv\0x", 13), {}, false, "A file name may not hold a NUL byte: 'loads/f.csv\\x00x'"},
        {std::string("loads/f.csv\0", 12), {}, false, "A file name may not hold a NUL byte: 'loads/f.csv\\x00'"},
    };
    for (const Case& c : cases)
        for (const char* column : {"Forces", "Section File"}) {
            const bool section = std::string(column) == "Section File";
            const StudyRowResult r =
                RunStudyRow(ReadStudyHeader(std::string("Name,") + column + ",Edit54,Edit55,Edit56,Edit12,Edit13"),
                            "C," + c.cell + ",2,3,4,4,4", 7, folder, {}, c.allowed);
            EXPECT_EQ(r.Line.find("SECRET"), std::string::npos) << r.Line;
            EXPECT_EQ(r.Line.find("root:"), std::string::npos) << r.Line;
            if (section) {
                // The force file is no section file: read, it fails on its
                // content; refused, it fails on where it lies.
                EXPECT_EQ(r.Line.find(outside) == std::string::npos && r.Line.find("NUL") == std::string::npos, c.ok)
                    << c.cell << ": " << r.Line;
                continue;
            }
            EXPECT_EQ(r.Ok, c.ok) << c.cell << ": " << r.Line;
            if (!c.ok) { EXPECT_NE(r.Line.find(c.says), std::string::npos) << r.Line; }
        }

    // The program: refused by default, read with --allow-folder; a table
    // from a pipe finds its files from the working folder.
    const std::string table = dir.file("t/t.csv", "Name,Forces,Edit54,Edit55,Edit56,Edit12,Edit13\nA,../other/g.csv,2,3,4,4,4\n");
    int status = -1;
    std::string out = run(kBin + "/pillarix-study " + table, &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("lies outside the table's folder"), std::string::npos) << out;
    out = run(kBin + "/pillarix-study " + table + " --allow-folder " + d + "/other", &status);
    EXPECT_EQ(status, 0) << out;
    out = run("cd " + folder + " && printf 'Name,Forces,Edit54,Edit55,Edit56,Edit12,Edit13\\nA,loads/f.csv,2,3,4,4,4\\n' | " + kBin +
                  "/pillarix-study /dev/stdin",
              &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out.substr(out.size() - 5), ",ok\r\n");
    run(kBin + "/pillarix-study " + table + " --allow-folder '' 2>/dev/null", &status);
    EXPECT_EQ(status, 2);
}

// Past a file-size limit the write fails and is reported: the programs do
// not die of the signal, a cut help is no success, and the study's output
// ends at a whole row.
TEST(Study, AFileSizeLimitIsAFailedWrite) {
    TempDir dir;
    const std::string d = dir.path.string();
    struct Case {
        std::string command;
        int status;
    };
    const Case cases[] = {
        // The help is longer than 4096 bytes: the end of it is lost.
        {"trap '' XFSZ; ulimit -f 4; " + kBin + "/pillarix-study --help > " + d + "/help.txt", 2},
        {"ulimit -f 4; " + kBin + "/pillarix-study --help > " + d + "/help.txt", 2},
        {"ulimit -f 16; " + kBin + "/pillarix-study --help > " + d + "/help.txt", 0},
        {"ulimit -f 1; " + BatchProgram() + " --help > " + d + "/help.txt", 1},
    };
    for (const Case& c : cases) {
        int status = -1;
        // bash: its ulimit -f counts blocks of 1024 bytes.
        const std::string err = run("bash -c \"" + c.command + "\" 2>&1", &status);
        EXPECT_EQ(status, c.status) << c.command << ": " << err;
        if (c.status) { EXPECT_NE(err.find("File too large"), std::string::npos) << err; }
    }

    std::string table = "Name,Edit12,Edit13,Edit33\n";
    for (int i = 0; i < 40; ++i) table += "C" + std::to_string(i) + ",4,4,4\n";
    const std::string path = dir.file("t.csv", table);
    int status = -1;
    const std::string err =
        run("bash -c 'ulimit -f 2; " + kBin + "/pillarix-study " + path + " --threads 1 > " + d + "/out.csv' 2>&1", &status);
    EXPECT_EQ(status, 2);
    EXPECT_NE(err.find("Cannot write to standard output. File too large."), std::string::npos) << err;
    const std::string out = readFile(d + "/out.csv");
    EXPECT_GT(out.size(), 1000u);
    EXPECT_LE(out.size(), 2048u);
    EXPECT_EQ(out.substr(out.size() - 2), "\r\n");
    // Every line whole: the header's or a row's 22 fields.
    for (size_t a = 0, b; (b = out.find("\r\n", a)) != std::string::npos; a = b + 2)
        EXPECT_EQ(std::count(out.begin() + static_cast<long>(a), out.begin() + static_cast<long>(b), ','), 21);
}

// The force file's optional field numbers are study columns like any field:
// a row with them runs, a bad one fails that row alone, naming the field.
TEST(Study, OptionalForceFieldsAreColumns) {
    TempDir dir;
    dir.file("f.csv", "Case,P,Mx,My\nULS1,-5000,3000,1000\nULS2,-20000,6000,-1000\n");
    const std::string path = dir.file("t.csv",
                                      "Name,Forces,Edit54,Edit55,Edit56,Edit78,Edit79,Edit12,Edit13\n"
                                      "A,f.csv,2,3,4,1,3,6,6\n"
                                      "C,f.csv,2,3,4,1,x,6,6\n"
                                      "D,f.csv,2,3,4,41,,6,6\n");
    const std::string out = study(path, 1);
    const std::vector<std::string> lines = [&] {
        std::vector<std::string> v;
        for (size_t at = 0, end; (end = out.find("\r\n", at)) != std::string::npos; at = end + 2)
            v.push_back(out.substr(at, end - at));
        return v;
    }();
    ASSERT_EQ(lines.size(), 4u) << out;
    EXPECT_TRUE(lines[1].ends_with(",ok")) << lines[1];
    EXPECT_NE(lines[2].find("Table Column of Mx Other End (Edit79): 'x' is not a valid integer value"),
              std::string::npos)
        << lines[2];
    EXPECT_NE(lines[3].find("Table Column of Load Case (Edit78) is 41"), std::string::npos) << lines[3];
}

// "Design Code" by its name or as ComboBox9's index gives the same row; under
// ACI 318-19 the curve's columns are the design curve's (PMax the cap
// 0.65 x 0.80 Po, the bars' concrete net).
TEST(Study, DesignCodeColumnByNameOrIndex) {
    auto cellsOf = [](const std::string& line) {
        std::vector<std::string> v;
        std::stringstream ss(line);
        for (std::string c; std::getline(ss, c, ',');) v.push_back(c);
        return v;
    };
    const StudyRowResult byName = RunStudyRow(ReadStudyHeader("Name,Design Code"), "C,ACI 318-19", 2, ".", {});
    const StudyRowResult byIndex = RunStudyRow(ReadStudyHeader("Name,ComboBox9"), "C,1", 2, ".", {});
    const StudyRowResult none = RunStudyRow(ReadStudyHeader("Name,Design Code"), "C,None", 2, ".", {});
    ASSERT_TRUE(byName.Ok && byIndex.Ok && none.Ok) << byName.Line;
    EXPECT_EQ(byName.Line, byIndex.Line);
    const double po = 0.85 * 27.5 * (4840000 - 49062.5) + 330 * 49062.5;
    EXPECT_NEAR(std::stod(cellsOf(byName.Line).at(6)), 0.65 * 0.80 * po / 1000, 0.01);
    EXPECT_EQ(cellsOf(none.Line).at(6), "149290.63");
}
