// The daily quote fetch against the simulated service: counts, the daily
// file, the commands around a running job, cancel, quit after the fetch and
// the fetch at launch.
#include "SimGuiTestBase.h"

#include "Fetch/FetchData.h"
#include "Preferences.h"
#include "VezizoMain.h"

#include <QDir>
#include <QTimer>

using FetchJobTest = SimGuiTestBase;

namespace {

// The header and record lines of a daily file of layout 0.
QList<QByteArray> lines(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> all = in.readAll().split('\n');
    if (!all.isEmpty() && all.last().isEmpty())
        all.removeLast();
    return all;
}

QStringList dailyFiles(const QString& folder) {
    return QDir(folder).entryList({"DS*"}, QDir::Files);
}

} // namespace

TEST_F(FetchJobTest, PagesAreCountedAndTheDailyFileWritten) {
    // Page 1 holds two codes the service does not know; page 2's download
    // is cut off before its body, on every try.
    QByteArray list = stocks(0, 50) + stocks(50, 10) + "1000,1000,T,UNKNOWN\n" + stocks(60, 19) +
                      "1001,1001,T,UNKNOWN\n" + stocks(79, 19) + stocks(98, 12);
    start(list, {"--fault", pageFault("truncate:0", 98)});
    ASSERT_EQ(g_fetchData->nPages(), 3);

    EXPECT_EQ(send("fech"), 0);
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kFetchSheet);
    EXPECT_TRUE(fetchSheet().running);
    EXPECT_EQ(GetControl32BitMaximum(fetchSheet().progressBar), 3);
    ASSERT_TRUE(waitForFetchEnd());

    EXPECT_EQ(text(fetchSheet().countText), "98");
    EXPECT_EQ(text(fetchSheet().errorText), "14");
    EXPECT_EQ(GetControl32BitValue(fetchSheet().progressBar), 0);
    EXPECT_FALSE(controller().isIdling());
    EXPECT_EQ(quoteRequests(), 3 + 2); // the cut page twice more
    for (const char* page : {"webtemp-000.html", "webtemp-001.html", "webtemp-002.html"})
        EXPECT_TRUE(QFile::exists(m_folder.filePath(QStringLiteral("webtemp/") + page)));

    const QList<QByteArray> daily = lines(dailyFile());
    ASSERT_EQ(daily.size(), 2 + 98);
    EXPECT_EQ(daily[1], "98,0");
    EXPECT_TRUE(daily[2].startsWith(QByteArray::number(TestSimMarket().stocks().at(0).code)));
    // The unknown codes are logged as the page came, the cut page's stocks
    // with the reason, after the last try.
    const QList<QByteArray> log = ReadAppFile(m_folder.path(), "ERRORLOG.TXT").split('\n');
    ASSERT_EQ(log.size(), 2 + 12 + 1);
    EXPECT_EQ(log[0], "page=1 code=1000 name=UNKNOWN");
    EXPECT_EQ(log[1], "page=1 code=1001 name=UNKNOWN");
    for (int i = 0; i < 12; ++i)
        EXPECT_TRUE(
            log[2 + i].startsWith(
                QStringLiteral("page=2 code=%1 ").arg(KnownCodes(1, 98 + i)[0]).toLatin1()) &&
            log[2 + i].endsWith("reason=connection closed before the end of the page"))
            << log[2 + i].constData();
    EXPECT_EQ(controller().jobOutcome().result(), CJobOutcome::kPartial);
}

