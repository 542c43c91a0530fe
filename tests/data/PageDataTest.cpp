// The quote page: its URLs and the parser of the EUC-JP page the server sends.
#include "DailyTestFolder.h"

#include <ctime>
#include <vector>

namespace {

// EUC-JP texts of the pages below.
const std::string kEucNissui = "\xc6\xfc\xcb\xdc\xbf\xe5\xbb\xba"; // 日本水産
const std::string kEucCode = "\xa5\xb3\xa1\xbc\xa5\xc9";           // コード
const std::string kEucTriangle = "\xa2\xa5";                       // ▲
// 一致する銘柄はありません
const std::string kEucNoSuchStock =
    "\xb0\xec\xc3\xd7\xa4\xb9\xa4\xeb\xcc\xc3\xca\xc1\xa4\xcf\xa4\xa2\xa4\xea\xa4\xde\xa4\xbb"
    "\xa4\xf3";

struct Quote {
    std::string code, name, date, price, volume, open, high, low;
};

// One row as the quote server lays it out: code, name, date, price, change,
// rate, volume, open, high, low and a cell the parser does not read.
std::string QuoteRow(const Quote& q) {
    return "<tr align=right><td nowrap><a href=\"/q?s=" + q.code + "&d=b\">" + q.code +
           "</a></td><td nowrap align=left>" + q.name + "</td><td>" + q.date + "</td><td><b>" +
           q.price + "</b></td><td>+5</td><td>+0.50%</td><td>" + q.volume + "</td><td>" + q.open +
           "</td><td>" + q.high + "</td><td>" + q.low + "</td><td><small>-</small></td></tr>\n";
}

std::string QuotePage(const std::string& rows) {
    return "<html><head><title>q</title></head><body>\n<table><tr><td><a href=/>top</a></td>"
           "</tr></table>\n<table border=1><tr bgcolor=#dcdcdc><td>" +
           kEucCode + "</td><td>name</td></tr>\n" + rows + "</table></body></html>\n";
}

Quote Row(const std::string& code, const std::string& price) {
    return {code, "ABC", "12/25", price, "12,300", "1,200", "1,250", "1,190"};
}

// month, day, close, volume, open, high, low
std::vector<double> Figures(const CTesselRec* r) {
    return {double(r->month), double(r->day), r->close, r->volume, r->open, r->high, r->low};
}

class PageDataTest : public DailyTestFolder {
protected:
    void SetUp() override {
        DailyTestFolder::SetUp();
        page.setCode(0, "1301", 1301, "T", "Nissui");
        page.setCode(1, "6758", 6758, "O", "Sony");
        page.setCode(2, "8001", 8001, "T", "Itochu");
        page.MakeFetchURL();
    }

    void Extract(const std::string& html) {
        WriteFile("webtemp-000.html", html);
        CPageData::ExtractData(PathOf("webtemp-000.html").c_str(), &page);
    }

    CPageData page{0};
};

} // namespace

TEST_F(PageDataTest, BuildsBothUrlsWithMarketSuffixes) {
    EXPECT_STREQ(page.getURL(), "http://127.0.0.1:8731/q?s=1301+6758.O+8001&d=v2");
    EXPECT_STREQ(page.getFinanceURL(), "http://127.0.0.1:8731/q?s=1301+6758.O+8001&d=v3");
    EXPECT_STREQ(page.getWebTemp(), "webtemp-000.html");
    EXPECT_EQ(page.getCodeByIndex(8001), 2);
    EXPECT_EQ(page.getCodeByIndex(9999), -1);
}

TEST_F(PageDataTest, FiftyLongCodesMakeACompleteUrl) {
    CPageData full(0);
    for (int32_t slot = 0; slot < CPageData::kSlots; ++slot)
        full.setCode(slot, "ABCDEFGHIJK-too-long", 1000 + slot, "N", "x");
    full.MakeFetchURL();
    const std::string url = full.getURL();
    EXPECT_EQ(url.size(), std::string("http://127.0.0.1:8731/q?s=").size() + 50 * 14 - 1 + 5);
    EXPECT_EQ(url.substr(url.size() - 19), "+ABCDEFGHIJK.N&d=v2");
    EXPECT_STREQ(full.getTesselRec(0)->quoteCode, "ABCDEFGHIJK");
}

