// `vezizo fetch` and `vezizo quotes` run as processes against the simulated
// service: the daily file holds the service's quotes byte for byte, and the
// quote list prints them.
#include "SimAppFolder.h"
#include "SimEncoding.h"
#include "VezizoProcess.h"
#include "misclib.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A price in tenths as the daily file writes it without decimals.
int WholeYen(int64_t tenths) {
    return int(tenths / 10);
}

// The daily file (layout 0, whole prices) the fetch of stocks must write.
QByteArray ExpectedDailyFile(const QList<const SimStock*>& stocks) {
    const CSimMarket& market = TestSimMarket();
    const QDate day = market.tradingDate();
    QByteArray body;
    for (const SimStock* stock : stocks) {
        const SimDay today = market.today(*stock);
        QByteArray name = toShiftJis(stock->name);
        if (name.size() > 30)
            name.truncate(CutWText(name.data(), 30));
        body += QString::asprintf("%04d,%d,", stock->code,
                                  CSimMarket::markets().at(stock->market).dsCode)
                    .toLatin1() +
                name +
                QString::asprintf(",%d,%d,%d,%d,%lld\n", WholeYen(today.open), WholeYen(today.high),
                                  WholeYen(today.low), WholeYen(today.close),
                                  static_cast<long long>(today.volume))
                    .toLatin1();
    }
    return QString::asprintf("%02d%02d%02d\n%d,0\n", SimQuoteYear() - 2000, day.month(), day.day(),
                             int(stocks.size()))
               .toLatin1() +
           body;
}

} // namespace

TEST(FetchCommand, FetchWritesTheServicesQuotesAndQuotesPrintsThem) {
    QuoteSimProcess sim;
    ASSERT_TRUE(sim.isRunning());
    QTemporaryDir folder, config;
    ASSERT_TRUE(folder.isValid() && config.isValid());

    // Two pages: 60 stocks, the one that trades beyond 2^31 shares a day, and
    // a code the service does not know.
    const CSimMarket& market = TestSimMarket();
    QList<const SimStock*> stocks;
    QByteArray list;
    for (int i = 0; i < 60; ++i)
        stocks.append(&market.stocks().at(i));
    stocks.append(market.findStock(9984));
    for (const SimStock* stock : stocks)
        list += CSimMarket::fetchListLine(*stock);
    list += "1000,1000,T,UNKNOWN\n";
    ASSERT_TRUE(LayOutAppFolder(folder.path(), sim) && WriteFetchList(folder.path(), list));

    // Before any fetch there is nothing to print.
    const ProcessResult none = RunVezizo({"--folder", folder.path(), "quotes"}, config.path());
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err,
              "vezizo quotes: no quotes have been fetched yet (vezizo fetch gets them)\n");
    EXPECT_EQ(none.out, "");

    ProcessResult fetch = RunVezizo({"--folder", folder.path(), "fetch"}, config.path());
    ASSERT_EQ(fetch.status, 0) << fetch.err.toStdString();
    EXPECT_TRUE(fetch.err.contains("count 61, missing 1")) << fetch.err.toStdString();

    const QStringList written = QDir(folder.path()).entryList({"DS*"}, QDir::Files);
    ASSERT_EQ(written.size(), 1);
    // The run ends by naming the file and its count.
    EXPECT_TRUE(fetch.err.endsWith("vezizo fetch: " + written[0] + ": 61 stocks, 1 missing\n"))
        << fetch.err.toStdString();
    QFile daily(folder.filePath(written[0]));
    ASSERT_TRUE(daily.open(QIODevice::ReadOnly));
    EXPECT_EQ(daily.readAll(), ExpectedDailyFile(stocks));

    // Highest close first; every code has its row.
    ProcessResult quotes = RunVezizo(
        {"--folder", folder.path(), "quotes", "--sort", "cv4", "--descending"}, config.path());
    ASSERT_EQ(quotes.status, 0) << quotes.err.toStdString();
    const QStringList rows = quotes.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 62);
    const SimStock* top = *std::max_element(
        stocks.begin(), stocks.end(), [&market](const SimStock* a, const SimStock* b) {
            return market.today(*a).close < market.today(*b).close;
        });
    EXPECT_TRUE(rows[0].startsWith(QStringLiteral("%1 %2 ").arg(top->code).arg(top->name)))
        << rows[0].toStdString();
    EXPECT_TRUE(rows.last().startsWith("1000 UNKNOWN")) << rows.last().toStdString();

    // The list shows the volume beyond 2^31 as it is.
    const SimStock& huge = *market.findStock(9984);
    const SimDay hugeDay = market.today(huge);
    const QStringList cells =
        rows.filter(QRegularExpression("^9984 ")).value(0).split(' ', Qt::SkipEmptyParts);
    ASSERT_GE(cells.size(), 8);
    EXPECT_EQ(cells.mid(cells.size() - 6),
              (QStringList{
                  CSimMarket::markets().at(huge.market).fetchCode,
                  QString::number(WholeYen(hugeDay.open)), QString::number(WholeYen(hugeDay.high)),
                  QString::number(WholeYen(hugeDay.low)), QString::number(WholeYen(hugeDay.close)),
                  QString::number(hugeDay.volume)}));
    EXPECT_GE(hugeDay.volume, int64_t(1) << 31);

    ProcessResult badKey =
        RunVezizo({"--folder", folder.path(), "quotes", "--sort", "price"}, config.path());
    EXPECT_EQ(badKey.status, 2);
}

