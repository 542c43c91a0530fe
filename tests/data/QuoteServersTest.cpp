// The three quote service hosts of servers.conf.
#include "KDTPageData.h"
#include "ListPageData.h"
#include "TestFolder.h"

class QuoteServersTest : public DailyTestFolder {};

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
    const std::string label63(63, 'a');
    const std::string name253 =
        label63 + "." + label63 + "." + label63 + "." + std::string(61, 'b');
    const struct {
        const char* name;
        std::string value;
        bool taken;
    } cases[] = {
        {"name and port", "quotes.example:8080", true},
        {"single label", "localhost", true},
        {"all letters", "azAZ09.example", true},
        {"IPv4", "192.0.2.1:65535", true},
        {"IPv6", "[2001:db8::1]:80", true},
        {"digits in labels", "1e100.example", true},
        {"name of 253", name253, true},
        {"name of 254", name253 + "b", false},
        {"label of 64", label63 + "a.example", false},
        {"hyphen first", "-a.example", false},
        {"hyphen last", "a-.example", false},
        {"empty label", "a..example", false},
        {"underscore", "a_b.example", false},
        {"a path", "a/b?c", false},
        {"a control byte", "\x01x", false},
        {"no IPv4 address", "999.1.1.1", false},
        {"three numbers", "1.2.3", false},
        {"port 0", "host:0", false},
        {"port above 65535", "host:65536", false},
        {"empty port", "host:", false},
        {"bare IPv6", "::1", false},
        {"IPv6 without end", "[::1", false},
        {"IPv6, port 0", "[::1]:0", false},
        {"no IPv6 address", "[zz]:80", false},
        {"text after the bracket", "[::1]x", false},
        {"a line end at a zero byte", std::string("127.0.0.1\0/x?y=1", 16), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile("servers.conf", "history=" + c.value + "\n");
        EXPECT_EQ(LoadQuoteServers(folder).empty(), c.taken);
        EXPECT_EQ(HistoryHost(), c.taken ? c.value.c_str() : kDefaultQuoteServer);
    }
}

TEST_F(QuoteServersTest, RequestUrlsCarryTheWholeHost) {
    const std::string label63(63, 'h');
    const std::string host = label63 + "." + label63 + "." + label63 + "." + std::string(61, 'h') +
                             ":8731"; // a host name of 253 characters
    WriteFile("servers.conf", "quote=q.example\nhistory=" + host + "\n");
    ASSERT_TRUE(LoadQuoteServers(folder).empty());
    CPageData page(0);
    page.setCode(0, "8001", 8001, "N", "x");
    page.MakeFetchURL();
    EXPECT_STREQ(page.getURL(), "http://q.example/q?s=8001.N&d=v2");
    EXPECT_STREQ(CListPageData(79).getURL(), "http://q.example/l?s=%2a&m=3951");
    const std::string url = CKDTPageData("12345678901", 1234, 1999).getURL();
    EXPECT_EQ(url.rfind("http://" + host + "/t?s=12345678901&a=1&b=1&c=1983&d=", 0), 0u);
    EXPECT_EQ(url.substr(url.size() - 23), "&g=d&q=t&y=99950&x=.csv") << url;
}
