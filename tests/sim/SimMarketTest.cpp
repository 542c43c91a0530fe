// The quote-sim command line: the fetch list it prints for the demo and its
// clean end on a signal.
#include "SimMarket.h"
#include "QuoteSimProcess.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include <tuple>

namespace {

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

} // namespace

namespace {

// A day's values depend on the stock and the date only: the history a later
// trading date gives holds the earlier date's rows unchanged, and the quote of
// a day is that day's row.
TEST(SimMarketTest, ALaterTradingDateExtendsTheSameHistory) {
    CSimMarket friday(7, QDate(2026, 12, 4));
    CSimMarket monday(7, QDate(2026, 12, 7));
    int untraded = 0;
    for (const SimStock& stock : friday.stocks().mid(0, 40)) {
        friday.setHistoryLength(stock.code, 300);
        monday.setHistoryLength(stock.code, 301);
        const QVector<SimDay> before = friday.history(*friday.findStock(stock.code), 0, 300);
        const QVector<SimDay> after = monday.history(*monday.findStock(stock.code), 1, 300);
        ASSERT_EQ(before.size(), after.size());
        for (qsizetype i = 0; i < before.size(); ++i) {
            const SimDay& a = before[i];
            const SimDay& b = after[i];
            ASSERT_EQ(std::tuple(a.date, a.traded, a.open, a.high, a.low, a.close, a.volume),
                      std::tuple(b.date, b.traded, b.open, b.high, b.low, b.close, b.volume))
                << stock.code << " row " << i;
            untraded += a.traded ? 0 : 1;
        }
        const SimDay quote = friday.today(stock);
        EXPECT_EQ(quote.traded, before[0].traded);
        if (quote.traded)
            EXPECT_EQ(std::tuple(quote.open, quote.close, quote.volume),
                      std::tuple(before[0].open, before[0].close, before[0].volume));
        else { // the last close, without volume
            qsizetype last = 1;
            while (!before[last].traded)
                ++last;
            EXPECT_EQ(std::tuple(quote.open, quote.close, quote.volume),
                      std::tuple(before[last].close, before[last].close, int64_t(0)));
        }
    }
    EXPECT_GT(untraded, 0);
    EXPECT_EQ(CSimMarket(7, QDate(2026, 12, 6)).tradingDate(), QDate(2026, 12, 4));
}

} // namespace

namespace {

// A market of a given size for loads beyond the usual list: exactly that many
// stocks, the five that are always listed among them.
TEST(SimMarketTest, AStockCountAskedForIsMetExactly) {
    for (int count : {5, 4000, 8700}) {
        const CSimMarket market(1, QDate(2026, 12, 4), count);
        EXPECT_EQ(market.stocks().size(), count);
        for (int code : {1301, 6758, 7203, 8001, 9984})
            EXPECT_NE(market.findStock(code), nullptr) << count << " " << code;
    }
}

} // namespace
