// pillarix-validate: the program's section analysis against the composite
// column tests of validation/data, with a report, or a check of a committed
// report.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "common/file_replace.h"
#include "input/error.h"
#include "validation/report.h"
#include "validation/experiments.h"
#include "validation/member_validation.h"
#include "validation/validate.h"

namespace {

const char* const kHelp =
    "usage: pillarix-validate [--data DIR] [--out DIR] [--check REPORT] [--csv FILE] [--threads N] [--mesh N]\n"
    "\n"
    "Predicts every test specimen of DIR (default validation/data) that a section\n"
    "analysis can predict and compares the measured strengths with the program's;\n"
    "slender specimens and those with unequal end eccentricities are predicted as\n"
    "members by the program's second-order analysis (general method).\n"
    "Every CSV file of DIR whose header is the Composite Column Database's is read\n"
    "(a regular file of at most 64 MB); the others are named and skipped. Rows\n"
    "with impossible values are refused with their file and line.\n"
    "  --out DIR       writes report.md and its SVG plots into DIR\n"
    "  --check REPORT  compares every table row of REPORT with this run: counts\n"
    "                  exactly, means, COVs, 5 % fractiles and minimums within\n"
    "                  0.02; exit status 1 when one differs\n"
    "  --csv FILE      writes every specimen as read (mm, N/mm2, kN, kNm), its\n"
    "                  prediction, ratio, and why it is out of scope or refused\n"
    "  --threads N     specimens run on N threads (default: every core)\n"
    "  --mesh N        mesh counts of the sections (default 40; the committed\n"
    "                  report uses the default)\n"
    "Without --out or --check it prints the summary. Exit status: 0 done, 1 the\n"
    "check found a difference or nothing could be predicted, 2 an error.\n";

bool option(const char* arg, const char* name, int& i, int argc, char** argv, std::string& value) {
    const size_t n = std::strlen(name);
    if (std::strncmp(arg, name, n) != 0) return false;
    if (arg[n] == '=') {
        value = arg + n + 1;
        return true;
    }
    if (arg[n] != 0) return false;
    if (i + 1 >= argc) throw px::AppError(std::string(name) + " needs a value");
    value = argv[++i];
    return true;
}

}  // namespace

// 0 once everything printed has arrived; otherwise the reason and 2, so a
// script never takes a cut-off summary for a whole one.
int finishOutput() {
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
    std::fprintf(stderr, "pillarix-validate: Cannot write to standard output. %s.\n", std::strerror(errno ? errno : EIO));
    return 2;
}

