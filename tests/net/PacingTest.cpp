// The downloader's pace against the service's own log: the requests of both
// entry points the interval apart, the end of a download told through the
// event loop, and answers that ask it to wait (429, 503) waited out as the
// service asks, at most three times a page.
#include "DownloadTestUtil.h"
#include "QuoteSimProcess.h"
#include "SimAppFolder.h"
#include "SimPages.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Arrival times on loopback differ from send times by a little; the
// requests' starts in the log may come this much closer than the interval.
constexpr double kArrivalSpread = 0.1;

class PacingTest : public ::testing::Test {
protected:
    void startService(QStringList arguments) {
        arguments << "--log" << log();
        sim = std::make_unique<QuoteSimProcess>(arguments);
        ASSERT_TRUE(sim->isRunning());
        http = std::make_unique<CHTTPAccess>(false, "", 0);
        http->setCompletionHandler([this] { ++nCompletions; });
        http->setWaitHandler([this](const DownloadWait& wait) {
            waits.push_back(wait);
            // A wait is no end.
            EXPECT_EQ(http->complete, 0);
        });
    }
    QString log() const { return folder.filePath("sim.log"); }
    std::string url(const char* code) const {
        return toStd(sim->url(QStringLiteral("/q?s=%1&d=v2").arg(QLatin1String(code))));
    }
    std::string file(const char* name) const { return toStd(folder.filePath(name)); }
    // Downloads the quote page of code into a file of that name, by either
    // entry point, and returns how it ended.
    DownloadOutcome download(const char* code, bool blocking) {
        if (blocking)
            return http->OpenURLComplete(url(code), file(code));
        const int nBefore = nCompletions;
        http->OpenURL(url(code), file(code));
        EXPECT_TRUE(serveEventsUntil([&] { return nCompletions > nBefore; }, 30000));
        EXPECT_EQ(http->complete, 1);
        return http->outcome();
    }
    static QByteArray page(const char* code) {
        return CSimPages(TestSimMarket()).quotePage({QString::fromLatin1(code)});
    }

    QTemporaryDir folder;
    std::unique_ptr<QuoteSimProcess> sim;
    std::unique_ptr<CHTTPAccess> http;
    int nCompletions = 0;
    std::vector<DownloadWait> waits;
};

// Redirects are requests too.
TEST_F(PacingTest, RequestsOfBothEntryPointsKeepTheInterval) {
    startService({"--fault", "redirect:2@/q?s=6758"});
    http->setInterval(250);
    const struct {
        const char* code;
        bool blocking;
    } downloads[] = {
        {"1301", false}, {"6758", false}, {"1301", true}, {"6758", true}, {"1301", false}};
    for (const auto& row : downloads) {
        const DownloadOutcome outcome = download(row.code, row.blocking);
        EXPECT_TRUE(outcome.done()) << row.code << ": " << outcome.reason;
        EXPECT_EQ(fileBytes(folder.filePath(row.code)), page(row.code));
    }
    EXPECT_EQ(nCompletions, 3); // a blocking download tells its caller alone

    const QList<SimLogEntry> entries = ReadSimLog(log());
    ASSERT_EQ(entries.size(), 5 + 2 * 2);
    for (int i = 1; i < entries.size(); ++i)
        EXPECT_GE(entries[i].start - entries[i - 1].start, 0.250 * (1 - kArrivalSpread)) << i;

    // The end is told through the event loop, never from within OpenURL.
    http->OpenURL(url("1301"), file("no-such-folder/page.html"));
    EXPECT_EQ(http->complete, 1);
    EXPECT_EQ(nCompletions, 3);
    EXPECT_TRUE(serveEventsUntil([this] { return nCompletions == 4; }, 5000));
}

// The second page of each row is asked too soon (or fails once with 503): the
// download waits as told, asks again, and ends with the page, not the answer
// that asked it to wait; no request comes before its wait is over.
TEST_F(PacingTest, AnAnswerThatAsksToWaitIsWaitedOut) {
    const struct {
        const char* name;
        QString fault;
        bool blocking;
        int32_t status;
        int32_t seconds;
    } rows[] = {
        {"429, polled", "throttle:1/1@/q", false, 429, 1},
        {"429, blocking", "throttle:1/1@/q", true, 429, 1},
        {"503 without Retry-After", "status:503@/q?s=6758#1", false, 503, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(log());
        waits.clear();
        startService({"--fault", row.fault});
        http->setInterval(20);
        EXPECT_TRUE(download("1301", row.blocking).done());
        const DownloadOutcome second = download("6758", row.blocking);
        EXPECT_TRUE(second.done()) << second.reason;
        EXPECT_EQ(fileBytes(folder.filePath("6758")), page("6758"));
        ASSERT_EQ(waits.size(), 1u);
        EXPECT_EQ(waits[0].httpStatus, row.status);
        EXPECT_EQ(waits[0].seconds, row.seconds);
        EXPECT_EQ(waits[0].nWait, 1);

        const QList<SimLogEntry> entries = ReadSimLog(log());
        ASSERT_EQ(entries.size(), 3);
        EXPECT_EQ(entries[1].status, row.status);
        EXPECT_EQ(entries[2].status, 200);
        EXPECT_GE(entries[2].start, entries[1].end + row.seconds);
    }
}

// A page still refused after three waits fails with the last answer's status.
TEST_F(PacingTest, APageStillRefusedAfterThreeWaitsFails) {
    startService({"--fault", "throttle:0/1@/q"});
    http->setInterval(20);
    const DownloadOutcome outcome = download("1301", false);
    EXPECT_EQ(outcome.end, DownloadOutcome::kHTTPStatus);
    EXPECT_EQ(outcome.httpStatus, 429);
    EXPECT_EQ(outcome.reason, "HTTP 429");
    ASSERT_EQ(waits.size(), size_t(CDownloadPacer::kMaxWaits));
    for (size_t i = 0; i < waits.size(); ++i)
        EXPECT_EQ(waits[i].nWait, int32_t(i + 1));

    const QList<SimLogEntry> entries = ReadSimLog(log());
    ASSERT_EQ(entries.size(), CDownloadPacer::kMaxWaits + 1);
    for (int i = 1; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i - 1].retryAfter, 1);
        EXPECT_GE(entries[i].start, entries[i - 1].end + 1.0) << i;
    }
}

} // namespace
