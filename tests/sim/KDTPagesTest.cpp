// The series page reader on the history pages quote-sim serves, fetched with
// the program's own page URLs and downloader, against the market's data.
#include "Fetch/MakeKDT.h"
#include "Fetch/QuoteServers.h"
#include "HTTPAccess.h"
#include "KDFile.h"
#include "QuoteSimProcess.h"
#include "SimMarket.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

static KDRecord RecordOfSlot(const KDT& row) {
    KDRecord record;
    record.year = row.year;
    record.month = row.month;
    record.day = row.day;
    record.open = row.open;
    record.high = row.high;
    record.low = row.low;
    record.close = row.close;
    record.volume = uint32_t(row.volume);
    return record;
}

// A history of 400 rows read 450 rows deep: eight full pages, then one past
// the end. Days without trading ("-" prices) are left out of their page.
TEST(KDTPages, PagesHoldTheTradedDaysNewestFirst) {
    constexpr int kHistory = 400;
    QuoteSimProcess sim({"--history-length", QStringLiteral("7203=%1").arg(kHistory)});
    ASSERT_TRUE(sim.isRunning());
    QTemporaryDir folder;
    ASSERT_TRUE(sim.writeServersConf(folder.path()));
    LoadQuoteServers(folder.path().toStdString());
    CSimMarket market = TestMarket();
    market.setHistoryLength(7203, kHistory);
    const SimStock* stock = market.findStock(7203);
    ASSERT_NE(stock, nullptr);

    CMakeKDT run("7203", 7203, 450);
    ASSERT_EQ(run.nPages(), 9);
    CHTTPAccess http(false, "", 0);
    int untraded = 0;
    for (int32_t i = 0; i < run.nPages(); ++i) {
        const std::string file = folder.filePath(run.getWebTemp(i)).toStdString();
        http.OpenURLComplete(run.getURL(i), file);
        CKDTPageData* page = run.getPage(i);
        const int32_t result = CKDTPageData::ExtractKDTData(file.c_str(), page);

        QVector<KDRecord> expected;
        for (const SimDay& day : market.history(*stock, i * 50, 50)) {
            if (day.traded)
                expected.append(RecordOfDay(day));
            else
                ++untraded;
        }
        EXPECT_EQ(result, expected.isEmpty() ? -1 : 0) << "page " << i;
        ASSERT_EQ(page->nRows(), expected.size()) << "page " << i;
        for (int32_t slot = 0; slot < page->nRows(); ++slot)
            EXPECT_EQ(RecordOfSlot(page->getRow(slot)), expected[slot])
                << "page " << i << " slot " << slot;
    }
    // The seed's history has days without trading, so the rejection was met.
    EXPECT_GT(untraded, 0);
    LoadQuoteServers(folder.path().toStdString() + "/none");
}
