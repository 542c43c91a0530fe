// Jobs run as processes: what they write and print, at the pace the command
// line asks for; "vezizo history --all" and "vezizo fetch --update-histories"
// against quote-sim on two simulated days in a row: whole histories first,
// one page a stock the next day, files merged to what a full download of that
// day gives, failures leaving files as they were.
#include "AppTestBase.h"
#include "CommandLine.h"

#include <QImage>

#include <algorithm>

using JobsCommand = AppTestBase;

// Two pages: 61 stocks, a code the service does not know, and a line whose
// quote code would change the request, which keeps its slot, is not requested
// but logged. The daily file holds the day's quotes; `quotes` prints them
// sorted. The command line's interval wins over the settings' between any two
// requests.
// Without market.csv every market is unknown, and a servers.conf line that
// cannot be used is named: the run goes on.
TEST_F(JobsCommand, FetchWritesTheServicesQuotesAndQuotesPrintsThem) {
    serve({});
    ASSERT_TRUE(write("servers.conf", bytes("servers.conf") + "history=junk junk\n"));
    const CSimMarket& market = TestSimMarket();
    const auto close = [&](int code) { return market.today(*market.findStock(code)).close; };
    const QVector<int> codes = KnownCodes(61);
    ASSERT_TRUE(
        write("fetchlist.csv", FetchListLines(codes.mid(0, 1)) + "7203&d=v3,7203,T,HOSTILE\n" +
                                   FetchListLines(codes.mid(1)) + "1000,1000,T,UNKNOWN\n") &&
        WriteAppFile(m_config.path(), "vezizo.conf", "interval_ms=30\n"));
    const ProcessResult fetch = run({"--interval", "300", "fetch"});
    for (const QString& said : QStringList{
             "/market.csv is missing: without the market table every market is unknown",
             "/servers.conf line 4 cannot be used: a line is quote=, history= or profile=",
             "fetch: fetchlist.csv line 2 was not requested, as its quote code cannot go into a",
             "vezizo fetch: " + SimDayFileName("DS") + ": 61 stocks, 2 missing\n"})
        EXPECT_THAT(fetch, Ended(0, said));
    EXPECT_TRUE(bytes("ERRORLOG.TXT")
                    .contains("page=0 code=7203 name=HOSTILE reason=quote code \"7203&d=v3\""));
    const QByteArray daily = bytes(SimDayFileName("DS"));
    EXPECT_TRUE(daily.startsWith(SimDayFileName("DS").mid(2, 6).toLatin1() + "\n61,0\n") &&
                daily.count('\n') == 2 + 61);
    const QList<SimLogEntry> asked = ReadSimLog(m_config.filePath("quote-sim.log"));
    ASSERT_EQ(asked.size(), 2);
    // Arrival times on loopback differ from send times by a little.
    EXPECT_GE(asked[1].start - asked[0].start, 0.300 * 0.9);

    const ProcessResult quotes = run({"quotes", "--sort", "cv4", "--descending"});
    const QStringList rows = quotes.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(std::pair(quotes.status, int(rows.size())), std::pair(0, 63));
    const int top = *std::max_element(codes.begin(), codes.end(),
                                      [&](int a, int b) { return close(a) < close(b); });
    EXPECT_TRUE(
        rows[0].startsWith(QStringLiteral("%1 %2 ").arg(top).arg(market.findStock(top)->name)));
    // The stocks without quotes come last.
    EXPECT_EQ(rows.mid(61).filter(QRegularExpression("^(1000 UNKNOWN|7203 HOSTILE) ")).size(), 2);
}

// The picture of the size asked for, into the file asked for: a relative
// --png names a file in the current folder, not in the application folder.
TEST_F(JobsCommand, ChartWritesAPictureOfTheGivenSize) {
    ASSERT_TRUE(writeKD(7203, RisingDays(400)));
    const QString here = QDir::currentPath();
    QDir::setCurrent(m_config.path()); // another folder than the application folder
    const ProcessResult chart =
        run({"chart", "--size", "640x400", "7203.T", "--png", "out.png", "--days", "30"});
    QDir::setCurrent(here);
    EXPECT_THAT(chart, Ended(0, ""));
    EXPECT_EQ(chart.out.trimmed(), m_config.filePath("out.png"));
    EXPECT_EQ(QImage(m_config.filePath("out.png")).size(), QSize(640, 400));
}