TEST_F(PageDataTest, ReadsThreeStocksInOrder) {
    Quote sony = {"6758.O", "Sony", "12/25", "6,420", "1,234,500", "6,400", "6,450", "6,380"};
    Quote nissui = {"1301", kEucNissui, "12/25", "345", "98,000", "340", "350", "338"};
    Extract(QuotePage(QuoteRow(nissui) + QuoteRow(sony) + QuoteRow(Row("8001", "1,234.5"))));

    EXPECT_EQ(page.nExtracted(), 3);
    EXPECT_EQ(page.getTesselRec(1)->valid, 1);
    EXPECT_EQ(Figures(page.getTesselRec(1)),
              (std::vector<double>{12, 25, 6420, 1234500, 6400, 6450, 6380}));
    EXPECT_EQ(page.getTesselRec(2)->close, 1234.5);
    EXPECT_STREQ(page.getTesselRec(0)->name, "Nissui"); // the page's name is not kept
    int32_t year, month, day;
    page.getDate(year, month, day);
    EXPECT_EQ(month, 12);
    EXPECT_EQ(day, 25);
}

TEST_F(PageDataTest, UnknownStockIsLoggedAndNotCounted) {
    Quote unknown = {"6758", kEucNoSuchStock, "", "", "", "", "", ""};
    WriteFile("ERRORLOG.TXT", "earlier line\n");
    Extract(
        QuotePage(QuoteRow(Row("1301", "300")) + QuoteRow(unknown) + QuoteRow(Row("8001", "0"))));
    EXPECT_EQ(page.nExtracted(), 1);
    EXPECT_EQ(page.getTesselRec(1)->valid, 0);
    // The log is appended to: the unknown stock and the one without a price.
    EXPECT_EQ(ReadFile("ERRORLOG.TXT"),
              "earlier line\npage=0 code=6758 name=Sony\npage=0 code=8001 name=Itochu\n");
}

TEST_F(PageDataTest, MissingRowStallsTheLaterSlots) {
    Extract(QuotePage(QuoteRow(Row("1301", "300")) + QuoteRow(Row("8001", "500"))));
    EXPECT_EQ(page.nExtracted(), 1);
    EXPECT_EQ(page.getTesselRec(1)->close, 0);
    EXPECT_EQ(page.getTesselRec(2)->close, 0);
    EXPECT_EQ(page.getTesselRec(2)->valid, 0);
    EXPECT_FALSE(Exists("ERRORLOG.TXT"));
}

TEST_F(PageDataTest, SlotWithoutQuoteCodeIsNotWaitedFor) {
    CPageData gap(0);
    gap.setCode(0, "1301", 1301, "T", "A");
    gap.setCode(1, "", 0, "", "");
    gap.setCode(2, "8001", 8001, "T", "C");
    gap.MakeFetchURL();
    EXPECT_STREQ(gap.getURL(), "http://127.0.0.1:8731/q?s=1301+8001&d=v2");
    WriteFile("webtemp-000.html",
              QuotePage(QuoteRow(Row("1301", "300")) + QuoteRow(Row("8001", "500"))));
    CPageData::ExtractData(PathOf("webtemp-000.html").c_str(), &gap);
    EXPECT_EQ(gap.nExtracted(), 2);
    EXPECT_EQ(gap.getTesselRec(2)->close, 500);
}

TEST_F(PageDataTest, DateCellMustBeAMonthAndDay) {
    Quote timeOfDay = Row("1301", "300");
    timeOfDay.date = "15:00";
    Quote badMonth = Row("6758", "300");
    badMonth.date = "13/05";
    Extract(QuotePage(QuoteRow(timeOfDay) + QuoteRow(badMonth) + QuoteRow(Row("8001", "1"))));
    EXPECT_EQ(page.getTesselRec(0)->month, 0);
    EXPECT_EQ(page.getTesselRec(1)->month, 0);
    EXPECT_EQ(page.getTesselRec(2)->month, 12);
    // Slot 0 showed no date: today's.
    const std::time_t now = std::time(nullptr);
    std::tm today{};
    localtime_r(&now, &today);
    int32_t year, month, day;
    page.getDate(year, month, day);
    EXPECT_EQ(year, today.tm_year + 1900);
    EXPECT_EQ(month, today.tm_mon + 1);
    EXPECT_EQ(day, today.tm_mday);
}

// The page shows month and day only; the year is the clock's, or the one
// before when the day lies after tomorrow.
TEST_F(PageDataTest, QuotesTakeTheYearTheyWereMadeIn) {
    const struct {
        const char* name;
        const char* quotes;
        int today[3]; // year, month, day of the clock
        int year;
    } cases[] = {
        {"12/30 read on 2 January", "12/30", {2027, 1, 2}, 2026},
        {"an ordinary day", "12/25", {2026, 12, 26}, 2026},
        {"the same day", "12/25", {2026, 12, 25}, 2026},
        {"tomorrow, by a clock behind Japan's", "12/07", {2026, 12, 6}, 2026},
        {"early in the year", "01/07", {2026, 12, 6}, 2026},
        {"the end of the year, on the last day", "12/30", {2026, 12, 31}, 2026},
        {"after tomorrow", "03/09", {2026, 3, 7}, 2025},
        {"a week before New Year, read after it", "12/24", {2027, 1, 4}, 2026},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Quote quote = Row("1301", "300");
        quote.date = c.quotes;
        Extract(QuotePage(QuoteRow(quote)));
        std::tm clock{};
        clock.tm_year = c.today[0] - 1900;
        clock.tm_mon = c.today[1] - 1;
        clock.tm_mday = c.today[2];
        clock.tm_hour = 16;
        clock.tm_isdst = -1;
        int32_t year, month, day;
        page.getDate(year, month, day, std::mktime(&clock));
        EXPECT_EQ(year, c.year);
        EXPECT_EQ(month * 100 + day, std::atoi(c.quotes) * 100 + std::atoi(c.quotes + 3));
    }
}

