// The three quote service hosts of servers.conf.
#include "DailyTestFolder.h"

class QuoteServersTest : public DailyTestFolder {};

TEST_F(QuoteServersTest, ServersAreReadAndChecked) {
    WriteFile("servers.conf", "# quote service\r\n\r\n  quote = quotes.example:8080\r\n"
                              "history=[::1]:9000\n#profile=ignored:1\nprofile=bad host\n"
                              "unknown=x\nno equals sign\n");
    EXPECT_EQ(LoadQuoteServers(folder), (std::vector<int32_t>{6, 7, 8}));
    EXPECT_EQ(QuoteHost(), "quotes.example:8080");
    EXPECT_EQ(HistoryHost(), "[::1]:9000");
    EXPECT_EQ(ProfileHost(), "127.0.0.1:8731");

    std::filesystem::remove(PathOf("servers.conf"));
    EXPECT_TRUE(LoadQuoteServers(folder).empty()); // a later load without the file falls back
    EXPECT_EQ(QuoteHost(), "127.0.0.1:8731");
    EXPECT_EQ(HistoryHost(), "127.0.0.1:8731");

    WriteFile("servers.conf",
              "quote=" + std::string(300, 'a') + "\nhistory=a/b?c\nprofile=\x01x\n");
    EXPECT_EQ(LoadQuoteServers(folder), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(QuoteHost(), "127.0.0.1:8731");
    EXPECT_EQ(HistoryHost(), "127.0.0.1:8731");
    EXPECT_EQ(ProfileHost(), "127.0.0.1:8731");
}

TEST_F(QuoteServersTest, QuoteUrlsAskTheConfiguredServer) {
    WriteFile("servers.conf", "quote=q.example\n");
    LoadQuoteServers(folder);
    CPageData page(0);
    page.setCode(0, "8001", 8001, "N", "x");
    page.MakeFetchURL();
    EXPECT_STREQ(page.getURL(), "http://q.example/q?s=8001.N&d=v2");
}

// Lines end as in the other text files: a lone CR ends one too, and a last
// line without its end is read.
TEST_F(QuoteServersTest, EveryLineEndEndsALine) {
    WriteFile("servers.conf",
              "quote=q.example\rbad line\n\rhistory=h.example\r\nprofile=p.example");
    EXPECT_EQ(LoadQuoteServers(folder), (std::vector<int32_t>{2}));
    EXPECT_EQ(QuoteHost(), "q.example");
    EXPECT_EQ(HistoryHost(), "h.example");
    EXPECT_EQ(ProfileHost(), "p.example");
}
