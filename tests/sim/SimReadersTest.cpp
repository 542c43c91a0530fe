// The program's page readers on the service's own pages: each page downloaded
// as the jobs download it, read, and the records compared with the market the
// service plays for the same seed and date.
#include "AppTestBase.h"
#include "FetchData.h"
#include "HTTPAccess.h"
#include "ListPageData.h"
#include "MarketConv.h"
#include "PageData.h"
#include "ProgramSettings.h"
#include "QuoteServers.h"
#include "SimEncoding.h"
#include "TorlindUtil.h"
#include "VezizoMain.h"
#include "misclib.h"

using SimReaders = AppTestBase;

TEST_F(SimReaders, EveryKindOfPageGivesTheMarketsValues) {
    const CSimMarket& market = TestSimMarket();
    serve({});
    // 120 stocks, then 6758, 9984 (a volume beyond 2^31) and a code the
    // market does not know.
    ASSERT_TRUE(layOut(FetchListLines(KnownCodes(120) + QVector<int>{6758, 9984, 1000})));
    g_startupPath = m_folder.path().toStdString();
    CMarketConv markets;
    ASSERT_EQ(markets.LoadMarketCsv((g_startupPath + "/market.csv").c_str()), 1);
    g_marketConv = &markets;
    LoadQuoteServers(g_startupPath);
    CHTTPAccess http(false, "", 0);
    http.setInterval(CProgramSettings::kMinimumIntervalMs);
    // Downloads url into the folder's page.html and returns its path.
    const std::string path = g_startupPath + "/page.html";
    const auto fetch = [&](const std::string& url) {
        EXPECT_TRUE(http.OpenURLComplete(url, path).done()) << url;
        return path.c_str();
    };

    CFetchData fetchData;
    ASSERT_EQ(fetchData.LoadFetchData(g_startupPath), 0);
    ASSERT_EQ(fetchData.nPages(), 3);
    int nExtracted = 0, nWithFinance = 0;
    for (int p = 0; p < fetchData.nPages(); ++p) {
        CPageData* page = fetchData.getPage(p);
        CPageData::ExtractData(fetch(fetchData.getURL(p)), page);
        nExtracted += page->nExtracted();
        nWithFinance += CTorlindUtil::ExtractFinance(fetch(fetchData.getFinanceURL(p)), page);
        for (int slot = 0; slot < page->nCodes(); ++slot) {
            const CTesselRec& record = *page->getTesselRec(slot);
            SCOPED_TRACE(record.code);
            // The prices are the daily file's, which the process tests compare.
            const SimStock* stock = market.findStock(record.code);
            EXPECT_EQ(record.valid, stock ? 1 : 0);
            EXPECT_TRUE(stock || record.close == 0.0);
            const auto values = stock ? stock->finance.values() : std::array<double, 5>{};
            EXPECT_TRUE(std::equal(values.begin(), values.end(), record.finance));
        }
    }
    EXPECT_EQ(std::pair(nExtracted, nWithFinance), std::pair(122, 122));
    EXPECT_EQ(bytes("ERRORLOG.TXT"), "page=2 code=1000 name=UNKNOWN1000\n");

    // Profile pages: the four texts.
    for (const SimStock& stock : market.stocks().mid(0, 60)) {
        SCOPED_TRACE(stock.code);
        const std::string url =
            "http://" + ProfileHost() + "/biz/fundamental/" + std::to_string(stock.code) + ".html";
        FUNDAMENTAL record;
        ASSERT_EQ(CTorlindUtil::ExtractFundamental(fetch(url), &record), 0);
        const SimProfile p = market.profile(stock);
        EXPECT_EQ(
            QByteArrayList({record.category, record.market, record.feature, record.business}),
            QByteArrayList({toShiftJis(p.category).left(62), toShiftJis(p.market),
                            toShiftJis(p.feature).left(254), toShiftJis(p.business).left(254)}));
        EXPECT_EQ(CTorlindUtil::CategoryCode(record.category), stock.category);
    }

    // Listing pages: every row.
    const QVector<SimListingRow>& listing = market.listing();
    int row = 0;
    for (int p = 0; p < 80; ++p) {
        SCOPED_TRACE(p);
        CListPageData page(p);
        EXPECT_EQ(CListPageData::ExtractListData(fetch(page.getURL()), &page), 0);
        ASSERT_EQ(page.nRows(), std::clamp(int(listing.size()) - p * 50, 0, 50));
        for (int slot = 0; slot < page.nRows(); ++slot, ++row) {
            const LDT& ldt = *page.getLDT(slot);
            const SimStock* stock = market.findQuote(listing[row].codeText);
            ASSERT_TRUE(stock) << listing[row].codeText.toStdString();
            EXPECT_EQ(QString::fromLatin1(ldt.codeText), listing[row].codeText);
            EXPECT_EQ(ldt.code, stock->code);
            // The reader drops "(株)" and cuts long names at 30 bytes.
            QByteArray name = toShiftJis(stock->name);
            EXPECT_EQ(QByteArray(ldt.name), name.left(CutWText(name.data(), 30)));
        }
    }
    EXPECT_EQ(row, listing.size());
    g_marketConv = nullptr;
}
