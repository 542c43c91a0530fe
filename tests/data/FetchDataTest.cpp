// What makes the requests: the fetch list (its lines, its pages of 50 and the
// lookups on it) and the quote service hosts of servers.conf.
#include "KDTPageData.h"
#include "ListPageData.h"
#include "TestFolder.h"

namespace {

// あいうえおかきくけこ in Shift-JIS: 20 bytes.
const std::string kKana20 = "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8\x82\xa9\x82\xab\x82\xad"
                            "\x82\xaf\x82\xb1";

const std::string kName253 = std::string(63, 'a') + "." + std::string(63, 'a') + "." +
                             std::string(63, 'a') + "." + std::string(61, 'b');

class FetchDataTest : public DailyTestFolder {
protected:
    int32_t Load(const std::string& text) {
        WriteFile("fetchlist.csv", text);
        return list.LoadFetchData(folder);
    }

    CFetchData list;
};
using QuoteServersTest = FetchDataTest;

} // namespace

// Each line is a slot, whatever its line end (CR LF, CR, LF and LF CR in turn,
// the last one missing), and bad lines keep their slots without harm:
// names are cut at 30 bytes without splitting a character; a quote code that
// could change the request asks for nothing and is reported with its line.
// Slots fill pages of 50.
TEST_F(FetchDataTest, EachLineIsASlot) {
    EXPECT_EQ(list.LoadFetchData(folder), -1); // no list
    EXPECT_EQ(Load(""), -1);
    EXPECT_EQ(list.nPages(), 0);
    // clang-format off
    struct Row { std::string line, slot; const char* refused; };
    std::vector<Row> rows = {
        // line of fetchlist.csv                       slot: quote code|code|market|name (3: none)   reported code
        {"1,1,T,ABCDEFGHIJ" + kKana20 + kKana20,       "1|1|0|ABCDEFGHIJ" + kKana20,                  nullptr},
        {"2, 2,O,ABCDEFGHIJK" + kKana20 + "\x82\xb3", "2|2|1|ABCDEFGHIJK" + kKana20,                 nullptr},
        {"3,3,T,ABCDEFGHIJ" + kKana20,                 "3|3|0|ABCDEFGHIJ" + kKana20,                  nullptr},
        {"",                                           "|0|3|",                                       nullptr},
        {"no commas here",                             "|0|3|",                                       nullptr},
        {"LONG," + std::string(300, '7') + ",T,name", "LONG|2147483647|3|", nullptr}, // cut by the buffer
        {"ABCDEFGHIJKLMNOP,42,TTTTTTTTTT,X", "|42|3|X", "ABCDEFGHIJKLMNOP"},
        {"1301,1301",                                  "1301|1301|3|",                                nullptr},
        {"1301&d=v3,1301,T,Hostile",                   "|1301|0|Hostile",                             "1301&d=v3"},
        {",1391,T,NoCode",                             "|1391|0|NoCode",                              ""},
        {"13 03,1303,T,Blank",                         "|1303|0|Blank",                               "13 03"},
        {"1304%0D,1304,T,Escape",                      "|1304|0|Escape",                              "1304%0D"},
        {"7203^x_y-z,7203,T,Marks",                    "7203^x_y-z|7203|0|Marks",                     nullptr},
        {"6758,6758,O",                                "6758|6758|1|",                                nullptr},
        {"9," + std::string(120, '0') + "9,T,AB", "9|9|0|A", nullptr}, // cut by the buffer
    };
    // clang-format on
    for (int i = 0; i < 105; ++i) { // slots 15 to 119: the stock 1300 + i
        const std::string code = std::to_string(1300 + i), name = "Name" + std::to_string(i);
        rows.push_back({code + "," + code + "," + "TON"[i % 3] + "," + name,
                        code + "|" + code + "|" + std::to_string(i % 3) + "|" + name, nullptr});
    }
    const char* const ends[] = {"\r\n", "\r", "\n", "\n\r"};
    std::string text;
    for (size_t i = 0; i < rows.size(); ++i)
        text += rows[i].line + (i + 1 < rows.size() ? ends[i % 4] : "") /* the last line unended */;
    ASSERT_EQ(Load(text), 0);
    ASSERT_EQ(list.nPages(), 3);
    EXPECT_EQ(list.getPage(2)->nCodes(), 20);
    EXPECT_EQ(list.getPage(3), nullptr);
    std::vector<std::string> refused, reported;
    for (int32_t slot = 0; slot < 120; ++slot) {
        const CTesselRec* r = list.getPage(slot / 50)->getTesselRec(slot % 50);
        EXPECT_EQ(r->quoteCode + ("|" + std::to_string(r->code)) + "|" + std::to_string(r->market) +
                      "|" + r->name,
                  rows[size_t(slot)].slot)
            << rows[size_t(slot)].line.substr(0, 40);
        if (rows[size_t(slot)].refused != nullptr)
            refused.push_back(std::to_string(slot + 1) + " " + rows[size_t(slot)].refused);
    }
    for (const CFetchData::RefusedLine& line : list.refusedLines())
        reported.push_back(
            std::to_string(line.lineNumber) + " " + line.quoteCode +
            (line.page * 50 + line.slot + 1 == line.lineNumber && line.reason ? "" : "?"));
    EXPECT_EQ(reported, refused);
    std::string url = list.getURL(0);
    EXPECT_EQ(url.find("http://127.0.0.1:8731/q?s=1+2.O+3+LONG+1301+7203^x_y-z+6758.O+9+1300+"),
              0u);
    EXPECT_EQ(list.getFinanceURL(0), url.replace(url.size() - 1, 1, "3")); // &d=v3
    EXPECT_STREQ(list.getWebTemp(2), "webtemp-002.html");
    url = list.getURL(2);
    EXPECT_EQ(url.substr(url.size() - 24), "+1402+1403.O+1404.N&d=v2");
    EXPECT_STREQ(list.getURL(3), "");
    // The local market code plus one; the later page wins.
    EXPECT_EQ(std::make_tuple(list.FindMarket(7203), list.FindMarket(1391), list.FindMarket(4444)),
              std::make_tuple(1, 2, CFetchData::kNoMarket));
}

