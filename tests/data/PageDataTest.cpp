// The quote page: its URLs and the parser of the EUC-JP page the server sends.
#include "TestFolder.h"

#include <ctime>

namespace {

// 一致する銘柄はありません: the server's answer for an unknown code
const std::string kEucNoSuchStock = "\xb0\xec\xc3\xd7\xa4\xb9\xa4\xeb\xcc\xc3\xca\xc1\xa4\xcf"
                                    "\xa4\xa2\xa4\xea\xa4\xde\xa4\xbb\xa4\xf3";

const std::string kHead = "<html><table><tr><td>top</td></tr></table>\n<table><tr><td>"
                          "\xa5\xb3\xa1\xbc\xa5\xc9</td></tr>\n"; // コード

// One row as the server lays it out: code, name, date, price, change, rate,
// volume, open, high, low and a cell the parser does not read.
std::string Row(const std::string& code, const std::string& price,
                const std::string& date = "12/25", const std::string& name = "ABC",
                const std::string& rest = "12,300</td><td>1,200</td><td>1,250</td><td>1,190") {
    return "<tr align=right><td nowrap><a href=\"/q?s=" + code + "&d=b\">" + code +
           "</a></td><td>" + name + "</td><td>" + date + "</td><td><b>" + price +
           "</b></td><td>+5</td><td>+0.50%" + "</td><td>" + rest + "</td><td>-</td></tr>\n";
}

// month, day, close, volume, open, high, low
std::vector<double> Figures(const CTesselRec* r) {
    return {double(r->month), double(r->day), r->close, r->volume, r->open, r->high, r->low};
}

class PageDataTest : public DailyTestFolder {
protected:
    void SetUp() override {
        DailyTestFolder::SetUp();
        for (const auto& [slot, code, market] :
             {std::tuple{0, "1301", "T"}, {1, "6758", "O"}, {2, "8001", "T"}})
            page.setCode(slot, code, std::atoi(code), market, code);
    }
    // Reads the rows, in a page of the server's layout unless bare, into the page.
    void Extract(const std::string& rows, bool bare = false) {
        WriteFile("webtemp-000.html", bare ? rows : kHead + rows + "</table></html>\n");
        CPageData::ExtractData(PathOf("webtemp-000.html").c_str(), &page);
    }

    CPageData page{0};
};

} // namespace

TEST_F(PageDataTest, StocksTakeTheirRowsInSlotOrder) {
    Extract(Row("1301", "\xa2\xa5\x31,234", "12/25", "\xc6\xfc\xcb\xdc") + // ▲1,234
            Row("6758.O", "6,420", "12/25", "Sony",
                "1,234,500</td><td>6,400</td><td>6,450</td><td>6,380") +
            Row("8001", "1,234.5"));
    EXPECT_EQ(page.nExtracted(), 3);
    EXPECT_EQ(page.getTesselRec(0)->close, 1234);
    EXPECT_EQ(Figures(page.getTesselRec(1)),
              (std::vector<double>{12, 25, 6420, 1234500, 6400, 6450, 6380}));
    EXPECT_EQ(page.getTesselRec(2)->close, 1234.5);
    EXPECT_STREQ(page.getTesselRec(0)->name, "1301"); // the page's name is not kept
    EXPECT_FALSE(std::filesystem::exists(PathOf("ERRORLOG.TXT")));
    CPageData::ExtractData(PathOf("absent.html").c_str(), &page); // leaves the page as it was
    EXPECT_EQ(page.nExtracted(), 3);
    Extract("", true); // an empty page keeps no quote of the earlier read
    EXPECT_EQ(page.nExtracted(), 0);
}

