// The daily (DS) and finance (FN) files: their names, headers and lines.
#include "TestFolder.h"

#include "misclib.h"

#include <cstring>
#include <memory>
#include <tuple>

namespace {

// A record of market O (local code 1, DS code 2).
CTesselRec Record(double open, double high, double low, double close, double volume,
                  int32_t market = 1) {
    CTesselRec r;
    r.code = 1301;
    r.market = market;
    std::strcpy(r.name, "ABC");
    std::tie(r.open, r.high, r.low, r.close, r.volume) = std::tie(open, high, low, close, volume);
    return r;
}

// What a record writes into a stream: its daily line.
std::string Line(const CTesselRec& record, int32_t layout) {
    char* bytes = nullptr;
    size_t size = 0;
    FILE* file = open_memstream(&bytes, &size);
    record.Write(file, layout);
    std::fclose(file);
    const std::unique_ptr<char, decltype(&std::free)> owner(bytes, &std::free);
    return std::string(bytes, size);
}

class DailyFilesTest : public DailyTestFolder {
protected:
    // Three stocks after the lines given; their quote page shows 25 December for two of them.
    void Load(const std::string& before = "") {
        WriteFile("fetchlist.csv",
                  before + "1301,1301,T,Nissui\n6758,6758,O,Sony\n8001,8001,X,Itochu\n");
        ASSERT_EQ(list.LoadFetchData(folder), 0);
        list.getPage(0)->getDate(year, month, day);
    }
    void Extract(int32_t page = 0) {
        WriteFile(list.getWebTemp(page),
                  "<table><tr><td>1301</td><td>a</td><td>12/25</td><td>1,234</td><td></td><td></td>"
                  "<td>5,000</td><td>1,200</td><td>1,250</td><td>1,190</td></tr>"
                  "<tr><td>6758</td><td>b</td><td>12/25</td><td>6,420.5</td><td></td><td></td>"
                  "<td>300</td></tr></table>");
        CPageData::ExtractData(PathOf(list.getWebTemp(page)).c_str(), list.getPage(page));
        list.getPage(page)->getDate(year, month, day);
        ASSERT_EQ(month * 100 + day, 1225);
    }

    // The lines of the two stocks the page quotes.
    std::string QuotedLines(int32_t layout) {
        return Line(*list.getPage(0)->getTesselRec(0), layout) +
               Line(*list.getPage(0)->getTesselRec(1), layout);
    }

    CFetchData list;
    int32_t year = 0, month = 0, day = 0;
};

} // namespace

