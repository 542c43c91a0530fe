// Jobs run as processes: what they write and print, at the pace the command
// line asks for.
#include "KDFile.h"
#include "RisingDays.h"
#include "SimAppFolder.h"
#include "SimEncoding.h"
#include "VezizoProcess.h"
#include "misclib.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Two pages: 60 stocks, the one that trades beyond 2^31 shares a day, and a
// code the service does not know. The daily file holds the service's quotes
// (whole yen, names cut at 30 bytes) byte for byte; `quotes` prints them sorted.
// The command line's interval wins over the settings' between any two requests.
TEST(JobsCommand, FetchWritesTheServicesQuotesAndQuotesPrintsThem) {
    QTemporaryDir folder, config;
    QuoteSimProcess sim({"--log", config.filePath("sim.log")});
    ASSERT_TRUE(sim.isRunning() && LayOutAppFolder(folder.path(), sim));
    const auto run = [&](const QStringList& arguments) {
        return RunVezizo(QStringList{"--folder", folder.path()} + arguments, config.path());
    };
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
    ASSERT_TRUE(WriteFetchList(folder.path(), list + "1000,1000,T,UNKNOWN\n"));
    ASSERT_TRUE(WriteAppFile(config.path(), "vezizo.conf", "interval_ms=30\n"));
    const ProcessResult fetch = run({"--interval", "300", "fetch"});
    EXPECT_THAT(fetch,
                Ended(0, "vezizo fetch: " + SimDayFileName("DS") + ": 61 stocks, 1 missing\n"));
    EXPECT_EQ(ReadAppFile(folder.path(), SimDayFileName("DS")), daily);
    const QList<SimLogEntry> asked = ReadSimLog(config.filePath("sim.log"));
    ASSERT_EQ(asked.size(), 2);
    // Arrival times on loopback differ from send times by a little.
    EXPECT_GE(asked[1].start - asked[0].start, 0.300 * 0.9);

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
// --png names a file in the current folder, not in the application folder.
TEST(JobsCommand, ChartWritesAPictureOfTheGivenSize) {
    QTemporaryDir folder, elsewhere;
    ASSERT_TRUE(WriteKDFile(folder.filePath("KD7203.KDT"), RisingDays(400)));
    const QString here = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    const ProcessResult chart = RunVezizo({"--folder", folder.path(), "chart", "--size", "640x400",
                                           "7203.T", "--png", "out.png", "--days", "30"});
    QDir::setCurrent(here);
    EXPECT_THAT(chart, Ended(0, ""));
    EXPECT_EQ(chart.out.trimmed(), elsewhere.filePath("out.png"));
    EXPECT_EQ(QImage(elsewhere.filePath("out.png")).size(), QSize(640, 400));
}

} // namespace
