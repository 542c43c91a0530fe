// Jobs run as processes against the simulated service: what they write and
// print, and the pace of their requests.
#include "KDFile.h"
#include "RisingDays.h"
#include "SimAppFolder.h"
#include "SimEncoding.h"
#include "VezizoProcess.h"
#include "misclib.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

class JobsCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_sim.isRunning() && LayOutAppFolder(m_folder.path(), m_sim));
    }
    ProcessResult run(const QStringList& arguments) {
        return RunVezizo(QStringList{"--folder", m_folder.path()} + arguments, m_config.path());
    }

    QTemporaryDir m_folder, m_config;
    QuoteSimProcess m_sim{{"--fault", "bad-euc@/l", "--log", m_config.filePath("sim.log")}};
};

// Two pages: 60 stocks, the one that trades beyond 2^31 shares a day, and a
// code the service does not know. The daily file holds the service's quotes
// (whole yen, names cut at 30 bytes) byte for byte; `quotes` prints them sorted.
TEST_F(JobsCommandTest, FetchWritesTheServicesQuotesAndQuotesPrintsThem) {
    const CSimMarket& market = TestSimMarket();
    QList<const SimStock*> stocks;
    for (int i = 0; i < 60; ++i)
        stocks.append(&market.stocks().at(i));
    stocks.append(market.findStock(9984));
    QByteArray list, daily = SimDayFileName("DS").mid(2, 6).toLatin1() + "\n61,0\n";
    QStringList prices; // of the last stock
    for (const SimStock* stock : stocks) {
        list += CSimMarket::fetchListLine(*stock);
        const SimDay day = market.today(*stock);
        QByteArray name = toShiftJis(stock->name);
        name.truncate(CutWText(name.data(), 30));
        prices = QStringList{QString::number(day.open / 10), QString::number(day.high / 10),
                             QString::number(day.low / 10), QString::number(day.close / 10),
                             QString::number(day.volume)};
        daily += QByteArray::number(stock->code) + ',' +
                 QByteArray::number(CSimMarket::markets().at(stock->market).dsCode) + ',' + name +
                 ',' + prices.join(',').toLatin1() + '\n';
    }
    ASSERT_TRUE(WriteFetchList(m_folder.path(), list + "1000,1000,T,UNKNOWN\n"));
    const ProcessResult fetch = run({"fetch"});
    EXPECT_THAT(fetch,
                Ended(0, "vezizo fetch: " + SimDayFileName("DS") + ": 61 stocks, 1 missing\n"));
    EXPECT_EQ(ReadAppFile(m_folder.path(), SimDayFileName("DS")), daily);

    const ProcessResult quotes = run({"quotes", "--sort", "cv4", "--descending"});
    EXPECT_EQ(quotes.status, 0);
    const QStringList rows = quotes.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 62);
    const SimStock* top = *std::max_element(stocks.begin(), stocks.end(), [&](auto a, auto b) {
        return market.today(*a).close < market.today(*b).close;
    });
    EXPECT_TRUE(rows[0].startsWith(QStringLiteral("%1 %2 ").arg(top->code).arg(top->name)));
    EXPECT_TRUE(rows.last().startsWith("1000 UNKNOWN")) << rows.last().toStdString();
    EXPECT_GE(market.today(*stocks.last()).volume, int64_t(1) << 31);
    const QStringList cells =
        rows.filter(QRegularExpression("^9984 ")).value(0).split(' ', Qt::SkipEmptyParts);
    EXPECT_EQ(cells.mid(cells.size() - 5), prices);
}

// The picture of the size asked for, into the file asked for: a relative
// --png names a file in the current folder.
TEST_F(JobsCommandTest, ChartWritesAPictureOfTheGivenSize) {
    QTemporaryDir elsewhere;
    ASSERT_TRUE(WriteKDFile(m_folder.filePath("KD7203.KDT"), RisingDays(400)));
    const QString here = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    for (const auto& [arguments, file, size] :
         {std::tuple{QStringList{"7203"}, m_folder.filePath("KD7203.png"), QSize(1200, 800)},
          {{"--size", "640x400", "7203.T", "--png", "out.png", "--days", "30"},
           elsewhere.filePath("out.png"),
           QSize(640, 400)}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ProcessResult chart = run(QStringList{"chart"} + arguments);
        EXPECT_THAT(chart, Ended(0, ""));
        EXPECT_EQ(chart.out.trimmed(), file);
        EXPECT_EQ(QImage(file).size(), size);
    }
    QDir::setCurrent(here);
}

// Names with bytes that are no EUC-JP are written with "?", so that the fetch
// list stays Shift-JIS throughout.
TEST_F(JobsCommandTest, ListingKeepsTheFetchListShiftJis) {
    const ProcessResult listing = run({"listing", "--offline"});
    const int nRows = int(TestSimMarket().stocks().size()) + 3;
    EXPECT_THAT(listing, Ended(0, QStringLiteral("vezizo listing: fetchlist.csv: %1 stocks, %1 "
                                                 "new; %1 new stocks have market X\n")
                                      .arg(nRows)));
    const QByteArray list = ReadAppFile(m_folder.path(), "fetchlist.csv");
    QStringDecoder shiftJis("Shift_JIS");
    const QStringList lines = QString(shiftJis.decode(list)).split('\n', Qt::SkipEmptyParts);
    EXPECT_FALSE(shiftJis.hasError());
    EXPECT_EQ(lines.size(), nRows);
    // The spoiled bytes end each name that is short enough to keep them.
    EXPECT_GT(lines.filter(QRegularExpression("\\?$")).size(), nRows / 2);
    for (char never : {'\xFD', '\xFE', '\xFF'}) // no byte of Shift-JIS
        EXPECT_FALSE(list.contains(never));
}

// The interval of the command line (over vezizo.conf's) or of vezizo.conf
// between any two requests.
TEST_F(JobsCommandTest, RequestsKeepTheIntervalOfTheCommandLineOrTheSettings) {
    ASSERT_TRUE(WriteFetchList(m_folder.path(), FetchListLines(KnownCodes(200))));
    for (const auto& [options, settings] :
         {std::pair{QStringList{"--interval", "300"}, "interval_ms=30\n"},
          {QStringList{}, "interval_ms=300\n"}}) {
        SCOPED_TRACE(settings);
        const qsizetype nBefore = ReadSimLog(m_config.filePath("sim.log")).size();
        ASSERT_TRUE(WriteAppFile(m_config.path(), "vezizo.conf", settings));
        EXPECT_EQ(run(options + QStringList{"fetch"}).status, 0);
        const QList<SimLogEntry> entries = ReadSimLog(m_config.filePath("sim.log")).mid(nBefore);
        ASSERT_EQ(entries.size(), 4);
        // Arrival times on loopback differ from send times by a little.
        for (int i = 1; i < entries.size(); ++i)
            EXPECT_GE(entries[i].start - entries[i - 1].start, 0.300 * 0.9) << i;
    }
}

} // namespace
