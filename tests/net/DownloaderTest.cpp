// The downloader against every kind of fault of the service: how each
// download ends, what its file holds, and the rules of one download at a time.
#include "DownloadTestUtil.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

const QString kQuotePage = QStringLiteral("/q?s=1301&d=v2");

// Each row downloads its path with a downloader of its own, all side by
// side, so that the suite waits for the 5-second silence time-out once. A
// slow drip, its parts less than the time-out apart but longer than it in
// all, is whole. Some rows are no fault of the service: a URL without
// "http://", a service that has stopped.
TEST(Downloader, EachEndIsRecordedWithItsReasonAndWhatArrived) {
    using O = DownloadOutcome;
    const QByteArray cut = "connection closed before the end of the page";
    const struct {
        QString fault;
        QString path;
        O::End end;
        int status;
        QByteArray reason;
        QByteArray body; // what the file holds; "?" for what is not compared
    } rows[] = {
        {"", "/q?s=1301&d=v2", O::kDone, 200, "", quotePage("1301")},
        {"no scheme", "/q?s=1301&d=v2", O::kDone, 200, "", quotePage("1301")},
        {"redirect:3", "/q?s=6758&d=v2", O::kDone, 200, "", quotePage("6758")},
        {"redirect-loop", "/q?s=7203&d=v2", O::kRedirectLimit, 302, "more than 20 redirects", ""},
        {"status:500", "/q?s=8001&d=v2", O::kHTTPStatus, 500, "HTTP 500", "?"},
        {"", "/biz/fundamental/1000.html", O::kHTTPStatus, 404, "HTTP 404", "?"},
        {"truncate:300", "/q?s=9984&d=v2", O::kNetworkError, 200, cut, quotePage("9984").left(300)},
        // Qt may ask again on a reset connection it had reused: every request
        // is reset, and what reached the file is not compared.
        {"reset:400", "/q?s=4063&d=v2", O::kNetworkError, 200, cut, "?"},
        {"oversize:17825792", "/q?s=6502&d=v2", O::kSizeLimit, 0, "page larger than 16 MB", "?"},
        {"silence", "/q?s=2914&d=v2", O::kTimeout, 0, "no data for 5 s", ""},
        {"silence-after-headers", "/q?s=4502&d=v2", O::kTimeout, 0, "no data for 5 s", ""},
        {"drip:2.5", "/q?s=8306&d=v2", O::kDone, 200, "", quotePage("8306")},
        {"stopped", "/q?s=1301&d=v2", O::kNetworkError, 0, "connection refused", ""},
    };
    QStringList faults;
    for (const auto& row : rows)
        if (!QStringList{"", "no scheme", "stopped"}.contains(row.fault))
            faults << "--fault" << row.fault + "@" + row.path;
    QuoteSimProcess sim(faults);
    std::unique_ptr<QuoteSimProcess> stopped = std::make_unique<QuoteSimProcess>();
    ASSERT_TRUE(sim.isRunning() && stopped->isRunning());
    const QString refused = stopped->hostPort();
    stopped.reset();
    QTemporaryDir folder;
    std::vector<std::unique_ptr<CHTTPAccess>> downloads;
    for (size_t i = 0; i < std::size(rows); ++i) {
        const QString host = rows[i].fault == "stopped" ? refused : sim.hostPort();
        downloads.push_back(std::make_unique<CHTTPAccess>(false, "", 0));
        downloads.back()->OpenURL(
            toStd((rows[i].fault == "no scheme" ? "" : "http://") + host + rows[i].path),
            toStd(folder.filePath(QString::number(i))));
    }
    ASSERT_TRUE(serveEventsUntil(
        [&] {
            return std::all_of(downloads.begin(), downloads.end(),
                               [](const auto& http) { return http->complete == 1; });
        },
        30000));
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE((rows[i].fault + " " + rows[i].path).toStdString());
        const DownloadOutcome& outcome = downloads[i]->outcome();
        EXPECT_EQ(outcome.end, rows[i].end);
        EXPECT_EQ(outcome.httpStatus, rows[i].status);
        EXPECT_EQ(outcome.reason, rows[i].reason.toStdString());
        EXPECT_EQ(outcome.noSuchPage(), rows[i].status == 404);
        const QByteArray body = fileBytes(folder.filePath(QString::number(i)));
        if (rows[i].body != "?") {
            EXPECT_EQ(body, rows[i].body);
        } else if (outcome.end == O::kHTTPStatus) { // the error page is kept
            EXPECT_TRUE(body.contains(QByteArray::number(rows[i].status)));
        } else if (outcome.end == O::kSizeLimit) {
            EXPECT_EQ(body.size(), CHTTPAccess::kSizeLimit);
        }
    }
}

