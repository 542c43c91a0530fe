// The jobs as the window runs them against the simulated service, beyond
// what every job's visit shows (ScreenshotTest): a wait the service asks for,
// shown as the job goes on, the entries that start nothing, and the histories
// of the whole fetch list from the 取得 menu: a cancelled run resumed without
// asking again for what it had done, and the check item that has the daily
// fetch add to the histories.
#include "GuiTestBase.h"

#include "ExDic.h"

#include <QMenu>

#include <tuple>

using JobSheetTest = SimJobTestBase;

// Entries refused or cancelled, and a dictionary the profile job cannot use,
// start no job, show no sheet and no chart. A file of another size in the
// dictionary's place is named on the caution sheet before any question, and
// kept as it is.
// Then a service that lets two pages through a second asks the third to
// wait: the sheet says so while the job goes on, and the fetch ends whole; a
// code the service does not know is counted missing, and is no failure.
// A listing cancelled while a page's profiles come asks for no more of them.
TEST_F(JobSheetTest, RefusedEntriesStartNothingThenAWaitShowsOnTheSheet) {
    start(FetchListLines(KnownCodes(110)) + "1000,1000,T,UNKNOWN\n",
          {"--fault", "throttle:2/1@/q"});
    // clang-format off
    // The dictionary's file: -1 none; -2 a folder in its place; else its size.
    const std::tuple<const char*, const char*, const char*, int> rows[] = {
        // name                        command answers                  dictionary
        {"listing cancelled",          "list", "chk1|chk3|not!",        -1},
        {"no code",                    "mkdt", "ok  ",                  -1},
        {"rows no number",             "mkdt", "21=7203|22=many|ok  ",  -1},
        {"no rows",                    "mkdt", "21=7203|22=-50|ok  ",   -1},
        {"chart of no code",           "chrt", "21=abc|ok  ",           -1},
        {"chart cancelled",            "chrt", "21=7203|not!",          -1},
        {"dictionary a folder",        "fund", "ok  ",                  -2},
        {"dictionary of another size", "fund", "ok  ",                  2027520}};
    // clang-format on
    for (const auto& [name, command, answers, dictionaryBytes] : rows) {
        SCOPED_TRACE(name);
        const QByteArray dictionary(std::max(dictionaryBytes, 0), '\x5A');
        QDir(m_folder.path()).rmdir(CExDic::kFileName);
        ASSERT_TRUE(dictionaryBytes != -2 || QDir(m_folder.path()).mkdir(CExDic::kFileName));
        ASSERT_TRUE(dictionaryBytes < 0 || write(CExDic::kFileName, dictionary));
        EXPECT_EQ(sendAnswered(command, answers), 0);
        EXPECT_EQ(std::tuple(controller().anyJobRunning(), controller().shownSheet(),
                             controller().chart() != nullptr),
                  std::tuple(false, CMetalWindow::kNoSheet, false));
        if (dictionaryBytes < 0)
            continue;
        EXPECT_EQ(std::pair(m_dialogs, bytes(CExDic::kFileName)), std::pair(0, dictionary));
        ASSERT_FALSE(cautions().isEmpty()); // each row's caution is the last
        EXPECT_THAT(cautions().last()->text().toStdString(),
                    testing::StartsWith(g_startupPath + "/VellmarkEx.DIC is 2027520 bytes long"));
    }
    EXPECT_FALSE(simLog().contains("GET /"));

    const JobSheet& fetch = *controller().jobSheet(CMetalWindow::kFetchSheet);
    EXPECT_EQ(send("fech"), 0);
    QStringList said;
    ASSERT_TRUE(QTest::qWaitFor([&] { return said.append(text(fetch.statusText)), !fetch.running; },
                                20000));
    EXPECT_TRUE(said.contains("the service asks us to wait 1 s (HTTP 429, wait 1 of 3)"));
    // The stocks, and the code the service does not know.
    EXPECT_EQ(text(fetch.countText) + "/" + text(fetch.errorText), "110/1");
    EXPECT_EQ(controller().jobOutcome().exitStatus(), kExitDone);

    // The profiles are waited for in a nested event loop, where a timer comes.
    const auto profiles = [this] { return simLog().count("GET /biz/"); };
    int asked = -1;
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        if (asked < 0 && profiles() >= 2)
            asked = profiles(), send("fccn");
    });
    cancel.start(10);
    ASSERT_EQ(sendAnswered("list", "ok  "), 0);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return asked >= 0 && !controller().anyJobRunning(); }, 20000));
    // None beyond the one under way.
    EXPECT_FALSE(QTest::qWaitFor([&] { return profiles() > asked + 1; }, 500));
}

TEST_F(JobSheetTest, HistoriesACancelledRunResumesAndTheCheckItemIsSaved) {
    const QDate day = RecentTradingDay();
    const QVector<int> codes = CodesTradedOn({day}, 8);
    ASSERT_TRUE(WriteAppFile(m_config.path(), "vezizo.conf",
                             ReadAppFile(m_config.path(), "vezizo.conf") + "update_histories=1\n"));
    start(FetchListLines(codes), {"--date", day.toString(Qt::ISODate)});
    const JobSheet& sheet = *controller().jobSheet(CMetalWindow::kHistoriesSheet);
    const auto asked = [](const QString& log, int c) {
        return log.count(QString("GET /t?s=%1").arg(c));
    };
    const auto written = [&] { return text(sheet.countText).toInt(); };
    // The day's quotes tell the job the newest trading day; with the check
    // item marked, the fetch adds the day to the histories there are (none).
    ASSERT_EQ(send("fech"), 0);
    const JobSheet& fetch = *controller().jobSheet(CMetalWindow::kFetchSheet);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fetch.running; }, 60000));
    EXPECT_TRUE(text(fetch.statusText).endsWith("the day was added to 0 histories"));

    ASSERT_EQ(send("mkda"), 0);
    ASSERT_TRUE(sheet.running && IsWindowVisible(sheet.window));
    EXPECT_EQ(GetControl32BitMaximum(sheet.progressBar), 8);
    ASSERT_TRUE(QTest::qWaitFor([&] { return written() >= 3; }, 60000));
    EXPECT_EQ(text(sheet.currentText).left(4), QString::number(codes[written()]));
    SaveScreenshot(mainWindow(), "UpdateHistoriesSheetRunning");
    ASSERT_EQ(send("fccn"), 0);
    EXPECT_FALSE(sheet.running);
    EXPECT_EQ(text(sheet.headingText), QString::fromUtf8("全銘柄の時系列の取得を中止しました"));
    const int done = written();
    const QString before = simLog();
    for (int i = 0; i < codes.size(); ++i)
        EXPECT_EQ(!kd(codes[i]).isNull(), i < done) << codes[i];

    send("disp"); // another sheet first, so that the command runs again
    ASSERT_EQ(send("mkda"), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sheet.running; }, 60000));
    // The stocks done before are up to date without a request.
    const QString after = simLog();
    for (int i = 0; i < codes.size(); ++i)
        EXPECT_EQ(asked(after, codes[i]) > asked(before, codes[i]), i >= done) << codes[i];
    // The status, then the skipped and the failed.
    EXPECT_EQ(text(sheet.statusText) + "|" + text(sheet.errorText) + "|" + text(sheet.failedText),
              QStringLiteral("%1 written, %2 up to date|%2|0").arg(codes.size() - done).arg(done));
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
