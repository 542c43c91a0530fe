// Jobs run as processes: what they write and print, at the pace the command
// line asks for.
#include "AppTestBase.h"

#include <QImage>

#include <algorithm>

namespace {

using JobsCommand = AppTestBase;

// Two pages: 61 stocks, a code the service does not know, and a line whose
// quote code would change the request, which keeps its slot, is not requested
// but logged. The daily file holds the day's quotes; `quotes` prints them
// sorted. The command line's interval wins over the settings' between any two
// requests.
// Without market.csv every market is unknown, and a servers.conf line that
// cannot be used leaves its server at the default: the run goes on.
TEST_F(JobsCommand, FetchWritesTheServicesQuotesAndQuotesPrintsThem) {
    QuoteSimProcess sim({"--log", m_config.filePath("sim.log")});
    const QByteArray host = sim.hostPort().toLatin1();
    ASSERT_TRUE(sim.isRunning() &&
                write("servers.conf", "quote=" + host + "\nhistory=junk junk\nprofile=" + host));
    const CSimMarket& market = TestSimMarket();
    const auto close = [&](int code) { return market.today(*market.findStock(code)).close; };
    const QVector<int> codes = KnownCodes(61);
    QStringList firstPage; // the quote codes the first page asks for
    for (int code : codes.mid(0, 49))
        firstPage << market.findStock(code)->quoteCode;
    ASSERT_TRUE(WriteFetchList(m_folder.path(),
                               FetchListLines(codes.mid(0, 1)) + "7203&d=v3,7203,T,HOSTILE\n" +
                                   FetchListLines(codes.mid(1)) + "1000,1000,T,UNKNOWN\n") &&
                WriteAppFile(m_config.path(), "vezizo.conf", "interval_ms=30\n"));
    const ProcessResult fetch = run({"--interval", "300", "fetch"});
    for (const QString& said : QStringList{
             "/market.csv is missing: without the market table every market is unknown",
             "/servers.conf line 2 cannot be used: a line is quote=, history= or profile=",
             "fetch: fetchlist.csv line 2 was not requested, as its quote code cannot go into a",
             "vezizo fetch: " + SimDayFileName("DS") + ": 61 stocks, 2 missing\n"})
        EXPECT_THAT(fetch, Ended(0, said));
    EXPECT_TRUE(bytes("ERRORLOG.TXT")
                    .contains("page=0 code=7203 name=HOSTILE reason=quote code \"7203&d=v3\""));
    const QByteArray daily = bytes(SimDayFileName("DS"));
    EXPECT_TRUE(daily.startsWith(SimDayFileName("DS").mid(2, 6).toLatin1() + "\n61,0\n") &&
                daily.count('\n') == 2 + 61);
    const QList<SimLogEntry> asked = ReadSimLog(m_config.filePath("sim.log"));
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[0].request, "GET /q?s=" + firstPage.join('+').toLatin1() + "&d=v2");
    // Arrival times on loopback differ from send times by a little.
    EXPECT_GE(asked[1].start - asked[0].start, 0.300 * 0.9);

    const ProcessResult quotes = run({"quotes", "--sort", "cv4", "--descending"});
    EXPECT_EQ(quotes.status, 0);
    const QStringList rows = quotes.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 63);
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
    QTemporaryDir elsewhere;
    ASSERT_TRUE(WriteKDFile(path("KD7203.KDT"), RisingDays(400)));
    const QString here = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    const ProcessResult chart =
        run({"chart", "--size", "640x400", "7203.T", "--png", "out.png", "--days", "30"});
    QDir::setCurrent(here);
    EXPECT_THAT(chart, Ended(0, ""));
    EXPECT_EQ(chart.out.trimmed(), elsewhere.filePath("out.png"));
    EXPECT_EQ(QImage(elsewhere.filePath("out.png")).size(), QSize(640, 400));
}

} // namespace
