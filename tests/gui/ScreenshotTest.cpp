// One visit to every window and sheet, saved into <build>/screenshots/ for a
// person to look at: the caution sheet, the main window, each job's dialog and
// sheet, the quote list, the chart, and the preferences and about windows.
// Each job is first held at a page, where the list can be shown but the same
// job, even from the list, is refused, and cancel ends it writing nothing; it then runs to its end,
// moved by its downloads alone, and its sheet says how it ended.
#include "GuiTestBase.h"

#include "Fetch/MakeList.h"
#include "KDTChart.h"

using ScreenshotTest = SimJobTestBase;

using W = CMetalWindow;

TEST_F(ScreenshotTest, EveryWindowAndSheet) {
    const QVector<int> codes = KnownCodes(110);
    // Each job's first run is held at its second page (the finance job's is
    // the third request of the page the fetch asked for twice).
    const QString page2 = "silence@/q?s=" + TestSimMarket().stocks().at(50).quoteCode;
    serve({"--history-length", "7203=400", "--fault", page2 + "#1", "--fault", page2 + "#3",
           "--fault", "silence@/t?s=7203#2", "--fault", "silence@/t?s=9984", "--fault",
           "silence@/l?s=%2A&m=51#1", "--fault",
           QStringLiteral("silence@/biz/fundamental/%1.#1").arg(codes[50])});
    ASSERT_TRUE(write("fetchlist.csv", FetchListLines(codes)) &&
                write("KD1000.KDT", QByteArray(26 * 3, '\x07')) && // an earlier history
                write("servers.conf", bytes("servers.conf") + "nonsense\n"));
    startProgram();
    controller().setIdleInterval(3600); // the job timer all but stopped
    ASSERT_EQ(cautions().size(), 1);
    SaveScreenshot(cautions()[0], "CautionOfStartUp");
    cautions()[0]->buttons().first()->click();
    SaveScreenshot(mainWindow(), "MainWindow");

    // What the first run, held and cancelled, has not written: a file pattern;
    // none when a cancel writes what it has done. The status is how it begins.
    const struct {
        const char *name, *command, *answers, *dialog;
        int32_t sheet, pages;
        const char *unwritten, *heading;
        QString status;
    } jobs[] = {
        // clang-format off
        // name                     command answers           dialog             sheet                 pages unwritten     heading
        {"FetchSheetEnded",           "fech", "",               "",                W::kFetchSheet,       3,  "DS*",        "株価の取得を終えました",           SimDayFileName("DS") + ": 110 stocks, 0 missing"},
        {"MakeFinanceSheetEnded",     "fina", "",               "",                W::kFinanceSheet,     3,  "FN*",        "財務データの取得を終えました",     SimDayFileName("FN") + ": "},
        {"MakeKDTSheetFailed",        "mkdt", "21=1000|ok  ",   "",                W::kKDTSheet,         4,  nullptr,      "時系列データを取得できませんでした", "the service gave no rows; no history file written"},
        {"MakeKDTSheetCancelled",     "mkdt", "21=9984|ok  ",   "",                W::kKDTSheet,         4,  nullptr,      "時系列データの取得を中止しました", "cancelled"},
        {"MakeKDTSheetEnded",         "mkdt", "21=7203|ok  ",   "EnterCodeDialog", W::kKDTSheet,         4,  "KD7203.KDT", "時系列データの取得を終えました",   "KD7203.KDT: "},
        {"MakeListSheetEnded",        "list", "chk2|chk3|ok  ", "FetchListDialog", W::kListSheet,        80, "addlist*",   "銘柄一覧の取得を終えました",       QString::fromStdString(CMakeList::AddedListName()) + ": "},
        // The bar counts pages of 50 codes.
        {"MakeFundamentalSheetEnded", "fund", "ok  ",           "FundamentalDialog", W::kFundamentalSheet, 3, "",        "企業情報の取得を終えました",       "VellmarkEx.DIC: 110 of 110 stocks stored"},
        // clang-format on
    };
    for (const auto& job : jobs) {
        SCOPED_TRACE(job.name);
        send("disp"); // another sheet first, so that the command runs again
        const JobSheet& shown = *controller().jobSheet(job.sheet);
        const auto expectRunning = [&](bool running) {
            EXPECT_EQ(bool(shown.running), running);
            EXPECT_EQ(IsControlVisible(shown.busyIndicator), running);
            EXPECT_EQ(IsControlActive(shown.cancelButton), running);
            EXPECT_EQ(controller().isIdling(), running); // the job timer
            for (int32_t i = 0; i < 3; ++i)
                EXPECT_EQ(IsControlActive(controller().mainButton(i)), !running) << i;
            EXPECT_TRUE(running || GetControl32BitValue(shown.progressBar) == 0);
        };
        if (job.unwritten) { // no file pattern: a cancel writes what it has done
            EXPECT_EQ(sendAnswered(job.command, job.answers), 0);
            EXPECT_EQ(controller().shownSheet(), job.sheet);
            EXPECT_EQ(GetControl32BitMaximum(shown.progressBar), job.pages);
            expectRunning(true);
            // Polled by a timer, as a job may wait for a page in an event loop
            // of its own.
            QString count;
            QTimer hold;
            QObject::connect(&hold, &QTimer::timeout, [&] {
                if (!count.isEmpty() || GetControl32BitValue(shown.progressBar) != 1)
                    return;
                EXPECT_EQ(send("disp"), 0); // another sheet shown: only the running job refuses
                sendAnswered(job.command, job.answers);
                EXPECT_EQ(controller().shownSheet(), W::kDispSheet) << m_dialogs << " dialogs";
                count = text(shown.countText);
                static_cast<QAbstractButton*>(shown.cancelButton)->click(); // sends "fccn"
                EXPECT_EQ(controller().shownSheet(), W::kNoSheet);
                expectRunning(false);
            });
            hold.start(5);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !count.isEmpty(); }, 20000));
            QTest::qWait(300); // a page still on its way changes nothing
            EXPECT_EQ(text(shown.countText), count);
            // Nothing written, no temporaries.
            const QStringList left = {job.unwritten, ".*.vezizo-tmp-*"};
            EXPECT_TRUE(
                QDir(m_folder.path()).entryList(left, QDir::Files | QDir::Hidden).isEmpty());
            // Save writes the records so far.
            EXPECT_TRUE(job.sheet != W::kFetchSheet ||
                        (!send("save") && bytes(SimDayFileName("DS")).contains("\n50,0\n")));
        }
        EXPECT_EQ(sendAnswered(job.command, job.answers, job.dialog), 0);
        ASSERT_TRUE(shown.running);
        if (job.status == "cancelled") {
            QTest::qWait(300);
            send("fccn");
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.running; }, 60000));
        expectRunning(false);
        EXPECT_EQ(text(shown.headingText) + "|" + text(shown.statusText).left(job.status.size()),
                  QString::fromUtf8(job.heading) + "|" + job.status);
        SaveScreenshot(mainWindow(), job.name);
        // The sheet of an ended job, still shown, keeps the command from
        // starting another; after a cancel the command asks again, as the
        // profile job's always does (a run over kept pages may follow).
        const bool asks = job.status == "cancelled" || job.sheet == W::kFundamentalSheet;
        sendAnswered(job.command, asks ? "not!" : job.answers);
        EXPECT_EQ(std::pair(m_dialogs, bool(shown.running)), std::pair(int(asks), false));
    }
    EXPECT_EQ(bytes("KD1000.KDT"), QByteArray(26 * 3, '\x07')); // kept by the failed run
    send("disp");
    EXPECT_EQ(GetDataBrowserItemCount(controller().quoteListControl()), 110u);
    SaveScreenshot(mainWindow(), "QuoteList");

    // The series sheet's chart button shows the history it fetched last, with
    // the readout of the day under the pointer.
    ASSERT_TRUE(IsControlActive(controller().kdtChartButtonControl()));
    static_cast<QAbstractButton*>(controller().kdtChartButtonControl())->click();
    ASSERT_NE(controller().chart(), nullptr);
    WindowRef chart = controller().chart()->getWindow();
    SizeWindow(chart, 1100, 680);
    QCoreApplication::processEvents();
    QWidget* view = controller().chart()->getChart();
    EXPECT_GT(GetChartData(view)->nDays(), 100);
    SendMouse(view, {QEvent::MouseMove}, QPointF(view->width() * 0.6, view->height() * 0.4));
    SaveScreenshot(chart, "ChartWindow");

    sendAnswered("pref", "not!", "PrefDialog");
    send("abou"); // each command opens one more ordinary window
    send("abou");
    QWidgetList abouts = QApplication::topLevelWidgets();
    abouts.removeIf([](QWidget* window) { return window->objectName() != "AboutDialog"; });
    ASSERT_EQ(abouts.size(), 2);
    SaveScreenshot(abouts[0], "AboutDialog");
}