class HistoriesCommandTest : public AppTestBase {
protected:
    // The service on day (0: m_day, 1: the weekday after): three stocks whose
    // whole history fits into 200 rows, one with a longer one; each one day
    // longer on the later day, as a history grows.
    void serveDay(int later, QStringList arguments = {}) {
        const QDate day = later ? NextTradingDay(m_day) : m_day;
        m_market = std::make_unique<CSimMarket>(SimMarketOn(day));
        for (int i = 0; i < m_codes.size(); ++i) {
            const int rows = kLengths[i] + later;
            arguments << "--history-length" << QStringLiteral("%1=%2").arg(m_codes[i]).arg(rows);
            m_market->setHistoryLength(m_codes[i], rows);
        }
        serve(arguments << "--date" << day.toString(Qt::ISODate));
    }
    static constexpr int kLengths[4] = {120, 75, 30, 600};
    const QDate m_day = RecentTradingDay();
    const QVector<int> m_codes = CodesTradedOn({m_day, NextTradingDay(m_day)}, 4);
    std::unique_ptr<CSimMarket> m_market;
};

TEST_F(HistoriesCommandTest, WholeHistoriesFirstThenOnePageAStockEqualToAFullDownload) {
    // An index and a code the service does not know beside the four stocks.
    ASSERT_TRUE(m_codes.size() == 4 &&
                layOut(FetchListLines(m_codes + QVector<int>{1000}) + "998405,1001,T,INDEX\n"));
    serveDay(0);
    // The fetch adds the day only to the histories there are, the option
    // holding for that run.
    EXPECT_THAT(run({"fetch", "--update-histories"}), Ended(0, "the day was added to 0 histories"));
    EXPECT_FALSE(ReadAppFile(m_config.path(), "vezizo.conf").contains("update_histories=1"));
    const ProcessResult first = run({"history", "--all"});
    EXPECT_THAT(first, Ended(0, QRegularExpression("history: [0-4]/5, written \\d, skipped \\d, "
                                                   "failed 0, now \\d{4}")));
    EXPECT_THAT(first, Ended(0, "4 written, 0 up to date, 1 without rows at the service; "
                                "fetch-list codes that are not stock codes from 1000 to 9999, "
                                "skipped: 1"));
    for (int code : m_codes)
        EXPECT_EQ(records(code), ExpectedKDRecords(*m_market, code, 200)) << code;
    EXPECT_TRUE(kd(1000).isNull());

    // The next day: one page a stock, and the records a full download gives
    // (what the file keeps beyond the page is the merge's, a data test's).
    // One stock's page fails, another's file is not a history (a byte too
    // many): both files stay as they were.
    const QByteArray before = kd(m_codes[1]), notAHistory = kd(m_codes[2]) + "x";
    ASSERT_TRUE(write(QString::fromStdString(KDTFileName(m_codes[2])), notAHistory));
    serveDay(1, {"--fault", QStringLiteral("status:500@/t?s=%1").arg(m_codes[1])});
    ASSERT_EQ(run({"fetch"}).status, 0); // the day the job measures the files by
    const ProcessResult failed = run({"history", "--all"});
    EXPECT_THAT(failed, Ended(3, "files kept as they were; 2 written"));
    EXPECT_THAT(failed, Ended(3, QStringLiteral("the histories of %1 and %2 failed (HTTP 500, the "
                                                "file's size is not a multiple of 26 bytes")
                                     .arg(m_codes[1])
                                     .arg(m_codes[2])));
    EXPECT_EQ(std::pair(kd(m_codes[1]), kd(m_codes[2])), std::pair(before, notAHistory));
    for (int code : {m_codes[0], m_codes[3], 1000}) // the service's history requests
        EXPECT_EQ(simLog().count(QRegularExpression(QString("GET /t\\?s=%1[.&]").arg(code))), 1)
            << code;
    EXPECT_EQ(records(m_codes[0]), ExpectedKDRecords(*m_market, m_codes[0], 200));
}

// The command line's estimate of the time left, at the pace so far: none too
// early, when done or when nothing is done yet; never less than 10 s.
TEST(TimeLeft, RoundedToWhatAPersonReads) {
    // clang-format off
    for (const auto& [elapsed, value, maximum, text] : {std::tuple{4.9, 1, 10, ""}, {10.0, 10, 10, ""},
             {10.0, 0, 10, ""}, {10.0, 2, 3, ", about 10 s left"}, {10.0, 1, 3, ", about 20 s left"},
             {50.0, 1, 3, ", about 2 min left"}, {100.0, 1, 100, ", about 2 h 45 min left"}})
        // clang-format on
        EXPECT_EQ(TimeLeftText(elapsed, value, maximum), text) << elapsed << " " << value;
}
