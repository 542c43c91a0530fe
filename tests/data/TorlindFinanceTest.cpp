// The finance view of a quote page and its copy into the page's records.
#include "TorlindUtil.h"

#include "MarketConv.h"
#include "PageData.h"
#include "TempFolder.h"
#include "VezizoMain.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kMillionYen = "\xC9\xB4\xCB\xFC\xB1\xDF";                        // 百万円
const std::string kTimes = "\xC7\xDC";                                             // 倍
const std::string kToyotaEuc = "\xA5\xC8\xA5\xE8\xA5\xBF\xBC\xAB\xC6\xB0\xBC\xD6"; // トヨタ自動車

std::string FinanceRow(const std::vector<std::string>& cells) {
    std::string row = "<tr>";
    for (const std::string& c : cells) {
        row += "<td nowrap>" + c + "</td>";
    }
    return row + "</tr>\n";
}

std::string TenCells(const std::string& code, const std::string& first,
                     const std::string& second = "0", const std::string& fourth = "0") {
    return FinanceRow({code, "T", kToyotaEuc, "5,000", "+10", first, second, "1.5", fourth, "2"});
}

int Parse(const std::string& row, FINANCE* out) {
    return CTorlindUtil::ExtractTR(row.c_str(), int32_t(row.size()), out);
}

} // namespace

TEST(FinanceRow, ReadsTenCellsWithUnits) {
    FINANCE f;
    ASSERT_EQ(Parse(TenCells("7203", "1,234" + kMillionYen, "15.3" + kTimes), &f), 0);
    EXPECT_EQ(f.code, 7203);
    EXPECT_EQ(f.market, 0);
    EXPECT_STREQ(f.name, "\x83\x67\x83\x88\x83\x5E\x8E\xA9\x93\xAE\x8E\xD4");
    EXPECT_EQ(f.value[0], 1234.0);
    EXPECT_DOUBLE_EQ(f.value[1], 15.3);
    EXPECT_DOUBLE_EQ(f.value[2], 1.5);
    EXPECT_EQ(f.value[3], 0.0);
    EXPECT_EQ(f.value[4], 2.0);

    ASSERT_EQ(Parse(TenCells("7203", "-", "n/a"), &f), 0);
    EXPECT_EQ(f.value[0], 0.0);
    EXPECT_EQ(f.value[1], 0.0);
    ASSERT_EQ(Parse(TenCells("7203", "99,999,999,999"), &f), 0);
    EXPECT_EQ(f.value[0], 2147483647.0) << "clamped, not undefined";
}

TEST(FinanceRow, RefusesShortRowsAndBadCodes) {
    FINANCE f;
    EXPECT_EQ(Parse(FinanceRow({"7203", "T", "n", "1", "2", "3", "4", "5", "6"}), &f), -1);
    EXPECT_EQ(Parse(TenCells("999", "1"), &f), -1);
    EXPECT_EQ(Parse(TenCells("10000", "1"), &f), -1);
    EXPECT_EQ(Parse(TenCells("code", "1"), &f), -1);

    const std::string longName(40, 'n');
    ASSERT_EQ(Parse(FinanceRow({"1301", "T", longName, "", "", "1", "", "", "", ""}), &f), 0);
    EXPECT_EQ(std::string(f.name), longName.substr(0, 31));
}

class FinancePage : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(table.LoadMarketCsv(VEZIZO_SOURCE_DIR "/Resources/market.csv"), 1);
        g_marketConv = &table;
        page.setCode(0, "1301", 1301, "T", "A");
        page.setCode(1, "6758", 6758, "O", "B");
        page.setCode(2, "8001", 8001, "T", "C");
    }
    void TearDown() override { g_marketConv = nullptr; }

    CMarketConv table;
    CPageData page{0};
    TempFolder folder;
};

TEST_F(FinancePage, CopiesTheValuesAndKeepsTheMarket) {
    const int32_t market = page.getTesselRec(1)->market;
    const std::string body = "<table>" + FinanceRow({"code", "market", "name"}) +
                             TenCells("6758", "12") + TenCells("7203", "99") +
                             TenCells("8001", "0", "0", "3") + TenCells("1301", "0", "0") +
                             "</table>";
    const std::string path = folder.file("f.html");
    WriteBytes(path, body);
    EXPECT_EQ(CTorlindUtil::ExtractFinance(path.c_str(), &page), 2);
    const CTesselRec& sony = *page.getTesselRec(1);
    EXPECT_EQ(sony.finance[0], 12.0);
    EXPECT_EQ(sony.finance[2], 1.5);
    EXPECT_EQ(sony.finance[4], 2.0);
    EXPECT_EQ(sony.market, market) << "the fetch list's market stays";
    EXPECT_EQ(page.getTesselRec(2)->finance[3], 3.0);
    EXPECT_EQ(page.getTesselRec(0)->finance[2], 1.5) << "copied, though not counted";
    for (int slot = 3; slot < 50; ++slot) {
        EXPECT_EQ(page.getTesselRec(slot)->finance[0], 0.0) << "7203 is not on the page";
    }
}

TEST_F(FinancePage, MissingFileChangesNothing) {
    EXPECT_EQ(CTorlindUtil::ExtractFinance(folder.file("absent").c_str(), &page), -1);
    EXPECT_EQ(page.getTesselRec(0)->finance[2], 0.0);
}
