// The downloader against every kind of fault of the simulated service and
// through a real proxy (tinyproxy): how each download ends and what its file
// holds, one download at a time, the pace of its requests in the service's
// log, and answers that ask it to wait (429, 503) waited out as the service
// asks, at most three times a page.
#include "AppTestBase.h"
#include "HTTPAccess.h"
#include "SimPages.h"

#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <qtestsupport_core.h>

#include <tuple>
#include <vector>

namespace {

using O = DownloadOutcome;

constexpr int kPatienceMs = 30000; // for an end the event loop is served until

// The service's page at /q?s=code&d=v2 as it is without faults.
QByteArray QuotePage(const QString& code) {
    return CSimPages(TestSimMarket()).quotePage({code});
}

// A loopback port that nothing listens on at the moment.
quint16 FreePort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

class NetTest : public AppTestBase {
protected:
    // Starts the service with args and a downloader (through the proxy at port
    // when useProxy is set).
    void start(const QStringList& args, int intervalMs = 20, bool useProxy = false, int port = 0) {
        serve(args);
        http = std::make_unique<CHTTPAccess>(useProxy, "127.0.0.1", port);
        http->setInterval(intervalMs);
        http->setCompletionHandler([this] { ++nCompletions; });
        waits.clear();
        http->setWaitHandler([this](const DownloadWait& wait) {
            waits.push_back(wait);
            EXPECT_EQ(http->complete, 0); // a wait is no end
        });
    }
    std::string file(const QString& name) const { return path(name).toStdString(); }
    // Downloads the service's target into the file name by either entry point
    // (a polled one waited for as the job timer waits): the file when the
    // download is done, else how it ended.
    QByteArray download(const QString& target, const QString& name, bool blocking = false) {
        const std::string url = m_sim->url(target).toStdString();
        const int nBefore = nCompletions;
        if (!blocking) {
            http->OpenURL(url, file(name));
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return http->complete == 1 && nCompletions > nBefore; }, kPatienceMs));
        }
        last = blocking ? http->OpenURLComplete(url, file(name)) : http->outcome();
        return last.done() ? bytes(name) : QByteArray("failed: ") + last.reason.c_str();
    }

    std::unique_ptr<CHTTPAccess> http;
    int nCompletions = 0;
    std::vector<DownloadWait> waits;
    O last; // how the last download ended
};

// Each row downloads with a downloader of its own, all side by side, so that
// the suite waits for the 5-second silence time-out once. A slow drip, its
// parts less than the time-out apart but longer than it in all, is whole.
// Not faults of the service: a URL without "http://", a service not there.
TEST_F(NetTest, EachEndIsRecordedWithItsReasonAndWhatArrived) {
    const QByteArray cut = "connection closed before the end of the page";
    // clang-format off
    // body: what the file holds; "?" for what is not compared
    const struct { QString fault, target; O::End end; int status; QByteArray reason, body; } rows[] = {
        // fault                  target             end                status reason                  body
        {"",                      "/q?s=1301&d=v2",  O::kDone,          200, "",                       QuotePage("1301")},
        {"no scheme",             "/q?s=1301&d=v2",  O::kDone,          200, "",                       QuotePage("1301")},
        {"redirect:3",            "/q?s=6758&d=v2",  O::kDone,          200, "",                       QuotePage("6758")},
        {"redirect-loop",         "/q?s=7203&d=v2",  O::kRedirectLimit, 302, "more than 20 redirects", ""},
        {"status:500",            "/q?s=8001&d=v2",  O::kHTTPStatus,    500, "HTTP 500",               "?"},
        {"",                      "/biz/fundamental/1000.html", O::kHTTPStatus, 404, "HTTP 404",       "?"},
        {"truncate:300",          "/q?s=9984&d=v2",  O::kNetworkError,  200, cut,                      QuotePage("9984").left(300)},
        // Qt may ask again on a reset connection it had reused: the file is not compared.
        {"reset:400",             "/q?s=4063&d=v2",  O::kNetworkError,  200, cut,                      "?"},
        {"oversize:17825792",     "/q?s=6502&d=v2",  O::kSizeLimit,       0, "page larger than 16 MB", "?"},
        {"silence",               "/q?s=2914&d=v2",  O::kTimeout,         0, "no data for 5 s",        ""},
        {"silence-after-headers", "/q?s=4502&d=v2",  O::kTimeout,         0, "no data for 5 s",        ""},
        {"drip:2.5",              "/q?s=8306&d=v2",  O::kDone,          200, "",                       QuotePage("8306")},
        {"stopped",               "/q?s=1301&d=v2",  O::kNetworkError,    0, "connection refused",     ""},
    };
    // clang-format on
    QStringList faults;
    for (const auto& row : rows)
        if (!QStringList{"", "no scheme", "stopped"}.contains(row.fault))
            faults << "--fault" << row.fault + "@" + row.target;
    start(faults);
    const QString refused = "127.0.0.1:" + QString::number(FreePort());
    std::vector<std::unique_ptr<CHTTPAccess>> downloads;
    for (const auto& row : rows) {
        const QString host = row.fault == "stopped" ? refused : m_sim->hostPort();
        const QString url = (row.fault == "no scheme" ? "" : "http://") + host + row.target;
        downloads.push_back(std::make_unique<CHTTPAccess>(false, "", 0));
        downloads.back()->OpenURL(url.toStdString(), file(QString::number(downloads.size())));
    }
    for (const auto& download : downloads)
        ASSERT_TRUE(QTest::qWaitFor([&] { return download->complete == 1; }, kPatienceMs));
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto& row = rows[i];
        SCOPED_TRACE((row.fault + " " + row.target).toStdString());
        const O& outcome = downloads[i]->outcome();
        EXPECT_EQ(std::tuple(outcome.end, outcome.httpStatus, outcome.reason, outcome.noSuchPage()),
                  std::tuple(row.end, row.status, row.reason.toStdString(), row.status == 404));
        const QByteArray body = bytes(QString::number(i + 1));
        EXPECT_EQ(row.body == "?" ? body : row.body, body);
        // The error page is kept; a page too large is cut at the limit.
        EXPECT_TRUE(outcome.end != O::kHTTPStatus || body.contains(QByteArray::number(row.status)));
        EXPECT_TRUE(outcome.end != O::kSizeLimit || body.size() == CHTTPAccess::kSizeLimit);
    }
}

