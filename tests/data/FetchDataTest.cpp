// The fetch list: its lines, its pages of 50 and the lookups on it.
#include "TestFolder.h"

namespace {

// あいうえおかきくけこ in Shift-JIS: 20 bytes.
const std::string kKana20 = "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8\x82\xa9\x82\xab\x82\xad"
                            "\x82\xaf\x82\xb1";

class FetchDataTest : public DailyTestFolder {
protected:
    int32_t Load(const std::string& text) {
        WriteFile("fetchlist.csv", text);
        return list.LoadFetchData(folder);
    }

    CFetchData list;
};

} // namespace

// Each line is a slot, whatever its line end (CR LF, CR, LF and LF CR in turn,
// the last one perhaps missing), and bad lines keep their slots without harm:
// names are cut at 30 bytes without splitting a character; a quote code that
// could change the request asks for nothing and is reported with its line.
// Slots fill pages of 50.
TEST_F(FetchDataTest, EachLineIsASlot) {
    EXPECT_EQ(list.LoadFetchData(folder), -1); // no list
    EXPECT_EQ(Load(""), -1);
    EXPECT_EQ(list.nPages(), 0);
    const int32_t none = g_marketConv->nEntries(); // no market of the table
    // clang-format off
    struct Row { std::string line, quoteCode; int32_t code, market; std::string name; const char* refused; };
    std::vector<Row> rows = {
        // line of fetchlist.csv                       slot's quote code, code, market, name          reported code
        {"1,1,T,ABCDEFGHIJ" + kKana20 + kKana20,       "1", 1, 0, "ABCDEFGHIJ" + kKana20,             nullptr},
        {"2, 2,O,ABCDEFGHIJK" + kKana20 + "\x82\xb3", "2", 2, 1, "ABCDEFGHIJK" + kKana20,            nullptr},
        {"3,3,T,ABCDEFGHIJ" + kKana20,                 "3", 3, 0, "ABCDEFGHIJ" + kKana20,             nullptr},
        {"",                                           "", 0, none, "",                               nullptr},
        {"no commas here",                             "", 0, none, "",                               nullptr},
        {"LONG," + std::string(300, '7') + ",T,name",  "LONG", INT32_MAX, none, "",                   nullptr}, // cut by the buffer
        {"ABCDEFGHIJKLMNOP,42,TTTTTTTTTT,X",           "", 42, none, "X",                             "ABCDEFGHIJKLMNOP"},
        {"1301,1301",                                  "1301", 1301, none, "",                        nullptr},
        {"1301&d=v3,1301,T,Hostile",                   "", 1301, 0, "Hostile",                        "1301&d=v3"},
        {",1391,T,NoCode",                             "", 1391, 0, "NoCode",                         ""},
        {"13 03,1303,T,Blank",                         "", 1303, 0, "Blank",                          "13 03"},
        {"1304%0D,1304,T,Escape",                      "", 1304, 0, "Escape",                         "1304%0D"},
        {"7203^x_y-z,7203,T,Marks",                    "7203^x_y-z", 7203, 0, "Marks",                nullptr},
        {"6758,6758,O",                                "6758", 6758, 1, "",                           nullptr},
        {"9," + std::string(120, '0') + "9,T,AB",      "9", 9, 0, "A",                                nullptr}, // cut by the buffer
    };
    // clang-format on
    for (int i = 0; i < 105; ++i) { // slots 15 to 119: the stock 1300 + i
        const std::string code = std::to_string(1300 + i), name = "Name" + std::to_string(i);
        rows.push_back({code + "," + code + "," + "TON"[i % 3] + "," + name, code, 1300 + i, i % 3,
                        name, nullptr});
    }
    const char* const ends[] = {"\r\n", "\r", "\n", "\n\r"};
    for (const bool lastEnded : {true, false}) {
        SCOPED_TRACE(lastEnded ? "last line ended" : "last line unended");
        std::string text;
        for (size_t i = 0; i < rows.size(); ++i)
            text += rows[i].line + (lastEnded || i + 1 < rows.size() ? ends[i % 4] : "");
        ASSERT_EQ(Load(text), 0);
        ASSERT_EQ(list.nPages(), 3);
        EXPECT_EQ(list.getPage(2)->nCodes(), 20);
        EXPECT_EQ(list.getPage(3), nullptr);
        size_t nRefused = 0;
        for (int32_t slot = 0; slot < 120; ++slot) {
            const Row& row = rows[size_t(slot)];
            SCOPED_TRACE(row.line.substr(0, 40));
            const CTesselRec* r = list.getPage(slot / 50)->getTesselRec(slot % 50);
            EXPECT_EQ(r->quoteCode, row.quoteCode);
            EXPECT_EQ(r->code, row.code);
            EXPECT_EQ(r->market, row.market);
            EXPECT_EQ(r->name, row.name);
            if (row.refused == nullptr)
                continue;
            ASSERT_LT(nRefused, list.refusedLines().size());
            const CFetchData::RefusedLine& refused = list.refusedLines()[nRefused++];
            EXPECT_EQ(refused.lineNumber, slot + 1);
            EXPECT_EQ(refused.page * 50 + refused.slot, slot);
            EXPECT_EQ(refused.quoteCode, row.refused);
            EXPECT_NE(refused.reason, nullptr);
        }
        EXPECT_EQ(nRefused, list.refusedLines().size());
        std::string url = list.getURL(0);
        EXPECT_EQ(url.find("http://127.0.0.1:8731/q?s=1+2.O+3+LONG+1301+7203^x_y-z+6758.O+9+1300+"),
                  0u);
        EXPECT_EQ(list.getFinanceURL(0), url.replace(url.size() - 1, 1, "3")); // &d=v3
        EXPECT_STREQ(list.getWebTemp(2), "webtemp-002.html");
        url = list.getURL(2);
        EXPECT_EQ(url.find("http://127.0.0.1:8731/q?s=1385.O+1386.N+1387+"), 0u);
        EXPECT_EQ(url.substr(url.size() - 24), "+1402+1403.O+1404.N&d=v2");
        EXPECT_STREQ(list.getURL(3), "");
        // The local market code plus one; the later page wins.
        EXPECT_EQ(list.FindMarket(7203), 1);
        EXPECT_EQ(list.FindMarket(1391), 2);
        EXPECT_EQ(list.FindMarket(4444), CFetchData::kNoMarket);
    }
}
