// The historical series job ("mkdt") against the simulated quote service:
// pages, the count text, the early end of a short history, the refused
// entries, cancel, and the same-sheet guard.
#include "SimJobTestBase.h"

#include "ChartWindow.h"
#include "KDFile.h"
#include "KDTChart.h"
#include "KDTFile.h"
#include "misclib.h"

class KDTJobTest : public SimJobTestBase {
protected:
    // Starts the service with stock 7203's history cut to historyRows.
    void startService(int historyRows) {
        SimJobTestBase::startService(
            {7203}, {"--history-length", QStringLiteral("7203=%1").arg(historyRows)});
        m_market.setHistoryLength(7203, historyRows);
    }

    // "mkdt" answered with the two texts, as a user types them and clicks OK.
    void requestHistory(const char* code, const char* rows) {
        m_dialogsShown = 0;
        SetModalLoopHook([this, code, rows](WindowRef dialog) {
            ++m_dialogsShown;
            SetControlText(GetControlByID(dialog, FourCharCode("entc"), 21), code);
            SetControlText(GetControlByID(dialog, FourCharCode("entc"), 22), rows);
            send("ok  ");
        });
        EXPECT_EQ(send("mkdt"), 0);
        SetModalLoopHook({});
    }

    const JobSheet& kdtSheet() { return sheet(CMetalWindow::kKDTSheet); }
    QString kdtCount() { return countText(kdtSheet()); }
    bool kdtEnded() { return waitForEnd(kdtSheet(), 20000); }
    void expectFileHoldsNewest(int rows) {
        std::vector<KDT> written;
        ASSERT_EQ(ReadKDTFile(path("KD7203.KDT").toStdString(), written), kKDTFileRead);
        const std::vector<KDT> expected = ExpectedKDRecords(m_market, 7203, rows);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(written, expected);
    }

    CSimMarket m_market = TestSimMarket();
    int m_dialogsShown = 0;
};

// Rows asked for become whole pages of 50; the file may hold more rows than
// were asked for.
TEST_F(KDTJobTest, RowsGiveWholePages) {
    startService(400);
    for (const auto& [rows, pages] : {std::pair<const char*, int>{"200", 4}, {"120", 3}}) {
        requestHistory("7203", rows);
        EXPECT_TRUE(kdtSheet().running);
        EXPECT_EQ(controller().shownSheet(), CMetalWindow::kKDTSheet);
        EXPECT_TRUE(IsWindowVisible(kdtSheet().window));
        EXPECT_EQ(GetControl32BitMaximum(kdtSheet().progressBar), pages);
        EXPECT_FALSE(IsControlActive(controller().kdtChartButtonControl()));
        ASSERT_TRUE(kdtEnded());
        EXPECT_EQ(kdtCount(), QString::number(pages));
        EXPECT_EQ(GetControl32BitValue(kdtSheet().progressBar), 0);
        EXPECT_FALSE(controller().isIdling());
        expectFileHoldsNewest(pages * 50);
        // The sheet's chart button shows the file just written.
        ASSERT_TRUE(IsControlActive(controller().kdtChartButtonControl()));
        static_cast<QAbstractButton*>(controller().kdtChartButtonControl())->click();
        ASSERT_NE(controller().chart(), nullptr);
        EXPECT_EQ(GetChartData(controller().chart()->getChart())->nDays(),
                  int(ExpectedKDRecords(m_market, 7203, pages * 50).size()));
        send("fccn"); // lets the next request run
    }
    SaveScreenshot(mainWindow(), "MakeKDTSheetAfterRun");
}

