// The listing page: request URLs, the row and cell parsers, and the company
// name rules, on listing pages written here byte by byte in EUC-JP.
#include "ListPageData.h"
#include "QuoteServers.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

// EUC-JP bytes of the texts used below.
const std::string kEucKabu = "(\xB3\xF4)";                                         // (株)
const std::string kEucToyota = "\xA5\xC8\xA5\xE8\xA5\xBF\xBC\xAB\xC6\xB0\xBC\xD6"; // トヨタ自動車
const std::string kEucHeading = "\xA5\xB3\xA1\xBC\xA5\xC9";                        // コード
// The same in Shift-JIS.
const std::string kSjisToyota = "\x83\x67\x83\x88\x83\x5E\x8E\xA9\x93\xAE\x8E\xD4";

std::string Row(const std::string& first, const std::string& name) {
    return "<tr align=right>\n<td><small>" + first + "</small></td>\n<td><a href=\"/q?s=" + first +
           "\">" + name + "</a></td>\n<td>T</td>\n</tr>\n";
}

std::string Page(const std::string& rows) {
    return "<html><head><title>list</title></head><body>\n<table border=1>\n"
           "<tr><th>code</th><th>name</th><th>market</th></tr>\n" +
           rows + "</table>\n</body></html>\n";
}

// n hiragana characters in EUC-JP (2n bytes), and the same in Shift-JIS.
std::string EucKana(int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += std::string{'\xA4', char(0xA2 + i)};
    return s;
}

class ListPageTest : public ::testing::Test {
protected:
    int32_t Extract(const std::string& bytes) {
        WriteBytes(folder.file("listtemp-000.html"), bytes);
        return CListPageData::ExtractListData(path.c_str(), &page);
    }

    // The name that a row with this name cell gives.
    std::string NameOf(const std::string& eucName) {
        LDT ldt;
        const std::string row = Row("1301", eucName);
        EXPECT_EQ(CListPageData::ExtractTR(row.c_str(), int32_t(row.size()), &ldt), 0);
        return ldt.name;
    }

    TempFolder folder;
    std::string path = folder.file("listtemp-000.html");
    CListPageData page{0};
};

TEST(ListPageURL, PagesAskForTheirFirstRowAndHaveTheirOwnFile) {
    const std::string base = "http://" + QuoteHost() + "/l?s=%2a&m=";
    const struct {
        int page;
        const char* m;
        const char* temp;
    } cases[] = {{0, "1", "listtemp-000.html"},
                 {1, "51", "listtemp-001.html"},
                 {79, "3951", "listtemp-079.html"}};
    for (const auto& c : cases) {
        CListPageData page(c.page);
        EXPECT_EQ(page.getURL(), base + c.m);
        EXPECT_STREQ(page.getWebTemp(), c.temp);
        EXPECT_EQ(page.getLDT(50), nullptr);
    }
}

TEST_F(ListPageTest, StockRowsAndIndexRowsAreTakenHeadingsSkipped) {
    const std::string rows = Row(kEucHeading, "name") + "<tr></tr>\n" + Row("1301", "Nissui") +
                             Row("23337", "Index A") + Row("998405", "Index B") +
                             Row("998407", "Index C") + Row("7203", kEucToyota);
    EXPECT_EQ(Extract(Page(rows)), 0);
    ASSERT_EQ(page.nRows(), 5);
    const struct {
        int32_t code;
        const char* text;
        std::string name;
    } want[] = {{1301, "1301", "Nissui"},
                {1002, "23337", "Index A"},
                {1001, "998405", "Index B"},
                {1010, "998407", "Index C"},
                {7203, "7203", kSjisToyota}};
    for (int i = 0; i < 5; ++i) {
        const LDT* ldt = page.getLDT(i);
        EXPECT_EQ(ldt->code, want[i].code);
        EXPECT_STREQ(ldt->codeText, want[i].text);
        EXPECT_EQ(ldt->name, want[i].name);
        EXPECT_EQ(ldt->market, 99);
        EXPECT_EQ(ldt->added, 0);
    }
    // The skipped rows left nothing behind in the first free slot.
    EXPECT_EQ(page.getLDT(5)->code, 0);
    EXPECT_STREQ(page.getLDT(5)->name, "");
}

TEST_F(ListPageTest, PlainNumberThatIsNoStockCodeEndsThePage) {
    for (const char* bad : {"999", "10000", "99999999999", "-1301"}) {
        SCOPED_TRACE(bad);
        const std::string rows = Row("1301", "A") + Row(bad, "B") + Row("1332", "C");
        EXPECT_EQ(Extract(Page(rows)), -1);
        EXPECT_EQ(page.nRows(), 1);
        EXPECT_EQ(page.getLDT(0)->code, 1301);
        EXPECT_EQ(page.getLDT(1)->code, 0);
    }
}

