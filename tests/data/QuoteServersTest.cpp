// The three quote service hosts of servers.conf.
#include "DailyTestFolder.h"

class QuoteServersTest : public DailyTestFolder {};

TEST_F(QuoteServersTest, ServersAreReadAndChecked) {
    WriteFile("servers.conf", "# quote service\r\n\r\n  quote = quotes.example:8080\r\n"
                              "history=[::1]:9000\n#profile=ignored:1\nprofile=bad host\n"
                              "unknown=x\nno equals sign\n");
    LoadQuoteServers(folder);
    EXPECT_EQ(QuoteHost(), "quotes.example:8080");
    EXPECT_EQ(HistoryHost(), "[::1]:9000");
    EXPECT_EQ(ProfileHost(), "127.0.0.1:8731");

    std::filesystem::remove(PathOf("servers.conf"));
    LoadQuoteServers(folder); // a later load without the file falls back
    EXPECT_EQ(QuoteHost(), "127.0.0.1:8731");
    EXPECT_EQ(HistoryHost(), "127.0.0.1:8731");

    WriteFile("servers.conf",
              "quote=" + std::string(300, 'a') + "\nhistory=a/b?c\nprofile=\x01x\n");
    LoadQuoteServers(folder);
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
