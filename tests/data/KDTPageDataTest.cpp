// The historical series: the KD record, the row parser, page extraction and
// the run that writes KD####.KDT.
#include "KDTPageData.h"
#include "KDTFile.h"
#include "MakeKDT.h"
#include "QuoteServers.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// EUC-JP bytes of 年, 月 and 日.
const std::string kYear = "\xC7\xAF";
const std::string kMonth = "\xB7\xEE";
const std::string kDay = "\xC6\xFC";

std::string DateCell(int year, int month, int day) {
    return "<td>" + std::to_string(year) + kYear + std::to_string(month) + kMonth +
           std::to_string(day) + kDay + "</td>";
}

std::string Row(const std::string& cells) {
    return "<tr align=right>" + cells + "</tr>\n";
}

std::string PriceRow(int year, int month, int day, const char* prices) {
    std::string cells = DateCell(year, month, day);
    for (const char* p = prices; *p != '\0';) {
        const char* end = strchr(p, ' ');
        const size_t n = end ? size_t(end - p) : strlen(p);
        cells += "<td><b>" + std::string(p, n) + "</b></td>";
        p += n + (end ? 1 : 0);
    }
    return Row(cells);
}

int Parse(const std::string& row, KDT* out) {
    return CKDTPageData::ExtractTR(row.c_str(), int32_t(row.size()), out);
}

// year, month, day, open, high, low, close, volume
std::vector<int32_t> Fields(const KDT& r) {
    return {r.year, r.month, r.day, r.open, r.high, r.low, r.close, r.volume};
}

std::string Record(const KDT& row) {
    unsigned char bytes[KDT::kRecordSize];
    KDT::ConvertToFile(row, bytes);
    return std::string(reinterpret_cast<char*>(bytes), sizeof bytes);
}

} // namespace

TEST(KDTRecord, SplitsEachPriceIntoLowAndHighHalves) {
    KDT row;
    row.year = 2006;
    row.month = 12;
    row.day = 25;
    row.open = 70000;
    row.high = 500;
    row.low = 0x12345678;
    row.close = 65536;
    row.volume = 0x01020304;
    const std::string r = Record(row);
    ASSERT_EQ(r.size(), 26u);
    EXPECT_EQ(r.substr(0, 6), std::string("\x07\xD6\x0C\x19\x00\x00", 6));
    EXPECT_EQ(r.substr(6, 8), std::string("\x11\x70\x01\xF4\x56\x78\x00\x00", 8));
    EXPECT_EQ(r.substr(14, 4), "\x01\x02\x03\x04");
    EXPECT_EQ(r.substr(18, 8), std::string("\x00\x01\x00\x00\x12\x34\x00\x01", 8));
}

TEST(KDTRecord, WritesOnlyYears1901To2099) {
    TempFolder folder;
    FILE* stream = fopen(folder.file("out").c_str(), "wb");
    ASSERT_NE(stream, nullptr);
    int written = 0;
    for (int year : {1900, 1901, 2099, 2100, 0}) {
        KDT row;
        row.year = year;
        written += row.Write(stream);
    }
    fclose(stream);
    EXPECT_EQ(written, 2);
    const std::string bytes = ReadBytes(folder.file("out"));
    ASSERT_EQ(bytes.size(), 52u);
    EXPECT_EQ(bytes.substr(0, 2), "\x07\x6D");  // 1901
    EXPECT_EQ(bytes.substr(26, 2), "\x08\x33"); // 2099
}

TEST(KDTRow, ReadsTheDateCellAndSixCells) {
    KDT row;
    ASSERT_EQ(Parse(PriceRow(2006, 1, 5, "1,000 1,100 900 1,050 123,456"), &row), 0);
    EXPECT_EQ(Fields(row), (std::vector<int32_t>{2006, 1, 5, 1000, 1100, 900, 1050, 123456}));
    // Cells after the volume are ignored.
    ASSERT_EQ(Parse(PriceRow(2006, 12, 25, "1 2 3 4 5 6 7 8"), &row), 0);
    EXPECT_EQ(Fields(row), (std::vector<int32_t>{2006, 12, 25, 1, 2, 3, 4, 5}));
    for (int year : {KDT::kFirstYear, KDT::kLastYear}) {
        ASSERT_EQ(Parse(PriceRow(year, 1, 1, "1"), &row), 0) << year;
        EXPECT_EQ(row.year, year);
    }
}

