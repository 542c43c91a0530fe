// The table walker: rows and cells in order, stray ends passed over, no search
// beyond the length it is given.
#include "TableScan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Texts = std::vector<std::string>;

// The rows of a page (length: how much of it the walker may see), and the
// text of each cell of each row.
TEST(TableScan, RowsAndCellsRunToTheNextEnd) {
    // clang-format off
    const struct { const char* name; std::string page; int32_t cut; Texts cells; } cases[] = {
        // name                                          page                                                          cut  cells per row, joined by "|"
        {"two rows",                                     "<table><tr><td>1</td><td a>2</td></tr>\n<tr x><td><b>3</b></td></tr>", 0, {"1|2", "3"}},
        {"stray row ends before a row",                  "</tr></tr>x</tr><tr><td>a</td></tr>",                         0,  {"a"}},
        {"a row start inside a row",                     "<tr><td>a<tr>b</tr>c</tr>",                                   0,  {"ab"}},
        {"a last row without its end",                   "<tr><td>a</td></tr><tr>b</t",                                 0,  {"a"}},
        {"a row end beyond the length",                  "<tr><td>a</td></tr>",                                         1,  {}},
        {"no row start",                                 "</tr><td>a</td></tr>",                                        0,  {}},
        {"stray cell ends are cells without text",       "<tr><td>1</td></td></td><td>2</td></tr>",                     0,  {"1|||2"}},
        {"a cell without its end runs to the row's end", "<tr><td>1<td>2</tr>x",                                        0,  {"12"}},
        {"no cell",                                      "<tr>x</td></tr>",                                             0,  {""}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Texts rows;
        int32_t pos = 0, start = 0, length = 0;
        while (
            (length = NextTableRow(c.page.data(), int32_t(c.page.size()) - c.cut, &pos, &start))) {
            CTableCells walk(c.page.data() + start, length);
            std::string cells;
            for (int32_t cellStart = 0, cellLength = 0, n = 0; walk.Next(&cellStart, &cellLength);
                 ++n) {
                char text[256];
                ExtractCellText(c.page.data() + start + cellStart, cellLength, text, sizeof text);
                cells += (n > 0 ? "|" : "") + std::string(text);
            }
            rows.push_back(cells);
        }
        EXPECT_EQ(rows, c.cells);
    }
    const std::string text = "ab<tr><td>";
    EXPECT_EQ(FindInRange(text.data(), 5, 0, "<tr"), 2);
    EXPECT_EQ(FindInRange(text.data(), 4, 0, "<tr"), -1);
    EXPECT_EQ(FindInRange(text.data(), 10, 3, "<tr"), -1);
    EXPECT_EQ(FindInRange(text.data(), 10, 3, "<td"), 6);
    EXPECT_EQ(FindInRange(text.data(), 10, -5, "ab"), 0);
}
