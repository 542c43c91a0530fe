// The historical series job ("mkdt") against the simulated quote service:
// pages, the count text, the early end of a short history, the refused
// entries, cancel, and the same-sheet guard.
#include "GuiTestBase.h"

#include "Fetch/QuoteServers.h"
#include "KDFile.h"
#include "QuoteSimProcess.h"
#include "SimAppFolder.h"
#include "SimMarket.h"
#include "VezizoMain.h"
#include "misclib.h"

#include <memory>

class KDTJobTest : public GuiTestBase {
protected:
    // Starts the service with stock 7203's history cut to historyRows and
    // points the program at it.
    void startService(int historyRows) {
        m_sim = std::make_unique<QuoteSimProcess>(
            QStringList{"--history-length", QStringLiteral("7203=%1").arg(historyRows)});
        ASSERT_TRUE(m_sim->isRunning());
        ASSERT_TRUE(WriteServersConf(m_folder.path(), *m_sim));
        LoadQuoteServers(g_startupPath);
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

    const JobSheet& sheet() { return *controller().jobSheet(CMetalWindow::kKDTSheet); }
    QString countText() {
        char text[16] = "";
        GetControlText(sheet().countText, text, sizeof text);
        return QString::fromLatin1(text);
    }
    bool waitForEnd() {
        return waitUntil([this] { return !sheet().running; }, 20000);
    }
    void expectFileHoldsNewest(int rows) {
        bool ok = false;
        const QVector<KDRecord> written = ReadKDFile(path("KD7203.KDT"), &ok);
        ASSERT_TRUE(ok);
        const QVector<KDRecord> expected = ExpectedKDRecords(m_market, 7203, rows);
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_EQ(written.size(), expected.size());
        EXPECT_TRUE(written == expected);
    }

    CSimMarket m_market = TestSimMarket();
    std::unique_ptr<QuoteSimProcess> m_sim;
    int m_dialogsShown = 0;
};

TEST_F(KDTJobTest, TwoHundredRowsAreFourPages) {
    startService(400);
    requestHistory("7203", "200");
    EXPECT_TRUE(sheet().running);
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kKDTSheet);
    EXPECT_TRUE(IsWindowVisible(sheet().window));
    EXPECT_EQ(GetControl32BitMaximum(sheet().progressBar), 4);
    ASSERT_TRUE(waitForEnd());

    EXPECT_EQ(countText(), "4");
    EXPECT_EQ(GetControl32BitValue(sheet().progressBar), 0);
    EXPECT_FALSE(controller().isIdling());
    EXPECT_TRUE(IsWindowVisible(sheet().window));
    expectFileHoldsNewest(200);
}

TEST_F(KDTJobTest, HundredTwentyRowsAreThreeFullPages) {
    startService(400);
    requestHistory("7203", "120");
    EXPECT_EQ(GetControl32BitMaximum(sheet().progressBar), 3);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(countText(), "3");
    // Whole pages are kept: the file may hold more rows than were asked for.
    expectFileHoldsNewest(150);
    SaveScreenshot(mainWindow(), "MakeKDTSheetAfterRun");
}

// A history of 50 rows fills the first page; the second page holds no row,
// so the job ends there: the count jumps to 4, pages 3 and 4 are never asked
// for, and the file holds the first page's rows.
TEST_F(KDTJobTest, HistoryEndingOnTheSecondPageEndsTheJob) {
    startService(50);
    requestHistory("7203", "200");
    ASSERT_TRUE(waitUntil([this] { return countText() != "0"; }, 20000));
    EXPECT_EQ(countText(), "1");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(countText(), "4");
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
        EXPECT_FALSE(IsWindowVisible(sheet().window));
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
    ASSERT_TRUE(waitUntil([this] { return countText() == "1"; }, 20000));
    EXPECT_EQ(send("fccn"), 0);
    EXPECT_FALSE(sheet().running);
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kNoSheet);
    EXPECT_EQ(GetControl32BitValue(sheet().progressBar), 0);
    // The page still on its way changes nothing.
    waitFor(300);
    EXPECT_EQ(countText(), "1");
    EXPECT_FALSE(QFile::exists(path("KD7203.KDT")));
}

TEST_F(KDTJobTest, SecondRequestAfterAFinishedRunDoesNothing) {
    startService(400);
    requestHistory("7203", "50");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(countText(), "1");
    ASSERT_TRUE(QFile::remove(path("KD7203.KDT")));

    requestHistory("7203", "50");
    EXPECT_EQ(m_dialogsShown, 0);
    EXPECT_FALSE(sheet().running);

    // After "fccn" the command asks again.
    send("fccn");
    requestHistory("7203", "50");
    EXPECT_EQ(m_dialogsShown, 1);
    ASSERT_TRUE(waitForEnd());
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
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(countText(), "4");
    EXPECT_FALSE(QFile::exists(path("webtemp/kdttemp-001.html")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), earlier);
}
