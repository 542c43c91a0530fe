// The listing page: request URLs, the row and cell parsers and the company
// name rules, on listing pages written here in EUC-JP.
#include "ListPageData.h"
#include "TestFolder.h"

namespace {

const std::string kEucKabu = "(\xB3\xF4)";                                         // (株)
const std::string kEucToyota = "\xA5\xC8\xA5\xE8\xA5\xBF\xBC\xAB\xC6\xB0\xBC\xD6"; // トヨタ自動車
const std::string kSjisToyota = "\x83\x67\x83\x88\x83\x5E\x8E\xA9\x93\xAE\x8E\xD4";
const std::string kEucCode = "\xA5\xB3\xA1\xBC\xA5\xC9"; // コード

std::string Row(const std::string& first, const std::string& name) {
    return "<tr align=right>\n<td><small>" + first + "</small></td>\n<td><a href=\"/q?s=" + first +
           "\">" + name + "</a></td>\n<td>T</td>\n</tr>\n";
}

std::string Page(const std::string& rows) {
    return "<html><body>\n<table border=1>\n<tr><th>code</th><th>name</th></tr>\n" + rows +
           "</table>\n</body></html>\n";
}

class ListPageTest : public ::testing::Test {
protected:
    int32_t Extract(const std::string& bytes) {
        WriteBytes(path, bytes);
        return CListPageData::ExtractListData(path.c_str(), &page);
    }

    TempFolder folder;
    std::string path = folder.file("listtemp-000.html");
    CListPageData page{0};
};

// The first cell: a stock code, a number standing for a code of its own, a
// code the files or a request cannot take (skipped), text (a heading), or a
// plain number that is no code and ends the page. The name loses "(株)" at one
// end, line ends and control bytes, and is cut to 30 bytes without splitting a
// character.
TEST_F(ListPageTest, FirstCellDecidesWhatTheRowIsAndTheNameIsCleaned) {
    using L = CListPageData;
    // clang-format off
    struct Case { std::string cell; int32_t result, code; std::string text, name = "A", sjis = "A"; };
    std::vector<Case> rows = {
        // first cell, what the row is, code, code text
        {"1301", L::kRowTaken, 1301, "1301"},     {" 1305\r\n", L::kRowTaken, 1305, "1305"},
        {"6758.O", L::kRowTaken, 6758, "6758.O"}, {"23337", L::kRowTaken, 1002, "23337"},
        {"998405", L::kRowTaken, 1001, "998405"}, {"998407", L::kRowTaken, 1010, "998407"},
        {"1000", L::kRowTaken, 1000, "1000"},     {"9999", L::kRowTaken, 9999, "9999"},
    };
    const struct { int32_t result; std::vector<std::string> cells; } skipped[] = {
        {L::kRowLetterCode,  {"130A", "285a"}},
        {L::kRowRefusedCode, {"130AB", "13A0x", "1.30", "1302&d=v3", "1304,55", "1301x77777777777777777777"}},
        {L::kRowWithoutCode, {"A301", kEucCode}},
        {L::kRowEndsPage,    {"999", "-1301", "+99999999999999999999999"}},
    };
    const struct { std::string euc, sjis; } names[] = { // EUC-JP in, Shift-JIS out
        {kEucKabu + kEucToyota, kSjisToyota},       {kEucToyota + kEucKabu, kSjisToyota},      {kEucKabu, ""},
        {kEucKabu + "A" + kEucKabu, "A(\x8A\x94)"}, {"A" + kEucKabu + "B", "A(\x8A\x94)B"}, {"Nis\r\nsui\t\x7F", "Nissui"},
        {std::string(300, 'n'), std::string(30, 'n')}, {std::string(40, '\xE4'), std::string(30, '\xE2')} /* 粐 */,
        {"A" + std::string(40, '\xE4'), "A" + std::string(30, '\xE2')},
    };
    // clang-format on
    for (const auto& [result, cells] : skipped)
        for (const std::string& cell : cells)
            rows.push_back({cell, result, 0, ""});
    for (const auto& [euc, sjis] : names)
        rows.push_back({"1301", L::kRowTaken, 1301, "1301", euc, sjis});
    for (const auto& row : rows) {
        SCOPED_TRACE(row.cell + " " + row.name);
        LDT ldt;
        const std::string tr = Row(row.cell, row.name);
        EXPECT_EQ(CListPageData::ExtractTR(tr.c_str(), int32_t(tr.size()), &ldt), row.result);
        EXPECT_EQ(ldt.code, row.code);
        EXPECT_EQ(ldt.codeText, row.text);
        if (row.result == L::kRowTaken)
            EXPECT_EQ(ldt.name, row.sjis);
    }
}

TEST_F(ListPageTest, PageTakesItsRowsInOrderAndCountsTheSkipped) {
    EXPECT_EQ(page.getLDT(50), nullptr);
    EXPECT_EQ(Extract(Page(Row(kEucCode, "name") + "<tr></tr>\n" + Row("1301", "Nissui") +
                           Row("130A", "B") + Row("1302&d=v3", "D") + Row("998407", "Index") +
                           Row("7203", kEucToyota))),
              0);
    ASSERT_EQ(page.nRows(), 3);
    EXPECT_EQ(page.getLDT(1)->code, 1010);
    EXPECT_EQ(page.getLDT(2)->name, kSjisToyota);
    EXPECT_EQ(page.getLDT(3)->code, 0); // skipped rows leave nothing behind
    EXPECT_STREQ(page.getLDT(3)->name, "");
    EXPECT_EQ(std::make_pair(page.nLetterCodes(), page.nRefusedCodes()), std::make_pair(1, 1));

    // A plain number that is no code ends the page; a new extraction counts afresh.
    EXPECT_EQ(Extract(Page(Row("1301", "A") + Row("999", "B") + Row("1332", "C"))), -1);
    EXPECT_EQ(page.nRows(), 1);
    EXPECT_EQ(page.getLDT(1)->code, 0);
    EXPECT_EQ(page.nLetterCodes() + page.nRefusedCodes(), 0);

    // At most 50 rows, and only rows that end within the first 10240 bytes.
    std::string many;
    for (int i = 0; i < 55; ++i)
        many += "<tr><td>" + std::to_string(1300 + i) + "</td><td>N</td></tr>";
    EXPECT_EQ(Extract(Page(many)), 0);
    EXPECT_EQ(page.nRows(), 50);
    EXPECT_EQ(page.getLDT(49)->code, 1349);
    const std::string head = "<!--" + std::string(10240 - 4 - 20, '-') + "-->";
    EXPECT_EQ(Extract(head + "<tr><td>1301</td><td>N</td></tr>"), 0);
    EXPECT_EQ(page.nRows(), 0);
    EXPECT_EQ(page.getLDT(0)->code, 0);
}

} // namespace
