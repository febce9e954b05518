// The tutorial page that ships beside the program: every text of its tables
// stands inside a row, where a browser shows it in place (text between rows
// is thrown above the table, out of its context).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string tutorial() {
    std::ifstream f(std::string(PILLARIX_BINARY_DIR) + "/tutorial.html", std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

bool blank(const std::string& s) { return s.find_first_not_of(" \t\r\n") == std::string::npos; }

}  // namespace

TEST(Tutorial, TablesHoldNothingBetweenTheirRows) {
    const std::string page = tutorial();
    ASSERT_FALSE(page.empty());
    int tables = 0;
    for (size_t open = page.find("<table>"); open != std::string::npos; open = page.find("<table>", open + 1)) {
        ++tables;
        const size_t close = page.find("</table>", open);
        ASSERT_NE(close, std::string::npos);
        size_t at = open + 7;  // after "<table>"
        while (true) {
            const size_t row = page.find("<tr>", at);
            const size_t next = row == std::string::npos || row > close ? close : row;
            EXPECT_TRUE(blank(page.substr(at, next - at))) << "text between rows: " << page.substr(at, next - at);
            if (next == close) break;
            const size_t end = page.find("</tr>", row);
            ASSERT_NE(end, std::string::npos);
            at = end + 5;
        }
    }
    EXPECT_GT(tables, 0);
}