TEST(KDTRow, RejectsImpossibleDatesAndLeavesTheSlotAlone) {
    KDT row;
    row.year = 1999;
    // Years outside 1901..2099 are rejected: the KD file cannot hold them.
    const int dates[][3] = {{1900, 1, 5},  {2100, 1, 5}, {99999, 1, 5}, {2006, 0, 5},
                            {2006, 13, 5}, {2006, 1, 0}, {2006, 1, 32}};
    for (const auto& [y, m, d] : dates) {
        EXPECT_EQ(Parse(PriceRow(y, m, d, "1 2 3 4 5"), &row), -1) << y << "/" << m << "/" << d;
    }
    const std::string heading = "\xC6\xFC\xC9\xD5"; // 日付
    EXPECT_EQ(Parse(Row("<th>x</th><td>" + heading + "</td><td>open</td>"), &row), -1);
    EXPECT_EQ(row.year, 1999);
}

TEST(KDTRow, ShortRowsAndBadPrices) {
    KDT row;
    // A row of three cells: the first price stands for all four.
    ASSERT_EQ(Parse(PriceRow(2006, 3, 1, "1,234 5,678"), &row), 0);
    EXPECT_EQ(Fields(row), (std::vector<int32_t>{2006, 3, 1, 1234, 1234, 1234, 1234, 0}));
    ASSERT_EQ(Parse(Row(DateCell(2006, 3, 2)), &row), 0);
    EXPECT_EQ(Fields(row), (std::vector<int32_t>{2006, 3, 2, 0, 0, 0, 0, 0}));

    EXPECT_EQ(Parse(PriceRow(2006, 3, 3, "- - - - 0"), &row), -1);
    EXPECT_EQ(Parse(PriceRow(2006, 3, 3, "abc 1 1 1 1"), &row), -1);

    ASSERT_EQ(Parse(PriceRow(2006, 3, 4, "100 100 100 100 99,999,999,999"), &row), 0);
    EXPECT_EQ(row.volume, 2147483647) << "a volume beyond 32 bits is clamped";
}

TEST(KDTPage, ExtractsGoodRowsAndSkipsTheOthers) {
    TempFolder folder;
    const std::string page = "<html><table>" + Row("<th>date</th><th>open</th>") +
                             PriceRow(2006, 1, 6, "100 110 90 105 1000") +
                             PriceRow(2006, 1, 5, "text 1 1 1 1") +
                             PriceRow(2006, 1, 4, "200 210 190 205 2000") +
                             Row(DateCell(2006, 1, 3)) + "</table></html>";
    CKDTPageData data("7203", 7203, 0);
    WriteBytes(folder.file("p.html"), page);
    ASSERT_EQ(CKDTPageData::ExtractKDTData(folder.file("p.html").c_str(), &data), 0);
    ASSERT_EQ(data.nRows(), 3);
    EXPECT_EQ(data.getRow(0).day, 6);
    EXPECT_EQ(data.getRow(1).day, 4);
    EXPECT_EQ(data.getRow(1).open, 200);
    EXPECT_EQ(data.getRow(2).day, 3);
    EXPECT_EQ(data.getRow(2).open, 0);
}