// Codes with letters, which the files cannot hold, and codes a request cannot
// carry are skipped and counted; the rest of the page is read.
TEST_F(ListPageTest, CodesThatCannotBeTakenAreSkippedAndCounted) {
    const std::string rows = Row("1301", "A") + Row("130A", "B") + Row("285a", "C") +
                             Row("1302&d=v3", "D") + Row("1303\n77", "E") + Row("1304,55", "F") +
                             Row(" 1305\r\n", "G") + Row("6758.O", "H") + Row("12AB", "I") +
                             Row("130AB", "J") + Row("1306", "K");
    EXPECT_EQ(Extract(Page(rows)), 0);
    const struct {
        int32_t code;
        const char* text;
    } taken[] = {{1301, "1301"}, {1305, "1305"}, {6758, "6758.O"}, {1306, "1306"}};
    ASSERT_EQ(page.nRows(), int32_t(std::size(taken)));
    for (size_t i = 0; i < std::size(taken); ++i) {
        EXPECT_EQ(page.getLDT(int32_t(i))->code, taken[i].code);
        EXPECT_STREQ(page.getLDT(int32_t(i))->codeText, taken[i].text);
    }
    EXPECT_EQ(page.nLetterCodes(), 3);  // 130A, 285a, 12AB
    EXPECT_EQ(page.nRefusedCodes(), 4); // &d=v3, a line end, a comma, 130AB
    // A new extraction counts afresh.
    EXPECT_EQ(Extract(Page(Row("1301", "A"))), 0);
    EXPECT_EQ(page.nLetterCodes(), 0);
    EXPECT_EQ(page.nRefusedCodes(), 0);
}

TEST_F(ListPageTest, CompanyNameLosesKabuAtEitherEnd) {
    EXPECT_EQ(NameOf(kEucKabu + kEucToyota), kSjisToyota);
    EXPECT_EQ(NameOf(kEucToyota + kEucKabu), kSjisToyota);
    EXPECT_EQ(NameOf(kEucKabu), "");
    // Only at the start, or at the end; never both, never in the middle.
    EXPECT_EQ(NameOf(kEucKabu + "A" + kEucKabu), "A(\x8A\x94)");
    EXPECT_EQ(NameOf("A" + kEucKabu + "B"), "A(\x8A\x94)B");
}

TEST_F(ListPageTest, LongNameIsCutWithoutSplittingACharacter) {
    const std::string sjis40 = NameOf(EucKana(20)); // 40 bytes
    ASSERT_EQ(sjis40.size(), 30u);
    EXPECT_EQ(sjis40.substr(28), "\x82\xAE"); // the 15th kana
    // One ASCII letter first: the character across the 30th byte stays whole.
    const std::string sjis41 = NameOf("A" + EucKana(20));
    ASSERT_EQ(sjis41.size(), 31u);
    EXPECT_EQ(sjis41.substr(29), "\x82\xAE"); // the 15th kana, whole
    EXPECT_EQ(NameOf(EucKana(15)).size(), 30u);
}

TEST_F(ListPageTest, HostileCellsStayInsideTheirFields) {
    // Line ends and other control bytes would break the fetch list apart.
    EXPECT_EQ(NameOf("Nis\r\nsui\t\x7F"), "Nissui");
    LDT ldt;
    std::string row = Row("1301" + std::string(40, '7'), "A");
    EXPECT_EQ(CListPageData::ExtractTR(row.c_str(), int32_t(row.size()), &ldt),
              CListPageData::kRowEndsPage); // a plain number, far too big
    row = Row("1301x" + std::string(40, '7'), "A");
    EXPECT_EQ(CListPageData::ExtractTR(row.c_str(), int32_t(row.size()), &ldt),
              CListPageData::kRowRefusedCode); // longer than any code
    EXPECT_EQ(ldt.code, 0);
    EXPECT_STREQ(ldt.codeText, "");

    // A cell without its end runs to the end of the row; a row without cells has no code.
    row = "<tr><td>1302<td>B</tr>";
    ldt = LDT();
    EXPECT_EQ(CListPageData::ExtractTR(row.c_str(), int32_t(row.size()), &ldt), 0);
    EXPECT_EQ(ldt.code, 1302);
    EXPECT_EQ(CListPageData::ExtractTR("<tr></tr><td>1303</td>", 9, &ldt), 1);

    // A cell's text: outside the tags, at most 255 bytes of the first 1024.
    char text[256];
    const std::string cell = "<td><b>" + std::string(300, 'x') + "</b></td>";
    CListPageData::ExtractTD(cell.c_str(), int32_t(cell.size()), text);
    EXPECT_EQ(std::string(text), std::string(255, 'x'));
    CListPageData::ExtractTD("<td>abcdef</td>", 7, text);
    EXPECT_STREQ(text, "abc");
}

TEST_F(ListPageTest, PageHoldsAtMostFiftyRowsAndOnlyItsFirst10240Bytes) {
    std::string rows;
    for (int i = 0; i < 55; ++i)
        rows += "<tr><td>" + std::to_string(1300 + i) + "</td><td>N</td></tr>";
    EXPECT_EQ(Extract(Page(rows)), 0);
    EXPECT_EQ(page.nRows(), 50);
    EXPECT_EQ(page.getLDT(49)->code, 1349);

    // A row that ends past the examined bytes is not read.
    const std::string head = "<!--" + std::string(10240 - 4 - 20, '-') + "-->";
    EXPECT_EQ(Extract(head + "<tr><td>1301</td><td>N</td></tr>"), 0);
    EXPECT_EQ(page.nRows(), 0);
    EXPECT_EQ(page.getLDT(0)->code, 0);
}

TEST_F(ListPageTest, MissingFileGivesMinusOneAndNoRow) {
    EXPECT_EQ(Extract(Page(Row("1301", "A"))), 0);
    ASSERT_EQ(page.nRows(), 1);
    unlink(path.c_str());
    EXPECT_EQ(CListPageData::ExtractListData(path.c_str(), &page), -1);
    EXPECT_EQ(page.nRows(), 0);
    EXPECT_EQ(page.getLDT(0)->code, 0);
}

} // namespace
