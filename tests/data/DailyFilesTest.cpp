// The daily (DS) and finance (FN) files: their names, headers and lines.
#include "DailyTestFolder.h"

#include "TempFolder.h"
#include "misclib.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

const std::string kOsakaName = " \x91\xe5\x8f\xd8\x31\x95\x94";               // " 大証1部"
const std::string kOtherMarkets = "\x82\xbb\x82\xcc\x91\xbc\x8e\x73\x8f\xea"; // その他市場

// A record of market O (local code 1, DS code 2).
CTesselRec Record(double open, double high, double low, double close, double volume) {
    CTesselRec r;
    std::strcpy(r.quoteCode, "1301");
    r.code = 1301;
    r.market = 1;
    std::strcpy(r.name, "ABC");
    r.open = open;
    r.high = high;
    r.low = low;
    r.close = close;
    r.volume = volume;
    return r;
}

// What a writer puts into a stream.
template <typename Writer> std::string Written(Writer write) {
    char* bytes = nullptr;
    size_t size = 0;
    FILE* file = open_memstream(&bytes, &size);
    write(file);
    std::fclose(file);
    std::string text(bytes, size);
    std::free(bytes);
    return text;
}

std::string Line(const CTesselRec& record, int32_t layout) {
    return Written([&](FILE* file) { record.Write(file, layout); });
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
    }

    CFetchData list;
    int32_t year = 0, month = 0, day = 0;
};

} // namespace

TEST_F(DailyFilesTest, BodyLinesOfTheThreeLayouts) {
    CTesselRec tokyo = Record(100, 101, 102, 103, 5000);
    tokyo.market = 0;
    const std::string fixed = Line(tokyo, kDSLayoutFixed);
    EXPECT_EQ(fixed, "1301,1,ABC         ,    100,    101,    102,    103,      5000\n\r");
    EXPECT_EQ(fixed.size(), 64u);

    const CTesselRec r = Record(100.5, 110, 99.25, 105.75, 12345);
    g_Preferences->decimalPrices = 0;
    EXPECT_EQ(Line(r, kDSLayoutComma), "1301,2,ABC,100,110,99,105,12345\n");
    EXPECT_EQ(Line(r, 7), "1301,2,ABC,100,110,99,105,12345\n");
    EXPECT_EQ(Line(r, kDSLayoutFixed),
              "1301,2,ABC         ,    100,    110,     99,    105,     12345\n\r");
    EXPECT_EQ(Line(r, kDSLayoutTab),
              "1301\t\"" + kOsakaName + "\"\t\"ABC\"\t100\t110\t99\t105\t12345\n");
    g_Preferences->decimalPrices = 1;
    // The decimal variant of layout 0 carries the local market code.
    EXPECT_EQ(Line(r, kDSLayoutComma), "1301,1,ABC,100.50,110.00,99.25,105.75,12345\n");
    EXPECT_EQ(Line(r, kDSLayoutFixed),
              "1301,2,ABC         , 100.50, 110.00,  99.25, 105.75,     12345\n\r");
    EXPECT_EQ(Line(r, kDSLayoutTab),
              "1301\t\"" + kOsakaName + "\"\t\"ABC\"\t100.50\t110.00\t99.25\t105.75\t12345\n");
}

TEST_F(DailyFilesTest, NumberFormIsChosenPerStock) {
    g_Preferences->decimalPrices = 1;
    EXPECT_EQ(Line(Record(100, 101, 99, 100, 1), 0), "1301,2,ABC,100,101,99,100,1\n");
    EXPECT_EQ(Line(Record(10, 11, 9, 10.25, 1), 0), "1301,1,ABC,10.00,11.00,9.00,10.25,1\n");
    // Single precision: 1234.565 prints as 1234.56.
    EXPECT_EQ(Line(Record(0, 0, 0, 1234.565, 1), 0),
              "1301,1,ABC,1234.56,1234.56,1234.56,1234.56,1\n");
    g_Preferences->decimalPrices = 0;
    EXPECT_EQ(Line(Record(0, 1300, 1200, 1234.5, 7), 0), "1301,2,ABC,1234,1234,1234,1234,7\n");
    EXPECT_EQ(Line(Record(1, 1, 1, 0, 7), 0), "");
    EXPECT_EQ(Line(Record(1, 1, 1, -5, 7), 0), "");
}

