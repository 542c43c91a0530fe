// The finance view of a quote page and its copy into the page's records.
#include "PageData.h"
#include "TestFolder.h"
#include "TorlindUtil.h"

namespace {

std::string TenCells(const std::string& code, const std::string& first,
                     const std::string& second = "0", const std::string& fourth = "0",
                     const std::string& name = "n") {
    std::string row = "<tr>";
    for (const std::string& c :
         {code, std::string("T"), name, std::string("5,000"), std::string("+10"), first, second,
          std::string("1.5"), fourth, std::string("2")})
        row += "<td nowrap>" + c + "</td>";
    return row + "</tr>\n";
}

} // namespace

// Ten cells: the code, three the record does not keep, the name (cut at 31
// bytes), then five values with their units; a short row or a code outside
// 1000..9999 is refused.
TEST(FinanceRow, ReadsTenCellsWithUnits) {
    const struct {
        const char* name;
        std::string row;
        std::vector<double> values; // empty: refused
    } rows[] = {
        {"units",
         TenCells("1000", "1,230\xC9\xB4\xCB\xFC\xB1\xDF", "15.3\xC7\xDC"), // 百万円, 倍
         {1230, 15.3, 1.5, 0, 2}},
        {"dashes", TenCells("9999", "-", "n/a"), {0, 0, 1.5, 0, 2}},
        {"clamped, not undefined", TenCells("7203", "99,999,999,999"), {2147483647, 0, 1.5, 0, 2}},
        {"nine cells",
         "<tr><td>7203</td><td>T</td><td>n</td><td>1</td><td>2</td><td>3</td><td>4"
         "</td><td>5</td><td>6</td></tr>",
         {}},
        {"code 999", TenCells("999", "1"), {}},
        {"code 10000", TenCells("10000", "1"), {}},
        {"text code", TenCells("code", "1"), {}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        FINANCE f;
        const int32_t result = CTorlindUtil::ExtractTR(r.row.c_str(), int32_t(r.row.size()), &f);
        EXPECT_EQ(result, r.values.empty() ? -1 : 0);
        if (!r.values.empty())
            EXPECT_EQ(std::vector<double>(f.value, f.value + 5), r.values);
    }
    const std::string row = TenCells("7203", "1", "0", "0", std::string(40, 'n') + "\xA5\xC8");
    FINANCE f;
    ASSERT_EQ(CTorlindUtil::ExtractTR(row.c_str(), int32_t(row.size()), &f), 0);
    EXPECT_EQ(f.code, 7203);
    EXPECT_EQ(f.market, 0);
    EXPECT_EQ(std::string(f.name), std::string(31, 'n'));
}

// Values go to the stocks of the page; a stock counts when it has the first,
// second or fourth value; the market stays the fetch list's.
TEST(FinancePage, CopiesTheValuesAndKeepsTheMarket) {
    CMarketConv table;
    ASSERT_EQ(table.LoadMarketCsv(VEZIZO_SOURCE_DIR "/Resources/market.csv"), 1);
    g_marketConv = &table;
    CPageData page(0);
    page.setCode(0, "1301", 1301, "T", "A");
    page.setCode(1, "6758", 6758, "O", "B");
    page.setCode(2, "8001", 8001, "T", "C");
    const int32_t market = page.getTesselRec(1)->market;
    TempFolder folder;
    const std::string path = folder.file("f.html");
    EXPECT_EQ(CTorlindUtil::ExtractFinance(path.c_str(), &page), -1);
    WriteBytes(path, "<table><tr><td>code</td></tr>" + TenCells("6758", "12") +
                         TenCells("7203", "99") + TenCells("8001", "0", "0", "3") +
                         TenCells("1301", "0", "0") + "</table>");
    EXPECT_EQ(CTorlindUtil::ExtractFinance(path.c_str(), &page), 2);
    const double* sony = page.getTesselRec(1)->finance;
    EXPECT_EQ(std::vector<double>(sony, sony + 5), (std::vector<double>{12, 0, 1.5, 0, 2}));
    EXPECT_EQ(page.getTesselRec(1)->market, market);
    EXPECT_EQ(page.getTesselRec(2)->finance[3], 3.0);
    EXPECT_EQ(page.getTesselRec(0)->finance[2], 1.5) << "copied, though not counted";
    for (int slot = 3; slot < 50; ++slot)
        EXPECT_EQ(page.getTesselRec(slot)->finance[0], 0.0) << "7203 is not on the page";
    g_marketConv = nullptr;
}
