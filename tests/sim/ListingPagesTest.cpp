// The program's listing reader on the simulated service's 80 listing pages,
// downloaded over HTTP, against the listing the service plays.
#include "Fetch/ListPageData.h"
#include "HTTPAccess.h"
#include "QuoteSimProcess.h"
#include "SimAppFolder.h"
#include "SimListing.h"
#include "SimMarket.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

TEST(ListingPages, ReaderTakesEveryRowOfTheService) {
    QuoteSimProcess sim;
    ASSERT_TRUE(sim.isRunning());
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const CSimMarket& market = TestSimMarket();
    const QVector<SimListingRow>& rows = market.listing();
    ASSERT_GT(rows.size(), 1000);

    CHTTPAccess http(false, "", 0);
    int rowsRead = 0;
    for (int32_t p = 0; p < 80; ++p) {
        CListPageData page(p);
        const std::string path = folder.filePath(page.getWebTemp()).toStdString();
        // The page's own URL names the configured host; the path and query are
        // what the service answers.
        const char* query = std::strstr(page.getURL(), "/l?");
        ASSERT_NE(query, nullptr);
        http.OpenURLComplete(sim.url(QString::fromLatin1(query)).toStdString(), path);
        ASSERT_EQ(CListPageData::ExtractListData(path.c_str(), &page), 0) << "page " << p;

        const int first = p * 50;
        const int expected = std::max(0, std::min(50, int(rows.size()) - first));
        ASSERT_EQ(page.nRows(), expected) << "page " << p;
        for (int32_t slot = 0; slot < 50; ++slot) {
            const LDT* ldt = page.getLDT(slot);
            if (slot >= expected) {
                EXPECT_EQ(ldt->code, 0);
                continue;
            }
            const SimListingRow& row = rows[first + slot];
            const SimStock* stock = market.findQuote(row.codeText);
            ASSERT_NE(stock, nullptr) << row.codeText.toStdString();
            EXPECT_EQ(ldt->code, stock->code);
            EXPECT_EQ(QString::fromLatin1(ldt->codeText), row.codeText);
            EXPECT_EQ(QByteArray(ldt->name), ListedName(row.name)) << row.codeText.toStdString();
            EXPECT_EQ(ldt->market, 99);
            ++rowsRead;
        }
    }
    EXPECT_EQ(rowsRead, rows.size());
}
