// The finance job ("fina") against the simulated service: the finance view
// of every page, the count, and the FN file written only at the end.
#include "SimJobTestBase.h"

#include <QDir>
#include <QFileInfo>

class FinanceJobTest : public SimJobTestBase {
protected:
    // Page 0: 40 stocks the service knows and 10 it does not; page 1: 7 more.
    QVector<int> fortyAndSeven() const {
        return KnownCodes(40) + UnknownCodes(10) + KnownCodes(7, 40);
    }
    const JobSheet& financeSheet() { return sheet(CMetalWindow::kFinanceSheet); }
};

TEST_F(FinanceJobTest, TwoPagesYieldingFortyAndSeven) {
    const QVector<int> codes = fortyAndSeven();
    startService(codes);
    ASSERT_EQ(g_fetchData->nPages(), 2);
    EXPECT_EQ(send("fina"), 0);
    ASSERT_TRUE(financeSheet().running);
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kFinanceSheet);
    EXPECT_EQ(GetControl32BitMaximum(financeSheet().progressBar), 2);
    ASSERT_TRUE(waitForEnd(financeSheet()));
    EXPECT_EQ(countText(financeSheet()), "47");
    EXPECT_EQ(GetControl32BitValue(financeSheet().progressBar), 0);
    EXPECT_EQ(requests("d=v3"), 2);

    int count = -1;
    const QString file = FinanceFileIn(m_folder.path());
    ASSERT_FALSE(file.isEmpty());
    // The records keep the market the fetch list gave them.
    EXPECT_EQ(FinanceFileRecords(file, nullptr, &count), ExpectedFinanceRecords(codes));
    EXPECT_EQ(count, 47);
    // The finance pages took the place of the quote pages.
    QFile page(path("webtemp/webtemp-000.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().contains("<table class=\"finance\">"));
    SaveScreenshot(mainWindow(), "FinanceSheetAfterRun");

    // The same command while its sheet is shown does nothing.
    EXPECT_EQ(send("fina"), 0);
    EXPECT_FALSE(financeSheet().running);
    EXPECT_EQ(requests("d=v3"), 2);
}

// The first page fails on each of its three tries: its stocks are missing,
// the file holds the second page's.
TEST_F(FinanceJobTest, AFailedPageAddsNothing) {
    const QVector<int> codes = fortyAndSeven();
    startService(codes, {"--fault", QStringLiteral("status:500@/q?s=%1").arg(codes[0])});
    send("fina");
    ASSERT_TRUE(waitForEnd(financeSheet()));
    EXPECT_EQ(countText(financeSheet()), "7");
    EXPECT_EQ(requests("d=v3"), 2 + 2);
    int count = -1;
    EXPECT_EQ(FinanceFileRecords(FinanceFileIn(m_folder.path()), nullptr, &count).size(), 7);
    EXPECT_EQ(count, 7);
    EXPECT_EQ(QString::fromStdString(controller().jobOutcome().message()),
              QFileInfo(FinanceFileIn(m_folder.path())).fileName() +
                  ": 7 stocks, 50 missing; 50 stocks missing because page 1 of 2 failed (HTTP "
                  "500)");
}

TEST_F(FinanceJobTest, CancelWritesNoFile) {
    // The second page never comes.
    startService(fortyAndSeven(), {"--fault", "silence@/q#2"});
    send("fina");
    ASSERT_TRUE(waitUntil([&] { return countText(financeSheet()) == "40"; }, 10000));
    EXPECT_EQ(GetControl32BitValue(financeSheet().progressBar), 1);
    EXPECT_EQ(send("fccn"), 0);
    EXPECT_FALSE(financeSheet().running);
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kNoSheet);
    EXPECT_TRUE(FinanceFileIn(m_folder.path()).isEmpty());
    EXPECT_TRUE(IsWindowVisible(financeSheet().window));
}
