#include "loads/data_summary.h"

#include <cmath>
#include <functional>

#include "input/numbers.h"

namespace px {

namespace {

// Index of the entry whose key wins: the running value starts at entry 1's
// key, follows the larger (or smaller) key, and every entry whose key equals
// the running value after the update becomes the chosen one.
int select(const LoadCombinationTable& t, int count, const std::function<double(const LoadCombination&)>& key,
           bool larger) {
    const auto& items = t.Items;
    double running = key(items[1]);
    int chosen = 1;
    for (int i = 1; i <= count; ++i) {
        const double k = key(items[static_cast<size_t>(i)]);
        running = larger ? (k > running ? k : running) : (k < running ? k : running);
        if (k == running) chosen = i;
    }
    return chosen;
}

}  // namespace

DataSummaryGrid DataSummary(const LoadCombinationTable& table) {
    DataSummaryGrid g;
    g.Cells[0] = {"Case", "P", "Mx", "My"};
    int count = table.Count;
    const int available = table.Items.empty() ? 0 : static_cast<int>(table.Items.size() - 1);
    if (count > available) count = available;
    if (count < 1) return g;

    struct Row {
        const char* caption;
        std::function<double(const LoadCombination&)> key;
        bool larger;
    };
    const Row rows[] = {
        {"N,max", [](const LoadCombination& c) { return c.P; }, true},
        {"N,min", [](const LoadCombination& c) { return c.P; }, false},
        {"Mx,max", [](const LoadCombination& c) { return std::fabs(c.Mx); }, true},
        {"My,max", [](const LoadCombination& c) { return std::fabs(c.My); }, true},
    };
    for (int r = 0; r < 4; ++r) {
        const int i = select(table, count, rows[r].key, rows[r].larger);
        const LoadCombination& c = table.Items[static_cast<size_t>(i)];
        g.Cells[static_cast<size_t>(r + 1)] = {rows[r].caption, F0(c.P), F0(c.Mx), F0(c.My)};
    }
    return g;
}

}  // namespace px