// One file per download, one download at a time: a shorter page replaces a
// longer one whole, a file that cannot be written ends the download at once,
// and a new download stops the running one, which then neither writes nor
// raises the flag again.
TEST(Downloader, OneDownloadAtATimeEachIntoItsOwnFile) {
    QuoteSimProcess sim({"--fault", "drip:0.5@/q?s=6758"});
    ASSERT_TRUE(sim.isRunning());
    QTemporaryDir folder;
    const QString file = folder.filePath("page.html");
    CHTTPAccess http(false, "", 0);
    ASSERT_GT(downloadInto(http, sim.url("/q?s=1301+7203+8001&d=v2"), file).size(),
              quotePage("1301").size());
    EXPECT_EQ(downloadInto(http, sim.url(kQuotePage), file), quotePage("1301"));

    const std::string unwritable = toStd(folder.filePath("no-such-folder/page.html"));
    http.OpenURL(toStd(sim.url(kQuotePage)), unwritable);
    EXPECT_EQ(http.complete, 1);
    EXPECT_EQ(http.outcome().end, DownloadOutcome::kFileError);
    EXPECT_EQ(http.outcome().reason, "could not write the page file");
    EXPECT_EQ(http.OpenURLComplete(toStd(sim.url(kQuotePage)), unwritable).end,
              DownloadOutcome::kFileError);

    http.OpenURL(toStd(sim.url("/q?s=6758&d=v2")), toStd(folder.filePath("old.html")));
    serveEventsUntil([] { return false; }, 300);
    EXPECT_EQ(downloadInto(http, sim.url(kQuotePage), file), quotePage("1301"));
    EXPECT_TRUE(http.outcome().done());
    http.complete = 0;
    serveEventsUntil([] { return false; }, 1500); // when its parts and time-out would come
    EXPECT_EQ(http.complete, 0);
    EXPECT_EQ(fileBytes(file), quotePage("1301"));
}

// OpenURLComplete waits in a nested event loop while the job timer keeps
// firing: the timer sees only the flag of the polled download, and a download
// the timer starts stops the blocking one and ends the wait.
TEST(Downloader, BlockingDownloadLeavesThePolledOnesFlagAlone) {
    QuoteSimProcess sim({"--fault", "drip:0.3@/q?s=6758"});
    ASSERT_TRUE(sim.isRunning());
    QTemporaryDir folder;
    CHTTPAccess http(false, "", 0);
    const std::string slow = toStd(sim.url("/q?s=6758&d=v2"));
    std::vector<int> seen;
    QTimer tick; // stands in for the job timer
    tick.setInterval(50);
    QObject::connect(&tick, &QTimer::timeout, [&] { seen.push_back(http.complete); });

    // A polled page has arrived and the job has taken it (flag cleared).
    ASSERT_EQ(downloadInto(http, sim.url(kQuotePage), folder.filePath("a")), quotePage("1301"));
    http.complete = 0;
    tick.start();
    const DownloadOutcome outcome = http.OpenURLComplete(slow, toStd(folder.filePath("slow")));
    tick.stop();
    EXPECT_TRUE(outcome.done()) << outcome.reason;
    EXPECT_TRUE(http.outcome().done()); // still the polled download's
    EXPECT_EQ(fileBytes(folder.filePath("slow")), quotePage("6758"));
    EXPECT_GE(seen.size(), 5u); // the nested loop served the timer
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 0), long(seen.size()));
    EXPECT_EQ(http.complete, 0);
    // A flag the job has not taken yet stays raised across a blocking download.
    http.complete = 1;
    http.OpenURLComplete(toStd(sim.url(kQuotePage)), toStd(folder.filePath("b")));
    EXPECT_EQ(http.complete, 1);

    QTimer::singleShot(
        50, [&] { http.OpenURL(toStd(sim.url(kQuotePage)), toStd(folder.filePath("c"))); });
    EXPECT_EQ(http.OpenURLComplete(slow, toStd(folder.filePath("cut"))).end,
              DownloadOutcome::kStopped);
    EXPECT_EQ(http.complete, 0);
    ASSERT_TRUE(serveEventsUntil([&http] { return http.complete == 1; }, 15000));
    EXPECT_EQ(fileBytes(folder.filePath("c")), quotePage("1301"));
    // The stopped download's file keeps what had arrived, and no more.
    const QByteArray cut = fileBytes(folder.filePath("cut"));
    EXPECT_LT(cut.size(), quotePage("6758").size());
    EXPECT_TRUE(quotePage("6758").startsWith(cut));
}

} // namespace
