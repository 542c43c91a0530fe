// The program's page readers on the service's own pages: each page fetched,
// saved and extracted, and the records compared with the market for the same
// seed and date.
#include "FetchData.h"
#include "ListPageData.h"
#include "MakeKDT.h"
#include "MarketConv.h"
#include "PageData.h"
#include "QuoteServers.h"
#include "QuoteSimProcess.h"
#include "SimClient.h"
#include "SimEncoding.h"
#include "SimMarket.h"
#include "TorlindUtil.h"
#include "VezizoMain.h"
#include "misclib.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SimReadersTest : public ::testing::Test {
protected:
    SimReadersTest() : market(20061225, QDate(2006, 12, 25)) {}

    void SetUp() override {
        ASSERT_TRUE(sim.isRunning());
        ASSERT_TRUE(folder.isValid());
        QFile::copy(QStringLiteral(VEZIZO_SOURCE_DIR "/Resources/market.csv"),
                    folder.filePath("market.csv"));
        servicePort = sim.port();
        g_startupPath = folder.path().toStdString();
        ASSERT_EQ(markets.LoadMarketCsv(folder.filePath("market.csv").toLocal8Bit().constData()),
                  1);
        g_marketConv = &markets;
        LoadQuoteServers(g_startupPath);
    }
    void TearDown() override { g_marketConv = nullptr; }

    // Fetches the path and query of url from the service on servicePort into the folder.
    std::string fetch(const QByteArray& url, const char* fileName) {
        const qsizetype host = url.indexOf("//");
        const RawReply reply = rawGet(servicePort, url.mid(url.indexOf('/', host + 2)));
        EXPECT_EQ(reply.status, 200) << url.constData();
        QFile file(folder.filePath(QString::fromLatin1(fileName)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reply.body);
        return file.fileName().toStdString();
    }

    QuoteSimProcess sim;
    quint16 servicePort = 0;
    CSimMarket market;
    QTemporaryDir folder;
    CMarketConv markets;
};

TEST_F(SimReadersTest, QuoteAndFinancePagesGiveTheMarketsValues) {
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
    QFile listFile(folder.filePath("fetchlist.csv"));
    ASSERT_TRUE(listFile.open(QIODevice::WriteOnly));
    listFile.write(fetchList);
    listFile.close();
    CFetchData list;
    ASSERT_EQ(list.LoadFetchData(g_startupPath), 0);
    ASSERT_EQ(list.nPages(), 3);

    int extracted = 0;
    int withFinance = 0;
    for (int p = 0; p < list.nPages(); ++p) {
        CPageData* page = list.getPage(p);
        CPageData::ExtractData(fetch(list.getURL(p), page->getWebTemp()).c_str(), page);
        extracted += page->nExtracted();
        withFinance += CTorlindUtil::ExtractFinance(
            fetch(list.getFinanceURL(p), page->getWebTemp()).c_str(), page);

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
            const std::array<double, 5> values = stock->finance.values();
            for (int i = 0; i < 5; ++i)
                EXPECT_EQ(record->finance[i], values[size_t(i)]) << record->code << " " << i;
        }
    }
    EXPECT_EQ(extracted, 122);
    EXPECT_EQ(withFinance, 122);
    QFile log(folder.filePath("ERRORLOG.TXT"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), "page=2 code=1000 name=unknown\n");
}

TEST_F(SimReadersTest, HistoryPagesGiveTheTradedDays) {
    // 120 rows: the third page ends the history early.
    QuoteSimProcess shortHistory({"--history-length", "7203=120"});
    ASSERT_TRUE(shortHistory.isRunning());
    servicePort = shortHistory.port();
    CSimMarket expected(20061225, QDate(2006, 12, 25));
    expected.setHistoryLength(7203, 120);
    const SimStock& stock = *expected.findStock(7203);

    CMakeKDT run("7203", 7203, 200);
    ASSERT_EQ(run.nPages(), 4);
    int untraded = 0;
    for (int p = 0; p < run.nPages(); ++p) {
        CKDTPageData* page = run.getPage(p);
        const int result =
            CKDTPageData::ExtractKDTData(fetch(run.getURL(p), run.getWebTemp(p)).c_str(), page);
        QVector<SimDay> traded;
        for (const SimDay& day : expected.history(stock, p * 50, 50)) {
            if (day.traded)
                traded.append(day);
            else
                ++untraded;
        }
        EXPECT_EQ(result, traded.isEmpty() ? -1 : 0) << p;
        ASSERT_EQ(page->nRows(), traded.size()) << p;
        for (int i = 0; i < page->nRows(); ++i) {
            const KDT& row = page->getRow(i);
            const SimDay& day = traded[i];
            EXPECT_EQ(QDate(row.year, row.month, row.day), day.date);
            EXPECT_EQ(row.open, day.open / 10);
            EXPECT_EQ(row.high, day.high / 10);
            EXPECT_EQ(row.low, day.low / 10);
            EXPECT_EQ(row.close, day.close / 10);
            EXPECT_EQ(row.volume, day.volume);
        }
    }
    // A day without trading shows "-" prices; the reader leaves it out.
    EXPECT_GT(untraded, 0);
}

TEST_F(SimReadersTest, ProfilePagesGiveTheFourTexts) {
    for (const SimStock& stock : market.stocks().mid(0, 60)) {
        const QByteArray url = QStringLiteral("http://%1/biz/fundamental/%2.html")
                                   .arg(QString::fromStdString(ProfileHost()))
                                   .arg(stock.code)
                                   .toLatin1();
        FUNDAMENTAL record;
        ASSERT_EQ(CTorlindUtil::ExtractFundamental(fetch(url, "fundamental.html").c_str(), &record),
                  0);
        const SimProfile profile = market.profile(stock);
        EXPECT_EQ(QByteArray(record.category), toShiftJis(profile.category).left(62));
        EXPECT_EQ(QByteArray(record.market), toShiftJis(profile.market));
        EXPECT_EQ(QByteArray(record.feature), toShiftJis(profile.feature).left(254));
        EXPECT_EQ(QByteArray(record.business), toShiftJis(profile.business).left(254));
        EXPECT_EQ(CTorlindUtil::CategoryCode(record.category), stock.category);
        EXPECT_EQ(CTorlindUtil::MarketCode(record.market),
                  CSimMarket::markets()[stock.market].dsCode);
    }
}

TEST_F(SimReadersTest, ListingPagesGiveEveryRow) {
    const QVector<SimListingRow>& listing = market.listing();
    int row = 0;
    for (int p = 0; p < 80; ++p) {
        CListPageData page(p);
        EXPECT_EQ(
            CListPageData::ExtractListData(fetch(page.getURL(), page.getWebTemp()).c_str(), &page),
            0)
            << p;
        ASSERT_EQ(page.nRows(), std::clamp(int(listing.size()) - p * 50, 0, 50)) << p;
        for (int slot = 0; slot < page.nRows(); ++slot, ++row) {
            const LDT* ldt = page.getLDT(slot);
            const SimListingRow& expected = listing[row];
            EXPECT_EQ(QString::fromLatin1(ldt->codeText), expected.codeText);
            const SimStock* stock = market.findQuote(expected.codeText);
            ASSERT_TRUE(stock) << expected.codeText.toStdString();
            EXPECT_EQ(ldt->code, stock->code);
            // The reader drops "(株)" and cuts long names at 30 bytes.
            QByteArray name = toShiftJis(stock->name);
            CutWText(name.data(), 30);
            EXPECT_EQ(QByteArray(ldt->name), QByteArray(name.constData()));
        }
    }
    EXPECT_EQ(row, listing.size());
}

} // namespace
