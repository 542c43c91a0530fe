// The fetch list: its lines, its pages of 50 and the lookups on it.
#include "DailyTestFolder.h"

namespace {

// あいうえおかきくけこさしすせそ in Shift-JIS: 30 bytes.
const std::string kKana30 = "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8\x82\xa9\x82\xab\x82\xad"
                            "\x82\xaf\x82\xb1\x82\xb3\x82\xb5\x82\xb7\x82\xb9\x82\xbb";

class FetchDataTest : public DailyTestFolder {
protected:
    // n lines "1000,1000,T,Name0" ... with the given line end.
    int32_t Load(int32_t n, const std::string& lineEnd = "\n") {
        std::string text;
        for (int32_t i = 0; i < n; ++i) {
            const std::string code = std::to_string(1000 + i);
            text += code + "," + code + ",T,Name" + std::to_string(i) + lineEnd;
        }
        return LoadText(text);
    }

    int32_t LoadText(const std::string& text) {
        WriteFile("fetchlist.csv", text);
        return list.LoadFetchData(folder);
    }

    CFetchData list;
};

} // namespace

TEST_F(FetchDataTest, SplitsTheListIntoPagesOfFifty) {
    const struct {
        int32_t lines, pages, lastPageCodes;
    } cases[] = {{1, 1, 1}, {50, 1, 50}, {51, 2, 1}, {100, 2, 50}, {120, 3, 20}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        ASSERT_EQ(Load(c.lines), 0);
        ASSERT_EQ(list.nPages(), c.pages);
        EXPECT_EQ(list.getPage(c.pages - 1)->nCodes(), c.lastPageCodes);
        EXPECT_EQ(list.getPage(c.pages), nullptr);
        const int32_t last = c.lines - 1;
        EXPECT_EQ(list.getPage(last / 50)->getTesselRec(last % 50)->code, 1000 + last);
    }
    // The last case, 120 lines: page 2 asks for stocks 100 to 119.
    EXPECT_STREQ(list.getWebTemp(2), "webtemp-002.html");
    const std::string url = list.getURL(2);
    EXPECT_EQ(url.find("http://127.0.0.1:8731/q?s=1100+1101+"), 0u);
    EXPECT_EQ(url.substr(url.size() - 15), "+1118+1119&d=v2");
    EXPECT_STREQ(list.getURL(3), "");
}

TEST_F(FetchDataTest, ReadsTheFourFields) {
    ASSERT_EQ(LoadText("1301,1301,T,Sample\n6758, 6758,O,Sony Corp.\n"), 0);
    const CTesselRec* r = list.getPage(0)->getTesselRec(0);
    EXPECT_STREQ(r->quoteCode, "1301");
    EXPECT_EQ(r->code, 1301);
    EXPECT_EQ(r->market, 0);
    EXPECT_STREQ(r->name, "Sample");
    EXPECT_EQ(list.getPage(0)->getTesselRec(1)->market, 1);
    EXPECT_STREQ(list.getURL(0), "http://127.0.0.1:8731/q?s=1301+6758.O&d=v2");
    EXPECT_STREQ(list.getFinanceURL(0), "http://127.0.0.1:8731/q?s=1301+6758.O&d=v3");
}

// 40 and 41 bytes cut at 30 without splitting a character; 30 bytes stay whole.
TEST_F(FetchDataTest, LongNamesAreCutAtACharacterBoundary) {
    const std::string names[] = {"ABCDEFGHIJ" + kKana30, "ABCDEFGHIJK" + kKana30,
                                 "ABCDEFGHIJ" + kKana30.substr(0, 20)};
    ASSERT_EQ(LoadText("1,1,T," + names[0] + "\n2,2,T," + names[1] + "\n3,3,T," + names[2] + "\n"),
              0);
    for (int32_t slot = 0; slot < 3; ++slot)
        EXPECT_EQ(list.getPage(0)->getTesselRec(slot)->name, names[slot].substr(0, 30 + slot % 2));
}

