// Keeping the fetch list's histories current: rows merged into a history,
// the trading day the files are measured by, what each stock needs, and the
// day's quotes added to the files that exist.
#include "FetchListHistories.h"
#include "MakeKDT.h"
#include "TestFolder.h"

#include <climits>
#include <sys/stat.h>
#include <tuple>
#include <vector>

namespace {

KDT Day(int32_t date, int32_t close) {
    return {date / 10000, date / 100 % 100, date % 100, close, close, close, close, close * 10};
}

// A day of December 2026; unless given, its prices are the day's number.
KDT Dec(int32_t day, int32_t close = 0) {
    return Day(20261200 + day, close ? close : day);
}

} // namespace

TEST(HistoryDates, MergeWeekdaysAndTheDayTheDailyFilesKnow) {
    using Days = std::vector<KDT>;
    const std::tuple<const char*, Days, Days, Days> merges[] = {
        // clang-format off
        // name                    file's days                 rows                  merged
        {"into none, any order",   {},                         {Dec(5), Dec(3)},     {Dec(3), Dec(5)}},
        {"a date again: new wins", {Dec(3), Dec(4)},           {Dec(5), Dec(4, 40)}, {Dec(3), Dec(4, 40), Dec(5)}},
        {"a gap filled in place",  {Dec(2), Dec(5)},           {Dec(3)},             {Dec(2), Dec(3), Dec(5)}},
        {"a twice-written date",   {Dec(2), Dec(2, 9), Dec(3)}, {},                  {Dec(2), Dec(3)}},
        // clang-format on
    };
    for (auto [name, days, rows, merged] : merges) {
        MergeKDTRows(days, rows);
        EXPECT_EQ(days, merged) << name;
    }
    // Friday, Sunday, Friday, Sunday.
    const int32_t dates[][2] = {
        {20261204, 20261204}, {20261206, 20261204}, {20270101, 20270101}, {20270103, 20270101}};
    for (const auto& [date, weekday] : dates)
        EXPECT_EQ(LastWeekday(date), weekday) << date;
    EXPECT_EQ(WeekdaysAfter(20261204, 20261207), 1);
    EXPECT_EQ(WeekdaysAfter(20261201, 20261231), 22);
    EXPECT_EQ(WeekdaysAfter(20261207, 20261204), 0);

    const std::tuple<const char*, std::vector<const char*>, int32_t, int32_t> cases[] = {
        // clang-format off
        // name                                         files                            today     known
        {"no daily file",                               {"FN261204.DAT"},                20261206, 0},
        {"the newest file of either layout",            {"DS261203.DAT", "DS202612.04"}, 20261206, 20261204},
        {"a file older than the last weekday",          {"DS261203.DAT"},                20261204, 0},
        {"a later file than today (the service's clock)", {"DS261207.DAT"},              20261204, 20261207},
        // clang-format on
    };
    for (const auto& [name, files, today, known] : cases) {
        TempFolder folder;
        for (const char* file : files)
            WriteBytes(folder.file(file), "x");
        EXPECT_EQ(KnownTradingDay(folder.path(), today), known) << name;
    }
}

class FetchListHistoriesTest : public DailyTestFolder {
protected:
    void SetUp() override {
        DailyTestFolder::SetUp();
        // Two stocks (one twice), an index, a code below 1000 and lines
        // without a code to the page's last slot.
        std::string lines = "1301,1301,T,A\n6758,6758,O,B\n998405,1001,T,Index\n"
                            "1301,1301,T,A\n0999,999,T,Low\n";
        for (int slot = 5; slot < 50; ++slot)
            lines += ",0,T,None\n";
        WriteFile("fetchlist.csv", lines);
        ASSERT_EQ(list.LoadFetchData(folder), 0);
    }
    std::vector<KDT> Read(int32_t code) const {
        std::vector<KDT> days;
        ReadKDTFile(PathOf(KDTFileName(code)), days);
        return days;
    }
    CFetchData list;
};

