// Each injected fault as a client on the wire sees it: bytes, timing and how
// the connection ends.
#include "QuoteSimProcess.h"
#include "SimClient.h"
#include "SimPages.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kQuote = "/q?s=1301+6758.O&d=v2";

// The pages without faults, for comparison.
class SimFaultsTest : public ::testing::Test {
protected:
    SimFaultsTest() : market(20061225, QDate(2006, 12, 25)), pages(market) {}
    CSimMarket market;
    CSimPages pages;
};

TEST_F(SimFaultsTest, SilenceKeepsTheConnectionOpenWithoutAByte) {
    QuoteSimProcess sim({"--fault", "silence@/q", "--fault", "silence-after-headers@/l"});
    ASSERT_TRUE(sim.isRunning());
    const RawReply silent = rawGet(sim.port(), kQuote, 700);
    EXPECT_EQ(silent.end, RawReply::StillOpen);
    EXPECT_TRUE(silent.head.isEmpty());

    const RawReply headersOnly = rawGet(sim.port(), "/l?s=%2a&m=1", 700);
    EXPECT_EQ(headersOnly.end, RawReply::StillOpen);
    EXPECT_EQ(headersOnly.status, 200);
    EXPECT_GT(headersOnly.header("Content-Length").toInt(), 1000);
    EXPECT_TRUE(headersOnly.body.isEmpty());
}

TEST_F(SimFaultsTest, DripSendsTheBodyInThreeTimedParts) {
    QuoteSimProcess sim({"--fault", "drip:0.4@/q"});
    ASSERT_TRUE(sim.isRunning());
    const RawReply reply = rawGet(sim.port(), kQuote);
    EXPECT_EQ(reply.end, RawReply::Closed);
    EXPECT_EQ(reply.body, pages.quotePage({"1301", "6758.O"}));
    ASSERT_EQ(reply.bodyArrivals.size(), 3);
    EXPECT_GE(reply.bodyArrivals[0], 300);
    EXPECT_GE(reply.bodyArrivals[1] - reply.bodyArrivals[0], 300);
    EXPECT_GE(reply.bodyArrivals[2] - reply.bodyArrivals[1], 300);
}

TEST_F(SimFaultsTest, RedirectChainEndsAtThePageAndLoopNeverEnds) {
    QuoteSimProcess sim({"--fault", "redirect:3@/q?s=1301", "--fault", "redirect-loop@/l"});
    ASSERT_TRUE(sim.isRunning());
    QByteArray target = "/q?s=1301&d=v2";
    QList<QByteArray> hops;
    for (int i = 0; i < 3; ++i) {
        const RawReply reply = rawGet(sim.port(), target);
        ASSERT_EQ(reply.status, 302) << i;
        const QByteArray location = reply.header("Location");
        const QByteArray prefix = "http://127.0.0.1:" + QByteArray::number(sim.port());
        ASSERT_TRUE(location.startsWith(prefix)) << location.constData();
        target = location.mid(prefix.size());
        EXPECT_FALSE(hops.contains(target));
        hops.append(target);
    }
    const RawReply last = rawGet(sim.port(), target);
    EXPECT_EQ(last.status, 200);
    EXPECT_EQ(last.body, pages.quotePage({"1301"}));

    for (int i = 0; i < 3; ++i) {
        const RawReply loopReply = rawGet(sim.port(), "/l?s=%2a&m=51");
        EXPECT_EQ(loopReply.status, 302);
        EXPECT_TRUE(loopReply.header("Location").endsWith("/l?s=%2a&m=51"));
    }
}

TEST_F(SimFaultsTest, StatusTruncateResetAndOversize) {
    QuoteSimProcess sim({"--fault", "status:500@/q?s=1301", "--fault", "status:404@/l", "--fault",
                         "truncate:100@/q?s=6758", "--fault", "reset:120@/t", "--fault",
                         "oversize:20000000@/biz"});
    ASSERT_TRUE(sim.isRunning());
    for (const auto& [target, status] :
         {std::pair<QByteArray, int>{"/q?s=1301&d=v2", 500}, {"/l?s=%2a&m=1", 404}}) {
        const RawReply reply = rawGet(sim.port(), target);
        EXPECT_EQ(reply.status, status);
        EXPECT_TRUE(reply.body.contains("<html>"));
        EXPECT_EQ(reply.header("Content-Length").toInt(), reply.body.size());
    }

    const RawReply truncated = rawGet(sim.port(), "/q?s=6758&d=v2");
    EXPECT_EQ(truncated.end, RawReply::Closed);
    EXPECT_EQ(truncated.body, pages.quotePage({"6758"}).left(100));
    EXPECT_GT(truncated.header("Content-Length").toInt(), 100);

    const RawReply reset = rawGet(sim.port(), "/t?s=7203&y=0");
    EXPECT_EQ(reset.end, RawReply::Reset);
    EXPECT_EQ(reset.body, pages.historyPage("7203", 0).left(120));

    const RawReply oversize = rawGet(sim.port(), "/biz/fundamental/6758.html");
    EXPECT_EQ(oversize.end, RawReply::Closed);
    EXPECT_EQ(oversize.header("Content-Length"), "20000000");
    EXPECT_EQ(oversize.body.size(), 20000000);
    EXPECT_TRUE(oversize.body.startsWith(pages.profilePage(6758)));
}

TEST_F(SimFaultsTest, BadEucSpoilsOnlyTheMatchingPages) {
    QuoteSimProcess sim({"--fault", "bad-euc@/q"});
    ASSERT_TRUE(sim.isRunning());
    bool valid = true;
    decodeEucJp(rawGet(sim.port(), kQuote).body, &valid);
    EXPECT_FALSE(valid);
    decodeEucJp(rawGet(sim.port(), "/l?s=%2a&m=1").body, &valid);
    EXPECT_TRUE(valid);
}

} // namespace
