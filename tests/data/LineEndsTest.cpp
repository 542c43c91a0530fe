// The two CSV readers on files whose lines end in every way and every mix of
// ways a file may be given, with and without a line end after the last line:
// every line is read, and no CR or LF gets into a field.
#include "DailyTestFolder.h"

#include <vector>

namespace {

struct LineEnds {
    const char* name;
    std::vector<std::string> ends; // taken in turn, line by line
};

const LineEnds kLineEnds[] = {
    {"LF", {"\n"}},
    {"CR", {"\r"}},
    {"CR LF", {"\r\n"}},
    {"LF CR", {"\n\r"}},
    {"LF and LF CR in turn", {"\n", "\n\r"}},
    {"CR LF, CR, LF and LF CR in turn", {"\r\n", "\r", "\n", "\n\r"}},
    {"CR and LF in turn", {"\r", "\n"}},
    {"LF CR and CR LF in turn", {"\n\r", "\r\n"}},
};

// The lines joined with the ends in turn; the last one without its end
// unless lastEnded.
std::string Joined(const std::vector<std::string>& lines, const LineEnds& ends, bool lastEnded) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i)
        if (i + 1 < lines.size() || lastEnded)
            text += lines[i] + ends.ends[i % ends.ends.size()];
        else
            text += lines[i];
    return text;
}

bool HasLineEnd(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

class LineEndsTest : public DailyTestFolder {};

} // namespace

TEST_F(LineEndsTest, FetchListAndMarketTableReadEveryLine) {
    // 120 stocks over three pages, their markets T, O and N in turn.
    const char* const fetchCodes[] = {"T", "O", "N"};
    std::vector<std::string> stocks;
    for (int i = 0; i < 120; ++i)
        stocks.push_back(std::to_string(1300 + i) + "," + std::to_string(1300 + i) + "," +
                         fetchCodes[i % 3] + ",Name" + std::to_string(i));
    // 20 markets "1, MA, Market0" ...
    std::vector<std::string> markets;
    for (int i = 0; i < 20; ++i)
        markets.push_back(std::to_string(i + 1) + ", M" + char('A' + i) + ", Market" +
                          std::to_string(i));

    for (const LineEnds& ends : kLineEnds) {
        for (bool lastEnded : {true, false}) {
            SCOPED_TRACE(std::string(ends.name) + (lastEnded ? "" : ", the last line unended"));
            WriteFile("fetchlist.csv", Joined(stocks, ends, lastEnded));
            CFetchData list;
            ASSERT_EQ(list.LoadFetchData(folder), 0);
            ASSERT_EQ(list.nPages(), 3);
            EXPECT_EQ(list.getPage(2)->nCodes(), 20);
            EXPECT_TRUE(list.refusedLines().empty());
            for (int i = 0; i < 120; ++i) {
                const CTesselRec* r = list.getPage(i / 50)->getTesselRec(i % 50);
                EXPECT_EQ(r->quoteCode, std::to_string(1300 + i)) << i;
                EXPECT_EQ(r->code, 1300 + i);
                EXPECT_EQ(r->market, i % 3);
                EXPECT_EQ(r->name, "Name" + std::to_string(i));
            }
            for (int page = 0; page < 3; ++page)
                EXPECT_FALSE(HasLineEnd(list.getURL(page)));
            EXPECT_NE(std::string(list.getURL(2)).find("+1417+1418.O+1419.N&d=v2"),
                      std::string::npos);

            WriteFile("markets.csv", Joined(markets, ends, lastEnded));
            CMarketConv table;
            ASSERT_EQ(table.LoadMarketCsv(PathOf("markets.csv").c_str()), 1);
            ASSERT_EQ(table.nEntries(), 20);
            for (int i = 0; i < 20; ++i) {
                char fetchCode[4], name[32];
                table.LocalCodeToFetchCode(i, fetchCode);
                table.LocalCodeToMarketName(i, name);
                EXPECT_EQ(fetchCode, "M" + std::string(1, char('A' + i))) << i;
                EXPECT_EQ(table.LocalCodeToDSCode(i), i + 1);
                EXPECT_EQ(name, " Market" + std::to_string(i));
            }
        }
    }
}
