// pillarix-study: a table of columns in, a table of results out, on the
// computation library alone.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "input/error.h"
#include "loads/text_decode.h"
#include "study/study.h"
#include "study/study_output.h"

namespace {

const char* const kSynopsis = "usage: pillarix-study COLUMNS.csv [--threads N] [--shard I/N] [--out FILE] [--allow-folder DIR]";

const char* const kHelp = R"HELP(

Runs one column per row of COLUMNS.csv as the main window would: the row's
fields, the mesh, the section information, the P-M curves of both
directions and, with a force file, the capacity check of its combinations.

COLUMNS.csv: a file of at most 1 GB, or a pipe (/dev/stdin), read once;
a header line, then one line per column. Header names:
  Name           the column's name (required)
  Forces         a force CSV file, relative to the table's folder (optional;
                 a row with an empty cell has no forces; a regular file of
                 at most 256 MB)
  Section File   a section file or DXF drawing (.dxf), relative to the
                 table's folder (optional; a row with one is a Custom
                 Section, ComboBox1 = 8 or empty; a regular file of at most
                 50 MB)
Force and section files must lie in the table's folder or below it once
".." and symbolic links are resolved (see --allow-folder); for a table read
from a pipe that is the working folder.
  EditN          the window's edit field EditN (1..80), as typed; Edit69
                 is "Mesh Size" of a custom section (empty: the larger of
                 its width and height / 40, or a quarter of its thinnest
                 part when smaller), Edit70 is "Cover Layers", Edit71
                 alpha_cc, Edit72 .. Edit77 the "Member" group ("Member
                 Length", kx, ky, ACI beta_dns, EN phi_ef, "Initial Bow"),
                 checked as the window checks them when ComboBox11 is not 0;
                 Edit78, Edit79, Edit80 are the force file's optional field
                 numbers of "Load Case", "Mx Other End", "My Other End"
                 (empty: none)
  ComboBoxN      the item index of ComboBoxN (1..11, 0 = first item);
                 ComboBox1 is the section type: 0 Rect Column, 1 Circular
                 Column, 2 Rect SRC Column Type1, 3 Rect SRC Column Type2,
                 4 Circular Steel Tube Col, 5 Rect Steel Box Column,
                 6 Circular SRC Column, 7 Steel Tube in Rect Col,
                 8 Custom Section (with a Section File);
                 ComboBox8 is "Strain limits at": 0 Bounding rectangle,
                 1 Section outline; ComboBox9 is "Design Code" (also a
                 column "Design Code", by index or by name: None,
                 ACI 318-19, EN 1992-1-1 / EN 1994-1-1, AISC 360-16),
                 ComboBox10 "Transverse Reinforcement": 0 Ties, 1 Spirals;
                 ComboBox11 is "Slenderness": 0 None, 1 Code method,
                 2 General method
A field without a column keeps the text the window starts with. Text is
UTF-8, else Windows-1252; lines end in CR, LF or CR LF; fields are split at
every comma; lines holding nothing but commas and blanks are skipped.

Options:
  --threads N    rows run on N threads (default: every core); the output
                 does not depend on N
  --shard I/N    runs only rows [I x R / N, (I + 1) x R / N) of the R rows,
                 and writes the header only for I = 0: the outputs of shards
                 0 .. N - 1 put together in order are the whole study's
  --out FILE     writes to FILE instead of standard output; FILE appears
                 only when the study has finished (a stopped study leaves
                 an earlier FILE as it was), and may not be the table or
                 one of its force or section files
  --allow-folder DIR
                 rows may also read force and section files in DIR or
                 below it (may be given more than once)
  --help         prints this text

Output: CSV, every line ending in CR LF, one line per row in input order:
  Name,Section Type,NFib,Gross Area (mm2),Rebar Ratio (%),Steel Ratio (%),
  PMax (kN),PMin (kN),M0 X (kNm),M0 Y (kNm),Max M X (kNm),Max M Y (kNm),
  Forces,Passed,Check,Governing Case,Governing P (kN),Governing Mx (kNm),
  Governing My (kNm),Governing Ratio,Warnings,Status
Areas and ratios as the window's section information shows them; PMax and
PMin the pure compression and tension capacities; M0 X and M0 Y the moment
of the X and Y P-M curves at P = 0 (linear between the two points around
it), the bending capacity without axial force; Max M X and Max M Y the
largest moment of each curve, wherever it lies (two decimals). With a force
file: Forces is the number of load combinations checked, Passed how many
pass, Check "OK" when all pass and "NG" otherwise, then the governing case,
its amplified forces and its ratio (four decimals); these are empty for a
row without forces. Warnings are the section's warnings where the model
is not safe (thin tube or box walls, slender plates of a thinly covered
H section, very strong concrete), empty for none. Status is "ok" when the row ran (its Check tells
whether its forces pass), or "line N, COLUMN: message" with every other
field but Name empty; a cell holding a comma or a quotation mark is quoted.

Exit status:
  0  every row is ok
  1  at least one row failed (the study still runs every row)
  2  a wrong argument, a table that cannot be read or has a wrong header
     (no row runs), or output that cannot be written (the study stops at
     the first failed write): a message on standard error

Example:
  pillarix-study columns.csv --threads 4 --out results.csv
  parallel -k pillarix-study columns.csv --shard {}/4 ::: 0 1 2 3 > all.csv
)HELP";

