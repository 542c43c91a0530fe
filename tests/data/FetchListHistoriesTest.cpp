// Keeping the fetch list's histories current: rows merged into a history,
// the trading day the files are measured by, what each stock needs, and the
// day's quotes added to the files that exist.
#include "FetchListHistories.h"
#include "MakeKDT.h"
#include "TestFolder.h"

#include <sys/stat.h>
#include <vector>

namespace {

KDT Day(int32_t date, int32_t close) {
    KDT day;
    day.year = date / 10000;
    day.month = date / 100 % 100;
    day.day = date % 100;
    day.open = day.high = day.low = day.close = close;
    day.volume = close * 10;
    return day;
}

std::vector<int32_t> Dates(const std::vector<KDT>& days) {
    std::vector<int32_t> dates;
    for (const KDT& day : days)
        dates.push_back(KDTDateKey(day));
    return dates;
}

// EUC-JP page rows as the history server writes them, newest first.
std::string HistoryPage(const std::vector<KDT>& newestFirst) {
    std::string page;
    for (const KDT& day : newestFirst)
        page += "<tr><td>" + std::to_string(day.year) + "\xC7\xAF" + std::to_string(day.month) +
                "\xB7\xEE" + std::to_string(day.day) + "\xC6\xFC</td><td>" +
                std::to_string(day.open) + "</td><td>" + std::to_string(day.high) + "</td><td>" +
                std::to_string(day.low) + "</td><td>" + std::to_string(day.close) + "</td><td>" +
                std::to_string(day.volume) + "</td></tr>\n";
    return page;
}

} // namespace

