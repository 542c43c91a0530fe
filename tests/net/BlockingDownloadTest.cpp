// OpenURLComplete waits in a nested event loop. The job timer keeps firing
// meanwhile and must not take the blocking download's end for the end of the
// download it polls.
#include "DownloadTestUtil.h"
#include "QuoteSimProcess.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

const QString kSlowPage = QStringLiteral("/q?s=6758&d=v2");

class BlockingDownloadTest : public ::testing::Test {
protected:
    void SetUp() override { tick.setInterval(50); }
    QString file(const QString& name) const { return folder.filePath(name); }

    QuoteSimProcess sim{{"--fault", "drip:0.3@/q?s=6758#1"}};
    QTemporaryDir folder;
    CHTTPAccess http{false, "", 0};
    QTimer tick; // stands in for the job timer
};

TEST_F(BlockingDownloadTest, ReturnsAfterItsEndWhileTheJobTimerSeesOnlyItsOwnFlag) {
    ASSERT_TRUE(sim.isRunning());
    std::vector<int> seen;
    QObject::connect(&tick, &QTimer::timeout, [&] { seen.push_back(http.complete); });

    // A polled page has arrived and the job has taken it (flag cleared).
    ASSERT_FALSE(downloadInto(http, sim.url("/q?s=1301&d=v2"), file("page.html")).isEmpty());
    http.complete = 0;
    tick.start();
    const DownloadOutcome outcome =
        http.OpenURLComplete(toStd(sim.url(kSlowPage)), toStd(file("slow.html")));
    tick.stop();
    EXPECT_TRUE(outcome.done()) << outcome.reason;
    // The polled download's outcome is still the one the job took.
    EXPECT_TRUE(http.outcome().done());
    const QByteArray slow = fileBytes(file("slow.html"));

    EXPECT_GE(seen.size(), 5u); // the nested loop served the timer
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 0), long(seen.size()));
    EXPECT_EQ(http.complete, 0);
    EXPECT_EQ(slow, downloadInto(http, sim.url(kSlowPage), file("again.html")));

    // A flag the job has not taken yet stays raised across a blocking download.
    http.OpenURLComplete(toStd(sim.url(kSlowPage)), toStd(file("fast.html")));
    EXPECT_EQ(http.complete, 1);
}

TEST_F(BlockingDownloadTest, PolledDownloadStartedFromTheTimerEndsTheWait) {
    ASSERT_TRUE(sim.isRunning());
    // A job tick during the wait starts its next page: the blocking download
    // is stopped, the wait ends, and the new download runs to its end.
    tick.setSingleShot(true);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        http.OpenURL(toStd(sim.url("/q?s=1301&d=v2")), toStd(file("page.html")));
    });
    tick.start();
    const DownloadOutcome stopped =
        http.OpenURLComplete(toStd(sim.url(kSlowPage)), toStd(file("slow.html")));
    EXPECT_EQ(stopped.end, DownloadOutcome::kStopped);
    EXPECT_EQ(http.complete, 0);
    ASSERT_TRUE(waitForComplete(http, 15000));
    EXPECT_TRUE(fileBytes(file("page.html")).contains("1301"));
    // The stopped download's file keeps what had arrived, and no more.
    const QByteArray cut = fileBytes(file("slow.html"));
    const QByteArray whole = downloadInto(http, sim.url(kSlowPage), file("whole.html"));
    EXPECT_LT(cut.size(), whole.size());
    EXPECT_TRUE(whole.startsWith(cut));
}

} // namespace