// Prices are whole unless the decimal preference is on and the stock has a
// fraction; figures beyond 32 bits are written whole; no close, no line.
TEST_F(DailyFilesTest, LinesOfTheThreeLayouts) {
    const std::string tab = "1301\t\" \x91\xe5\x8f\xd8\x31\x95\x94\"\t\"ABC\"\t"; // " 大証1部"
    const CTesselRec r = Record(100.5, 110, 99.25, 105.75, 12345);
    const CTesselRec big = Record(1e12, 1e12, 99.9, 1e12, 3e9, 99); // market outside the table
    const std::string bigTab = "1301\t\"\x82\xbb\x82\xcc\x91\xbc\x8e\x73\x8f\xea\"\t\"ABC\"\t";
    const std::string t12 = "1000000000000";
    const std::tuple<CTesselRec, uint8_t, int32_t, std::string> rows[] = {
        // clang-format off
        // record decimal layout         line
        {r,   0, kDSLayoutComma, "1301,2,ABC,100,110,99,105,12345\n"},
        {r,   0, kDSLayoutFixed, "1301,2,ABC         ,    100,    110,     99,    105,     12345\n\r"},
        {r,   0, kDSLayoutTab,   tab + "100\t110\t99\t105\t12345\n"},
        {r,   1, kDSLayoutComma, "1301,1,ABC,100.50,110.00,99.25,105.75,12345\n"}, // local code
        {r,   1, kDSLayoutFixed, "1301,2,ABC         , 100.50, 110.00,  99.25, 105.75,     12345\n\r"},
        {r,   1, kDSLayoutTab,   tab + "100.50\t110.00\t99.25\t105.75\t12345\n"},
        {big, 0, kDSLayoutComma, "1301,0,ABC," + t12 + "," + t12 + ",99," + t12 + ",3000000000\n"},
        {big, 0, kDSLayoutFixed, "1301,0,ABC         ," + t12 + "," + t12 + ",     99," + t12 + ",3000000000\n\r"},
        {big, 0, kDSLayoutTab,   bigTab + t12 + "\t" + t12 + "\t99\t" + t12 + "\t3000000000\n"},
        // the number form is chosen per stock; a missing price takes the close
        {Record(100, 101, 99, 100, 1), 1, kDSLayoutComma, "1301,2,ABC,100,101,99,100,1\n"},
        {Record(0, 0, 0, 1234.565, 1), 1, kDSLayoutComma, "1301,1,ABC,1234.56,1234.56,1234.56,1234.56,1\n"},
        {Record(0, 1300, 1200, 1234.5, 7), 0, kDSLayoutComma, "1301,2,ABC,1234,1234,1234,1234,7\n"},
        {Record(1, 3, 1, 2, 7), 0, kDSLayoutComma, "1301,2,ABC,1,3,1,2,7\n"}, // 1 yen is a price
        {Record(1, 1, 1, 0, 7), 0, kDSLayoutComma, ""},
        // clang-format on
    };
    for (const auto& [record, decimal, layout, line] : rows) {
        g_Preferences->decimalPrices = decimal;
        EXPECT_EQ(Line(record, layout), line);
    }
}

// Each layout's file replaces the same day's earlier one, which stays whole
// until the new one is. A stock this run has no quote for keeps its line from
// the earlier file, in its place in the list; stocks the list no longer has
// come last. A file of another layout under the same name is replaced, not
// mixed in.
TEST_F(DailyFilesTest, DailyFileOfEachLayout) {
    EXPECT_FALSE(list.Save(folder, kDSLayoutComma, 0)); // no pages yet
    EXPECT_FALSE(list.SaveFinanceData(0, folder, 0));
    Load();
    // A day without prices still gives a header.
    const std::string today = CFetchData::DailyFileName(kDSLayoutComma, year, month, day);
    ASSERT_TRUE(list.Save(folder, kDSLayoutComma, 0));
    EXPECT_EQ(ReadFile(today).substr(6), "\n0,0\n");
    std::filesystem::remove(PathOf(today));
    Extract();
    EXPECT_FALSE(list.Save(folder + "/absent", kDSLayoutComma, 0));
    const std::string yy = std::to_string(year - 2000), yyyy = std::to_string(year);
    // "2006年" "12月" "25日", "銘柄数" 5, "エラー数" 0 and the column heading.
    const std::string tabHeader =
        "\"" + yyyy + "\x94\x4e\"\t\"12\x8c\x8e\"\t\"25\x93\xfa\"\n" +
        "\"\x96\xc1\x95\xbf\x90\x94\"\t5\n\"\x83\x47\x83\x89\x81\x5b\x90\x94\"\t0\n" +
        "\"\x96\xc1\x95\xbf\x83\x52\x81\x5b\x83\x68\"\t\"\x8e\x73\x8f\xea\"\t\"\x96\xc1"
        "\x95\xbf\x96\xbc\"\t\"\x8e\x6e\x92\x6c\"\t\"\x8d\x82\x92\x6c\"\t\"\x88\xc0\x92"
        "\x6c\"\t\"\x8f\x49\x92\x6c\"\t\"\x8f\x6f\x97\x88\x8d\x82\"\n";
    const std::tuple<int32_t, std::string, std::string, std::string> files[] = {
        // clang-format off
        // layout       header of the earlier file              line end header written
        {kDSLayoutComma, "061225\n3,0\n",                       "\n",    yy + "1225\n5,0\n"},
        {kDSLayoutFixed, "20061225\n\r3,0\n\r",                 "\n\r",  yyyy + "1225\n\r5,0\n\r"},
        {kDSLayoutTab,   "\"a\"\n\"b\"\t3\n\"c\"\t0\n\"d\"\n",  "\n",    tabHeader},
        // clang-format on
    };
    for (const auto& [layout, header, end, written] : files) {
        SCOPED_TRACE(layout);
        const std::string name = CFetchData::DailyFileName(layout, year, month, day);
        const std::string sep = layout == kDSLayoutTab ? "\t" : ",", eol = end;
        auto earlier = [&](const std::string& code, const std::string& text = "EARLIER") {
            return code + sep + text + eol;
        };
        // 8193 bytes in all: the last line comes in a read of its own.
        const std::string lines = earlier("1301") + earlier("8001") + earlier("9999");
        const std::string last =
            earlier("1111", std::string(8193 - header.size() - lines.size() - 5 - end.size(), 'p'));
        WriteFile(name, header + lines + last);
        ReplacedFiles replaced;
        int32_t nKept = -1;
        ASSERT_TRUE(list.Save(folder, layout, FourCharCode("ttxt"), &nKept));
        EXPECT_EQ(replaced.before,
                  (std::map<std::string, std::string>{{PathOf(name), header + lines + last}}));
        EXPECT_EQ(nKept, 3);
        EXPECT_EQ(ReadFile(name),
                  written + QuotedLines(layout) + earlier("8001") + earlier("9999") + last);
        EXPECT_EQ(CFetchData::LatestDailyFile(folder, layout), name);
        EXPECT_THAT(ReadAttribute(PathOf(name), "user.creator"), testing::AnyOf("", "ttxt"));
    }
    const std::string comma = CFetchData::DailyFileName(kDSLayoutComma, year, month, day);
    WriteFile(comma, "\"a\"\n\"b\"\t1\n\"c\"\t0\n\"d\"\n8001\tEARLIER\n");
    ASSERT_TRUE(list.Save(folder, kDSLayoutComma, 0));
    EXPECT_EQ(ReadFile(comma).find("EARLIER"), std::string::npos);
    // A file that cannot be replaced (here a folder of that name) stays.
    const std::string fixed = CFetchData::DailyFileName(kDSLayoutFixed, year, month, day);
    std::filesystem::remove(PathOf(fixed));
    std::filesystem::create_directory(PathOf(fixed));
    WriteFile(fixed + "/inside", "kept");
    EXPECT_FALSE(list.Save(folder, kDSLayoutFixed, 0));
    EXPECT_EQ(ReadFile(fixed + "/inside"), "kept");
}

