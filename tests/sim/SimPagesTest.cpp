// The pages of the simulated quote service, fetched over HTTP and checked
// against the market model for the same seed and date.
#include "SimPages.h"
#include "QuoteSimProcess.h"
#include "SimClient.h"
#include "SimEncoding.h"
#include "SimMarket.h"
#include "misclib.h"

#include <gtest/gtest.h>

namespace {

class SimPagesTest : public ::testing::Test {
protected:
    SimPagesTest() : market(20061225, QDate(2006, 12, 25)) {}

    // The page's table rows; fails the test when the page is not clean EUC-JP.
    QList<QStringList> rowsOf(const QuoteSimProcess& sim, const QByteArray& target,
                              int* status = nullptr) {
        const RawReply reply = rawGet(sim.port(), target);
        if (status)
            *status = reply.status;
        bool valid = false;
        const QString page = decodeEucJp(reply.body, &valid);
        EXPECT_TRUE(valid) << target.constData();
        // Only two-byte characters: the program's converter knows no other kind.
        EXPECT_FALSE(reply.body.contains('\x8E') || reply.body.contains('\x8F'));
        EXPECT_EQ(reply.header("Content-Length").toLongLong(), reply.body.size());
        return tableRows(page);
    }

    CSimMarket market;
};

TEST_F(SimPagesTest, QuotePageHasOneRowPerCodeInRequestOrder) {
    QuoteSimProcess sim;
    ASSERT_TRUE(sim.isRunning());
    const QStringList codes = {"8001", "6758.O", "9999", "1301", "998407", "7203", "1301"};
    const QList<QStringList> rows = rowsOf(sim, "/q?s=" + codes.join('+').toLatin1() + "&d=v2");

    // Heading and menu rows come first and never start with a quote code.
    ASSERT_GT(rows.size(), codes.size());
    const QList<QStringList> quotes = rows.mid(rows.size() - codes.size());
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const QStringList& cells = quotes[i];
        ASSERT_EQ(cells.size(), 10) << i;
        EXPECT_EQ(cells[0], codes[i]);
        const SimStock* stock = market.findQuote(codes[i]);
        if (!stock) {
            EXPECT_TRUE(cells[1].startsWith(QStringLiteral("一致する銘柄はありません")));
            continue;
        }
        const SimDay day = market.today(*stock);
        EXPECT_EQ(cells[1], stock->name);
        EXPECT_EQ(cells[2], QStringLiteral("12/25"));
        EXPECT_EQ(QString(cells[3]).remove(QLatin1Char(',')).toDouble(), yen(day.close));
    }
    for (qsizetype i = 0; i < rows.size() - codes.size(); ++i)
        EXPECT_FALSE(market.findQuote(rows[i].value(0))) << rows[i].value(0).toStdString();
}

TEST_F(SimPagesTest, QuotePageShowsTheTimeOfDayDuringTradingHours) {
    QuoteSimProcess trading({"--time", "14:32"});
    QuoteSimProcess evening({"--time", "18:05"});
    ASSERT_TRUE(trading.isRunning() && evening.isRunning());
    EXPECT_EQ(rowsOf(trading, "/q?s=1301&d=v2").last().value(2), QStringLiteral("14:32"));
    EXPECT_EQ(rowsOf(evening, "/q?s=1301&d=v2").last().value(2), QStringLiteral("12/25"));
}

TEST_F(SimPagesTest, ListingPagesFitTheFirstTenKilobytes) {
    QuoteSimProcess sim;
    ASSERT_TRUE(sim.isRunning());
    const QVector<SimListingRow>& listing = market.listing();
    ASSERT_LE(listing.size(), CSimPages::kListingRows);
    QStringList firstCells;
    for (int page = 0; page < 80; ++page) {
        const QByteArray target = "/l?s=%2a&m=" + QByteArray::number(page * 50 + 1);
        const RawReply reply = rawGet(sim.port(), target);
        ASSERT_EQ(reply.status, 200);
        // Every row of the page lies inside the bytes the listing reader takes.
        const qsizetype lastRowEnd = reply.body.lastIndexOf("</tr>");
        EXPECT_LT(lastRowEnd + 5, 10240) << target.constData();
        bool valid = false;
        const QList<QStringList> rows = tableRows(decodeEucJp(reply.body, &valid));
        EXPECT_TRUE(valid);
        ASSERT_FALSE(rows.isEmpty());
        EXPECT_EQ(rows[0].value(0).toInt(), 0); // the heading row carries no code
        const qsizetype expected = std::clamp<qsizetype>(listing.size() - page * 50, 0, 50);
        ASSERT_EQ(rows.size() - 1, expected) << target.constData();
        for (qsizetype i = 1; i < rows.size(); ++i)
            firstCells.append(rows[i].value(0));
    }
    EXPECT_EQ(firstCells.size(), listing.size());
    for (const char* special : {"23337", "998405", "998407"})
        EXPECT_TRUE(firstCells.contains(QLatin1String(special))) << special;
}

