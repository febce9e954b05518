// pillarix-validate: the program's section analysis against the composite
// column tests of validation/data, with a report, or a check of a committed
// report.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "input/error.h"
#include "validation/report.h"
#include "validation/experiments.h"
#include "validation/validate.h"

namespace {

const char* const kHelp =
    "usage: pillarix-validate [--data DIR] [--out DIR] [--check REPORT] [--threads N] [--mesh N]\n"
    "\n"
    "Predicts every test specimen of DIR (default validation/data) that a section\n"
    "analysis can predict and compares the measured strengths with the program's.\n"
    "  --out DIR       writes report.md and its SVG plots into DIR\n"
    "  --check REPORT  compares each family's mean and 5 % fractile of test /\n"
    "                  predicted with REPORT's summary; exit status 1 when one\n"
    "                  moved by more than 0.02\n"
    "  --threads N     specimens run on N threads (default: every core)\n"
    "  --mesh N        mesh counts of the sections (default 40; the committed\n"
    "                  report uses the default)\n"
    "Without --out or --check it prints the summary.\n";

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
    try {
        std::string data = "validation/data", out, check, threads, mesh;
        for (int i = 1; i < argc; ++i) {
            const char* a = argv[i];
            if (std::strcmp(a, "--help") == 0) {
                std::fputs(kHelp, stdout);
                return finishOutput();
            }
            if (!option(a, "--data", i, argc, argv, data) && !option(a, "--out", i, argc, argv, out) &&
                !option(a, "--check", i, argc, argv, check) && !option(a, "--threads", i, argc, argv, threads) &&
                !option(a, "--mesh", i, argc, argv, mesh))
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
        const std::vector<Specimen> all = LoadSpecimens(data);
        const std::vector<Prediction> pred = PredictAll(all, settings);
        const std::vector<GroupStats> groups = GroupStatistics(all, pred);
        if (!out.empty()) WriteReport(out, all, pred, settings);
        if (!check.empty()) {
            const std::vector<SummaryRow> rows = ReadSummary(committed);
            if (rows.empty()) throw px::AppError("\"" + check + "\" has no summary table");
            const std::vector<std::string> diffs = CompareWithReport(rows, groups, 0.02);
            for (const std::string& d : diffs) std::fprintf(stderr, "%s\n", d.c_str());
            if (!diffs.empty()) {
                std::fprintf(stderr, "The validation moved from the committed report \"%s\".\n", check.c_str());
                return 1;
            }
            std::printf("The validation matches \"%s\" (%zu groups).\n", check.c_str(), groups.size());
        }
        if (out.empty() && check.empty())
            for (const GroupStats& g : groups)
                std::printf("%s %s: %d, mean %.3f, COV %.3f, 5%% %.3f, min %.3f, below 0.9: %d\n", FamilyName(g.Fam),
                            KindName(g.K), g.S.Count, g.S.Mean, g.S.Cov, g.S.Fractile5, g.S.Min, g.S.Below09);
        return finishOutput();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pillarix-validate: %s\n", e.what());
        return 2;
    }
}