TEST(KDTPage, NoRowsMissingFileAndOverfullPage) {
    TempFolder folder;
    CKDTPageData data("7203", 7203, 0);
    EXPECT_EQ(CKDTPageData::ExtractKDTData(folder.file("absent").c_str(), &data), -1);
    WriteBytes(folder.file("none"), "<html>" + std::string(102399, 'x') + "<tr><td>");
    EXPECT_EQ(CKDTPageData::ExtractKDTData(folder.file("none").c_str(), &data), -1);

    std::string many;
    for (int i = 0; i < 60; ++i) {
        many += PriceRow(2000 + i / 28, 1, 1 + i % 28, "10 10 10 10 10");
    }
    WriteBytes(folder.file("many"), many);
    ASSERT_EQ(CKDTPageData::ExtractKDTData(folder.file("many").c_str(), &data), 0);
    EXPECT_EQ(data.nRows(), 50);
}

TEST(MakeKDT, PagesAndTheirRequests) {
    const int cases[][2] = {{200, 4}, {120, 3}, {50, 1}, {51, 2}, {0, 0}, {-5, 0}};
    for (const auto& [rows, pages] : cases) {
        EXPECT_EQ(CMakeKDT("7203", 7203, rows).nPages(), pages) << rows;
    }
    CMakeKDT run("7203.T", 7203, 120);
    const time_t now = time(nullptr);
    struct tm today;
    localtime_r(&now, &today);
    for (int i = 0; i < 3; ++i) {
        char expected[256];
        snprintf(expected, sizeof expected,
                 "http://%s/t?s=7203.T&a=1&b=1&c=1983&d=%d&e=%d&f=%d&g=d&q=t&y=%d&x=.csv",
                 HistoryHost().c_str(), today.tm_mon + 1, today.tm_mday, today.tm_year + 1900,
                 i * 50);
        EXPECT_STREQ(run.getURL(i), expected);
    }
    EXPECT_STREQ(run.getWebTemp(2), "kdttemp-002.html");
}

TEST(MakeKDT, RefusesCodeTextsThatDoNotFit) {
    EXPECT_EQ(CMakeKDT::CheckRequest("12345678901", 200), nullptr);
    EXPECT_NE(CMakeKDT::CheckRequest("123456789012", 200), nullptr);
    EXPECT_NE(CMakeKDT::CheckRequest("", 200), nullptr);
    EXPECT_EQ(CMakeKDT::CheckRequest("6758.O", 200), nullptr);
    EXPECT_NE(CMakeKDT::CheckRequest("7203&y=5", 200), nullptr);
    EXPECT_NE(CMakeKDT::CheckRequest("72 03", 200), nullptr);
    EXPECT_NE(CMakeKDT::CheckRequest("7203", 0), nullptr);
    EXPECT_NE(CMakeKDT::CheckRequest("7203", 2000000000), nullptr);
    EXPECT_EQ(CMakeKDT("123456789012", 7203, 200).nPages(), 0);
}

TEST(MakeKDT, SavesOldestFirstAndKeepsTheFileWhenNothingCame) {
    TempFolder folder;
    {
        CMakeKDT run("7203", 7203, 100);
        ASSERT_EQ(run.nPages(), 2);
        // Newest first, as the service lists them: page 0 holds the later days.
        const std::string page0 = PriceRow(2006, 2, 2, "4 4 4 4 4") + PriceRow(2006, 2, 1, "3");
        const std::string page1 = PriceRow(2006, 1, 31, "2 2 2 2 2") + PriceRow(2006, 1, 30, "1");
        WriteBytes(folder.file("p0"), page0);
        WriteBytes(folder.file("p1"), page1);
        ASSERT_EQ(CKDTPageData::ExtractKDTData(folder.file("p0").c_str(), run.getPage(0)), 0);
        ASSERT_EQ(CKDTPageData::ExtractKDTData(folder.file("p1").c_str(), run.getPage(1)), 0);
        EXPECT_EQ(run.Save(folder.path()), 4);
    }
    const std::string bytes = ReadBytes(folder.file("KD7203.KDT"));
    ASSERT_EQ(bytes.size(), 4u * 26);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bytes[size_t(i) * 26 + 7], char(i + 1)) << "record " << i;
    }
    EXPECT_EQ(bytes.substr(2, 2), "\x01\x1E"); // 30 January first

    CMakeKDT failed("7203", 7203, 50);
    EXPECT_EQ(failed.Save(folder.path()), 0);
    EXPECT_EQ(ReadBytes(folder.file("KD7203.KDT")), bytes);

    // A page of rows the file cannot hold is a page without rows: the run
    // writes no record and keeps the earlier file.
    CMakeKDT future("7203", 7203, 50);
    WriteBytes(folder.file("p2100"), PriceRow(2100, 1, 5, "9 9 9 9 9") + PriceRow(2100, 1, 4, "8"));
    EXPECT_EQ(CKDTPageData::ExtractKDTData(folder.file("p2100").c_str(), future.getPage(0)), -1);
    EXPECT_EQ(future.Save(folder.path()), 0);
    EXPECT_EQ(ReadBytes(folder.file("KD7203.KDT")), bytes);
}