// Lines end as in the other text files; comments, blank lines and blanks
// around the key and value are passed over; a bad line is refused by its
// number and leaves the default; a later load without the file falls back.
TEST_F(QuoteServersTest, ServersAreReadAndChecked) {
    WriteFile("servers.conf", "# quote service\r\n\r\n  quote = q.example:8080\rbad line\n\r"
                              "history=[::1]:9000\n#profile=ignored:1\nprofile=bad host\n"
                              "unknown=x\nprofile=p.example");
    EXPECT_EQ(LoadQuoteServers(folder), (std::vector<int32_t>{4, 7, 8}));
    EXPECT_EQ(QuoteHost() + " " + HistoryHost() + " " + ProfileHost(),
              "q.example:8080 [::1]:9000 p.example");
    std::filesystem::remove(PathOf("servers.conf"));
    EXPECT_TRUE(LoadQuoteServers(folder).empty());
    EXPECT_EQ(QuoteHost(), kDefaultQuoteServer);
    EXPECT_EQ(ProfileHost(), kDefaultQuoteServer);

    // A host is a host name of at most 253 characters in labels of at most 63, an
    // IPv4 address or a bracketed IPv6 address, with an optional port 1..65535.
    // clang-format off
    const std::vector<std::string> taken = {"quotes.example:8080", "localhost", "azAZ09.example", "192.0.2.1:65535",
        "[2001:db8::1]:80", "1e100.example", kName253, std::string("127.0.0.1\0/x?y=1", 16) /* a zero byte ends it */};
    const std::vector<std::string> refused = {kName253 + "b", std::string(64, 'a') + ".example", "-a.example",
        "a-.example", "a..example", "a_b.example", "a/b?c", "\x01x", "999.1.1.1", "1.2.3", "host:0", "host:65536",
        "host:", "::1", "[::1", "[::1]:0", "[zz]:80", "[::1]x"};
    // clang-format on
    for (const auto* values : {&taken, &refused}) {
        for (const std::string& value : *values) {
            SCOPED_TRACE(value);
            WriteFile("servers.conf", "history=" + value + "\n");
            EXPECT_EQ(LoadQuoteServers(folder).empty(), values == &taken);
            EXPECT_EQ(HistoryHost(), values == &taken ? value.c_str() : kDefaultQuoteServer);
        }
    }
}

// The longest host and fifty codes of the longest kind make complete URLs.
TEST_F(QuoteServersTest, RequestUrlsCarryTheWholeHost) {
    const std::string host = kName253 + ":8731";
    WriteFile("servers.conf", "quote=" + host + "\nhistory=" + host + "\n");
    ASSERT_TRUE(LoadQuoteServers(folder).empty());
    std::string text, codes;
    for (int i = 0; i < 50; ++i) {
        text += "ABCDEFGHIJK,1000,N,x\n";
        codes += (i > 0 ? "+" : "") + std::string("ABCDEFGHIJK.N");
    }
    ASSERT_EQ(Load(text), 0);
    EXPECT_EQ(list.getURL(0), "http://" + host + "/q?s=" + codes + "&d=v2");
    EXPECT_EQ(CListPageData(79).getURL(), "http://" + host + "/l?s=%2a&m=3951");
    const std::string url = CKDTPageData("12345678901", 1234, 1999).getURL();
    EXPECT_EQ(url.rfind("http://" + host + "/t?s=12345678901&a=1&b=1&c=1983&d=", 0), 0u);
    EXPECT_EQ(url.substr(url.size() - 23), "&g=d&q=t&y=99950&x=.csv") << url;
}