TEST_F(DailyFilesTest, FiguresBeyondThirtyTwoBitsAreWrittenWhole) {
    const CTesselRec r = Record(1e12, 1e12, 99.9, 1e12, 3e9);
    EXPECT_EQ(Line(r, kDSLayoutComma),
              "1301,2,ABC,1000000000000,1000000000000,99,1000000000000,3000000000\n");
    EXPECT_EQ(Line(r, kDSLayoutFixed), "1301,2,ABC         ,1000000000000,1000000000000,     99,"
                                       "1000000000000,3000000000\n\r");
    CTesselRec huge = Record(1, 1, 1, 2, -3e9);
    huge.market = 99; // outside the table
    EXPECT_EQ(Line(huge, kDSLayoutTab),
              "1301\t\"" + kOtherMarkets + "\"\t\"ABC\"\t1\t1\t1\t2\t-3000000000\n");
    EXPECT_EQ(Line(huge, kDSLayoutFixed),
              "1301,0,ABC         ,      1,      1,      1,      2,-3000000000\n\r");
}

TEST_F(DailyFilesTest, FinanceLineNeedsTheFirstSecondOrFourthValue) {
    CTesselRec r = Record(0, 0, 0, 0, 0);
    const double values[][5] = {
        {0, 0, 0, 2.5, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 0, 1}, {1, 0, 0, 0, 0}};
    std::string lines;
    for (const auto& v : values) {
        std::copy(v, v + 5, r.finance);
        lines += Written([&](FILE* file) { r.WriteFinanceData(file); });
    }
    EXPECT_EQ(lines, "1301,1,ABC,0.00,0.00,0.00,2.50,0.00\n1301,1,ABC,1.00,0.00,0.00,0.00,0.00\n");
}

TEST_F(DailyFilesTest, DailyFileOfEachLayout) {
    LoadAndExtract();
    ASSERT_EQ(month, 12);
    ASSERT_EQ(day, 25);
    char yy[8], yyyy[8];
    std::snprintf(yy, sizeof yy, "%02d", year - 2000);
    std::snprintf(yyyy, sizeof yyyy, "%04d", year);

    ASSERT_TRUE(list.Save(folder, kDSLayoutComma, FourCharCode("TSLD")));
    EXPECT_EQ(ReadFile(std::string("DS") + yy + "1225.DAT"),
              std::string(yy) + "1225\n2,0\n" + "1301,1,Nissui,1200,1250,1190,1234,5000\n" +
                  "6758,2,Sony,6420,6420,6420,6420,300\n");

    ASSERT_TRUE(list.Save(folder, kDSLayoutFixed, FourCharCode("TSLD")));
    EXPECT_EQ(ReadFile(std::string("DS") + yyyy + "12.25"),
              std::string(yyyy) + "1225\n\r2,0\n\r" +
                  "1301,1,Nissui      ,   1200,   1250,   1190,   1234,      5000\n\r" +
                  "6758,2,Sony        ,   6420,   6420,   6420,   6420,       300\n\r");

    ASSERT_TRUE(list.Save(folder, kDSLayoutTab, FourCharCode("ttxt")));
    // "2006年" "12月" "25日", "銘柄数" 2, "エラー数" 0 and the column heading.
    const std::string heading =
        "\"\x96\xc1\x95\xbf\x83\x52\x81\x5b\x83\x68\"\t\"\x8e\x73\x8f\xea\"\t\"\x96\xc1\x95\xbf"
        "\x96\xbc\"\t\"\x8e\x6e\x92\x6c\"\t\"\x8d\x82\x92\x6c\"\t\"\x88\xc0\x92\x6c\"\t\"\x8f\x49"
        "\x92\x6c\"\t\"\x8f\x6f\x97\x88\x8d\x82\"\n";
    const std::string tab = ReadFile(std::string("DS") + yy + "1225.DAT");
    EXPECT_EQ(tab.substr(0, tab.find("1301\t")),
              "\"" + std::string(yyyy) + "\x94\x4e\"\t\"12\x8c\x8e\"\t\"25\x93\xfa\"\n" +
                  "\"\x96\xc1\x95\xbf\x90\x94\"\t2\n\"\x83\x47\x83\x89\x81\x5b\x90\x94\"\t0\n" +
                  heading);

    const std::string tabPath = PathOf(std::string("DS") + yy + "1225.DAT");
    if (!ReadAttribute(tabPath, "user.creator").empty()) {
        EXPECT_EQ(ReadAttribute(tabPath, "user.creator"), "ttxt");
        EXPECT_EQ(ReadAttribute(tabPath, "user.filetype"), "TEXT");
    }
}

