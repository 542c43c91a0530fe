// The synthetic market: fixed by seed and date, and rich in the cases the
// program's readers must handle.
#include "SimMarket.h"
#include "QuoteSimProcess.h"
#include "SimEncoding.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include <csignal>

namespace {

TEST(SimMarketTest, SeedAndDateFixTheMarket) {
    const CSimMarket a(7, QDate(2006, 12, 25));
    const CSimMarket b(7, QDate(2006, 12, 25));
    const CSimMarket c(8, QDate(2006, 12, 25));
    ASSERT_EQ(a.stocks().size(), b.stocks().size());
    EXPECT_EQ(a.fetchList(4000), b.fetchList(4000));
    EXPECT_NE(a.fetchList(4000), c.fetchList(4000));
    EXPECT_EQ(a.today(*a.findStock(6758)).close, b.today(*b.findStock(6758)).close);
    // A Saturday quotes the Friday before.
    EXPECT_EQ(CSimMarket(7, QDate(2006, 12, 23)).tradingDate(), QDate(2006, 12, 22));
}

TEST(SimMarketTest, MarketHoldsTheCasesReadersMeet) {
    const CSimMarket market(20061225, QDate(2006, 12, 25));
    const QVector<SimMarketEntry>& markets = CSimMarket::markets();
    ASSERT_GE(markets.size(), 10);
    EXPECT_EQ(markets[0].fetchCode, QStringLiteral("T"));
    EXPECT_EQ(markets[0].name, QStringLiteral("東証1部"));

    EXPECT_GT(market.stocks().size(), 2500);
    EXPECT_LE(market.listing().size(), 4000);
    for (int code : {1301, 6758, 7203, 8001, 9984})
        EXPECT_TRUE(market.findStock(code)) << code;
    EXPECT_TRUE(markets[market.findStock(6758)->market].fetchCode.startsWith('O'));
    EXPECT_GE(market.today(*market.findStock(9984)).volume, int64_t(1) << 31);

    int longNames = 0, fractional = 0, hugeVolumes = 0, shortHistories = 0;
    QSet<int> lengths, usedMarkets;
    int previous = 0;
    for (const SimStock& stock : market.stocks()) {
        EXPECT_GT(stock.code, previous);
        EXPECT_GE(stock.code, 1300);
        previous = stock.code;
        const QByteArray name = toShiftJis(stock.name);
        EXPECT_FALSE(name.contains(',') || name.contains('<') || name.contains('?'));
        EXPECT_LE(name.size(), 40);
        longNames += name.size() > 30;
        const SimDay day = market.today(stock);
        fractional += day.close % 10 != 0;
        hugeVolumes += day.volume >= (int64_t(1) << 31);
        EXPECT_TRUE(day.low <= day.open && day.open <= day.high && day.low <= day.close &&
                    day.close <= day.high && day.low > 0);
        shortHistories += stock.historyLength < 50;
        lengths.insert(stock.historyLength);
        usedMarkets.insert(stock.market);
    }
    EXPECT_GT(longNames, 50);
    EXPECT_GT(fractional, 10);
    EXPECT_GT(hugeVolumes, 1);
    EXPECT_GT(shortHistories, 50);
    EXPECT_GT(lengths.size(), 500);
    EXPECT_EQ(usedMarkets.size(), markets.size());

    int quietDays = 0;
    for (const SimDay& day : market.history(*market.findStock(7203), 0, 2000))
        quietDays += !day.traded;
    EXPECT_GT(quietDays, 0);
}

TEST(SimMarketTest, FetchListLinesAreShiftJisInCodeOrder) {
    QProcess process;
    process.start(QStringLiteral(QUOTE_SIM_EXE), {"--seed", QuoteSimProcess::kSeed, "--date",
                                                  QuoteSimProcess::kDate, "--fetchlist", "120"});
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitCode(), 0);
    const QByteArray output = process.readAllStandardOutput();
    QStringDecoder decoder("Shift_JIS");
    const QString text = decoder.decode(output);
    EXPECT_FALSE(decoder.hasError());
    EXPECT_TRUE(output.endsWith('\n'));
    EXPECT_FALSE(output.contains('\r'));

    const CSimMarket market(20061225, QDate(2006, 12, 25));
    const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 120);
    static const QRegularExpression format(QStringLiteral("^(\\d{4}),(\\d{4}),([A-Z0-9]+),(.+)$"));
    for (int i = 0; i < 120; ++i) {
        const QRegularExpressionMatch match = format.match(lines[i]);
        ASSERT_TRUE(match.hasMatch()) << lines[i].toStdString();
        const SimStock& stock = market.stocks()[i];
        EXPECT_EQ(match.captured(1), stock.quoteCode);
        EXPECT_EQ(match.captured(2).toInt(), stock.code);
        EXPECT_EQ(match.captured(3), CSimMarket::markets()[stock.market].fetchCode);
        EXPECT_EQ(match.captured(4), stock.name);
    }
}

TEST(SimMarketTest, ServiceEndsCleanlyOnTerminate) {
    for (int signal : {SIGTERM, SIGINT}) {
        QProcess process;
        process.start(QStringLiteral(QUOTE_SIM_EXE), {"--port", "0"});
        ASSERT_TRUE(process.waitForReadyRead(20000));
        EXPECT_GT(process.readLine().trimmed().toInt(), 0);
        ::kill(pid_t(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(5000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
    }
}

TEST(SimMarketTest, BadOptionsAreUsageErrors) {
    for (const QStringList& args :
         {QStringList{"--fault", "melt@/q"}, QStringList{"--fault", "drip@/q"},
          QStringList{"--fault", "status:500"}, QStringList{"--date", "2006-13-40"},
          QStringList{"--history-length", "7203"}}) {
        QProcess process;
        process.start(QStringLiteral(QUOTE_SIM_EXE), args);
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitCode(), 2) << args.join(' ').toStdString();
    }
}

} // namespace
