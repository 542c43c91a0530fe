// The quote-sim command line: the fetch list it prints for the demo and its
// clean end on a signal.
#include "SimMarket.h"
#include "QuoteSimProcess.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>

#include <gtest/gtest.h>

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