// One file per download, one download at a time. OpenURLComplete waits in a
// nested event loop while the job timer keeps firing: the timer sees only the
// flag of the polled download.
TEST_F(NetTest, OneDownloadAtATimeEachIntoItsOwnFile) {
    start({"--fault", "drip:0.3@/q?s=6758"});
    const QString slow = "/q?s=6758&d=v2";
    // A shorter page replaces a longer one whole.
    EXPECT_GT(download("/q?s=1301+7203+8001&d=v2", "page").size(), QuotePage("1301").size());
    EXPECT_EQ(download("/q?s=1301&d=v2", "page"), QuotePage("1301"));

    // A new download stops the running one, which then neither writes nor
    // raises the flag again.
    http->OpenURL(m_sim->url(slow).toStdString(), file("old"));
    QTest::qWait(300);
    EXPECT_EQ(download("/q?s=1301&d=v2", "page"), QuotePage("1301"));
    http->complete = 0;
    QTest::qWait(1500); // when its parts and time-out would come
    EXPECT_EQ(std::pair(int(http->complete), bytes("page")), std::pair(0, QuotePage("1301")));

    // The polled page has been taken (flag cleared) when a blocking one starts.
    std::vector<int> seen;
    QTimer tick; // stands in for the job timer
    QObject::connect(&tick, &QTimer::timeout, [&] { seen.push_back(http->complete); });
    tick.start(50);
    EXPECT_EQ(download(slow, "slow", true), QuotePage("6758"));
    tick.stop();
    EXPECT_TRUE(http->outcome().done() && !http->complete); // still the polled download's
    // The nested loop served the timer five times at least, each time without an end.
    EXPECT_EQ(seen, std::vector<int>(std::max<size_t>(seen.size(), 5), 0));
    // A flag the job has not taken yet stays raised across a blocking download.
    http->complete = 1;
    download("/q?s=1301&d=v2", "b", true);
    EXPECT_EQ(http->complete, 1);

    // A download the timer starts stops the blocking one and ends the wait.
    QTimer::singleShot(
        50, [&] { http->OpenURL(m_sim->url("/q?s=1301&d=v2").toStdString(), file("c")); });
    download(slow, "cut", true);
    EXPECT_EQ(std::pair(last.end, int(http->complete)), std::pair(O::kStopped, 0));
    ASSERT_TRUE(QTest::qWaitFor([this] { return http->complete == 1; }, kPatienceMs));
    EXPECT_EQ(bytes("c"), QuotePage("1301"));
    // The stopped download's file keeps what had arrived, and no more.
    EXPECT_TRUE(QuotePage("6758").chopped(1).startsWith(bytes("cut")));
}

