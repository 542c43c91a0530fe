// "vezizo listing" as a process: a first fetch list built from the service's
// listing, on which "vezizo fetch" then gets every listed stock.
#include "QuoteSimProcess.h"
#include "SimAppFolder.h"
#include "SimMarket.h"
#include "VezizoProcess.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ListingCommand, BuildsFetchListOnWhichFetchGetsEveryStock) {
    QuoteSimProcess sim;
    ASSERT_TRUE(sim.isRunning());
    QTemporaryDir folder, config;
    ASSERT_TRUE(folder.isValid() && config.isValid());
    ASSERT_TRUE(LayOutAppFolder(folder.path(), sim));
    const CSimMarket& market = TestSimMarket();
    const int nStocks = int(market.stocks().size());

    // No fetch list yet: every listed code is new, and the list is made.
    ProcessResult listing =
        RunVezizo({"--folder", folder.path(), "listing"}, config.path(), 280000);
    ASSERT_EQ(listing.status, 0) << listing.err.toStdString();
    EXPECT_TRUE(listing.err.contains(QStringLiteral("count %1").arg(nStocks + 3)))
        << listing.err.toStdString();
    const QByteArray list = ReadAppFile(folder.path(), "fetchlist.csv");
    EXPECT_EQ(list, ListedFetchList());
    EXPECT_FALSE(QFile::exists(folder.filePath("fetchlist.bak")));

    // "Every listed stock" is every row of the listing: each ordinary stock,
    // and the three index rows, which the service answers under their own
    // numbers (998405 and so on) and the daily file holds as 1001, 1002, 1010.
    ProcessResult fetch = RunVezizo({"--folder", folder.path(), "fetch"}, config.path(), 280000);
    ASSERT_EQ(fetch.status, 0) << fetch.err.toStdString();
    const QStringList days = QDir(folder.path()).entryList({"DS*.DAT"}, QDir::Files);
    ASSERT_EQ(days.size(), 1) << days.join(' ').toStdString();
    const QList<QByteArray> lines = ReadAppFile(folder.path(), days[0]).split('\n');
    ASSERT_GE(lines.size(), 2);
    QSet<int> fetched;
    for (int i = 2; i < lines.size(); ++i)
        if (!lines[i].isEmpty())
            fetched.insert(lines[i].left(4).toInt());
    for (const SimStock& stock : market.stocks())
        EXPECT_TRUE(fetched.contains(stock.code)) << stock.code;
    for (int code : {1001, 1002, 1010})
        EXPECT_TRUE(fetched.contains(code)) << code;
    EXPECT_EQ(fetched.size(), nStocks + 3);
    EXPECT_EQ(lines[1], QByteArray::number(nStocks + 3) + ",0");
}

// Names with bytes that are no EUC-JP: every one of them is written as "?",
// so the fetch list stays Shift-JIS throughout.
TEST(ListingCommand, BytesThatAreNoEucJpNeverReachTheFetchList) {
    QuoteSimProcess sim({"--fault", "bad-euc@/l"});
    ASSERT_TRUE(sim.isRunning());
    QTemporaryDir folder, config;
    ASSERT_TRUE(folder.isValid() && config.isValid());
    ASSERT_TRUE(LayOutAppFolder(folder.path(), sim));

    const ProcessResult listing =
        RunVezizo({"--folder", folder.path(), "listing", "--offline"}, config.path(), 120000);
    ASSERT_EQ(listing.status, 0) << listing.err.toStdString();
    const int nRows = int(TestSimMarket().stocks().size()) + 3;
    EXPECT_TRUE(listing.err.endsWith(QStringLiteral("vezizo listing: fetchlist.csv: %1 stocks, %1 "
                                                    "new; %1 new stocks have market X\n")
                                         .arg(nRows)))
        << listing.err.toStdString();

    const QByteArray list = ReadAppFile(folder.path(), "fetchlist.csv");
    QStringDecoder shiftJis("Shift_JIS");
    ASSERT_TRUE(shiftJis.isValid());
    const QString text = shiftJis.decode(list);
    EXPECT_FALSE(shiftJis.hasError());
    const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), nRows);
    // The spoiled bytes end each name that is short enough to keep them.
    EXPECT_GT(lines.filter(QRegularExpression("\\?$")).size(), nRows / 2);
    EXPECT_FALSE(text.contains(QChar::ReplacementCharacter));
    for (char never : {'\xFD', '\xFE', '\xFF'}) // no byte of Shift-JIS
        EXPECT_FALSE(list.contains(never));
}