TEST(KDTMerge, OneRecordPerDateOldestFirstTheNewValuesWin) {
    const struct {
        const char* name;
        std::vector<KDT> days, rows, merged;
    } cases[] = {
        {"into no history, any order",
         {},
         {Day(20240105, 3), Day(20240103, 1), Day(20240104, 2)},
         {Day(20240103, 1), Day(20240104, 2), Day(20240105, 3)}},
        {"a date given again takes the new values, older rows stay",
         {Day(20240103, 1), Day(20240104, 2)},
         {Day(20240105, 30), Day(20240104, 20)},
         {Day(20240103, 1), Day(20240104, 20), Day(20240105, 30)}},
        {"a gap in the file is filled in its place",
         {Day(20240102, 1), Day(20240105, 5)},
         {Day(20240103, 3)},
         {Day(20240102, 1), Day(20240103, 3), Day(20240105, 5)}},
        {"a file's own twice-written date becomes one record",
         {Day(20240102, 1), Day(20240102, 9), Day(20240103, 3)},
         {},
         {Day(20240102, 1), Day(20240103, 3)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<KDT> days = c.days;
        MergeKDTRows(days, c.rows);
        EXPECT_EQ(days, c.merged);
    }
}

TEST(HistoryDates, WeekdaysAndTheDayTheDailyFilesKnow) {
    const int32_t dates[][2] = {{20261204, 20261204}, // Friday
                                {20261206, 20261204}, // Sunday
                                {20270101, 20270101}, // Friday
                                {20270103, 20270101}};
    for (const auto& [date, weekday] : dates)
        EXPECT_EQ(LastWeekday(date), weekday) << date;
    EXPECT_EQ(WeekdaysAfter(20261204, 20261207), 1);
    EXPECT_EQ(WeekdaysAfter(20261201, 20261231), 22);
    EXPECT_EQ(WeekdaysAfter(20261207, 20261204), 0);

    const struct {
        const char* name;
        std::vector<const char*> files;
        int32_t today, known;
    } cases[] = {
        {"no daily file", {"FN261204.DAT"}, 20261206, 0},
        {"the newest file of either layout", {"DS261203.DAT", "DS202612.04"}, 20261206, 20261204},
        {"a file older than the last weekday", {"DS261203.DAT"}, 20261204, 0},
        {"a later file than today (the service's clock)", {"DS261207.DAT"}, 20261204, 20261207},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        for (const char* name : c.files)
            WriteBytes(folder.file(name), "x");
        EXPECT_EQ(KnownTradingDay(folder.path(), c.today), c.known);
    }
}

class FetchListHistoriesTest : public DailyTestFolder {
protected:
    void SetUp() override {
        DailyTestFolder::SetUp();
        // Two stocks (one twice), an index, a code below 1000 and a line
        // without a code.
        WriteFile("fetchlist.csv", "1301,1301,T,A\n6758,6758,O,B\n998405,1001,T,Index\n"
                                   "1301,1301,T,A\n0999,999,T,Low\n,0,T,None\n");
        ASSERT_EQ(list.LoadFetchData(folder), 0);
    }
    std::vector<KDT> Read(int32_t code) const {
        std::vector<KDT> days;
        ReadKDTFile(PathOf(KDTFileName(code)), days);
        return days;
    }
    CFetchData list;
};

TEST_F(FetchListHistoriesTest, EachStockOnceByTheCodeAUserWouldType) {
    CFetchListHistories histories(list, folder, 200, 0, 20261206);
    EXPECT_EQ(histories.nStocks(), 2);
    EXPECT_EQ(histories.nOthers(), 2);
    EXPECT_EQ(histories.codeText(), "1301");
    std::string reason;
    ASSERT_EQ(histories.StartStock(&reason), CFetchListHistories::kRunPages);
    histories.FailStock();
    EXPECT_EQ(histories.codeText(), "6758.O");
    EXPECT_EQ(histories.code(), 6758);
}

// What a stock's file asks for, and what its pages make of it.
TEST_F(FetchListHistoriesTest, TheFileDecidesThePagesAndTakesTheNewRows) {
    const std::vector<KDT> old = {Day(20261202, 2), Day(20261203, 3), Day(20261204, 4)};
    const struct {
        const char* name;
        const char* file; // "" none, "old" the three days, "e" empty, else these bytes
        int32_t known;
        int32_t start, pages;
        std::vector<KDT> newestFirst; // page 0 of the service
        int32_t end;
        std::vector<KDT> written;
    } cases[] = {
        {"no file: the rows asked for",
         "",
         0,
         CFetchListHistories::kRunPages,
         4,
         {Day(20261204, 4), Day(20261203, 3)},
         CFetchListHistories::kWritten,
         {Day(20261203, 3), Day(20261204, 4)}},
        {"empty file: as none",
         "e",
         0,
         CFetchListHistories::kRunPages,
         4,
         {},
         CFetchListHistories::kNoRows,
         {}},
        {"holds the known day: no page",
         "old",
         20261204,
         CFetchListHistories::kUpToDate,
         0,
         {},
         0,
         old},
        {"older than the known day: merged, the service's values win",
         "old",
         20261207,
         CFetchListHistories::kRunPages,
         4,
         {Day(20261207, 7), Day(20261204, 40)},
         CFetchListHistories::kWritten,
         {Day(20261202, 2), Day(20261203, 3), Day(20261204, 40), Day(20261207, 7)}},
        {"nothing new at the service",
         "old",
         0,
         CFetchListHistories::kRunPages,
         4,
         {Day(20261204, 4), Day(20261203, 3)},
         CFetchListHistories::kUpToDate,
         old},
        {"not a history: kept", "0123456789", 0, CFetchListHistories::kFailed, 0, {}, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = KDTFileName(1301);
        std::remove(PathOf(name).c_str());
        if (std::string(c.file) == "old")
            ASSERT_EQ(WriteKDTFile(folder, 1301, old), 3);
        else if (*c.file)
            WriteFile(name, std::string(c.file) == "e" ? "" : c.file);
        const std::string before = ReadFile(name);

        CFetchListHistories histories(list, folder, 200, c.known, 20261207);
        std::string reason;
        ASSERT_EQ(histories.StartStock(&reason), c.start);
        if (c.start != CFetchListHistories::kRunPages) {
            EXPECT_EQ(histories.run(), nullptr);
            EXPECT_EQ(ReadFile(name), before);
            EXPECT_EQ(reason.empty(), c.start != CFetchListHistories::kFailed) << reason;
            continue;
        }
        CMakeKDT* run = histories.run();
        ASSERT_EQ(run->nPages(), c.pages);
        WriteFile("page", HistoryPage(c.newestFirst));
        CKDTPageData::ExtractKDTData(PathOf("page").c_str(), run->getPage(0));
        // A page that reaches the file's newest day is the last one asked for.
        EXPECT_EQ(run->ReachesKnownDay(0), *c.file == 'o');
        EXPECT_EQ(histories.EndStock(&reason), c.end);
        EXPECT_EQ(Read(1301), c.written);
        EXPECT_EQ(histories.stockIndex(), 1);
    }
}

TEST_F(FetchListHistoriesTest, TheDayGoesOnlyIntoFilesThatExist) {
    for (int32_t slot : {0, 1}) {
        CTesselRec* record = list.getPage(0)->getTesselRec(slot);
        record->open = 100.5;
        record->high = 120;
        record->low = 90;
        record->close = 110.9;
        record->volume = 5e9;
    }
    int32_t year, month, day;
    list.getDate(year, month, day);
    const int32_t today = year * 10000 + month * 100 + day;
    // 1301 has a history that ends the day before; 6758 has none.
    ASSERT_EQ(WriteKDTFile(folder, 1301, {Day(20200102, 1)}), 1);
    ino_t written = 0;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        CDayToHistories toHistories(list, folder);
        EXPECT_EQ(toHistories.nStocks(), 2);
        // A share at a time: true while stocks are left.
        EXPECT_TRUE(toHistories.Add(1));
        EXPECT_FALSE(toHistories.Add(5));
        EXPECT_EQ(toHistories.nAdded(), 1);
        EXPECT_TRUE(toHistories.failures().empty());
        const std::vector<KDT> days = Read(1301);
        ASSERT_EQ(Dates(days), (std::vector<int32_t>{20200102, today}));
        EXPECT_EQ(std::vector<int32_t>(
                      {days[1].open, days[1].high, days[1].low, days[1].close, days[1].volume}),
                  std::vector<int32_t>({100, 120, 90, 110, 2147483647}));
        EXPECT_FALSE(std::filesystem::exists(PathOf(KDTFileName(6758))));
        // A replaced file is a new inode: the second run, with nothing new,
        // left the file alone.
        struct stat info {};
        ASSERT_EQ(stat(PathOf(KDTFileName(1301)).c_str(), &info), 0);
        if (run == 0)
            written = info.st_ino;
        else
            EXPECT_EQ(info.st_ino, written);
    }
    // A file that is no history is named and left alone.
    WriteFile(KDTFileName(6758), "abc");
    CDayToHistories toHistories(list, folder);
    EXPECT_FALSE(toHistories.Add(2));
    EXPECT_EQ(toHistories.nAdded(), 1);
    ASSERT_EQ(toHistories.failures().size(), 1u);
    EXPECT_EQ(toHistories.failures()[0].first, 6758);
    EXPECT_EQ(ReadFile(KDTFileName(6758)), "abc");
}