// Redirects are requests too. The end is told through the event loop, never
// from within OpenURL, and a blocking download tells its caller alone. A file
// that cannot be opened ends the download at once, one that cannot be written
// when the write fails.
TEST_F(NetTest, RequestsOfBothEntryPointsKeepTheInterval) {
    start({"--fault", "redirect:2@/q?s=6758"}, 250);
    for (int i = 0; i < 5; ++i) { // polled, polled, blocking, blocking, polled
        const QString code = i % 2 == 0 ? "1301" : "6758";
        EXPECT_EQ(download("/q?s=" + code + "&d=v2", code, i == 2 || i == 3), QuotePage(code));
    }
    EXPECT_EQ(nCompletions, 3);
    const QList<SimLogEntry> entries = ReadSimLog(m_config.filePath("quote-sim.log"));
    ASSERT_EQ(entries.size(), 5 + 2 * 2);
    // Arrival times on loopback may come up to a tenth closer than the send times.
    for (int i = 1; i < entries.size(); ++i)
        EXPECT_GE(entries[i].start - entries[i - 1].start, 0.250 * 0.9) << i;

    http->OpenURL(m_sim->url("/q").toStdString(), file("no-such-folder/page.html"));
    EXPECT_EQ(std::tuple(http->complete, http->outcome().end, http->outcome().reason, nCompletions),
              std::tuple(1, O::kFileError, "could not write the page file", 3));
    EXPECT_TRUE(QTest::qWaitFor([this] { return nCompletions == 4; }, 5000));
    for (const char* name : {"no-such-folder/page.html", "/dev/full"})
        EXPECT_EQ(download("/q?s=1301&d=v2", name, true), "failed: could not write the page file");
}

// The second page of each row is asked too soon (or fails once with 503): the
// download waits as told, asks again, and ends with the page, not the answer
// that asked it to wait; no request comes before its wait is over. A page
// still refused after three waits fails with the last answer's status.
TEST_F(NetTest, AnAnswerThatAsksToWaitIsWaitedOut) {
    // clang-format off
    const struct { const char* name; QString fault; bool blocking; int32_t status, seconds; int nWaits; } rows[] = {
        // name                      fault                     blocking status seconds nWaits
        {"429, polled",              "throttle:1/1@/q",        false,   429,   1,      1},
        {"429, blocking",            "throttle:1/1@/q",        true,    429,   1,      1},
        {"503 without Retry-After",  "status:503@/q?s=6758#1", false,   503,   2,      1},
        {"429 for good",             "throttle:0/1@/q?s=6758", false,   429,   1,      CDownloadPacer::kMaxWaits},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        start({"--fault", row.fault});
        EXPECT_EQ(download("/q?s=1301&d=v2", "1301", row.blocking), QuotePage("1301"));
        const bool refused = row.nWaits == CDownloadPacer::kMaxWaits;
        EXPECT_EQ(download("/q?s=6758&d=v2", "6758", row.blocking),
                  refused ? "failed: HTTP 429" : QuotePage("6758"));
        ASSERT_EQ(waits.size(), size_t(row.nWaits));
        for (int i = 0; i < row.nWaits; ++i)
            EXPECT_EQ(std::tuple(waits[i].httpStatus, waits[i].seconds, waits[i].nWait),
                      std::tuple(row.status, row.seconds, i + 1));
        const QList<SimLogEntry> entries = ReadSimLog(m_config.filePath("quote-sim.log"));
        ASSERT_EQ(entries.size(), 2 + row.nWaits);
        for (int i = 2; i < entries.size(); ++i) {
            EXPECT_EQ(entries[i - 1].status, row.status);
            EXPECT_GE(entries[i].start, entries[i - 1].end + row.seconds) << i;
        }
    }
}

// Requests go through the proxy only when asked, and a proxy that is not there,
// or has a port out of range, is a network error.
TEST_F(NetTest, RequestsGoThroughTheProxyOnlyWhenAsked) {
    // tinyproxy in the foreground, its configuration and log in folder.
    const quint16 port = FreePort();
    const QString conf = "Port %1\nListen 127.0.0.1\nAllow 127.0.0.1\nLogFile \"%2\"\n";
    ASSERT_TRUE(write("tinyproxy.conf", conf.arg(port).arg(path("tinyproxy.log")).toUtf8()));
    QProcess proxy;
    proxy.start(QStandardPaths::findExecutable("tinyproxy", {"/usr/bin", "/usr/sbin"}),
                {"-d", "-c", path("tinyproxy.conf")});
    const auto listening = [&] {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        return proxy.state() == QProcess::Running && socket.waitForConnected(200);
    };
    ASSERT_TRUE(QTest::qWaitFor(listening, kPatienceMs));
    for (const bool useProxy : {false, true}) {
        start({}, 20, useProxy, port);
        EXPECT_EQ(download("/q?s=1301&d=v2", "page"), QuotePage("1301"));
        const QString asked = simLog();
        EXPECT_EQ(asked.contains("Via:") && asked.contains("tinyproxy"), useProxy);
    }
    // Ports out of range, and one that no proxy listens on.
    for (const int proxyPort : {-1, port + 65536, int(FreePort())}) {
        start({}, 20, true, proxyPort);
        download("/q?s=1301&d=v2", "page");
        EXPECT_EQ(std::pair(last.end, bytes("page")), std::pair(O::kNetworkError, QByteArray()))
            << proxyPort;
    }
    proxy.terminate();
    proxy.waitForFinished(5000);
}

} // namespace
