// The daily (DS) and finance (FN) files: their names, headers and lines.
#include "TestFolder.h"

#include "misclib.h"

#include <cstring>

namespace {

const std::string kOsakaName = " \x91\xe5\x8f\xd8\x31\x95\x94"; // " 大証1部"

// A record of market O (local code 1, DS code 2).
CTesselRec Record(double open, double high, double low, double close, double volume,
                  int32_t market = 1) {
    CTesselRec r;
    std::strcpy(r.quoteCode, "1301");
    r.code = 1301;
    r.market = market;
    std::strcpy(r.name, "ABC");
    r.open = open;
    r.high = high;
    r.low = low;
    r.close = close;
    r.volume = volume;
    return r;
}

// What a record writes into a stream: its daily line, or with layout -1 its finance line.
std::string Line(const CTesselRec& record, int32_t layout) {
    char* bytes = nullptr;
    size_t size = 0;
    FILE* file = open_memstream(&bytes, &size);
    if (layout < 0)
        record.WriteFinanceData(file);
    else
        record.Write(file, layout);
    std::fclose(file);
    std::string text(bytes, size);
    std::free(bytes);
    return text;
}

class DailyFilesTest : public DailyTestFolder {
protected:
    // Three stocks; the quote page shows 25 December for two of them.
    void LoadAndExtract() {
        WriteFile("fetchlist.csv", "1301,1301,T,Nissui\n6758,6758,O,Sony\n8001,8001,X,Itochu\n");
        ASSERT_EQ(list.LoadFetchData(folder), 0);
        WriteFile("webtemp-000.html",
                  "<table><tr><td>1301</td><td>a</td><td>12/25</td><td>1,234</td><td></td><td></td>"
                  "<td>5,000</td><td>1,200</td><td>1,250</td><td>1,190</td></tr>"
                  "<tr><td>6758</td><td>b</td><td>12/25</td><td>6,420.5</td><td></td><td></td>"
                  "<td>300</td></tr></table>");
        CPageData::ExtractData(PathOf("webtemp-000.html").c_str(), list.getPage(0));
        list.getPage(0)->getDate(year, month, day);
        ASSERT_EQ(month * 100 + day, 1225);
    }

    CFetchData list;
    int32_t year = 0, month = 0, day = 0;
};

} // namespace