// What a stock's file asks for, and what its pages make of it; each stock
// once, by the code a user would type.
TEST_F(FetchListHistoriesTest, TheFileDecidesThePagesAndTakesTheNewRows) {
    using H = CFetchListHistories;
    using Days = std::vector<KDT>;
    const std::vector<KDT> old = {Dec(2), Dec(3), Dec(4)};
    // file: "" none, "old" the three days, "e" empty, else these bytes; known:
    // the day the daily files know, in December; page 0 of the service.
    const std::tuple<const char*, std::string, int32_t, int32_t, Days, int32_t, Days> cases[] = {
        // clang-format off
        // name                   file  known start         page 0             end           written
        {"no file: rows asked for", "",    0, H::kRunPages, {Dec(4), Dec(3)},     H::kWritten,  {Dec(3), Dec(4)}},
        {"empty file: as none",     "e",   0, H::kRunPages, {},                   H::kNoRows,   {}},
        {"holds the known day",     "old", 4, H::kUpToDate, {},                   0,            old},
        {"older than known day",    "old", 7, H::kRunPages, {Dec(7), Dec(4, 40)}, H::kWritten,  {Dec(2), Dec(3), Dec(4, 40), Dec(7)}},
        {"nothing new at service",  "old", 0, H::kRunPages, {Dec(4), Dec(3)},     H::kUpToDate, old},
        {"not a history: kept",     "abc", 0, H::kFailed,   {},                   0,            {}},
        // clang-format on
    };
    for (const auto& [name, file, known, start, newestFirst, end, written] : cases) {
        SCOPED_TRACE(name);
        const std::string kd = KDTFileName(1301);
        std::remove(PathOf(kd).c_str());
        if (file == "old")
            ASSERT_EQ(WriteKDTFile(folder, 1301, old), 3);
        else if (!file.empty())
            WriteFile(kd, file == "e" ? "" : file);
        const std::string before = ReadFile(kd);

        H histories(list, folder, 200, known ? 20261200 + known : 0, 20261207);
        std::string reason;
        ASSERT_EQ(histories.StartStock(&reason), start);
        if (start != H::kRunPages) {
            EXPECT_EQ(histories.run(), nullptr);
            EXPECT_EQ(ReadFile(kd), before);
            EXPECT_EQ(reason.empty(), start != H::kFailed) << reason;
        } else {
            CMakeKDT* run = histories.run();
            ASSERT_EQ(run->nPages(), 4); // 200 rows wanted
            std::string page;            // the prices and ten times the close in shares
            for (const KDT& d : newestFirst) {
                const std::string c = std::to_string(d.close);
                page += PriceRow(2026, 12, d.day, c + " " + c + " " + c + " " + c + " " + c + "0");
            }
            CKDTPageData::ExtractKDTPage(page.c_str(), int32_t(page.size()), run->getPage(0));
            // A page that reaches the file's newest day is the last one asked for.
            EXPECT_EQ(run->ReachesKnownDay(0), file == "old");
            EXPECT_EQ(histories.EndStock(&reason), end);
            EXPECT_EQ(Read(1301), written);
        }
        EXPECT_EQ(histories.code(), 6758); // the next stock
    }
    H histories(list, folder, 200, 0, 20261207);
    EXPECT_EQ(std::make_pair(histories.nStocks(), histories.nOthers()), std::make_pair(2, 2));
    EXPECT_EQ(histories.codeText(), "1301");
    histories.FailStock();
    EXPECT_EQ(histories.codeText(), "6758.O");
}

// 1301 has a history that ends the day before; 6758 has none, later one that
// is no history.
TEST_F(FetchListHistoriesTest, TheDayGoesOnlyIntoFilesThatExist) {
    for (int32_t slot : {0, 1}) {
        CTesselRec* r = list.getPage(0)->getTesselRec(slot);
        std::tie(r->open, r->high, r->low, r->close, r->volume) =
            std::make_tuple(100.5, 120, 90, 110.9, 5e9);
    }
    int32_t year, month, day;
    list.getDate(year, month, day);
    const KDT today{year, month, day, 100, 120, 90, 110, INT_MAX};
    ASSERT_EQ(WriteKDTFile(folder, 1301, {Day(20200102, 1)}), 1);
    ino_t written = 0;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        CDayToHistories toHistories(list, folder);
        // A share at a time: true while stocks are left.
        const bool first = toHistories.Add(1), rest = toHistories.Add(5);
        EXPECT_EQ(std::make_tuple(toHistories.nStocks(), first, rest, toHistories.nAdded()),
                  std::make_tuple(2, true, false, 1));
        EXPECT_TRUE(toHistories.failures().empty());
        EXPECT_EQ(Read(1301), (std::vector<KDT>{Day(20200102, 1), today}));
        EXPECT_FALSE(std::filesystem::exists(PathOf(KDTFileName(6758))));
        // A replaced file is a new inode: the second run, with nothing new,
        // left the file alone.
        struct stat info {};
        ASSERT_EQ(stat(PathOf(KDTFileName(1301)).c_str(), &info), 0);
        EXPECT_EQ(info.st_ino, run == 0 ? (written = info.st_ino) : written);
    }
    WriteFile(KDTFileName(6758), "abc");
    CDayToHistories toHistories(list, folder);
    EXPECT_FALSE(toHistories.Add(2));
    EXPECT_EQ(toHistories.nAdded(), 1);
    EXPECT_THAT(toHistories.failures(), testing::ElementsAre(testing::Pair(6758, testing::_)));
    EXPECT_EQ(ReadFile(KDTFileName(6758)), "abc");
}
