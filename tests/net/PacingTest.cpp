// The downloader's pace against the service's own log: the requests of both
// entry points the interval apart, the end of a download told through the
// event loop, and answers that ask it to wait (429, 503) waited out as the
// service asks, at most three times a page.
#include "DownloadTestUtil.h"

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
    void startService(const QString& fault, int intervalMs) {
        QFile::remove(log());
        sim = std::make_unique<QuoteSimProcess>(QStringList{"--fault", fault, "--log", log()});
        ASSERT_TRUE(sim->isRunning());
        http = std::make_unique<CHTTPAccess>(false, "", 0);
        http->setInterval(intervalMs);
        http->setCompletionHandler([this] { ++nCompletions; });
        waits.clear();
        http->setWaitHandler([this](const DownloadWait& wait) {
            waits.push_back(wait);
            EXPECT_EQ(http->complete, 0); // a wait is no end
        });
    }
    QString log() const { return folder.filePath("sim.log"); }
    // Downloads the quote page of code into a file of that name, by either
    // entry point, and returns how it ended.
    DownloadOutcome download(const char* code, bool blocking) {
        const std::string url = toStd(sim->url(QStringLiteral("/q?s=%1&d=v2").arg(code)));
        const std::string path = toStd(folder.filePath(code));
        if (blocking)
            return http->OpenURLComplete(url, path);
        const int nBefore = nCompletions;
        http->OpenURL(url, path);
        EXPECT_TRUE(serveEventsUntil([&] { return nCompletions > nBefore; }, 30000));
        EXPECT_EQ(http->complete, 1);
        return http->outcome();
    }

    QTemporaryDir folder;
    std::unique_ptr<QuoteSimProcess> sim;
    std::unique_ptr<CHTTPAccess> http;
    int nCompletions = 0;
    std::vector<DownloadWait> waits;
};

// Redirects are requests too. The end is told through the event loop, never
// from within OpenURL, and a blocking download tells its caller alone.
TEST_F(PacingTest, RequestsOfBothEntryPointsKeepTheInterval) {
    startService("redirect:2@/q?s=6758", 250);
    for (const auto& [code, blocking] : {std::pair{"1301", false},
                                         {"6758", false},
                                         {"1301", true},
                                         {"6758", true},
                                         {"1301", false}}) {
        EXPECT_TRUE(download(code, blocking).done()) << code;
        EXPECT_EQ(fileBytes(folder.filePath(code)), quotePage(code));
    }
    EXPECT_EQ(nCompletions, 3);
    const QList<SimLogEntry> entries = ReadSimLog(log());
    ASSERT_EQ(entries.size(), 5 + 2 * 2);
    for (int i = 1; i < entries.size(); ++i)
        EXPECT_GE(entries[i].start - entries[i - 1].start, 0.250 * (1 - kArrivalSpread)) << i;

    http->OpenURL(toStd(sim->url("/q")), toStd(folder.filePath("no-such-folder/page.html")));
    EXPECT_EQ(http->complete, 1);
    EXPECT_EQ(nCompletions, 3);
    EXPECT_TRUE(serveEventsUntil([this] { return nCompletions == 4; }, 5000));
}

// The second page of each row is asked too soon (or fails once with 503): the
// download waits as told, asks again, and ends with the page, not the answer
// that asked it to wait; no request comes before its wait is over. A page
// still refused after three waits fails with the last answer's status.
TEST_F(PacingTest, AnAnswerThatAsksToWaitIsWaitedOut) {
    const struct {
        const char* name;
        QString fault;
        bool blocking;
        int32_t status;
        int32_t seconds;
        int nWaits;
    } rows[] = {
        {"429, polled", "throttle:1/1@/q", false, 429, 1, 1},
        {"429, blocking", "throttle:1/1@/q", true, 429, 1, 1},
        {"503 without Retry-After", "status:503@/q?s=6758#1", false, 503, 2, 1},
        {"429 for good", "throttle:0/1@/q?s=6758", false, 429, 1, CDownloadPacer::kMaxWaits},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        startService(row.fault, 20);
        EXPECT_TRUE(download("1301", row.blocking).done());
        const DownloadOutcome second = download("6758", row.blocking);
        const bool refused = row.nWaits == CDownloadPacer::kMaxWaits;
        EXPECT_EQ(second.end, refused ? DownloadOutcome::kHTTPStatus : DownloadOutcome::kDone);
        EXPECT_EQ(second.reason, refused ? "HTTP 429" : "");
        if (!refused) {
            EXPECT_EQ(fileBytes(folder.filePath("6758")), quotePage("6758"));
        }
        ASSERT_EQ(waits.size(), size_t(row.nWaits));
        for (int i = 0; i < row.nWaits; ++i) {
            EXPECT_EQ(waits[i].httpStatus, row.status);
            EXPECT_EQ(waits[i].seconds, row.seconds);
            EXPECT_EQ(waits[i].nWait, i + 1);
        }
        const QList<SimLogEntry> entries = ReadSimLog(log());
        ASSERT_EQ(entries.size(), 2 + row.nWaits);
        for (int i = 2; i < entries.size(); ++i) {
            EXPECT_EQ(entries[i - 1].status, row.status);
            EXPECT_GE(entries[i].start, entries[i - 1].end + row.seconds) << i;
        }
    }
}

} // namespace
