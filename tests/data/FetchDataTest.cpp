// The fetch list: its lines, its pages of 50 and the lookups on it; with the
// market table, read from files whose lines end in every way.
#include "TestFolder.h"

namespace {

// あいうえおかきくけこさしすせそ in Shift-JIS: 30 bytes.
const std::string kKana30 = "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8\x82\xa9\x82\xab\x82\xad"
                            "\x82\xaf\x82\xb1\x82\xb3\x82\xb5\x82\xb7\x82\xb9\x82\xbb";

class FetchDataTest : public DailyTestFolder {
protected:
    int32_t Load(const std::string& text) {
        WriteFile("fetchlist.csv", text);
        return list.LoadFetchData(folder);
    }
    const CTesselRec* Slot(int32_t slot) const { return list.getPage(0)->getTesselRec(slot); }

    CFetchData list;
};

} // namespace

// Every CR LF, LF CR, CR and LF ends a line, in any mix (each end alone is the
// line reader's own case), and a last line without its end is read: every
// line is a row, and no CR or LF gets into a field. The list is split into
// pages of 50.
TEST_F(FetchDataTest, EveryLineOfEveryLineEndIsRead) {
    const struct {
        const char* name;
        std::vector<std::string> ends; // taken in turn, line by line
    } kLineEnds[] = {
        {"LF CR", {"\n\r"}},
        {"LF and LF CR in turn", {"\n", "\n\r"}},
        {"CR LF, CR, LF and LF CR in turn", {"\r\n", "\r", "\n", "\n\r"}},
        {"CR and LF in turn", {"\r", "\n"}},
        {"LF CR and CR LF in turn", {"\n\r", "\r\n"}},
    };
    const char* const fetchCodes[] = {"T", "O", "N"};
    for (const auto& ends : kLineEnds) {
        for (const bool lastEnded : {true, false}) {
            SCOPED_TRACE(std::string(ends.name) + (lastEnded ? "" : ", the last line unended"));
            // The i-th of n lines, with its line end.
            auto line = [&](int i, int n, const std::string& text) {
                return text + (lastEnded || i + 1 < n ? ends.ends[i % ends.ends.size()] : "");
            };
            std::string stocks, markets;
            for (int i = 0; i < 120; ++i)
                stocks += line(i, 120,
                               std::to_string(1300 + i) + "," + std::to_string(1300 + i) + "," +
                                   fetchCodes[i % 3] + ",Name" + std::to_string(i));
            for (int i = 0; i < 20; ++i)
                markets += line(i, 20,
                                std::to_string(i + 1) + ", M" + char('A' + i) + ", Market" +
                                    std::to_string(i));
            ASSERT_EQ(Load(stocks), 0);
            ASSERT_EQ(list.nPages(), 3);
            EXPECT_EQ(list.getPage(2)->nCodes(), 20);
            EXPECT_EQ(list.getPage(3), nullptr);
            EXPECT_TRUE(list.refusedLines().empty());
            for (int i = 0; i < 120; ++i) {
                const CTesselRec* r = list.getPage(i / 50)->getTesselRec(i % 50);
                EXPECT_EQ(r->quoteCode, std::to_string(1300 + i)) << i;
                EXPECT_EQ(r->code, 1300 + i);
                EXPECT_EQ(r->market, i % 3);
                EXPECT_EQ(r->name, "Name" + std::to_string(i));
            }
            EXPECT_STREQ(list.getWebTemp(2), "webtemp-002.html");
            const std::string url = list.getURL(2);
            EXPECT_EQ(url.find("http://127.0.0.1:8731/q?s=1400.O+1401.N+1402+"), 0u);
            EXPECT_EQ(url.substr(url.size() - 24), "+1417+1418.O+1419.N&d=v2");
            EXPECT_STREQ(list.getURL(3), "");

            WriteFile("markets.csv", markets);
            CMarketConv table;
            ASSERT_EQ(table.LoadMarketCsv(PathOf("markets.csv").c_str()), 1);
            ASSERT_EQ(table.nEntries(), 20);
            for (int i = 0; i < table.nEntries(); ++i) {
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

// Names are cut at 30 bytes without splitting a character; bad lines keep
// their slots without harm; a quote code that could change the request keeps
// its slot, asks for nothing, and is reported with its line.
TEST_F(FetchDataTest, FieldsAndBadLines) {
    ASSERT_EQ(Load("1,1,T,ABCDEFGHIJ" + kKana30 + "\n2, 2,O,ABCDEFGHIJK" + kKana30 +
                   "\n3,3,T,ABCDEFGHIJ" + kKana30.substr(0, 20) + "\n\nno commas here\nLONG," +
                   std::string(300, '7') +
                   ",T,name\nABCDEFGHIJKLMNOP,42,TTTTTTTTTT,X\n1301,1301\n"
                   "1301&d=v3,1301,T,Hostile\n,1302,T,NoCode\n13 03,1303,T,Blank\n"
                   "1304%0D,1304,T,Escape\n7203^x_y-z,7203,T,Marks\n6758,6758,X\n9," +
                   std::string(120, '0') + "9,T,AB\n"), // cut by the buffer after the A
              0);
    ASSERT_EQ(list.getPage(0)->nCodes(), 15);
    EXPECT_EQ(Slot(0)->name, "ABCDEFGHIJ" + kKana30.substr(0, 20));
    EXPECT_EQ(Slot(1)->name, "ABCDEFGHIJK" + kKana30.substr(0, 20));
    EXPECT_EQ(Slot(2)->name, "ABCDEFGHIJ" + kKana30.substr(0, 20));
    EXPECT_EQ(Slot(1)->code, 2);
    EXPECT_EQ(Slot(1)->market, 1);
    EXPECT_STREQ(Slot(3)->quoteCode, "");
    EXPECT_STREQ(Slot(4)->quoteCode, "");
    EXPECT_EQ(Slot(5)->code, INT32_MAX);  // clamped, not overflowed
    EXPECT_STREQ(Slot(6)->quoteCode, ""); // too long: refused, not cut
    EXPECT_EQ(Slot(6)->code, 42);
    EXPECT_EQ(Slot(6)->market, g_marketConv->nEntries());
    EXPECT_EQ(Slot(7)->code, 1301);
    EXPECT_STREQ(Slot(8)->name, "Hostile");
    EXPECT_EQ(Slot(13)->market, g_marketConv->nEntries()); // a fetch code up to the line end
    EXPECT_STREQ(Slot(14)->name, "A");
    EXPECT_STREQ(list.getURL(0),
                 "http://127.0.0.1:8731/q?s=1+2.O+3+LONG+1301+7203^x_y-z+6758+9&d=v2");
    EXPECT_STREQ(list.getFinanceURL(0),
                 "http://127.0.0.1:8731/q?s=1+2.O+3+LONG+1301+7203^x_y-z+6758+9&d=v3");
    const struct {
        int32_t line;
        const char* quoteCode;
        int32_t code;
    } refused[] = {{7, "ABCDEFGHIJKLMNOP", 42},
                   {9, "1301&d=v3", 1301},
                   {10, "", 1302},
                   {11, "13 03", 1303},
                   {12, "1304%0D", 1304}};
    ASSERT_EQ(list.refusedLines().size(), std::size(refused));
    for (size_t i = 0; i < std::size(refused); ++i) {
        SCOPED_TRACE(refused[i].quoteCode);
        const CFetchData::RefusedLine& line = list.refusedLines()[i];
        EXPECT_EQ(line.lineNumber, refused[i].line);
        EXPECT_EQ(line.quoteCode, refused[i].quoteCode);
        EXPECT_EQ(line.page * 50 + line.slot + 1, refused[i].line);
        EXPECT_NE(line.reason, nullptr);
        EXPECT_STREQ(Slot(line.slot)->quoteCode, "");
        EXPECT_EQ(Slot(line.slot)->code, refused[i].code);
    }
}

TEST_F(FetchDataTest, MissingOrEmptyListAndFindMarket) {
    EXPECT_EQ(list.LoadFetchData(folder), -1);
    EXPECT_EQ(list.nPages(), 0);
    EXPECT_EQ(list.getPage(0), nullptr);
    EXPECT_EQ(Load(""), -1);
    EXPECT_EQ(list.nPages(), 0);
    // FindMarket gives the local market code plus one; the later page wins.
    std::string text = "1301,1301,O,First\n2000,2000,T,Zero\n";
    for (int32_t i = 0; i < 60; ++i)
        text += "9,9,T,filler\n";
    ASSERT_EQ(Load(text + "1301,1301,N,Later\n"), 0);
    EXPECT_EQ(list.FindMarket(2000), 1);
    EXPECT_EQ(list.FindMarket(1301), 3);
    EXPECT_EQ(list.FindMarket(4444), CFetchData::kNoMarket);
}