int usage(const std::string& reason) {
    std::fprintf(stderr, "pillarix-study: %s\n%s (--help for more)\n", reason.c_str(), kSynopsis);
    return 2;
}

// A whole number from min to max; false for anything else.
bool parseCount(const std::string& text, long long min, long long max, long long& value) {
    if (text.empty() || text.size() > 12) return false;
    long long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < min || v > max) return false;
    value = v;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // Past a file-size limit a write fails and is reported like any other
    // failed write, instead of the signal ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    std::string table, out;
    px::StudyOptions options;
    const unsigned cores = std::thread::hardware_concurrency();
    options.Threads = cores == 0 ? 1 : static_cast<int>(cores);

    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            // Checked like the study's own output: a help text that did not
            // arrive is no success.
            errno = 0;
            if (std::fputs(kSynopsis, stdout) < 0 || std::fputs(kHelp, stdout) < 0 || std::fflush(stdout) != 0) {
                std::fprintf(stderr, "pillarix-study: Cannot write to standard output. %s.\n",
                             std::strerror(errno ? errno : EIO));
                return 2;
            }
            return 0;
        }
    }
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        std::string value;
        bool hasValue = false;
        if (a.rfind("--", 0) == 0) {
            const size_t eq = a.find('=');
            if (eq != std::string::npos) {
                value = a.substr(eq + 1);
                a = a.substr(0, eq);
                hasValue = true;
            } else if (a == "--threads" || a == "--shard" || a == "--out" || a == "--allow-folder") {
                if (i + 1 >= argc) return usage(a + " needs a value");
                value = argv[++i];
                hasValue = true;
            }
        }
        if (a == "--threads" && hasValue) {
            long long n = 0;
            if (!parseCount(value, 1, 1024, n)) return usage("--threads takes a whole number from 1 to 1024, not '" + value + "'");
            options.Threads = static_cast<int>(n);
        } else if (a == "--shard" && hasValue) {
            const size_t slash = value.find('/');
            long long index = 0, count = 0;
            if (slash == std::string::npos || !parseCount(value.substr(slash + 1), 1, 1000000000000LL, count) ||
                !parseCount(value.substr(0, slash), 0, count - 1, index))
                return usage("--shard takes I/N with 0 <= I < N, not '" + value + "'");
            options.ShardIndex = index;
            options.ShardCount = count;
        } else if (a == "--allow-folder" && hasValue) {
            if (value.empty()) return usage("--allow-folder needs a folder");
            options.AllowedFolders.push_back(value);
        } else if (a == "--out" && hasValue) {
            if (value.empty()) return usage("--out needs a file name");
            out = value;
        } else if (a.rfind("-", 0) == 0 && a != "-") {
            return usage("unknown option '" + a + "'");
        } else if (table.empty()) {
            table = a;
        } else {
            return usage("more than one table given ('" + table + "', '" + a + "')");
        }
    }
    if (table.empty()) return usage("no table given");

    // A study stopped by Ctrl+C or a job runner leaves no half-written file.
    px::RemoveTemporaryFilesOnSignals();
    try {
        px::StudyTable columns(table);
        if (!out.empty()) px::RefuseOutputOverInput(out, table, columns);
        px::StudyOutput output(out);
        const px::StudySummary s =
            px::RunStudy(columns, options, [&output](std::string_view text) { output.write(text); });
        output.finish();
        return s.Failed ? 1 : 0;
    } catch (const std::exception& e) {
        // Bytes that are not text (a NUL of a damaged table) are shown escaped.
        const auto* app = dynamic_cast<const px::AppError*>(&e);
        const std::string message = app ? app->message() : std::string(e.what());
        std::fprintf(stderr, "pillarix-study: %s\n",
                     px::displayMessage(px::ShownValue(message, std::string::npos)).c_str());
        return 2;
    }
}