TEST_F(FetchJobTest, OtherCommandsWorkWhileTheJobRuns) {
    // The first page drips in slowly, so the job is still running.
    start(stocks(0, 60), {"--fault", pageFault("drip:0.4", 0)});
    EXPECT_EQ(send("fech"), 0);
    ASSERT_TRUE(fetchSheet().running);

    EXPECT_EQ(send("fech"), 0); // refused: one job at a time
    EXPECT_EQ(send("disp"), 0);
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kDispSheet);
    EXPECT_EQ(GetDataBrowserItemCount(controller().quoteListControl()), 60u);
    EXPECT_EQ(send("save"), 0); // the records so far (none): today's empty file
    EXPECT_EQ(dailyFiles(m_folder.path()).size(), 1);
    bool preferencesShown = false;
    SetModalLoopHook([&](WindowRef) {
        preferencesShown = true;
        send("not!"); // the dialog's cancel button
    });
    EXPECT_EQ(send("pref"), 0);
    SetModalLoopHook({});
    EXPECT_TRUE(preferencesShown);
    EXPECT_TRUE(fetchSheet().running);

    ASSERT_TRUE(waitForFetchEnd());
    EXPECT_EQ(quoteRequests(), 2); // the refused "fech" asked for nothing
    EXPECT_EQ(text(fetchSheet().countText), "60");
    EXPECT_TRUE(QFile::exists(dailyFile()));
}

TEST_F(FetchJobTest, CancelKeepsTheCountsAndWritesNothingUntilSave) {
    // Page 2 never answers, so the job waits there until it is cancelled.
    start(stocks(0, 250), {"--fault", pageFault("silence", 100)});
    EXPECT_EQ(send("fech"), 0);
    ASSERT_TRUE(
        waitUntil([this] { return GetControl32BitValue(fetchSheet().progressBar) == 2; }, 10000));

    EXPECT_EQ(send("fccn"), 0);
    EXPECT_FALSE(fetchSheet().running);
    EXPECT_FALSE(controller().isIdling());
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kNoSheet);
    EXPECT_EQ(text(fetchSheet().countText), "100");
    EXPECT_EQ(text(fetchSheet().errorText), "0");
    EXPECT_TRUE(dailyFiles(m_folder.path()).isEmpty());

    EXPECT_EQ(send("save"), 0);
    const QList<QByteArray> daily = lines(dailyFile());
    ASSERT_EQ(daily.size(), 2 + 100);
    EXPECT_EQ(daily[1], "100,0");
}

TEST_F(FetchJobTest, ASecondFetchWaitsForAnotherSheetOrACancel) {
    start(stocks(0, 5));
    EXPECT_EQ(send("fech"), 0);
    ASSERT_TRUE(waitForFetchEnd());
    EXPECT_EQ(quoteRequests(), 1);

    EXPECT_EQ(send("fech"), 0); // the finished fetch's sheet is still shown
    EXPECT_FALSE(fetchSheet().running);
    EXPECT_EQ(quoteRequests(), 1);

    EXPECT_EQ(send("disp"), 0);
    EXPECT_EQ(send("fech"), 0);
    EXPECT_TRUE(fetchSheet().running);
    ASSERT_TRUE(waitForFetchEnd());
    EXPECT_EQ(quoteRequests(), 2);

    EXPECT_EQ(send("fccn"), 0);
    EXPECT_EQ(send("fech"), 0);
    ASSERT_TRUE(waitForFetchEnd());
    EXPECT_EQ(quoteRequests(), 3);
    EXPECT_EQ(text(fetchSheet().countText), "5");
}

TEST_F(FetchJobTest, QuitAfterFetchEndsTheProgramOnceTheFileIsWritten) {
    start(stocks(0, 55));
    g_Preferences->quitAfterFetch = 1;
    int exits = 0, status = -1;
    bool fileAtExit = false;
    SetExitFunction([&](int exitStatus) {
        ++exits;
        status = exitStatus;
        fileAtExit = QFile::exists(dailyFile());
    });
    EXPECT_EQ(send("fech"), 0);
    ASSERT_TRUE(waitUntil([&] { return exits > 0; }, 10000));
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(fileAtExit);
    EXPECT_FALSE(fetchSheet().running);
}