// The reader gives back what the series job's writer wrote, oldest day first,
// prices of 65,536 and more rebuilt from their two halves.
TEST(KDTFile, ReadsBackWhatTheJobWrote) {
    TempFolder folder;
    CMakeKDT run("7203", 7203, 50);
    WriteBytes(folder.file("p0"), PriceRow(2024, 3, 5, "70,000 2,147,483,647 65,535 65,536 99") +
                                      PriceRow(2024, 3, 4, "500 510 490 505 2,147,483,647") +
                                      PriceRow(1999, 12, 30, "1"));
    ASSERT_EQ(CKDTPageData::ExtractKDTData(folder.file("p0").c_str(), run.getPage(0)), 0);
    ASSERT_EQ(run.Save(folder.path()), 3);

    std::vector<KDT> days;
    int64_t size = 0;
    ASSERT_EQ(ReadKDTFile(folder.file(KDTFileName(7203)), days, &size), kKDTFileRead);
    EXPECT_EQ(size, 3 * 26);
    ASSERT_EQ(days.size(), 3u);
    EXPECT_EQ(Fields(days[0]), (std::vector<int32_t>{1999, 12, 30, 1, 1, 1, 1, 0}));
    EXPECT_EQ(Fields(days[1]), (std::vector<int32_t>{2024, 3, 4, 500, 510, 490, 505, 2147483647}));
    EXPECT_EQ(Fields(days[2]),
              (std::vector<int32_t>{2024, 3, 5, 70000, 2147483647, 65535, 65536, 99}));
}

// Files that are no history: nothing is read, and the reason says why.
TEST(KDTFile, RefusesFilesThatAreNoWholeRecords) {
    TempFolder folder;
    const struct {
        const char* name;
        int64_t bytes; // -1: no file
        int32_t status;
    } cases[] = {
        {"missing", -1, kKDTFileMissing},
        {"empty", 0, kKDTFileEmpty},
        {"one byte over", 27, kKDTFileBadSize},
        {"one byte short", 51, kKDTFileBadSize},
        {"beyond a million days", 26 * (kKDTFileMaxRecords + 1), kKDTFileTooLarge},
        {"two records", 52, kKDTFileRead},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const std::string path = folder.file(row.name);
        if (row.bytes >= 0) {
            // Sparse, so that a large file costs no disk.
            const int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0644);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(ftruncate(fd, off_t(row.bytes)), 0);
            close(fd);
        }
        std::vector<KDT> days(1);
        int64_t size = -1;
        EXPECT_EQ(ReadKDTFile(path, days, &size), row.status);
        EXPECT_EQ(size, row.bytes < 0 ? 0 : row.bytes);
        EXPECT_EQ(days.size(), row.status == kKDTFileRead ? 2u : 0u);
    }
    std::vector<KDT> days;
    EXPECT_EQ(ReadKDTFile(folder.path(), days), kKDTFileUnreadable) << "a folder";
    EXPECT_NE(std::string(KDTFileStatusText(kKDTFileBadSize)).find("multiple of 26"),
              std::string::npos);
}