TEST_F(FetchDataTest, MissingOrEmptyListGivesNoPages) {
    EXPECT_EQ(list.LoadFetchData(folder), -1);
    EXPECT_EQ(list.nPages(), 0);
    EXPECT_EQ(list.getPage(0), nullptr);
    EXPECT_EQ(LoadText(""), -1);
    EXPECT_EQ(list.nPages(), 0);
}

TEST_F(FetchDataTest, BadLinesKeepTheirSlotsWithoutHarm) {
    const std::string longLine = "LONG," + std::string(300, '7') + ",T,name\n";
    ASSERT_EQ(LoadText("\nno commas here\n" + longLine +
                       "ABCDEFGHIJKLMNOP,42,TTTTTTTTTT,X\n1301,1301\n8001,8001,T,Itochu\n"),
              0);
    const CPageData* page = list.getPage(0);
    ASSERT_EQ(page->nCodes(), 6);
    EXPECT_STREQ(page->getTesselRec(0)->quoteCode, "");
    EXPECT_STREQ(page->getTesselRec(1)->quoteCode, "");
    EXPECT_EQ(page->getTesselRec(2)->code, INT32_MAX);  // clamped, not overflowed
    EXPECT_STREQ(page->getTesselRec(3)->quoteCode, ""); // too long: refused, not cut
    EXPECT_EQ(page->getTesselRec(3)->code, 42);
    EXPECT_EQ(page->getTesselRec(3)->market, g_marketConv->nEntries());
    EXPECT_EQ(page->getTesselRec(4)->code, 1301);
    EXPECT_STREQ(page->getTesselRec(5)->name, "Itochu");
    EXPECT_STREQ(list.getURL(0), "http://127.0.0.1:8731/q?s=LONG+1301+8001&d=v2");
}

// A quote code goes into the request as it is: one that could change the
// request keeps its slot, asks for nothing, and is reported with its line.
TEST_F(FetchDataTest, QuoteCodesThatNoRequestMayCarryAreRefused) {
    ASSERT_EQ(LoadText("1301&d=v3,1301,T,Hostile\n6758,6758,O,Sony\n,1302,T,NoCode\n"
                       "13 03,1303,T,Blank\n1304%0D,1304,T,Escape\n7203^x_y-z,7203,T,Marks\n"),
              0);
    const CPageData* page = list.getPage(0);
    ASSERT_EQ(page->nCodes(), 6);
    EXPECT_STREQ(list.getURL(0), "http://127.0.0.1:8731/q?s=6758.O+7203^x_y-z&d=v2");
    const struct {
        int32_t line;
        const char* quoteCode;
        int32_t code;
    } refused[] = {{1, "1301&d=v3", 1301}, {3, "", 1302}, {4, "13 03", 1303}, {5, "1304%0D", 1304}};
    ASSERT_EQ(list.refusedLines().size(), std::size(refused));
    for (size_t i = 0; i < std::size(refused); ++i) {
        SCOPED_TRACE(refused[i].quoteCode);
        const CFetchData::RefusedLine& line = list.refusedLines()[i];
        EXPECT_EQ(line.lineNumber, refused[i].line);
        EXPECT_EQ(line.quoteCode, refused[i].quoteCode);
        EXPECT_EQ(line.page * 50 + line.slot + 1, refused[i].line);
        EXPECT_NE(line.reason, nullptr);
        const CTesselRec* record = page->getTesselRec(line.slot);
        EXPECT_STREQ(record->quoteCode, "");
        EXPECT_EQ(record->code, refused[i].code);
    }
    EXPECT_STREQ(page->getTesselRec(0)->name, "Hostile");
}

TEST_F(FetchDataTest, FindMarketGivesLocalCodePlusOne) {
    std::string text;
    for (int32_t i = 0; i < 60; ++i)
        text += "9,9,T,filler\n";
    text += "1301,1301,N,Later\n";
    ASSERT_EQ(LoadText("1301,1301,O,First\n2000,2000,T,Zero\n" + text), 0);
    EXPECT_EQ(list.FindMarket(2000), 1);
    EXPECT_EQ(list.FindMarket(1301), 3); // the later page wins
    EXPECT_EQ(list.FindMarket(4444), CFetchData::kNoMarket);
}