TEST_F(SimPagesTest, HistoryPagesRunNewestFirstFromTheOffset) {
    QuoteSimProcess sim({"--history-length", "7203=120"});
    ASSERT_TRUE(sim.isRunning());
    market.setHistoryLength(7203, 120);
    const SimStock* stock = market.findStock(7203);
    ASSERT_TRUE(stock);
    for (int offset : {0, 50, 100, 150}) {
        const QList<QStringList> rows =
            rowsOf(sim, "/t?s=7203&a=1&b=1&c=1983&d=12&e=25&f=2006&g=d&q=t&y=" +
                            QByteArray::number(offset) + "&x=.csv");
        QList<QStringList> days;
        for (const QStringList& cells : rows) {
            if (cells.value(0).contains(QStringLiteral("年")))
                days.append(cells);
        }
        const QVector<SimDay> expected = market.history(*stock, offset, 50);
        ASSERT_EQ(days.size(), expected.size()) << offset;
        ASSERT_EQ(days.size(), std::clamp(120 - offset, 0, 50));
        for (qsizetype i = 0; i < days.size(); ++i) {
            const SimDay& day = expected[i];
            const QString date = QStringLiteral("%1年%2月%3日")
                                     .arg(day.date.year())
                                     .arg(day.date.month())
                                     .arg(day.date.day());
            ASSERT_EQ(days[i].size(), 6);
            EXPECT_EQ(days[i][0], date);
            EXPECT_LE(day.date.dayOfWeek(), 5);
            if (i > 0) {
                EXPECT_LT(day.date, expected[i - 1].date);
            }
            if (!day.traded)
                EXPECT_EQ(days[i][1], QStringLiteral("-"));
        }
    }
    EXPECT_EQ(market.history(*stock, 0, 1).first().date, QDate(2006, 12, 25));
}

TEST_F(SimPagesTest, ProfilePageCarriesTheFiveMarkers) {
    QuoteSimProcess sim;
    ASSERT_TRUE(sim.isRunning());
    int funds = 0;
    for (const SimStock& stock : market.stocks().mid(0, 40)) {
        const RawReply reply = rawGet(
            sim.port(), QStringLiteral("/biz/fundamental/%1.html").arg(stock.code).toLatin1());
        ASSERT_EQ(reply.status, 200);
        bool valid = false;
        const QString page = decodeEucJp(reply.body, &valid);
        EXPECT_TRUE(valid);
        const SimProfile profile = market.profile(stock);
        const auto textAfter = [&page](const QString& marker) {
            const qsizetype start = page.indexOf(marker);
            if (start < 0)
                return QStringLiteral("<missing>");
            const qsizetype from = start + marker.size();
            return page.mid(from, page.indexOf(QLatin1String("</TD>"), from) - from);
        };
        EXPECT_TRUE(profile.category.startsWith(CSimMarket::industryNames()[stock.category - 1]));
        EXPECT_EQ(textAfter(QStringLiteral("【業種分類】")), profile.category);
        EXPECT_EQ(textAfter(QStringLiteral("【市場名】")),
                  CSimMarket::markets()[stock.market].name);
        EXPECT_EQ(textAfter(QStringLiteral("【特色】")), profile.feature);
        if (page.contains(QStringLiteral("事業】"))) {
            EXPECT_EQ(textAfter(QStringLiteral("事業】")), profile.business);
        } else {
            EXPECT_EQ(textAfter(QStringLiteral("【資金】")), profile.business);
            ++funds;
        }
    }
    EXPECT_GT(funds, 0);
}

} // namespace