// A page that did not arrive shows no date: the files take the quotes' date of
// a later page, and today's only when no page showed one.
TEST_F(DailyFilesTest, FilesTakeTheDateOfAnyPageThatShowedOne) {
    std::string lines;
    for (int i = 0; i < 50; ++i)
        lines += "1000,1000,T,N\n";
    Load(lines);
    Extract(1);
    EXPECT_EQ(list.dailyFileName(kDSLayoutComma),
              CFetchData::DailyFileName(kDSLayoutComma, year, 12, 25));
    EXPECT_EQ(list.financeFileName(), CFetchData::FinanceFileName(year, 12, 25));
}

// The finance file keeps the same day's lines of the stocks without values.
TEST_F(DailyFilesTest, FinanceFileKeepsTheStocksWithoutValues) {
    Load();
    Extract();
    list.getPage(0)->getTesselRec(1)->finance[0] = 12.5;
    list.getPage(0)->getTesselRec(2)->finance[2] = 3;
    const std::string finance = CFetchData::FinanceFileName(year, 12, 25);
    WriteFile(finance, "061225\n2\n8001,9,EARLIER,1\n6758,9,EARLIER,1\n");
    int32_t nKept = -1;
    ASSERT_TRUE(list.SaveFinanceData(7, folder, FourCharCode("TSLD"), &nKept));
    EXPECT_EQ(nKept, 1);
    EXPECT_EQ(ReadFile(finance),
              std::to_string(year - 2000) +
                  "1225\n8\n6758,1,Sony,12.50,0.00,0.00,0.00,0.00\n8001,9,EARLIER,1\n");
}
