// The table walker: rows and cells in order, stray ends passed over, no search
// beyond the length it is given.
#include "TableScan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

Texts Rows(const std::string& page) {
    Texts rows;
    int32_t pos = 0;
    int32_t start = 0;
    while (const int32_t length = NextTableRow(page.data(), int32_t(page.size()), &pos, &start))
        rows.push_back(page.substr(size_t(start), size_t(length)));
    return rows;
}

// The text of each cell of a row.
Texts Cells(const std::string& row) {
    Texts cells;
    CTableCells walk(row.data(), int32_t(row.size()));
    int32_t start = 0;
    int32_t length = 0;
    while (walk.Next(&start, &length)) {
        char text[256];
        ExtractCellText(row.data() + start, length, text, sizeof text);
        cells.emplace_back(text);
    }
    return cells;
}

} // namespace

TEST(TableScan, RowsRunFromTrToTheNextRowEnd) {
    const struct {
        const char* name;
        std::string page;
        Texts rows;
    } cases[] = {
        {"two rows",
         "<table><tr><td>a</td></tr>\n<tr x>b</tr></table>",
         {"<tr><td>a</td></tr>", "<tr x>b</tr>"}},
        {"stray row ends before a row", "</tr></tr>x</tr><tr>a</tr>", {"<tr>a</tr>"}},
        {"a row start inside a row", "<tr>a<tr>b</tr>c</tr>", {"<tr>a<tr>b</tr>"}},
        {"a last row without its end", "<tr>a</tr><tr>b</t", {"<tr>a</tr>"}},
        {"no row start", "</tr><td>a</td></tr>", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Rows(c.page), c.rows);
    }
}

TEST(TableScan, CellsRunFromTdToTheNextCellEnd) {
    const struct {
        const char* name;
        std::string row;
        Texts cells;
    } cases[] = {
        {"three cells", "<tr><td>1</td><td a>2</td><td><b>3</b></td></tr>", {"1", "2", "3"}},
        {"a stray cell end is a cell without text",
         "<tr><td>1</td></td></td><td>2</td></tr>",
         {"1", "", "", "2"}},
        {"a cell without its end runs to the row's end", "<tr><td>1<td>2</tr>", {"12"}},
        {"no cell", "<tr>x</td></tr>", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Cells(c.row), c.cells);
    }
}

TEST(TableScan, SearchesStayInsideTheGivenLength) {
    const std::string text = "ab<tr><td>";
    EXPECT_EQ(FindInRange(text.data(), 5, 0, "<tr"), 2);
    EXPECT_EQ(FindInRange(text.data(), 4, 0, "<tr"), -1);
    EXPECT_EQ(FindInRange(text.data(), 10, 3, "<tr"), -1);
    EXPECT_EQ(FindInRange(text.data(), 10, 3, "<td"), 6);
    // A row whose end lies beyond the length is no row.
    int32_t pos = 0;
    int32_t start = 0;
    const std::string page = "<tr>a</tr>";
    EXPECT_EQ(NextTableRow(page.data(), int32_t(page.size()) - 1, &pos, &start), 0);
}
