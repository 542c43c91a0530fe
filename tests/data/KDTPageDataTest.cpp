// The historical series: the KD record, the row parser, page extraction, the
// run that writes KD####.KDT and the reader of that file.
#include "KDTPageData.h"
#include "KDTFile.h"
#include "MakeKDT.h"
#include "TestFolder.h"

#include <cstring>
#include <tuple>

namespace {

// Extracts the page bytes into a page of a run.
int32_t ExtractInto(const TempFolder& folder, const std::string& bytes, CKDTPageData* page) {
    WriteBytes(folder.file("page.html"), bytes);
    return CKDTPageData::ExtractKDTData(folder.file("page.html").c_str(), page);
}

} // namespace

TEST(KDTRecord, BigEndianHalvesOnlyForYears1901To2099) {
    KDT row{2006, 12, 25, 70000, 500, 0x12345678, 65536, 0x01020304};
    unsigned char bytes[KDT::kRecordSize];
    std::memset(bytes, 0xFF, sizeof bytes); // the two spare bytes are written as zeros
    KDT::ConvertToFile(row, bytes);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), sizeof bytes),
              std::string("\x07\xD6\x0C\x19\x00\x00\x11\x70\x01\xF4\x56\x78\x00\x00\x01\x02\x03"
                          "\x04\x00\x01\x00\x00\x12\x34\x00\x01",
                          26));
    const int32_t years[][2] = {
        {1900, 0}, {1901, 1}, {2099, 1}, {2100, 0}, {0, 0}}; // year, written
    FILE* sink = std::fopen("/dev/null", "wb");
    for (const auto& [year, written] : years)
        EXPECT_EQ((row.year = year, row.Write(sink)), written) << year;
    std::fclose(sink);
}

TEST(KDTRow, DateCellAndUpToFivePrices) {
    std::vector<std::pair<std::string, KDT>> rows = {
        // clang-format off
        // row (the first with cells after the volume)   the record read (year 1999: refused)
        {PriceRow(2006, 1, 5, "1,000 1,100 900 1,050 123,456 7"), {2006, 1, 5, 1000, 1100, 900, 1050, 123456}},
        {PriceRow(1901, 1, 1, "1"),                       {1901, 1, 1, 1, 1, 1, 1, 0}},
        {PriceRow(2099, 1, 31, "1"),                      {2099, 1, 31, 1, 1, 1, 1, 0}},
        {PriceRow(2006, 3, 1, "1,234 5,678"),             {2006, 3, 1, 1234, 1234, 1234, 1234, 0}}, // the first price for all
        {PriceRow(2006, 3, 2, ""),                        {2006, 3, 2, 0, 0, 0, 0, 0}},
        {PriceRow(2006, 3, 4, "1 1 1 1 99,999,999,999"),  {2006, 3, 4, 1, 1, 1, 1, 2147483647}},
        {PriceRow(2006, 3, 3, "- - - - 0"),               {1999}}, // no trading
        {"<tr><th>x</th><td>\xC6\xFC\xC9\xD5</td><td>open</td></tr>", {1999}},      // the heading
        // clang-format on
    };
    // clang-format off
    for (const auto& [year, month, day] :
         {std::tuple{1900, 1, 5}, {2100, 1, 5}, {2006, 0, 5}, {2006, 13, 5}, {2006, 1, 0},
          {2006, 1, 32}})
        rows.push_back({PriceRow(year, month, day, "1 2 3 4 5"), {1999}}); // no such day
    // clang-format on
    for (const auto& [text, read] : rows) {
        SCOPED_TRACE(text);
        KDT row{1999}; // a refused row leaves the slot alone
        const int32_t result = CKDTPageData::ExtractTR(text.c_str(), int32_t(text.size()), &row);
        EXPECT_EQ(result, read.year == 1999 ? -1 : 0);
        EXPECT_EQ(row, read);
    }
}

TEST(KDTPage, TakesGoodRowsUpToFifty) {
    TempFolder folder;
    CKDTPageData data("7203", 7203, 0);
    EXPECT_EQ(CKDTPageData::ExtractKDTData(folder.file("absent").c_str(), &data), -1);
    EXPECT_EQ(ExtractInto(folder, "<html>" + std::string(102399, 'x') + "<tr><td>", &data), -1);
    const std::string page = "<table><tr><th>date</th></tr>" + PriceRow(2006, 1, 6, "100 1 1 1 1") +
                             PriceRow(2006, 1, 5, "text 1 1 1 1") +
                             PriceRow(2006, 1, 4, "200 1 1 1 1") + PriceRow(2006, 1, 3, "");
    ASSERT_EQ(ExtractInto(folder, page, &data), 0);
    ASSERT_EQ(data.nRows(), 3);
    EXPECT_EQ(std::make_pair(data.getRow(1).open, data.getRow(2).day), std::make_pair(200, 3));
    std::string many;
    for (int i = 0; i < 60; ++i)
        many += PriceRow(2000 + i / 28, 1, 1 + i % 28, "10 10 10 10 10");
    ASSERT_EQ(ExtractInto(folder, many, &data), 0);
    EXPECT_EQ(data.nRows(), 50);
}

