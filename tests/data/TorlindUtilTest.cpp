// The company profile page, the finance view of a quote page, and the market
// and industry lookups.
#include "TorlindUtil.h"
#include "PageData.h"
#include "TestFolder.h"

namespace {

// EUC-JP markers of the profile page.
const std::string kCategoryMark =
    "\xA1\xDA\xB6\xC8\xBC\xEF\xCA\xAC\xCE\xE0\xA1\xDB";                     // 【業種分類】
const std::string kMarketMark = "\xA1\xDA\xBB\xD4\xBE\xEC\xCC\xBE\xA1\xDB"; // 【市場名】
const std::string kFeatureMark = "\xA1\xDA\xC6\xC3\xBF\xA7\xA1\xDB";        // 【特色】
const std::string kBusinessMark = "\xBB\xF6\xB6\xC8\xA1\xDB";               // 事業】
const std::string kFundsMark = "\xBB\xF1\xB6\xE2\xA1\xDB";                  // 資金】
const std::string kTosho1 = "\x93\x8C\x8F\xD8\x31\x95\x94"; // 東証1部 in Shift-JIS

std::string Item(const std::string& mark, const std::string& text) {
    return "<tr><td class=k>" + mark + text + "</TD></tr>\n";
}

// A row of the finance view: the code, three cells the record does not keep,
// the name, then five values with their units.
std::string TenCells(const std::string& code, const std::string& first,
                     const std::string& second = "0", const std::string& fourth = "0",
                     const std::string& name = "n") {
    std::string row = "<tr>";
    for (const std::string& c : std::vector<std::string>{code, "T", name, "5,000", "+10", first,
                                                         second, "1.5", fourth, "2"})
        row += "<td nowrap>" + c + "</td>";
    return row + "</tr>\n";
}

using V = std::vector<std::string>;

} // namespace

// The four texts in order, tags inside kept; 事業】 before 資金】, which
// stands in when the business text is missing or empty; an empty text stops
// the later ones; long texts are cut to their fields.
TEST(Profile, TakesTheFourTextsInOrder) {
    TempFolder folder;
    const std::string head = Item(kCategoryMark, "c") + Item(kMarketMark, "m");
    const std::string tail = Item(kFeatureMark, "<b>F</b>") + Item(kFundsMark, "funds");
    const std::string padding(size_t(CTorlindUtil::kMaxProfilePage) - head.size(), ' ');
    // clang-format off
    const struct { const char* name; std::string page; V texts; } rows[] = {
        {"no file",        "",                                                     {"", "", "", ""}}, // before any page is written
        {"all four",       head + tail + Item(kBusinessMark, "b"),                 {"c", "m", "<b>F</b>", "b"}},
        {"no business",    head + tail,                                            {"c", "m", "<b>F</b>", "funds"}},
        {"empty business", head + tail + Item(kBusinessMark, ""),                  {"c", "m", "<b>F</b>", "funds"}},
        {"empty market",   Item(kCategoryMark, "c") + Item(kMarketMark, "") + tail, {"c", "", "", ""}},
        {"no category",    Item(kMarketMark, "m") + tail,                          {"", "", "", ""}},
        {"long texts",     Item(kCategoryMark, std::string(100, 'c')) + Item(kMarketMark, "m") +
                           Item(kFeatureMark, std::string(300, 'f')) + Item(kBusinessMark, "b"),
                           {std::string(62, 'c'), "m", std::string(254, 'f'), "b"}},
        {"EUC-JP texts",   Item(kCategoryMark, "\xC5\xC5\xB5\xA4\xB5\xA1\xB4\xEF") +
                               Item(kMarketMark, "\xC5\xEC\xBE\xDA\x31\xC9\xF4"),
                           {"\x93\x64\x8B\x43\x8B\x40\x8A\xED", kTosho1, "", ""}}, // 電気機器
        // Only the first mebibyte is read: seven bytes more push the ">" of "</TD>" beyond it.
        {"a mebibyte",     padding + head,                                         {"c", "m", "", ""}},
        {"beyond it",      padding + std::string(7, ' ') + head,                   {"c", "", "", ""}},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FUNDAMENTAL r;
        memset(&r, 'x', sizeof r);
        if (!row.page.empty())
            WriteBytes(folder.file("p.html"), row.page);
        EXPECT_EQ(CTorlindUtil::ExtractFundamental(folder.file("p.html").c_str(), &r),
                  row.page.empty() ? -1 : 0);
        EXPECT_EQ(r.feature[255], '\0');
        EXPECT_EQ((V{r.category, r.market, r.feature, r.business}), row.texts);
    }
}