// A history of 50 rows fills the first page; the second page holds no row,
// so the job ends there: the count jumps to 4, pages 3 and 4 are never asked
// for, and the file holds the first page's rows.
TEST_F(KDTJobTest, HistoryEndingOnTheSecondPageEndsTheJob) {
    startService(50);
    requestHistory("7203", "200");
    ASSERT_TRUE(waitUntil([this] { return kdtCount() != "0"; }, 20000));
    EXPECT_EQ(kdtCount(), "1");
    ASSERT_TRUE(kdtEnded());
    EXPECT_EQ(kdtCount(), "4");
    EXPECT_TRUE(QFile::exists(path("webtemp/kdttemp-001.html")));
    EXPECT_FALSE(QFile::exists(path("webtemp/kdttemp-002.html")));
    expectFileHoldsNewest(50);
}

TEST_F(KDTJobTest, RefusedEntriesStartNothing) {
    startService(400);
    const char* const entries[][2] = {
        {"7203", "0"},
        {"7203", "-50"},
        {"", "200"},
        {"x1", "200"},
        {"0", "200"},
        {"7203", "many"},
        // Twelve characters: never cut down to a code of eleven.
        {"720300000001", "200"},
    };
    for (const auto& entry : entries) {
        requestHistory(entry[0], entry[1]);
        EXPECT_EQ(m_dialogsShown, 1);
        EXPECT_FALSE(controller().anyJobRunning()) << entry[0] << " " << entry[1];
        EXPECT_EQ(controller().shownSheet(), CMetalWindow::kNoSheet);
        EXPECT_FALSE(IsWindowVisible(kdtSheet().window));
    }
    // Cancelling the entry starts nothing either.
    SetModalLoopHook([](WindowRef) { send("not!"); });
    send("mkdt");
    SetModalLoopHook({});
    EXPECT_FALSE(controller().anyJobRunning());
    EXPECT_FALSE(QFile::exists(path("webtemp/kdttemp-000.html")));
    EXPECT_TRUE(QDir(m_folder.path()).entryList({"KD*"}).isEmpty());
}

TEST_F(KDTJobTest, CancelWritesNoFile) {
    startService(400);
    requestHistory("7203", "200");
    ASSERT_TRUE(waitUntil([this] { return kdtCount() == "1"; }, 20000));
    EXPECT_EQ(send("fccn"), 0);
    EXPECT_FALSE(kdtSheet().running);
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kNoSheet);
    EXPECT_EQ(GetControl32BitValue(kdtSheet().progressBar), 0);
    // The page still on its way changes nothing.
    waitFor(300);
    EXPECT_EQ(kdtCount(), "1");
    EXPECT_FALSE(QFile::exists(path("KD7203.KDT")));
}

TEST_F(KDTJobTest, SecondRequestAfterAFinishedRunDoesNothing) {
    startService(400);
    requestHistory("7203", "50");
    ASSERT_TRUE(kdtEnded());
    EXPECT_EQ(kdtCount(), "1");
    ASSERT_TRUE(QFile::remove(path("KD7203.KDT")));

    requestHistory("7203", "50");
    EXPECT_EQ(m_dialogsShown, 0);
    EXPECT_FALSE(kdtSheet().running);

    // After "fccn" the command asks again.
    send("fccn");
    requestHistory("7203", "50");
    EXPECT_EQ(m_dialogsShown, 1);
    ASSERT_TRUE(kdtEnded());
    EXPECT_TRUE(QFile::exists(path("KD7203.KDT")));
}

// No rows on the first page (no history, or a failed download): the job ends
// at once and the stock's earlier file stays as it was.
TEST_F(KDTJobTest, EmptyFirstPageKeepsTheEarlierFile) {
    startService(0);
    const QByteArray earlier(26 * 3, '\x07');
    QFile file(path("KD7203.KDT"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(earlier);
    file.close();

    requestHistory("7203", "200");
    ASSERT_TRUE(kdtEnded());
    EXPECT_EQ(kdtCount(), "4");
    EXPECT_FALSE(IsControlActive(controller().kdtChartButtonControl()));
    EXPECT_FALSE(QFile::exists(path("webtemp/kdttemp-001.html")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), earlier);
}