// A daily file that cannot be written is a failure, not a finished job: the
// command ends with 1 and says why.
TEST(FetchCommand, DailyFileThatCannotBeWrittenEndsWithOne) {
    QuoteSimProcess sim;
    ASSERT_TRUE(sim.isRunning());
    QTemporaryDir folder, config;
    ASSERT_TRUE(folder.isValid() && config.isValid());
    ASSERT_TRUE(
        LayOutAppFolder(folder.path(), sim) &&
        WriteFetchList(folder.path(), CSimMarket::fetchListLine(*TestSimMarket().findStock(7203))));
    ASSERT_EQ(RunVezizo({"--folder", folder.path(), "fetch"}, config.path()).status, 0);

    // The same day's file name taken by a folder: the rename over it fails.
    const QStringList written = QDir(folder.path()).entryList({"DS*"}, QDir::Files);
    ASSERT_EQ(written.size(), 1);
    ASSERT_TRUE(QFile::remove(folder.filePath(written[0])));
    ASSERT_TRUE(QDir(folder.path()).mkdir(written[0]));
    const ProcessResult fetch = RunVezizo({"--folder", folder.path(), "fetch"}, config.path());
    EXPECT_EQ(fetch.status, 1);
    EXPECT_TRUE(fetch.err.contains("could not write the daily file")) << fetch.err.toStdString();
}

// What start-up cannot take does not stop the run: without market.csv every
// market is unknown, a servers.conf line that cannot be used leaves its server
// at the default, and a fetch-list line whose quote code would change the
// request is not requested. Each is named; the daily file is written.
TEST(FetchCommand, RunsOnWhatStartUpCouldNotTake) {
    QTemporaryDir folder, config;
    ASSERT_TRUE(folder.isValid() && config.isValid());
    const QString log = folder.filePath("quote-sim.log");
    QuoteSimProcess sim({"--log", log});
    ASSERT_TRUE(sim.isRunning());
    const QByteArray host = sim.hostPort().toLatin1();
    ASSERT_TRUE(WriteAppFile(folder.path(), "servers.conf",
                             "quote=" + host + "\nhistory=junk junk\nprofile=" + host + "\n"));
    const SimStock& first = TestSimMarket().stocks().at(0);
    const SimStock& second = TestSimMarket().stocks().at(1);
    ASSERT_TRUE(WriteFetchList(folder.path(), CSimMarket::fetchListLine(first) +
                                                  "7203&d=v3,7203,T,HOSTILE\n" +
                                                  CSimMarket::fetchListLine(second)));

    const ProcessResult fetch = RunVezizo({"--folder", folder.path(), "fetch"}, config.path());
    EXPECT_EQ(fetch.status, 0) << fetch.err.toStdString();
    const QString path = folder.path();
    for (const QString& said :
         {"vezizo fetch: warning: " + path +
              "/market.csv is missing: without the market table every market is unknown",
          "vezizo fetch: warning: " + path +
              "/servers.conf line 2 cannot be used: a line is quote=, history= or profile= "
              "followed by HOST[:PORT]",
          QStringLiteral("fetch: fetchlist.csv line 2 was not requested, as its quote code cannot "
                         "go into a request (ERRORLOG.TXT says why)"),
          QStringLiteral(": 2 stocks, 1 missing\n")})
        EXPECT_TRUE(fetch.err.contains(said)) << said.toStdString() << "\n"
                                              << fetch.err.toStdString();

    QFile requests(log);
    ASSERT_TRUE(requests.open(QIODevice::ReadOnly));
    const QByteArray asked = requests.readAll();
    EXPECT_TRUE(asked.contains("GET /q?s=" + first.quoteCode.toLatin1() + "+" +
                               second.quoteCode.toLatin1() + "&d=v2"))
        << asked.constData();
    EXPECT_FALSE(asked.contains("7203")) << asked.constData();
    EXPECT_EQ(ReadAppFile(folder.path(), "ERRORLOG.TXT"),
              "page=0 code=7203 name=HOSTILE reason=quote code \"7203&d=v3\" on line 2 of "
              "fetchlist.csv not requested: a stock code holds only letters, digits and . - _ ^\n");
    // Every market is unknown: the daily file gives each the DS code 0.
    const QStringList written = QDir(folder.path()).entryList({"DS*"}, QDir::Files);
    ASSERT_EQ(written.size(), 1);
    const QList<QByteArray> lines = ReadAppFile(folder.path(), written[0]).split('\n');
    ASSERT_EQ(lines.size(), 2 + 2 + 1);
    for (int i = 2; i < 4; ++i)
        EXPECT_TRUE(lines[i].startsWith(
            QString::asprintf("%04d,0,", i == 2 ? first.code : second.code).toLatin1()))
            << lines[i].constData();
}