TEST_F(ShippedMarkets, CategoriesAndMarketsOfAProfile) {
    // The table names are compared as prefixes of the page's text.
    // clang-format off
    const struct { const char* sjis; int32_t code; } categories[] = {
        // 電気機器, 情報・通信業, 証券、商品先物取引業, 証券業, その他金融業, 証券業 after a blank, 証券
        {"\x93\x64\x8B\x43\x8B\x40\x8A\xED", 16}, {"\x8F\xEE\x95\xF1\x81\x45\x92\xCA\x90\x4D\x8B\xC6", 25},
        {"\x8F\xD8\x8C\x94\x81\x41\x8F\xA4\x95\x69\x90\xE6\x95\xA8\x8E\xE6\x88\xF8\x8B\xC6", 0},
        {"\x8F\xD8\x8C\x94\x8B\xC6", 29}, {"\x82\xBB\x82\xCC\x91\xBC\x8B\xE0\x97\x5A\x8B\xC6", 31},
        {" \x8F\xD8\x8C\x94\x8B\xC6", 0}, {"\x8F\xD8\x8C\x94", 0},
    };
    // clang-format on
    for (const auto& c : categories)
        EXPECT_EQ(CTorlindUtil::CategoryCode(c.sjis), c.code) << c.code;

    // The listing job takes a market's local code plus one as its DS code: the
    // shipped table must keep the two in step, and its names and fetch codes
    // must each lead to their own row.
    for (int32_t i = 0; i < markets.nEntries(); ++i) {
        char fetchCode[4], name[32];
        markets.LocalCodeToFetchCode(i, fetchCode);
        markets.LocalCodeToMarketName(i, name);
        EXPECT_EQ(CTorlindUtil::MarketCode(name + 1), i + 1) << name;
        EXPECT_EQ(markets.FetchCodeToLocalCode(fetchCode), i);
    }
    EXPECT_EQ(CTorlindUtil::MarketCode(""), 1) << "an empty name matches the first entry";
    EXPECT_EQ(CTorlindUtil::MarketCode("nowhere"), 0);
    g_marketConv = nullptr;
    EXPECT_EQ(CTorlindUtil::MarketCode(kTosho1.c_str()), 0);
}

// Ten cells: the code, three the record does not keep, the name (cut at 31
// bytes), then five values with their units; a short row or a code outside
// 1000..9999 is refused.
TEST(FinanceRow, ReadsTenCellsWithUnits) {
    // clang-format off
    const std::string longName = std::string(40, 'n') + "\xA5\xC8";
    const struct { const char* name; std::string row; std::vector<double> values; std::string name31; } rows[] = {
        // name     row (units 百万円 and 倍)                                            values, none: refused; name kept
        {"units",   TenCells("1000", "1,230\xC9\xB4\xCB\xFC\xB1\xDF", "15.3\xC7\xDC"), {1230, 15.3, 1.5, 0, 2}, "n"},
        {"dashes",  TenCells("9999", "-", "n/a"),                                   {0, 0, 1.5, 0, 2},       "n"},
        {"clamped", TenCells("7203", "99,999,999,999", "0", "0", longName), {INT32_MAX, 0, 1.5, 0, 2}, std::string(31, 'n')},
        {"nine cells",
         "<tr><td>7203</td><td>T</td><td>n</td><td>1</td><td>2</td><td>3</td><td>4</td><td>5</td><td>6</td></tr>", {}, ""},
        {"code 999", TenCells("999", "1"), {}, ""}, {"code 10000", TenCells("10000", "1"), {}, ""},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        FINANCE f;
        EXPECT_EQ(CTorlindUtil::ExtractTR(r.row.c_str(), int32_t(r.row.size()), &f),
                  r.values.empty() ? -1 : 0);
        if (!r.values.empty()) {
            EXPECT_EQ(std::vector<double>(f.value, f.value + 5), r.values);
            EXPECT_EQ(f.name, r.name31);
        }
    }
}

// Values go to the stocks of the page; a stock counts when it has the first,
// second or fourth value; the market stays the fetch list's.
TEST_F(ShippedMarkets, FinanceGoesToThePagesStocks) {
    CPageData page(0);
    page.setCode(0, "1301", 1301, "T", "A");
    page.setCode(1, "6758", 6758, "O", "B");
    page.setCode(2, "8001", 8001, "T", "C");
    TempFolder folder;
    const std::string path = folder.file("f.html");
    EXPECT_EQ(CTorlindUtil::ExtractFinance(path.c_str(), &page), -1);
    WriteBytes(path, "<table><tr><td>code</td></tr>" + TenCells("6758", "12") +
                         TenCells("7203", "99") + TenCells("8001", "0", "0", "3") +
                         TenCells("1301", "0", "0") + "</table>");
    EXPECT_EQ(CTorlindUtil::ExtractFinance(path.c_str(), &page), 2);
    const double* sony = page.getTesselRec(1)->finance;
    EXPECT_EQ(std::vector<double>(sony, sony + 5), (std::vector<double>{12, 0, 1.5, 0, 2}));
    EXPECT_EQ(page.getTesselRec(1)->market, 3); // O, the fourth market
    EXPECT_EQ(page.getTesselRec(2)->finance[3], 3.0);
    EXPECT_EQ(page.getTesselRec(0)->finance[2], 1.5) << "copied, though not counted";
    for (int slot = 3; slot < 50; ++slot)
        EXPECT_EQ(page.getTesselRec(slot)->finance[0], 0.0) << "7203 is not on the page";
}
