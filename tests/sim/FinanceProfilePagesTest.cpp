// The service's finance view and profile pages, downloaded over HTTP and
// taken apart by the program's page readers, against the market they show.
#include "Fetch/FetchData.h"
#include "Fetch/MarketConv.h"
#include "Fetch/QuoteServers.h"
#include "Fetch/TorlindUtil.h"
#include "HTTPAccess.h"
#include "SimAppFolder.h"
#include "SimEncoding.h"
#include "VezizoMain.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

class FinanceProfilePagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_sim.isRunning());
        ASSERT_TRUE(m_folder.isValid());
        ASSERT_TRUE(WriteServersConf(m_folder.path(), m_sim));
        LoadQuoteServers(m_folder.path().toStdString());
        g_marketConv = new CMarketConv;
        ASSERT_GT(g_marketConv->LoadMarketCsv(VEZIZO_SOURCE_DIR "/Resources/market.csv"), 0);
    }
    void TearDown() override {
        delete g_marketConv;
        g_marketConv = nullptr;
    }
    std::string download(const std::string& url, const char* name) {
        const std::string file = m_folder.filePath(name).toStdString();
        m_http.OpenURLComplete(url, file);
        return file;
    }

    QuoteSimProcess m_sim;
    QTemporaryDir m_folder;
    CHTTPAccess m_http{false, "", 0};
};

TEST_F(FinanceProfilePagesTest, FinanceValuesGoToTheirRecords) {
    const QVector<int> codes = KnownCodes(40, 200) + UnknownCodes(10);
    ASSERT_TRUE(WriteFetchList(m_folder.path(), FetchListLines(codes)));
    CFetchData fetchData;
    ASSERT_EQ(fetchData.LoadFetchData(m_folder.path().toStdString()), 0);
    CPageData* page = fetchData.getPage(0);
    ASSERT_NE(page, nullptr);

    const std::string file = download(fetchData.getFinanceURL(0), "finance.html");
    EXPECT_EQ(CTorlindUtil::ExtractFinance(file.c_str(), page), 40);
    for (int slot = 0; slot < page->nCodes(); ++slot) {
        const CTesselRec& record = *page->getTesselRec(slot);
        const SimStock* stock = TestSimMarket().findStock(record.code);
        const std::array<double, 5> expected =
            stock ? stock->finance.values() : std::array<double, 5>{};
        for (int v = 0; v < 5; ++v)
            EXPECT_DOUBLE_EQ(record.finance[v], expected[v]) << record.code << " value " << v;
        if (stock)
            EXPECT_EQ(record.market, stock->market) << record.code;
    }
}

TEST_F(FinanceProfilePagesTest, ProfileTextsAndTheirNumbers) {
    for (int code : KnownCodes(30, 300)) {
        const std::string file = download(
            ProfileHost() + QString::asprintf("/biz/fundamental/%04d.html", code).toStdString(),
            "profile.html");
        FUNDAMENTAL record;
        ASSERT_EQ(CTorlindUtil::ExtractFundamental(file.c_str(), &record), 0);
        const SimStock& stock = *TestSimMarket().findStock(code);
        const SimProfile profile = TestSimMarket().profile(stock);
        EXPECT_EQ(QByteArray(record.category), toShiftJis(profile.category).left(62)) << code;
        EXPECT_EQ(QByteArray(record.market), toShiftJis(profile.market).left(62)) << code;
        EXPECT_EQ(QByteArray(record.feature), toShiftJis(profile.feature).left(254)) << code;
        EXPECT_EQ(QByteArray(record.business), toShiftJis(profile.business).left(254)) << code;
        EXPECT_EQ(CTorlindUtil::CategoryCode(record.category), stock.category) << code;
        EXPECT_EQ(CTorlindUtil::MarketCode(record.market),
                  CSimMarket::markets().value(stock.market).dsCode)
            << code;
    }
    // An unknown code gets the service's error page: an empty record.
    const std::string missing = download(
        ProfileHost() +
            QString::asprintf("/biz/fundamental/%04d.html", UnknownCodes(1)[0]).toStdString(),
        "missing.html");
    FUNDAMENTAL record;
    EXPECT_EQ(CTorlindUtil::ExtractFundamental(missing.c_str(), &record), 0);
    EXPECT_EQ(record.category[0], '\0');
    EXPECT_EQ(record.feature[0], '\0');
}