// Prices are whole unless the decimal preference is on and the stock has a
// fraction; figures beyond 32 bits are written whole; no close, no line.
TEST_F(DailyFilesTest, LinesOfTheThreeLayouts) {
    const std::string tab = "1301\t\"" + kOsakaName + "\"\t\"ABC\"\t";
    const CTesselRec r = Record(100.5, 110, 99.25, 105.75, 12345);
    const CTesselRec big = Record(1e12, 1e12, 99.9, 1e12, 3e9, 99); // market outside the table
    const struct {
        const CTesselRec* record;
        uint8_t decimal;
        int32_t layout;
        std::string line;
    } rows[] = {
        {&r, 0, kDSLayoutComma, "1301,2,ABC,100,110,99,105,12345\n"},
        {&r, 0, kDSLayoutFixed,
         "1301,2,ABC         ,    100,    110,     99,    105,     12345\n\r"},
        {&r, 0, kDSLayoutTab, tab + "100\t110\t99\t105\t12345\n"},
        {&r, 1, kDSLayoutComma, "1301,1,ABC,100.50,110.00,99.25,105.75,12345\n"}, // local code
        {&r, 1, kDSLayoutFixed,
         "1301,2,ABC         , 100.50, 110.00,  99.25, 105.75,     12345\n\r"},
        {&r, 1, kDSLayoutTab, tab + "100.50\t110.00\t99.25\t105.75\t12345\n"},
        {&big, 0, kDSLayoutComma,
         "1301,0,ABC,1000000000000,1000000000000,99,1000000000000,3000000000\n"},
        {&big, 0, kDSLayoutFixed,
         "1301,0,ABC         ,1000000000000,1000000000000,     99,1000000000000,"
         "3000000000\n\r"},
        {&big, 0, kDSLayoutTab,
         "1301\t\"\x82\xbb\x82\xcc\x91\xbc\x8e\x73\x8f\xea\"\t\"ABC\"\t"
         "1000000000000\t1000000000000\t99\t1000000000000\t3000000000\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        g_Preferences->decimalPrices = row.decimal;
        EXPECT_EQ(Line(*row.record, row.layout), row.line);
    }
    // The number form is chosen per stock; a missing price takes the close.
    g_Preferences->decimalPrices = 1;
    EXPECT_EQ(Line(Record(100, 101, 99, 100, 1), 0), "1301,2,ABC,100,101,99,100,1\n");
    EXPECT_EQ(Line(Record(0, 0, 0, 1234.565, 1), 0),
              "1301,1,ABC,1234.56,1234.56,1234.56,1234.56,1\n");
    g_Preferences->decimalPrices = 0;
    EXPECT_EQ(Line(Record(0, 1300, 1200, 1234.5, 7), 0), "1301,2,ABC,1234,1234,1234,1234,7\n");
    EXPECT_EQ(Line(Record(1, 1, 1, 0, 7), 0), "");
    // A finance line needs the first, second or fourth value.
    CTesselRec f = Record(0, 0, 0, 0, 0);
    std::string lines;
    for (const int value : {3, 2, 4, 0}) {
        std::fill(f.finance, f.finance + 5, 0.0);
        f.finance[value] = 2.5;
        lines += Line(f, -1);
    }
    EXPECT_EQ(lines, "1301,1,ABC,0.00,0.00,0.00,2.50,0.00\n1301,1,ABC,2.50,0.00,0.00,0.00,0.00\n");
}

TEST_F(DailyFilesTest, DailyFileOfEachLayout) {
    EXPECT_FALSE(list.Save(folder, kDSLayoutComma, 0)); // no pages yet
    EXPECT_FALSE(list.SaveFinanceData(0, folder, 0));
    LoadAndExtract();
    EXPECT_FALSE(list.Save(folder + "/absent", kDSLayoutComma, 0));
    char yy[8], yyyy[8];
    std::snprintf(yy, sizeof yy, "%02d", year - 2000);
    std::snprintf(yyyy, sizeof yyyy, "%04d", year);
    WriteFile(std::string("DS") + yy + "1225.DAT", std::string(5000, '#')); // another day's bytes

    ASSERT_TRUE(list.Save(folder, kDSLayoutComma, FourCharCode("TSLD")));
    EXPECT_EQ(ReadFile(std::string("DS") + yy + "1225.DAT"),
              std::string(yy) + "1225\n2,0\n1301,1,Nissui,1200,1250,1190,1234,5000\n" +
                  "6758,2,Sony,6420,6420,6420,6420,300\n");
    ASSERT_TRUE(list.Save(folder, kDSLayoutFixed, FourCharCode("TSLD")));
    EXPECT_EQ(ReadFile(std::string("DS") + yyyy + "12.25"),
              std::string(yyyy) + "1225\n\r2,0\n\r" +
                  "1301,1,Nissui      ,   1200,   1250,   1190,   1234,      5000\n\r" +
                  "6758,2,Sony        ,   6420,   6420,   6420,   6420,       300\n\r");
    EXPECT_EQ(CFetchData::LatestDailyFile(folder, kDSLayoutFixed),
              std::string("DS") + yyyy + "12.25");
    ASSERT_TRUE(list.Save(folder, kDSLayoutTab, FourCharCode("ttxt")));
    EXPECT_EQ(CFetchData::LatestDailyFile(folder, kDSLayoutTab),
              std::string("DS") + yy + "1225.DAT");
    // "2006年" "12月" "25日", "銘柄数" 2, "エラー数" 0 and the column heading.
    const std::string tab = ReadFile(std::string("DS") + yy + "1225.DAT");
    EXPECT_EQ(tab.substr(0, tab.find("1301\t")),
              "\"" + std::string(yyyy) + "\x94\x4e\"\t\"12\x8c\x8e\"\t\"25\x93\xfa\"\n" +
                  "\"\x96\xc1\x95\xbf\x90\x94\"\t2\n\"\x83\x47\x83\x89\x81\x5b\x90\x94\"\t0\n" +
                  "\"\x96\xc1\x95\xbf\x83\x52\x81\x5b\x83\x68\"\t\"\x8e\x73\x8f\xea\"\t\"\x96\xc1"
                  "\x95\xbf\x96\xbc\"\t\"\x8e\x6e\x92\x6c\"\t\"\x8d\x82\x92\x6c\"\t\"\x88\xc0\x92"
                  "\x6c\"\t\"\x8f\x49\x92\x6c\"\t\"\x8f\x6f\x97\x88\x8d\x82\"\n");
    const std::string creator =
        ReadAttribute(PathOf(std::string("DS") + yy + "1225.DAT"), "user.creator");
    EXPECT_TRUE(creator.empty() || creator == "ttxt") << creator;

    // A file that cannot be replaced (here a folder of that name) stays, and
    // no temporary file is left.
    const std::string fixed = CFetchData::DailyFileName(kDSLayoutFixed, year, month, day);
    std::filesystem::remove(PathOf(fixed));
    std::filesystem::create_directory(PathOf(fixed));
    WriteFile(fixed + "/inside", "kept");
    EXPECT_FALSE(list.Save(folder, kDSLayoutFixed, 0));
    EXPECT_EQ(ReadFile(fixed + "/inside"), "kept");
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
}

TEST_F(DailyFilesTest, DayWithoutPricesStillGivesAHeader) {
    WriteFile("fetchlist.csv", "1301,1301,T,Nissui\n");
    ASSERT_EQ(list.LoadFetchData(folder), 0);
    list.getPage(0)->getDate(year, month, day);
    ASSERT_TRUE(list.Save(folder, kDSLayoutComma, 0));
    const std::string written =
        ReadFile(CFetchData::DailyFileName(kDSLayoutComma, year, month, day));
    EXPECT_EQ(written, written.substr(0, 7) + "0,0\n");
    EXPECT_EQ(written.size(), 11u);
}

// The same day's file gives the stocks without values their earlier lines.
TEST_F(DailyFilesTest, FinanceFileKeepsTheSameDaysLines) {
    LoadAndExtract();
    list.getPage(0)->getTesselRec(1)->finance[0] = 12.5;
    list.getPage(0)->getTesselRec(2)->finance[2] = 3;
    const std::string name = CFetchData::FinanceFileName(year, 12, 25);
    WriteFile(name, "061225\n2\n8001,9,EARLIER,1\n6758,9,EARLIER,1\n");
    int32_t nKept = -1;
    ASSERT_TRUE(list.SaveFinanceData(7, folder, FourCharCode("TSLD"), &nKept));
    EXPECT_EQ(nKept, 1);
    char header[16];
    std::snprintf(header, sizeof header, "%02d1225\n8\n", year - 2000);
    EXPECT_EQ(ReadFile(name),
              std::string(header) + "6758,1,Sony,12.50,0.00,0.00,0.00,0.00\n8001,9,EARLIER,1\n");
}

// A stock this run has no quote for keeps its line from the same day's file,
// in its place in the list; stocks the list no longer has come last. A file of another layout under
// the same name is replaced, not mixed in.
TEST_F(DailyFilesTest, SameDayFileKeepsTheStocksThisRunLacks) {
    LoadAndExtract();
    const CTesselRec& nissui = *list.getPage(0)->getTesselRec(0);
    const CTesselRec& sony = *list.getPage(0)->getTesselRec(1);
    const struct {
        const char* name;
        int32_t layout;
        std::string header;
        const char* end;
        const char* count;
    } rows[] = {
        {"comma", kDSLayoutComma, "061225\n3,0\n", "\n", "\n5,0\n"},
        {"fixed", kDSLayoutFixed, "20061225\n\r3,0\n\r", "\n\r", "\n\r5,0\n\r"},
        {"tab", kDSLayoutTab, "\"a\"\n\"b\"\t3\n\"c\"\t0\n\"d\"\n", "\n", "\t5\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string name = CFetchData::DailyFileName(row.layout, year, month, day);
        auto earlier = [&row](const std::string& code, const std::string& text = "EARLIER") {
            return code + (row.layout == kDSLayoutTab ? "\t" : ",") + text + row.end;
        };
        // 8193 bytes in all: the last line comes in a read of its own.
        const std::string lines = earlier("1301") + earlier("8001") + earlier("9999");
        const std::string last = earlier(
            "1111",
            std::string(8193 - row.header.size() - lines.size() - 5 - strlen(row.end), 'p'));
        WriteFile(name, row.header + lines + last);
        int32_t nKept = -1;
        ASSERT_TRUE(list.Save(folder, row.layout, 0, &nKept));
        EXPECT_EQ(nKept, 3);
        const std::string written = ReadFile(name);
        const std::string kept = Line(nissui, row.layout) + Line(sony, row.layout) +
                                 earlier("8001") + earlier("9999") + last;
        ASSERT_GE(written.size(), kept.size());
        EXPECT_EQ(written.substr(written.size() - kept.size()), kept);
        EXPECT_NE(written.find(row.count), std::string::npos);
    }
    const std::string comma = CFetchData::DailyFileName(kDSLayoutComma, year, month, day);
    WriteFile(comma, "\"a\"\n\"b\"\t1\n\"c\"\t0\n\"d\"\n8001\tEARLIER\n");
    ASSERT_TRUE(list.Save(folder, kDSLayoutComma, 0));
    EXPECT_EQ(ReadFile(comma).find("EARLIER"), std::string::npos);
}