int main(int argc, char** argv) {
    using namespace px::validation;
    // Past a file-size limit a write fails and is reported like any other
    // failed write, instead of the signal ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        std::string data = "validation/data", out, check, csv, threads, mesh;
        for (int i = 1; i < argc; ++i) {
            const char* a = argv[i];
            if (std::strcmp(a, "--help") == 0) {
                std::fputs(kHelp, stdout);
                return finishOutput();
            }
            if (!option(a, "--data", i, argc, argv, data) && !option(a, "--out", i, argc, argv, out) &&
                !option(a, "--check", i, argc, argv, check) && !option(a, "--threads", i, argc, argv, threads) &&
                !option(a, "--mesh", i, argc, argv, mesh) && !option(a, "--csv", i, argc, argv, csv))
                throw px::AppError(std::string("unknown argument \"") + a + "\"\n" + kHelp);
        }
        RunSettings settings;
        if (!threads.empty()) {
            char* end = nullptr;
            const long n = std::strtol(threads.c_str(), &end, 10);
            if (*end || n < 1 || n > 1024) throw px::AppError("--threads must be a whole number from 1 to 1024");
            settings.Threads = static_cast<int>(n);
        }
        if (!mesh.empty()) {
            char* end = nullptr;
            const long n = std::strtol(mesh.c_str(), &end, 10);
            if (*end || n < 4 || n > 200) throw px::AppError("--mesh must be a whole number from 4 to 200");
            settings.Mesh = static_cast<int>(n);
        }
        std::string committed;
        if (!check.empty()) {
            // Read first: a missing report fails before the run.
            std::ifstream in(check, std::ios::binary);
            if (!in) throw px::AppError("Cannot open file \"" + check + "\"");
            std::ostringstream s;
            s << in.rdbuf();
            committed = s.str();
        }
        std::vector<DataFile> files;
        const std::vector<Specimen> all = LoadSpecimens(data, &files);
        const std::vector<Prediction> pred = PredictAll(all, settings);
        const std::vector<MemberPrediction> members = PredictMembers(all, settings);
        const std::vector<GroupStats> groups = GroupStatistics(all, pred);
        const RowCounts counts = CountRows(all, pred);
        // What was read, and every row refused with its file and line.
        std::string read;
        for (const DataFile& f : files)
            read += (read.empty() ? "" : ", ") + f.Name + (f.Read ? " (" + std::to_string(f.Rows) + " rows)" : " (not read: " + f.Note + ")");
        std::printf("Files of \"%s\": %s.\n", data.c_str(), read.empty() ? "no CSV file" : read.c_str());
        for (const Specimen& s : all)
            if (!s.Refused.empty())
                std::fprintf(stderr, "pillarix-validate: %s line %d: refused: %s\n", s.File.c_str(), s.Line,
                             px::displayMessage(s.Refused).c_str());
        std::printf("%d rows read: %d refused, %d out of scope, %d predicted, %d could not be analysed.\n",
                    counts.Read, counts.Refused, counts.OutOfScope, counts.Predicted, counts.Failed);
        int asMembers = 0;
        for (const MemberPrediction& m : members) asMembers += m.Ok;
        std::printf("Of those out of scope, %d predicted as members (slender, or unequal end eccentricities).\n",
                    asMembers);
        if (counts.Predicted == 0) {
            std::fprintf(stderr, "pillarix-validate: nothing could be predicted from \"%s\".\n", data.c_str());
            finishOutput();
            return 1;
        }
        if (!csv.empty()) px::ReplaceFileWith(csv, SpecimenCsv(all, pred), px::FileWording(csv));
        if (!out.empty()) WriteReport(out, all, pred, settings, files, &members);
        if (!check.empty()) {
            const std::vector<SummaryRow> rows = ReadSummary(committed);
            if (rows.empty()) throw px::AppError("\"" + check + "\" has no summary table");
            const std::vector<std::string> diffs =
                CompareWithReport(rows, ReadSummary(BuildReport(all, pred, settings, files, &members)["report.md"]), 0.02);
            for (const std::string& d : diffs) std::fprintf(stderr, "%s\n", d.c_str());
            if (!diffs.empty()) {
                std::fprintf(stderr, "The validation moved from the committed report \"%s\".\n", check.c_str());
                return 1;
            }
            std::printf("The validation matches \"%s\" (%zu table rows).\n", check.c_str(), rows.size());
        }
        if (out.empty() && check.empty()) {
            for (const GroupStats& g : groups)
                std::printf("%s %s: %d, mean %.3f, COV %.3f, 5%% %.3f, min %.3f, below 0.9: %d\n", FamilyName(g.Fam),
                            KindName(g.K), g.S.Count, g.S.Mean, g.S.Cov, g.S.Fractile5, g.S.Min, g.S.Below09);
            for (const MemberGroupStats& g : MemberGroupStatistics(all, members))
                std::printf("%s %s (member analysis): %d, mean %.3f, COV %.3f, 5%% %.3f, min %.3f, below 0.9: %d\n",
                            FamilyName(g.Fam), g.Group.c_str(), g.S.Count, g.S.Mean, g.S.Cov, g.S.Fractile5, g.S.Min,
                            g.S.Below09);
        }
        return finishOutput();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pillarix-validate: %s\n", e.what());
        return 2;
    }
}