TEST_F(PageDataTest, FiguresAreCleanedAndSanitized) {
    Quote sign = Row("1301", kEucTriangle + "1,234");
    Quote hostile = {"6758", "x", "99999999999/99999999999", "nan", "inf", "1e999", "-nan", "12"};
    Extract(QuotePage(QuoteRow(sign) + QuoteRow(hostile) + QuoteRow(Row("8001", "1"))));
    EXPECT_EQ(page.getTesselRec(0)->close, 1234);
    EXPECT_EQ(Figures(page.getTesselRec(1)), (std::vector<double>{0, 0, 0, 0, 0, 0, 12}));
}

TEST_F(PageDataTest, ShorterPageIsReadOnlyToItsOwnEnd) {
    Extract(QuotePage(QuoteRow(Row("1301", "300")) + QuoteRow(Row("6758", "400")) +
                      QuoteRow(Row("8001", "500"))));
    ASSERT_EQ(page.nExtracted(), 3);
    CPageData fresh(0);
    fresh.setCode(0, "1301", 1301, "T", "A");
    fresh.setCode(1, "6758", 6758, "O", "B");
    fresh.setCode(2, "8001", 8001, "T", "C");
    WriteFile("short.html", "<tr><td>1301</td><td>A</td><td>1/5</td><td>310</td></tr>");
    CPageData::ExtractData(PathOf("short.html").c_str(), &fresh);
    EXPECT_EQ(fresh.nExtracted(), 1);
    EXPECT_EQ(fresh.getTesselRec(0)->close, 310);
    EXPECT_EQ(fresh.getTesselRec(1)->close, 0);
    // Read into the page of the longer one, it keeps none of its quotes.
    CPageData::ExtractData(PathOf("short.html").c_str(), &page);
    EXPECT_EQ(page.nExtracted(), 1);
    EXPECT_EQ(Figures(page.getTesselRec(2)), (std::vector<double>{0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(PageDataTest, MissingFileLeavesThePageAsItWas) {
    Extract(QuotePage(QuoteRow(Row("1301", "300")) + QuoteRow(Row("6758", "400"))));
    ASSERT_EQ(page.nExtracted(), 2);
    CPageData::ExtractData(PathOf("absent.html").c_str(), &page);
    EXPECT_EQ(page.nExtracted(), 2);
    EXPECT_EQ(page.getTesselRec(0)->close, 300);
}

TEST_F(PageDataTest, MalformedRowsStayInsideThePage) {
    // A stray "</tr>", a 600-byte price, a cell without "</td>", a code cell
    // over 30 bytes (compared by its first 31) and a truncated last row.
    const std::string longCode(40, 'Z');
    CPageData odd(0);
    odd.setCode(0, "1301", 1301, "T", "A");
    odd.setCode(1, longCode.c_str(), 2, "T", "B"); // kept as 11 bytes
    odd.setCode(2, "6758", 6758, "T", "C");
    WriteFile("odd.html", "</tr><tr><td>1301</td><td>A</td><td>1/2</td><td>" +
                              std::string(600, '9') +
                              "</td><td></td><td></td><td>5,000</tr>"
                              "<tr><td>" +
                              longCode + "</td><td>B</td></tr><tr><td>6758</td><td>C</td><td>700");
    CPageData::ExtractData(PathOf("odd.html").c_str(), &odd);
    EXPECT_EQ(odd.nExtracted(), 1);
    EXPECT_GT(odd.getTesselRec(0)->close, 9e254);
    EXPECT_EQ(odd.getTesselRec(0)->volume, 5000);
    EXPECT_EQ(odd.getTesselRec(1)->valid, 0);
    EXPECT_EQ(odd.getTesselRec(2)->close, 0);

    char text[CPageData::kCellBufferSize];
    const std::string cell = "<td>" + std::string(300, 'x') + "</td>";
    CPageData::ExtractTD(cell.data(), int32_t(cell.size()), text);
    EXPECT_EQ(std::string(text), std::string(255, 'x'));
    const std::string tags = "<td a>1<b>2</b>></td>";
    CPageData::ExtractTD(tags.data(), int32_t(tags.size()), text);
    EXPECT_STREQ(text, "12>");
}