// The log is appended to with the stocks that gave no price (hostile figures
// are 0); a row the page lacks stalls the later slots; a slot without a quote
// code is not waited for.
TEST_F(PageDataTest, StocksWithoutAPriceAreLoggedAndNotCounted) {
    WriteFile("ERRORLOG.TXT", "earlier line\n");
    Extract(Row("1301", "300") + Row("6758", "", "", kEucNoSuchStock) +
            Row("8001", "nan", "99999999999/99999999999", "x",
                "inf</td><td>1e999</td><td>-nan</td><td>12")); // hostile figures become 0
    EXPECT_EQ(page.nExtracted(), 1);
    EXPECT_EQ(page.getTesselRec(1)->valid, 0);
    EXPECT_EQ(Figures(page.getTesselRec(2)), (std::vector<double>{0, 0, 0, 0, 0, 0, 12}));
    EXPECT_EQ(ReadFile("ERRORLOG.TXT"),
              "earlier line\npage=0 code=6758 name=6758\npage=0 code=8001 name=8001\n");
    Extract(Row("1301", "300") + Row("8001", "500"));
    EXPECT_EQ(page.nExtracted(), 1);
    EXPECT_EQ(Figures(page.getTesselRec(2)), (std::vector<double>{0, 0, 0, 0, 0, 0, 0}));
    page.setCode(1, "", 0, "", "");
    Extract(Row("1301", "300") + Row("8001", "500"));
    EXPECT_EQ(page.nExtracted(), 2);
}

// The page shows month and day only; the year is the clock's, or the one
// before when the day lies after tomorrow. A cell that is no month and day
// gives none, and the page takes today's date.
TEST_F(PageDataTest, QuotesTakeTheYearTheyWereMadeIn) {
    // clang-format off
    const struct { const char* name; const char* quotes; int today[3]; int year; } cases[] = {
        // name                                   shown    the clock's year, month, day   year
        {"12/30 read on 2 January",               "12/30", {2027, 1, 2},                  2026},
        {"tomorrow, by a clock behind Japan's",   "12/07", {2026, 12, 6},                 2026},
        {"early in the year",                     "01/07", {2026, 12, 6},                 2026},
        {"the first of a month",                  "12/01", {2026, 12, 6},                 2026},
        {"the end of the year, on the last day",  "12/30", {2026, 12, 31},                2026},
        {"after tomorrow",                        "03/09", {2026, 3, 7},                  2025},
        {"a time of day",                         "15:00", {2026, 3, 7},                  2026},
        {"month 13",                              "13/05", {2026, 3, 7},                  2026},
        {"day 32",                                "01/32", {2026, 3, 7},                  2026},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Extract(Row("1301", "300", c.quotes));
        std::tm clock{0, 0, 16, c.today[2], c.today[1] - 1, c.today[0] - 1900,
                      0, 0, -1, 0,          nullptr};
        int32_t year, month, day;
        page.getDate(year, month, day, std::mktime(&clock));
        const int shown = std::atoi(c.quotes) * 100 + std::atoi(c.quotes + 3);
        const bool valid = shown % 100 <= 31 && shown / 100 <= 12;
        EXPECT_EQ(page.getTesselRec(0)->month, valid ? shown / 100 : 0);
        EXPECT_EQ(year, c.year);
        EXPECT_EQ(month * 100 + day, valid ? shown : c.today[1] * 100 + c.today[2]);
    }
}

// Figures stay finite; a malformed or short page is read only inside itself and keeps no quote of
// an earlier read. A code cell over 30 bytes is compared by its first 31.
TEST_F(PageDataTest, MalformedRowsStayInsideThePage) {
    const std::string longCode(40, 'Z');
    page.setCode(1, longCode.c_str(), 2, "T", longCode.c_str()); // kept as 11 and 30 bytes
    Extract("</tr><tr><td>1301</td><td>A</td><td>1/2</td><td>" + std::string(600, '9') +
                "</td><td></td><td></td><td>5,000</tr><tr><td>" + longCode +
                "</td><td>B</td></tr><tr><td>8001</td><td>C</td><td>700",
            true);
    EXPECT_EQ(page.nExtracted(), 1);
    EXPECT_GT(page.getTesselRec(0)->close, 9e254);
    EXPECT_EQ(page.getTesselRec(0)->volume, 5000);
    EXPECT_EQ(page.getTesselRec(1)->valid, 0);
    EXPECT_EQ(page.getTesselRec(1)->name, longCode.substr(0, 30));
    EXPECT_EQ(Figures(page.getTesselRec(2)), (std::vector<double>{0, 0, 0, 0, 0, 0, 0}));
}
