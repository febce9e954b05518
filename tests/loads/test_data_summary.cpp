#include <gtest/gtest.h>

#include "loads/csv_import.h"
#include "loads/data_summary.h"

using namespace px;

namespace {

using Row = std::array<std::string, 4>;

LoadCombinationTable table(std::initializer_list<LoadCombination> items) {
    LoadCombinationTable t;
    t.Count = static_cast<int>(items.size());
    t.Items.assign(1, LoadCombination{});
    t.Items.insert(t.Items.end(), items);
    return t;
}

}  // namespace

TEST(DataSummary, TitleRowAndGoverningCombinations) {
    // P, Mx, My; ties on the largest P (entries 1 and 3), a negative |Mx|
    // winner (entry 2), the smallest P is entry 4, the largest |My| entry 1.
    const DataSummaryGrid g = DataSummary(table({{900, 10, -700}, {100, -300, 5}, {900, 250, 20}, {-2.5, 0, 699}}));
    EXPECT_EQ(g.Cells[0], (Row{"Case", "P", "Mx", "My"}));
    EXPECT_EQ(g.Cells[1], (Row{"N,max", "900", "250", "20"}));  // the later of the tie
    EXPECT_EQ(g.Cells[2], (Row{"N,min", "-3", "0", "699"}));    // -2.5 rounds away from zero
    EXPECT_EQ(g.Cells[3], (Row{"Mx,max", "100", "-300", "5"}));
    EXPECT_EQ(g.Cells[4], (Row{"My,max", "900", "10", "-700"}));
}

TEST(DataSummary, TiesOnAbsoluteMomentGoToTheLaterEntry) {
    const DataSummaryGrid g = DataSummary(table({{1, 300, -50}, {2, -300, 50}, {3, 299, 0}}));
    EXPECT_EQ(g.Cells[3], (Row{"Mx,max", "2", "-300", "50"}));
    EXPECT_EQ(g.Cells[4], (Row{"My,max", "2", "-300", "50"}));
    EXPECT_EQ(g.Cells[2], (Row{"N,min", "1", "300", "-50"}));
}

TEST(DataSummary, SingleCombinationFillsEveryRow) {
    const DataSummaryGrid g = DataSummary(table({{1500.4, -12.5, 0.49}}));
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(g.Cells[r][1], "1500");
        EXPECT_EQ(g.Cells[r][2], "-13");
        EXPECT_EQ(g.Cells[r][3], "0");
    }
    EXPECT_EQ(g.Cells[4][0], "My,max");
}

TEST(DataSummary, NoCombinationWritesOnlyTheTitleRow) {
    const Row empty{};
    for (const LoadCombinationTable& t : {LoadCombinationTable{}, ImportForcesFromText("P,Mx,My\n", 1, 2, 3).Table}) {
        const DataSummaryGrid g = DataSummary(t);
        EXPECT_EQ(g.Cells[0], (Row{"Case", "P", "Mx", "My"}));
        for (int r = 1; r <= 4; ++r) EXPECT_EQ(g.Cells[r], empty);
    }
    // A count larger than the entries held is never read past the end.
    LoadCombinationTable t = table({{5, 6, 7}});
    t.Count = 1000;
    EXPECT_EQ(DataSummary(t).Cells[1], (Row{"N,max", "5", "6", "7"}));
}
