// What the downloader writes for normal pages, redirects, error pages and
// broken connections, how it records each way a download ends, and how a
// download ends when its file cannot be written or another download replaces it.
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
    EXPECT_TRUE(http.outcome().done());
    EXPECT_EQ(http.outcome().httpStatus, 200);
    EXPECT_EQ(http.outcome().reason, "");
    // The answer's header fields stay at hand (a Retry-After, say).
    bool contentLength = false;
    for (const auto& [name, value] : http.outcome().headers)
        contentLength |= name == "Content-Length" && value == std::to_string(page.size());
    EXPECT_TRUE(contentLength);

    EXPECT_EQ(downloadInto(http, sim.hostPort() + kQuotePage, file("bare.html")), page);
}

// Each way a download ends, the outcome it records and what its file holds.
TEST_F(HTTPAccessTest, EachEndIsRecordedWithItsReason) {
    QuoteSimProcess sim({"--fault", "redirect:3@/q?s=6758#1", "--fault", "redirect-loop@/q?s=7203",
                         "--fault", "status:500@/q?s=8001", "--fault", "truncate:300@/q?s=9984#2",
                         "--fault", "reset:400@/q?s=1301+"});
    ASSERT_TRUE(sim.isRunning());
    const QByteArray whole = download(sim, "/q?s=9984&d=v2", "whole.html"); // the first
    ASSERT_GT(whole.size(), 300);
    const QByteArray direct6758 = download(sim, "/q?s=6758&d=v2", "direct.html");
    const struct {
        const char* name;
        QString path;
        DownloadOutcome::End end;
        int status;
        const char* reason;
        QByteArray body; // empty: the body is not compared
    } rows[] = {
        {"redirects followed", "/q?s=6758&d=v2", DownloadOutcome::kDone, 200, "", direct6758},
        {"redirect loop",
         "/q?s=7203&d=v2",
         DownloadOutcome::kRedirectLimit,
         302,
         "more than 20 redirects",
         {}},
        {"error status", "/q?s=8001&d=v2", DownloadOutcome::kHTTPStatus, 500, "HTTP 500", {}},
        {"no such profile",
         "/biz/fundamental/1000.html",
         DownloadOutcome::kHTTPStatus,
         404,
         "HTTP 404",
         {}},
        {"truncated", "/q?s=9984&d=v2", DownloadOutcome::kNetworkError, 200,
         "connection closed before the end of the page", whole.left(300)},
        // Qt may ask again on a reset connection it had reused, so every
        // request is reset here, and what reaches the file is not compared.
        {"reset",
         kFivePage,
         DownloadOutcome::kNetworkError,
         200,
         "connection closed before the end of the page",
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QByteArray body = download(sim, row.path, "page.html");
        const DownloadOutcome& outcome = http.outcome();
        EXPECT_EQ(outcome.end, row.end);
        EXPECT_EQ(outcome.httpStatus, row.status);
        EXPECT_EQ(outcome.reason, row.reason);
        EXPECT_EQ(outcome.noSuchPage(), row.status == 404);
        if (!row.body.isEmpty())
            EXPECT_EQ(body, row.body);
        else if (row.end == DownloadOutcome::kHTTPStatus)
            EXPECT_TRUE(body.contains(QByteArray::number(row.status))); // the error page is kept
        else
            EXPECT_FALSE(body.contains("302")); // no redirect page
    }

    // A service that is not there.
    quint16 port = 0;
    {
        QuoteSimProcess stopped;
        ASSERT_TRUE(stopped.isRunning());
        port = stopped.port();
    }
    EXPECT_TRUE(downloadInto(http, QStringLiteral("http://127.0.0.1:%1/q?s=1301").arg(port),
                             file("refused.html"))
                    .isEmpty());
    EXPECT_EQ(http.outcome().end, DownloadOutcome::kNetworkError);
    EXPECT_EQ(http.outcome().reason, "connection refused");
    EXPECT_EQ(http.outcome().httpStatus, 0);
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
    EXPECT_EQ(http.outcome().end, DownloadOutcome::kFileError);
    EXPECT_EQ(http.outcome().reason, "could not write the page file");
    // Returns at once.
    EXPECT_EQ(http.OpenURLComplete(toStd(sim.url(kQuotePage)), path).end,
              DownloadOutcome::kFileError);
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
    EXPECT_TRUE(http.outcome().done());
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
    EXPECT_EQ(http.outcome().end, DownloadOutcome::kSizeLimit);
    EXPECT_EQ(http.outcome().reason, "page larger than 16 MB");
}

} // namespace