TEST_F(DailyFilesTest, DayWithoutPricesStillGivesAHeader) {
    WriteFile("fetchlist.csv", "1301,1301,T,Nissui\n");
    ASSERT_EQ(list.LoadFetchData(folder), 0);
    list.getPage(0)->getDate(year, month, day);
    ASSERT_TRUE(list.Save(folder, kDSLayoutComma, 0));
    const std::string name = CFetchData::DailyFileName(kDSLayoutComma, year, month, day);
    EXPECT_EQ(ReadFile(name), ReadFile(name).substr(0, 7) + "0,0\n");
    EXPECT_EQ(ReadFile(name).size(), 11u);
}

TEST_F(DailyFilesTest, NothingIsWrittenWithoutPagesOrFolder) {
    EXPECT_FALSE(list.Save(folder, kDSLayoutComma, 0));
    EXPECT_FALSE(list.SaveFinanceData(0, folder, 0));
    LoadAndExtract();
    EXPECT_FALSE(list.Save(folder + "/absent", kDSLayoutComma, 0));
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files += entry.path().filename().string().rfind("DS", 0) == 0;
    EXPECT_EQ(files, 0);
}

TEST_F(DailyFilesTest, ReplacingKeepsNoOldBytesAndNoFailedFile) {
    LoadAndExtract();
    const std::string name = CFetchData::DailyFileName(kDSLayoutComma, year, month, day);
    WriteFile(name, std::string(5000, '#'));
    ASSERT_TRUE(list.Save(folder, kDSLayoutComma, 0));
    EXPECT_EQ(ReadFile(name).find('#'), std::string::npos);
    // A file that cannot be replaced (here a folder of that name) stays as it was.
    const std::string fixed = CFetchData::DailyFileName(kDSLayoutFixed, year, month, day);
    std::filesystem::create_directory(PathOf(fixed));
    WriteFile(fixed + "/inside", "kept");
    EXPECT_FALSE(list.Save(folder, kDSLayoutFixed, 0));
    EXPECT_EQ(ReadFile(fixed + "/inside"), "kept");
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
}

// The same day's file gives the stocks without values their earlier lines.
TEST_F(DailyFilesTest, FinanceFile) {
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
// in its place in the list; stocks the list no longer has come last. A file
// of another layout under the same name is replaced, not mixed in.
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
        {"comma", kDSLayoutComma, "061225\n3,0\n", "\n", "\n4,0\n"},
        {"fixed", kDSLayoutFixed, "20061225\n\r3,0\n\r", "\n\r", "\n\r4,0\n\r"},
        {"tab", kDSLayoutTab, "\"a\"\n\"b\"\t3\n\"c\"\t0\n\"d\"\n", "\n", "\t4\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string name = CFetchData::DailyFileName(row.layout, year, month, day);
        auto earlier = [&row](const char* code) {
            return code + std::string(row.layout == kDSLayoutTab ? "\t" : ",") + "EARLIER" +
                   row.end;
        };
        WriteFile(name, row.header + earlier("1301") + earlier("8001") + earlier("9999"));
        int32_t nKept = -1;
        ASSERT_TRUE(list.Save(folder, row.layout, 0, &nKept));
        EXPECT_EQ(nKept, 2);
        const std::string written = ReadFile(name);
        const std::string lines =
            Line(nissui, row.layout) + Line(sony, row.layout) + earlier("8001") + earlier("9999");
        ASSERT_GE(written.size(), lines.size());
        EXPECT_EQ(written.substr(written.size() - lines.size()), lines);
        EXPECT_NE(written.find(row.count), std::string::npos);
    }
    const std::string comma = CFetchData::DailyFileName(kDSLayoutComma, year, month, day);
    WriteFile(comma, "\"a\"\n\"b\"\t1\n\"c\"\t0\n\"d\"\n8001\tEARLIER\n");
    ASSERT_TRUE(list.Save(folder, kDSLayoutComma, 0));
    EXPECT_EQ(ReadFile(comma).find("EARLIER"), std::string::npos);
}
