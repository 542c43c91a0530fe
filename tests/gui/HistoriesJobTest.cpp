// The histories of the whole fetch list from the 取得 menu: its sheet while
// it runs and after, a cancelled run resumed without asking again for what it
// had done, and the check item that has the daily fetch add to the histories.
#include "SimGuiTestBase.h"

#include "KDTFile.h"
#include "ProgramSettings.h"

#include <QMenu>
#include <QRegularExpression>

class HistoriesJobTest : public SimGuiTestBase {
protected:
    const JobSheet& historiesSheet() { return sheet(CMetalWindow::kHistoriesSheet); }
    int written() { return countText(historiesSheet()).toInt(); }
    int historyRequests(int code) const {
        return requests(QStringLiteral("GET /t?s=%1").arg(code).toLatin1());
    }
    QByteArray kd(int code) const {
        return ReadAppFile(m_folder.path(), QString::fromStdString(KDTFileName(code)));
    }
};

TEST_F(HistoriesJobTest, ACancelledRunResumesWithTheStocksItHadNotDone) {
    const QDate day = RecentTradingDay();
    const QVector<int> codes = CodesTradedOn({day}, 8);
    start(FetchListLines(codes), {"--date", day.toString(Qt::ISODate)});
    // The day's quotes tell the job the newest trading day.
    ASSERT_EQ(send("fech"), 0);
    ASSERT_TRUE(waitForFetchEnd());

    ASSERT_EQ(send("mkda"), 0);
    ASSERT_TRUE(historiesSheet().running);
    EXPECT_TRUE(IsWindowVisible(historiesSheet().window));
    EXPECT_EQ(GetControl32BitMaximum(historiesSheet().progressBar), 8);
    ASSERT_TRUE(waitUntil([this] { return written() >= 3; }, 60000));
    EXPECT_EQ(text(historiesSheet().currentText).substr(0, 4), std::to_string(codes[written()]));
    SaveScreenshot(mainWindow(), "UpdateHistoriesSheetRunning");
    ASSERT_EQ(send("fccn"), 0);
    EXPECT_FALSE(historiesSheet().running);
    EXPECT_EQ(text(historiesSheet().statusText), "cancelled");
    const int done = written();
    for (int i = 0; i < codes.size(); ++i)
        EXPECT_EQ(!kd(codes[i]).isNull(), i < done) << codes[i];

    const QByteArray before = kd(codes[0]);
    QVector<int> asked;
    for (int code : codes)
        asked.append(historyRequests(code));

    ASSERT_EQ(send("mkda"), 0);
    ASSERT_TRUE(waitForEnd(historiesSheet(), 60000));
    for (int i = 0; i < codes.size(); ++i)
        EXPECT_EQ(historyRequests(codes[i]) > asked[i], i >= done) << codes[i];
    EXPECT_EQ(written(), codes.size() - done);
    EXPECT_EQ(text(historiesSheet().errorText), std::to_string(done));
    EXPECT_EQ(text(historiesSheet().failedText), "0");
    EXPECT_EQ(kd(codes[0]), before);
    EXPECT_EQ(controller().jobOutcome().exitStatus(), kExitDone);
    EXPECT_TRUE(QString::fromStdString(text(historiesSheet().statusText))
                    .contains(QRegularExpression("^\\d written, \\d up to date$")));
    SaveScreenshot(mainWindow(), "UpdateHistoriesSheetAfterRun");
}

// The check item shows the saved setting and saves each change; the
// preferences record is not touched.
TEST_F(HistoriesJobTest, TheCheckItemIsKeptInTheProgramsSettings) {
    ASSERT_TRUE(WriteAppFile(m_config.path(), "vezizo.conf", "# mine\nupdate_histories=1\n"));
    start(stocks(0, 2));
    const uint32_t item = CommandFromText("kdup");
    EXPECT_TRUE(GetMenuCommandMark(mainWindow(), item));
    for (bool marked : {false, true, false}) {
        ASSERT_EQ(send("kdup"), 0);
        EXPECT_EQ(GetMenuCommandMark(mainWindow(), item), marked);
        EXPECT_EQ(g_settings->updateHistories, marked);
        const QByteArray conf = ReadAppFile(m_config.path(), "vezizo.conf");
        EXPECT_TRUE(conf.startsWith("# mine\n"));
        EXPECT_TRUE(conf.contains(marked ? "update_histories=1\n" : "update_histories=0\n"));
    }
    EXPECT_FALSE(QFile::exists(preferencesFile()));
    ASSERT_EQ(send("kdup"), 0);
    auto* menu = mainWindow()->findChild<QMenu*>("menuJob");
    ASSERT_NE(menu, nullptr);
    menu->adjustSize();
    SaveScreenshot(menu, "JobMenuWithTheHistoriesItems");
}
