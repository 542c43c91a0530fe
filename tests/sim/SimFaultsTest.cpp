// Each injected fault as a client on the wire sees it: bytes, timing and how
// the connection ends.
#include "QuoteSimProcess.h"
#include "SimClient.h"
#include "SimPages.h"
#include "VezizoProcess.h"

#include <QTemporaryDir>
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

// A throttle lets N requests through in S seconds and answers the next with
// 429 and the seconds until one leaves the window; with N 0 it lets none
// through. The log tells each request's answer and when it came and went.
TEST_F(SimFaultsTest, ThrottleAnswers429PastItsLimitAndTheLogTellsEachAnswer) {
    QTemporaryDir folder;
    const QString log = folder.filePath("sim.log");
    QuoteSimProcess sim(
        {"--fault", "throttle:2/30@/q", "--fault", "throttle:0/5@/l", "--log", log});
    ASSERT_TRUE(sim.isRunning());
    const struct {
        QByteArray target;
        int status;
        QByteArray retryAfter;
    } rows[] = {{kQuote, 200, ""},
                {"/q?s=7203&d=v2", 200, ""},
                {kQuote, 429, "30"},
                {"/t?s=7203&y=0", 200, ""},
                {"/l?s=%2a&m=1", 429, "5"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.target.constData());
        const RawReply reply = rawGet(sim.port(), row.target);
        EXPECT_EQ(reply.status, row.status);
        EXPECT_EQ(reply.header("Retry-After"), row.retryAfter);
        EXPECT_EQ(reply.end, RawReply::Closed);
        EXPECT_TRUE(reply.body.contains("<html>"));
    }

    const QList<SimLogEntry> entries = ReadSimLog(log);
    ASSERT_EQ(entries.size(), int(std::size(rows)));
    for (int i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].request, "GET " + rows[i].target);
        EXPECT_EQ(entries[i].status, rows[i].status);
        EXPECT_EQ(entries[i].retryAfter, rows[i].retryAfter.toInt());
        EXPECT_GT(entries[i].start, 1e9);
        EXPECT_LE(entries[i].start, entries[i].end);
        if (i > 0) {
            EXPECT_GE(entries[i].start, entries[i - 1].end);
        }
    }
}

// The latency holds back an answer's first byte and the rate spreads its body
// over slices 10 ms apart; the page is the same.
TEST_F(SimFaultsTest, LatencyAndRateDelayTheSamePage) {
    QTemporaryDir folder;
    const QString log = folder.filePath("sim.log");
    QuoteSimProcess sim({"--latency", "200", "--rate", "20", "--log", log});
    ASSERT_TRUE(sim.isRunning());
    const RawReply reply = rawGet(sim.port(), kQuote);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, pages.quotePage({"1301", "6758.O"}));
    ASSERT_FALSE(reply.bodyArrivals.isEmpty());
    EXPECT_GE(reply.bodyArrivals.first(), 180); // 200 ms, less a tenth at most

    const QList<SimLogEntry> entries = ReadSimLog(log);
    ASSERT_EQ(entries.size(), 1);
    // 20 kB a second: 200 bytes a slice, the last one (nSlices - 1) * 10 ms on.
    const int nSlices = (int(reply.body.size()) + 199) / 200;
    EXPECT_GE(entries[0].end - entries[0].start, 0.180 + (nSlices - 1) * 0.010);
}

TEST_F(SimFaultsTest, WrongPacingArgumentsAreUsageErrors) {
    for (const QStringList& arguments :
         {QStringList{"--latency", "-5"}, QStringList{"--latency", "fast"},
          QStringList{"--rate", "1.5"}, QStringList{"--fault", "throttle:2@/q"},
          QStringList{"--fault", "throttle:x/1@/q"}, QStringList{"--fault", "throttle:2/0@/q"},
          QStringList{"--fault", "throttle:2/1@/q#3"}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ProcessResult run = RunProcess(QUOTE_SIM_EXE, QStringList{"--port", "0"} + arguments,
                                             QProcessEnvironment::systemEnvironment());
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.startsWith("quote-sim: ")) << run.err.toStdString();
    }
}

} // namespace
