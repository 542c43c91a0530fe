// The program's quote-page reader on the service's own pages: a fetch list
// made by the service, each page's URL fetched, saved and extracted, and the
// records compared with the market for the same seed and date.
#include "FetchData.h"
#include "MarketConv.h"
#include "PageData.h"
#include "QuoteServers.h"
#include "QuoteSimProcess.h"
#include "SimClient.h"
#include "SimMarket.h"
#include "VezizoMain.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

TEST(SimQuoteParserTest, ExtractedRecordsMatchTheMarket) {
    QuoteSimProcess sim;
    ASSERT_TRUE(sim.isRunning());
    const CSimMarket market(20061225, QDate(2006, 12, 25));
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    // 120 stocks, then 6758 (quoted as 6758.O), 9984 (a volume beyond 2^31) and a
    // code the market does not know.
    QByteArray fetchList = market.fetchList(120);
    for (int code : {6758, 9984}) {
        const SimStock* stock = market.findStock(code);
        fetchList += QStringLiteral("%1,%1,%2,x\n")
                         .arg(code)
                         .arg(CSimMarket::markets()[stock->market].fetchCode)
                         .toLatin1();
    }
    fetchList += "1000,1000,T,unknown\n";
    ASSERT_TRUE(writeFile(folder.filePath("fetchlist.csv"), fetchList));
    QFile::copy(QStringLiteral(VEZIZO_SOURCE_DIR "/Resources/market.csv"),
                folder.filePath("market.csv"));

    g_startupPath = folder.path().toStdString();
    CMarketConv markets;
    ASSERT_EQ(markets.LoadMarketCsv(folder.filePath("market.csv").toLocal8Bit().constData()), 1);
    g_marketConv = &markets;
    LoadQuoteServers(g_startupPath);
    CFetchData list;
    ASSERT_EQ(list.LoadFetchData(g_startupPath), 0);
    ASSERT_EQ(list.nPages(), 3);

    int extracted = 0;
    for (int p = 0; p < list.nPages(); ++p) {
        CPageData* page = list.getPage(p);
        const QByteArray url = list.getURL(p);
        const RawReply reply = rawGet(sim.port(), url.mid(url.indexOf("/q?")));
        ASSERT_EQ(reply.status, 200);
        const QString file = folder.filePath(QString::fromLatin1(page->getWebTemp()));
        ASSERT_TRUE(writeFile(file, reply.body));
        CPageData::ExtractData(file.toLocal8Bit().constData(), page);
        extracted += page->nExtracted();

        for (int slot = 0; slot < page->nCodes(); ++slot) {
            const CTesselRec* record = page->getTesselRec(slot);
            const SimStock* stock = market.findStock(record->code);
            if (!stock) {
                EXPECT_EQ(record->valid, 0);
                EXPECT_EQ(record->close, 0.0);
                continue;
            }
            const SimDay day = market.today(*stock);
            EXPECT_EQ(record->valid, 1) << record->code;
            EXPECT_EQ(record->month, 12);
            EXPECT_EQ(record->day, 25);
            EXPECT_EQ(record->close, yen(day.close)) << record->code;
            EXPECT_EQ(record->open, yen(day.open));
            EXPECT_EQ(record->high, yen(day.high));
            EXPECT_EQ(record->low, yen(day.low));
            EXPECT_EQ(record->volume, double(day.volume)) << record->code;
        }
    }
    EXPECT_EQ(extracted, 122);
    QFile log(folder.filePath("ERRORLOG.TXT"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), "page=2 code=1000 name=unknown\n");
    g_marketConv = nullptr;
}

} // namespace
