// The histories of the whole fetch list from the 取得 menu: its sheet while
// it runs and after, a cancelled run resumed without asking again for what it
// had done, and the check item that has the daily fetch add to the histories.
#include "GuiTestBase.h"

#include <QMenu>

using HistoriesJobTest = SimJobTestBase;

TEST_F(HistoriesJobTest, ACancelledRunResumesAndTheCheckItemIsSaved) {
    const QDate day = RecentTradingDay();
    const QVector<int> codes = CodesTradedOn({day}, 8);
    ASSERT_TRUE(WriteAppFile(m_config.path(), "vezizo.conf",
                             ReadAppFile(m_config.path(), "vezizo.conf") + "update_histories=1\n"));
    start(FetchListLines(codes), {"--date", day.toString(Qt::ISODate)});
    const JobSheet& sheet = *controller().jobSheet(CMetalWindow::kHistoriesSheet);
    const auto asked = [this](int code) { return requests(QString("GET /t?s=%1").arg(code)); };
    const auto written = [&] { return text(sheet.countText).toInt(); };
    // The day's quotes tell the job the newest trading day; with the check
    // item marked, the fetch adds the day to the histories there are (none).
    ASSERT_EQ(send("fech"), 0);
    const JobSheet& fetch = *controller().jobSheet(CMetalWindow::kFetchSheet);
    ASSERT_TRUE(waitUntil([&] { return !fetch.running; }, 60000));
    EXPECT_TRUE(text(fetch.statusText).endsWith("the day was added to 0 histories"));

    ASSERT_EQ(send("mkda"), 0);
    ASSERT_TRUE(sheet.running && IsWindowVisible(sheet.window));
    EXPECT_EQ(GetControl32BitMaximum(sheet.progressBar), 8);
    ASSERT_TRUE(waitUntil([&] { return written() >= 3; }, 60000));
    EXPECT_EQ(text(sheet.currentText).left(4), QString::number(codes[written()]));
    SaveScreenshot(mainWindow(), "UpdateHistoriesSheetRunning");
    ASSERT_EQ(send("fccn"), 0);
    EXPECT_FALSE(sheet.running);
    EXPECT_EQ(text(sheet.headingText), QString::fromUtf8("全銘柄の時系列の取得を中止しました"));
    const int done = written();
    QVector<int> before;
    for (int i = 0; i < codes.size(); ++i) {
        EXPECT_EQ(!kd(codes[i]).isNull(), i < done) << codes[i];
        before.append(asked(codes[i]));
    }
    const QByteArray first = kd(codes[0]);

    send("disp"); // another sheet first, so that the command runs again
    ASSERT_EQ(send("mkda"), 0);
    ASSERT_TRUE(waitUntil([&] { return !sheet.running; }, 60000));
    for (int i = 0; i < codes.size(); ++i)
        EXPECT_EQ(asked(codes[i]) > before[i], i >= done) << codes[i];
    EXPECT_EQ(kd(codes[0]), first);
    EXPECT_EQ(controller().jobOutcome().exitStatus(), kExitDone);
    EXPECT_EQ(text(sheet.statusText),
              QStringLiteral("%1 written, %2 up to date").arg(codes.size() - done).arg(done));
    EXPECT_EQ(text(sheet.errorText) + "/" + text(sheet.failedText),
              QStringLiteral("%1/0").arg(done)); // skipped, failed
    SaveScreenshot(mainWindow(), "UpdateHistoriesSheetEnded");

    // The check item shows the saved setting and saves each change; the
    // preferences record is not touched.
    EXPECT_TRUE(GetMenuCommandMark(mainWindow(), CommandFromText("kdup")));
    ASSERT_EQ(send("kdup"), 0);
    EXPECT_FALSE(GetMenuCommandMark(mainWindow(), CommandFromText("kdup")));
    EXPECT_TRUE(ReadAppFile(m_config.path(), "vezizo.conf").contains("update_histories=0\n"));
    EXPECT_FALSE(QFile::exists(m_config.filePath("TorlindX.Preference")));
    auto* menu = mainWindow()->findChild<QMenu*>("menuJob");
    ASSERT_NE(menu, nullptr);
    menu->adjustSize();
    SaveScreenshot(menu, "JobMenuWithTheHistoriesItems");
}
