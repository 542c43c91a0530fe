// The three quote service hosts of servers.conf.
#include "KDTPageData.h"
#include "ListPageData.h"
#include "TestFolder.h"

class QuoteServersTest : public DailyTestFolder {};

const std::string kLabel63(63, 'a');
const std::string kName253 =
    kLabel63 + "." + kLabel63 + "." + kLabel63 + "." + std::string(61, 'b');

// Lines end as in the other text files; comments, blank lines and blanks
// around the key and value are passed over; a bad line is refused by its
// number and leaves the default; a later load without the file falls back.
TEST_F(QuoteServersTest, ServersAreReadAndChecked) {
    WriteFile("servers.conf", "# quote service\r\n\r\n  quote = q.example:8080\rbad line\n\r"
                              "history=[::1]:9000\n#profile=ignored:1\nprofile=bad host\n"
                              "unknown=x\nprofile=p.example");
    EXPECT_EQ(LoadQuoteServers(folder), (std::vector<int32_t>{4, 7, 8}));
    EXPECT_EQ(QuoteHost(), "q.example:8080");
    EXPECT_EQ(HistoryHost(), "[::1]:9000");
    EXPECT_EQ(ProfileHost(), "p.example");
    std::filesystem::remove(PathOf("servers.conf"));
    EXPECT_TRUE(LoadQuoteServers(folder).empty());
    EXPECT_EQ(QuoteHost(), kDefaultQuoteServer);
    EXPECT_EQ(ProfileHost(), kDefaultQuoteServer);
}

// A host is a host name of at most 253 characters in labels of at most 63, an
// IPv4 address or a bracketed IPv6 address, with an optional port 1..65535.
TEST_F(QuoteServersTest, OnlyHostNamesAndAddressesAreTaken) {
    // clang-format off
    const std::vector<std::string> taken = {"quotes.example:8080", "localhost", "azAZ09.example", "192.0.2.1:65535",
        "[2001:db8::1]:80", "1e100.example", kName253, std::string("127.0.0.1\0/x?y=1", 16) /* a zero byte ends it */};
    const std::vector<std::string> refused = {kName253 + "b", kLabel63 + "a.example", "-a.example", "a-.example",
        "a..example", "a_b.example", "a/b?c", "\x01x", "999.1.1.1", "1.2.3", "host:0", "host:65536", "host:", "::1",
        "[::1", "[::1]:0", "[zz]:80", "[::1]x"};
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

TEST_F(QuoteServersTest, RequestUrlsCarryTheWholeHost) {
    const std::string host = kName253 + ":8731";
    WriteFile("servers.conf", "quote=q.example\nhistory=" + host + "\n");
    ASSERT_TRUE(LoadQuoteServers(folder).empty());
    CFetchData list;
    WriteFile("fetchlist.csv", "8001,8001,N,x\n");
    ASSERT_EQ(list.LoadFetchData(folder), 0);
    EXPECT_STREQ(list.getURL(0), "http://q.example/q?s=8001.N&d=v2");
    EXPECT_STREQ(CListPageData(79).getURL(), "http://q.example/l?s=%2a&m=3951");
    const std::string url = CKDTPageData("12345678901", 1234, 1999).getURL();
    EXPECT_EQ(url.rfind("http://" + host + "/t?s=12345678901&a=1&b=1&c=1983&d=", 0), 0u);
    EXPECT_EQ(url.substr(url.size() - 23), "&g=d&q=t&y=99950&x=.csv") << url;
}
