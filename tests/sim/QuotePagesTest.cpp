// A daily quote page of the simulated service, downloaded and parsed by the
// program's own page class, gives the service's quotes.
#include "AppFolder.h"

#include "Fetch/FetchData.h"
#include "Fetch/MarketConv.h"
#include "Fetch/QuoteServers.h"
#include "HTTPAccess.h"
#include "VezizoMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(QuotePages, ParsedRecordsMatchTheService) {
    QuoteSimProcess sim;
    ASSERT_TRUE(sim.isRunning());
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    // Stocks of the main market, one of the "O" market (asked for as
    // "6758.O"), one priced in tenths, one trading 2^31 shares or more, and
    // a code the service does not know.
    const CSimMarket& market = TestMarket();
    QList<const SimStock*> listed;
    for (int i = 0; i < 5; ++i)
        listed.append(&market.stocks().at(i));
    for (const SimStock& stock : market.stocks())
        if (stock.fractional) {
            listed.append(&stock);
            break;
        }
    listed.append(market.findStock(6758));
    listed.append(market.findStock(9984));
    QByteArray list;
    for (const SimStock* stock : listed)
        list += CSimMarket::fetchListLine(*stock);
    list += "1000,1000,T,UNKNOWN\n";
    ASSERT_TRUE(LayOutAppFolder(folder.path(), sim, list));

    g_startupPath = folder.path().toStdString();
    CMarketConv markets;
    g_marketConv = &markets;
    ASSERT_EQ(markets.LoadMarketCsv(folder.filePath("market.csv").toLocal8Bit().constData()), 1);
    LoadQuoteServers(g_startupPath);
    CFetchData fetchData;
    ASSERT_EQ(fetchData.LoadFetchData(g_startupPath), 0);
    CPageData* page = fetchData.getPage(0);
    EXPECT_NE(std::string(page->getURL()).find("+6758.O+9984+1000&d=v2"), std::string::npos)
        << page->getURL();

    const std::string file = folder.filePath("page.html").toStdString();
    CHTTPAccess http(false, "", 0);
    http.OpenURLComplete(page->getURL(), file);
    CPageData::ExtractData(file.c_str(), page);
    g_marketConv = nullptr;

    EXPECT_EQ(page->nCodes(), int(listed.size()) + 1);
    EXPECT_EQ(page->nExtracted(), int(listed.size()));
    for (int slot = 0; slot < listed.size(); ++slot) {
        const SimStock& stock = *listed[slot];
        const SimDay day = market.today(stock);
        const CTesselRec& record = *page->getTesselRec(slot);
        EXPECT_EQ(record.code, stock.code);
        EXPECT_TRUE(record.valid) << stock.code;
        EXPECT_EQ(record.open, double(day.open) / 10) << stock.code;
        EXPECT_EQ(record.high, double(day.high) / 10) << stock.code;
        EXPECT_EQ(record.low, double(day.low) / 10) << stock.code;
        EXPECT_EQ(record.close, double(day.close) / 10) << stock.code;
        EXPECT_EQ(record.volume, double(day.volume)) << stock.code;
        EXPECT_EQ(record.month, market.tradingDate().month());
        EXPECT_EQ(record.day, market.tradingDate().day());
    }
    EXPECT_GE(page->getTesselRec(listed.size() - 1)->volume, 2147483648.0);
    EXPECT_FALSE(page->getTesselRec(listed.size())->valid);
    QFile log(folder.filePath("ERRORLOG.TXT"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), "page=0 code=1000 name=UNKNOWN\n");
}
