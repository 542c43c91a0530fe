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
    // is cut off before its body.
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
    EXPECT_EQ(quoteRequests(), 3);
    for (const char* page : {"webtemp-000.html", "webtemp-001.html", "webtemp-002.html"})
        EXPECT_TRUE(QFile::exists(m_folder.filePath(QStringLiteral("webtemp/") + page)));

    const QList<QByteArray> daily = lines(dailyFile());
    ASSERT_EQ(daily.size(), 2 + 98);
    EXPECT_EQ(daily[1], "98,0");
    EXPECT_TRUE(daily[2].startsWith(QByteArray::number(TestSimMarket().stocks().at(0).code)));
    // The unknown codes are logged; the page that was cut off is not.
    QFile log(path("ERRORLOG.TXT"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), "page=1 code=1000 name=UNKNOWN\npage=1 code=1001 name=UNKNOWN\n");
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
    int exits = 0;
    bool fileAtExit = false;
    SetExitFunction([&] {
        ++exits;
        fileAtExit = QFile::exists(dailyFile());
    });
    EXPECT_EQ(send("fech"), 0);
    ASSERT_TRUE(waitUntil([&] { return exits > 0; }, 10000));
    EXPECT_EQ(exits, 1);
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

TEST_F(FetchJobTest, FailedDownloadsCountTheirCodesAndTheJobGoesOn) {
    // Page 0 never answers (the downloader gives up after 5 seconds), page 1
    // is reset before its body, page 2 arrives.
    start(stocks(0, 110),
          {"--fault", pageFault("silence", 0), "--fault", pageFault("reset:0", 50)});
    EXPECT_EQ(send("fech"), 0);
    ASSERT_TRUE(waitForFetchEnd(20000));
    EXPECT_EQ(text(fetchSheet().countText), "10");
    EXPECT_EQ(text(fetchSheet().errorText), "100");
    // Page 0 showed no date, so the file has today's.
    const QStringList written = dailyFiles(m_folder.path());
    ASSERT_EQ(written.size(), 1);
    EXPECT_EQ(lines(path(qPrintable(written[0]))).value(1), "10,0");
}