// The pages a run asks for and the requests it refuses. The service lists the
// newest day first; the file holds the oldest first, prices of 65,536 and more
// rebuilt from their halves. A run that read no row keeps the earlier file.
TEST(MakeKDT, PagesCodeChecksAndTheFileOldestFirst) {
    const int cases[][2] = {{200, 4}, {120, 3}, {50, 1}, {51, 2}, {0, 0}, {-5, 0}};
    for (const auto& [rows, pages] : cases)
        EXPECT_EQ(CMakeKDT("7203", 7203, rows).nPages(), pages) << rows;
    EXPECT_STREQ(CMakeKDT("7203.T", 7203, 120).getWebTemp(2), "kdttemp-002.html");
    // clang-format off
    for (const auto& [code, rows, taken] :
         {std::tuple{"12345678901", 200, true}, {"6758.O", 200, true}, {"123456789012", 200, false},
          {"", 200, false}, {"7203&y=5", 200, false}, {"72 03", 200, false}, {"7203", 0, false},
          {"7203", 2000000000, false}})
        EXPECT_EQ(CMakeKDT::CheckRequest(code, rows) == nullptr, taken) << code << " " << rows;
    // clang-format on
    EXPECT_EQ(CMakeKDT("123456789012", 7203, 200).nPages(), 0);

    TempFolder folder;
    CMakeKDT run("7203", 7203, 100);
    const std::string page = PriceRow(2024, 3, 5, "70,000 2,147,483,647 65,535 65,536 99") +
                             PriceRow(2024, 3, 4, "500 510 490 505 2,147,483,647");
    ASSERT_EQ(ExtractInto(folder, page, run.getPage(0)), 0);
    ASSERT_EQ(ExtractInto(folder, PriceRow(1999, 12, 30, "1"), run.getPage(1)), 0);
    const std::string path = folder.file(KDTFileName(7203));
    ReplacedFiles replaced;
    ASSERT_EQ(run.Save(folder.path()), 3);
    EXPECT_EQ(replaced.before, (std::map<std::string, std::string>{{path, ""}}));
    const std::string bytes = ReadBytes(path);
    std::vector<KDT> days;
    ASSERT_EQ(ReadKDTFile(path, days), kKDTFileRead);
    EXPECT_EQ(days, (std::vector<KDT>{{1999, 12, 30, 1, 1, 1, 1, 0},
                                      {2024, 3, 4, 500, 510, 490, 505, 2147483647},
                                      {2024, 3, 5, 70000, 2147483647, 65535, 65536, 99}}));

    EXPECT_EQ(CMakeKDT("7203", 7203, 50).Save(folder.path()), 0); // nothing read
    EXPECT_EQ(ReadBytes(path), bytes);
}

// Files that are no history: nothing is read, and the reason says why.
TEST(KDTFile, RefusesFilesThatAreNoWholeRecords) {
    TempFolder folder;
    const std::tuple<const char*, int64_t, int32_t> cases[] = {
        // clang-format off
        // name                   size in bytes (-1: no file)      status
        {"missing",               -1,                              kKDTFileMissing},
        {"empty",                 0,                               kKDTFileEmpty},
        {"one byte over",         27,                              kKDTFileBadSize},
        {"beyond a million days", 26 * (kKDTFileMaxRecords + 1),   kKDTFileTooLarge},
        {"two records",           52,                              kKDTFileRead},
        // clang-format on
    };
    for (const auto& [name, size, status] : cases) {
        SCOPED_TRACE(name);
        const std::string path = folder.file(name);
        if (size >= 0) { // sparse, so that a large file costs no disk
            WriteBytes(path, "");
            std::filesystem::resize_file(path, uintmax_t(size));
        }
        std::vector<KDT> days(1);
        int64_t read = -1;
        EXPECT_EQ(ReadKDTFile(path, days, &read), status);
        EXPECT_EQ(read, std::max<int64_t>(size, 0));
        EXPECT_EQ(days.size(), status == kKDTFileRead ? 2u : 0u);
    }
    std::vector<KDT> days;
    EXPECT_EQ(ReadKDTFile(folder.path(), days), kKDTFileUnreadable) << "a folder";
    EXPECT_THAT(KDTFileStatusText(kKDTFileBadSize), testing::HasSubstr("multiple of 26"));
}