TEST_F(FetchJobTest, FetchAtLaunchStartsBeforeTheEventLoop) {
    start(stocks(0, 3));
    g_Preferences->fetchAtLaunch = 1;
    bool runningAtFirstPass = false, pageFileAtFirstPass = false;
    QTimer::singleShot(0, [&] {
        runningAtFirstPass = fetchSheet().running;
        pageFileAtFirstPass = QFile::exists(m_folder.filePath("webtemp/webtemp-000.html"));
        QuitApplicationEventLoop();
    });
    controller().run();
    EXPECT_TRUE(runningAtFirstPass);
    EXPECT_TRUE(pageFileAtFirstPass); // the download had been started
    ASSERT_TRUE(waitForFetchEnd());
    EXPECT_EQ(text(fetchSheet().countText), "3");
}

// Page 0 fails on every try, page 1 once; the retries come after the last
// page and the sheet shows them. The file takes page 1's date, the first
// the quotes showed, and the sheet says which page is missing.
TEST_F(FetchJobTest, FailedPagesAreTriedAgainAfterTheOthers) {
    start(stocks(0, 110),
          {"--fault", pageFault("status:502", 0), "--fault", pageFault("status:500", 50) + "#1"});
    EXPECT_EQ(send("fech"), 0);
    ASSERT_TRUE(waitForFetchEnd());
    EXPECT_EQ(text(fetchSheet().countText), "60");
    EXPECT_EQ(text(fetchSheet().errorText), "50");
    EXPECT_EQ(quoteRequests(), 3 + 2 + 1);
    const CJobOutcome& outcome = controller().jobOutcome();
    EXPECT_EQ(outcome.notices(),
              (std::vector<std::string>{"page 1 of 3 failed (HTTP 502); retry 1 of 2",
                                        "page 2 of 3 failed (HTTP 500); retry 1 of 2",
                                        "page 1 of 3 failed (HTTP 502); retry 2 of 2"}));
    EXPECT_EQ(outcome.result(), CJobOutcome::kPartial);
    EXPECT_EQ(QString::fromStdString(outcome.message()),
              SimDayFileName("DS") +
                  ": 60 stocks, 50 missing; 50 stocks missing because page 1 of 3 failed (HTTP "
                  "502)");
    EXPECT_EQ(text(fetchSheet().statusText), outcome.message());
    EXPECT_EQ(dailyFiles(m_folder.path()), QStringList{SimDayFileName("DS")});
    EXPECT_EQ(lines(dailyFile()).value(1), "60,0");
    SaveScreenshot(mainWindow(), "FetchSheetWithAFailedPage");
}

// With the job timer all but stopped, the downloads alone move the job: each
// page is taken as soon as it has arrived. The third page comes too soon for
// the service, which asks to wait; the sheet says so, the page is asked for
// again after the wait, and the counts and the file are those of any fetch.
TEST_F(FetchJobTest, DownloadsMoveTheJobAndAThrottledPageIsWaitedOut) {
    start(stocks(0, 110), {"--fault", "throttle:2/1@/q"});
    controller().setIdleInterval(3600);
    const std::string notice = "the service asks us to wait 1 s (HTTP 429, wait 1 of 3)";
    EXPECT_EQ(send("fech"), 0);
    bool shown = false;
    ASSERT_TRUE(waitUntil(
        [&] {
            if (text(fetchSheet().statusText) == notice && !shown) {
                shown = true;
                SaveScreenshot(mainWindow(), "FetchSheetWaitingForTheService");
            }
            return !fetchSheet().running;
        },
        20000));
    EXPECT_TRUE(shown);
    EXPECT_EQ(text(fetchSheet().countText), "110");
    EXPECT_EQ(text(fetchSheet().errorText), "0");
    EXPECT_EQ(quoteRequests(), 3 + 1);
    const CJobOutcome& outcome = controller().jobOutcome();
    EXPECT_EQ(outcome.result(), CJobOutcome::kDone);
    EXPECT_EQ(outcome.notices(), std::vector<std::string>{notice});
    const QList<QByteArray> daily = lines(dailyFile());
    ASSERT_EQ(daily.size(), 2 + 110);
    EXPECT_EQ(daily[1], "110,0");
}
