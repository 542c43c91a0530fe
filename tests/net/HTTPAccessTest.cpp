// What the downloader writes for normal pages, redirects, error pages and
// broken connections, and how a download ends when its file cannot be
// written or another download replaces it.
#include "DownloadTestUtil.h"
#include "QuoteSimProcess.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kQuotePage = QStringLiteral("/q?s=1301&d=v2");
const QString kFivePage = QStringLiteral("/q?s=1301+6758+7203+8001+9984&d=v2");

class HTTPAccessTest : public ::testing::Test {
protected:
    QString file(const QString& name) const { return folder.filePath(name); }
    QByteArray download(const QuoteSimProcess& sim, const QString& path, const QString& name) {
        return downloadInto(http, sim.url(path), file(name));
    }

    QTemporaryDir folder;
    CHTTPAccess http{false, "", 0};
};

TEST_F(HTTPAccessTest, NormalPageWithAndWithoutScheme) {
    QuoteSimProcess sim;
    ASSERT_TRUE(sim.isRunning());
    const QByteArray page = download(sim, kQuotePage, "full.html");
    EXPECT_TRUE(page.contains("<tr"));
    EXPECT_TRUE(page.contains("1301"));

    EXPECT_EQ(downloadInto(http, sim.hostPort() + kQuotePage, file("bare.html")), page);
}

TEST_F(HTTPAccessTest, RedirectsWriteOnlyTheFinalBodyAndALoopEnds) {
    QuoteSimProcess sim(
        {"--fault", "redirect:3@/q?s=6758#1", "--fault", "redirect-loop@/q?s=7203"});
    ASSERT_TRUE(sim.isRunning());
    const QByteArray redirected = download(sim, "/q?s=6758&d=v2", "redirected.html");
    EXPECT_EQ(redirected, download(sim, "/q?s=6758&d=v2", "direct.html"));
    EXPECT_TRUE(redirected.contains("6758"));

    const QByteArray loop = download(sim, "/q?s=7203&d=v2", "loop.html");
    EXPECT_EQ(http.complete, 1);
    EXPECT_FALSE(loop.contains("302")); // no redirect page
}

TEST_F(HTTPAccessTest, ErrorPageBodyIsWritten) {
    QuoteSimProcess sim({"--fault", "status:404@/q"});
    ASSERT_TRUE(sim.isRunning());
    const QByteArray body = download(sim, kQuotePage, "missing.html");
    EXPECT_TRUE(body.contains("404"));
}

TEST_F(HTTPAccessTest, CutOffBodiesKeepTheBytesReceived) {
    QuoteSimProcess truncating({"--fault", "truncate:700@/q#1"});
    QuoteSimProcess resetting({"--fault", "reset:900@/q#1"});
    ASSERT_TRUE(truncating.isRunning() && resetting.isRunning());
    const QByteArray truncated = download(truncating, kFivePage, "truncated.html");
    const QByteArray reset = download(resetting, kFivePage, "reset.html");
    const QByteArray whole = download(resetting, kFivePage, "whole.html");
    ASSERT_GT(whole.size(), 900);
    EXPECT_EQ(truncated, whole.left(700));
    EXPECT_EQ(reset, whole.left(900));
}

TEST_F(HTTPAccessTest, SecondDownloadIntoTheSamePathReplacesTheFirst) {
    QuoteSimProcess sim;
    ASSERT_TRUE(sim.isRunning());
    const QByteArray single = download(sim, kQuotePage, "single.html");
    ASSERT_GT(download(sim, kFivePage, "page.html").size(), single.size());
    EXPECT_EQ(download(sim, kQuotePage, "page.html"), single);
}

TEST_F(HTTPAccessTest, UnwritablePathEndsAtOnce) {
    QuoteSimProcess sim;
    ASSERT_TRUE(sim.isRunning());
    const std::string path = toStd(file("no-such-folder/page.html"));
    http.OpenURL(toStd(sim.url(kQuotePage)), path);
    EXPECT_EQ(http.complete, 1);
    http.OpenURLComplete(toStd(sim.url(kQuotePage)), path); // returns at once
    // The downloader is still usable.
    EXPECT_TRUE(download(sim, kQuotePage, "page.html").contains("1301"));
}

TEST_F(HTTPAccessTest, NewDownloadStopsTheRunningOne) {
    QuoteSimProcess sim({"--fault", "drip:0.5@/q?s=6758"});
    ASSERT_TRUE(sim.isRunning());
    const QByteArray quote = download(sim, kQuotePage, "reference.html");

    http.OpenURL(toStd(sim.url("/q?s=6758&d=v2")), toStd(file("old.html")));
    serveEvents(300);
    EXPECT_EQ(download(sim, kQuotePage, "new.html"), quote);
    // The stopped download neither writes nor raises the flag again later,
    // when its chunks and its time-out would have come.
    http.complete = 0;
    serveEvents(1500);
    EXPECT_EQ(http.complete, 0);
    EXPECT_EQ(fileBytes(file("new.html")), quote);
}

TEST_F(HTTPAccessTest, OversizedBodyIsCutAtTheLimit) {
    QuoteSimProcess sim({"--fault", "oversize:17825792@/q"});
    ASSERT_TRUE(sim.isRunning());
    const QByteArray body = download(sim, kQuotePage, "huge.html");
    EXPECT_EQ(body.size(), CHTTPAccess::kSizeLimit);
}

} // namespace
