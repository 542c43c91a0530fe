// The main window: start-up on an application folder (the caution that names
// what it could not take, the temporaries a crashed run left, a folder another
// run holds), the commands its menus and buttons send, its sizes, closing and
// quitting; and the preferences and code entry sheets, answered inside their
// modal loops: what they open with, what they store, and texts longer than
// they keep.
#include "GuiTestBase.h"

#include "EnterCodeDialog.h"
#include "FolderLock.h"

#include <QAction>
#include <QDateTime>
#include <QLineEdit>

#include <cstring>

using WindowTest = GuiTestBase;

// The menus and buttons send the commands; the window grows for a sheet and,
// animated, shrinks back to its idle size. Quit and close end the event loop,
// the program ending after it; closing the main window ends the process at
// once.
TEST_F(WindowTest, CommandsSizesQuitAndClose) {
    EXPECT_EQ(mainWindow()->size(), QSize(340, 76));
    EXPECT_EQ(send("zzzz"), eventNotHandledErr);
    QMap<QString, QAction*> items;
    for (QAction* action : mainWindow()->findChildren<QAction*>())
        items.insert(action->property("command").toString(), action);
    for (const char* code : {"fech", "list", "mkdt", "fund", "fina", "fccn", "disp", "save", "svas",
                             "pref", "abou", "clos", "quit"})
        ASSERT_TRUE(items.contains(code)) << code;
    items.value("disp")->trigger();
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kDispSheet);
    // Cancel without a job clears the shown sheet.
    EXPECT_EQ(send("fccn"), 0);
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kNoSheet);

    // The list button shows the quote list; once more does nothing.
    qobject_cast<QAbstractButton*>(controller().mainButton(2))->click();
    SizeWindow(mainWindow(), 400, 400);
    EXPECT_EQ(send("disp"), 0);
    EXPECT_EQ(mainWindow()->size(), QSize(400, 400));
    // Saving before any fetch writes nothing.
    EXPECT_EQ(send("save"), 0);
    EXPECT_TRUE(QDir(m_folder.path()).entryList({"DS*"}, QDir::Files).isEmpty());

    SetWindowAnimationsEnabled(true);
    controller().HideSheetWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return mainWindow()->size() == QSize(350, 120); }));
    for (const char* code : {"quit", "clos"}) {
        EventLoopTimerRef timer = InstallEventLoopTimer(0.0, 0.0, [code] { send(code); });
        RunApplicationEventLoop(); // returns only when the command quits it
        RemoveEventLoopTimer(timer);
    }
    EXPECT_EQ(m_exitCalls, 0);
    mainWindow()->close();
    EXPECT_EQ(m_exitCalls, 1);
}

// Cancelled by its button or its close box, the sheet leaves the record as it
// was and writes no file; confirmed, it stores every control and saves. The
// proxy fields are active only with the proxy on, and their texts are bounded.
TEST_F(WindowTest, PreferencesAndCodeEntrySheets) {
    unsigned char before[CPreferences::kFileSize], after[CPreferences::kFileSize];
    g_Preferences->ToBytes(before);
    const std::string host63(63, 'h');
    for (int way : {2, 0, 1}) { // the cancel button, the close box, OK
        SCOPED_TRACE(way);
        SetModalLoopHook([&](WindowRef dialog) {
            const auto control = [dialog](int32_t id) {
                return GetControlByID(dialog, FourCharCode("pref"), id);
            };
            const auto click = [&](int id) { static_cast<QAbstractButton*>(control(id))->click(); };
            send("cre3");
            EXPECT_EQ(GetPopupValue(control(32)), 3);
            click(13); // quit after fetch
            EXPECT_FALSE(IsControlActive(control(21)) || IsControlActive(control(22)));
            click(11); // the proxy on
            EXPECT_TRUE(IsControlActive(control(21)) && IsControlActive(control(22)));
            static_cast<QLineEdit*>(control(21))->setText(QString::fromStdString(host63 + "x"));
            static_cast<QLineEdit*>(control(22))->setText(QString(40, '9'));
            click(11); // and off again
            EXPECT_FALSE(IsControlActive(control(21)));
            way == 0 ? (void)dialog->close() : click(way);
        });
        EXPECT_EQ(send("pref"), 0);
        SetModalLoopHook({});
        for (QWidget* window : QApplication::topLevelWidgets())
            EXPECT_NE(window->objectName(), "PrefDialog"); // disposed when closed
        g_Preferences->ToBytes(after);
        EXPECT_EQ(std::memcmp(before, after, sizeof before) == 0, way != 1);
        EXPECT_EQ(QFile::exists(m_config.filePath("TorlindX.Preference")), way == 1);
    }
    // The host kept though the proxy is off, the port's nines clamped.
    const CPreferences& kept = *g_Preferences;
    EXPECT_EQ(std::tuple(kept.GetCreator(), int(kept.quitAfterFetch), int(kept.useProxy),
                         std::string(kept.proxyHost), kept.proxyPort),
              std::tuple(FourCharCode("MMKE"), 1, 0, host63, 2147483647));

    // The code entry opens empty with 200 rows each time, whatever was typed the
    // time before; of 127 two-byte characters (254 bytes) it keeps the 63 that
    // fit whole in 127 bytes.
    const std::string kanji = QByteArray("\x8A\x94").repeated(127).toStdString(), // 株
        letters(200, 'x');
    for (int opening = 0; opening < 2; ++opening) {
        std::string opened;
        SetModalLoopHook([&](WindowRef dialog) {
            const auto field = [dialog](int id) {
                return static_cast<QLineEdit*>(GetControlByID(dialog, FourCharCode("entc"), id));
            };
            opened = (field(21)->text() + "|" + field(22)->text()).toStdString();
            SetControlText(field(21), kanji.c_str());
            SetControlText(field(22), letters.c_str());
            send("ok  ");
        });
        CEnterCodeDialog dialog(mainWindow());
        EXPECT_EQ(dialog.DoModal(), 1);
        SetModalLoopHook({});
        EXPECT_EQ(opened + "|" + dialog.getCodeText() + "|" + dialog.getRowsText(),
                  "|200|" + kanji.substr(0, 126) + "|" + letters.substr(0, 127));
    }
}

// Without a fetch list, with a market table that gives nothing and
// servers.conf lines that cannot be used, one caution names them all; the
// program runs on, and a job over the empty list starts nothing.
TEST_F(WindowTest, CautionNamesWhatStartUpCouldNotTake) {
    ASSERT_TRUE(QFile::remove(path("fetchlist.csv")) &&
                write("servers.conf", "# a note\nquote=127.0.0.1:8731\nx\rprofile=bad host"));
    for (const QString table : {"is missing", "is empty", "cannot be read"}) {
        SCOPED_TRACE(table.toStdString());
        m_app.ShutDown();
        QFile::remove(path("market.csv"));
        ASSERT_TRUE(
            table == "is missing" ||
            (table == "is empty" ? write("market.csv", "") : QDir().mkdir(path("market.csv"))));
        startProgram();
        const QString folder = QString::fromStdString(g_startupPath);
        ASSERT_EQ(cautions().size(), 1);
        const QString caution = cautions()[0]->text();
        EXPECT_TRUE(caution.startsWith(folder + "/market.csv " + table + ": without the market"));
        EXPECT_TRUE(caution.contains("\n\n" + folder + "/servers.conf lines 3 and 4 cannot be "));
        EXPECT_TRUE(caution.endsWith(QString::fromUtf8("\n\nfetchlist.csvが見つかりません。")));
    }
    cautions()[0]->buttons().first()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return cautions().isEmpty(); }));
    EXPECT_EQ(send("fech"), 0);
    EXPECT_FALSE(controller().anyJobRunning());
}

// A crashed run's temporaries go at the next start, but none while another
// run holds the folder: then they are its live files, the caution says the folder is in use, and
// each command that works on its files is refused with the caution again.
TEST_F(WindowTest, TemporariesAndAFolderInUse) {
    CFolderLock otherRun;
    QFile temporary(path(".DS061225.DAT.vezizo-tmp-a1B2c3"));
    for (bool held : {false, true}) {
        SCOPED_TRACE(held ? "held by another run" : "free");
        m_app.ShutDown();
        ASSERT_TRUE(!held || otherRun.Lock(m_folder.path().toStdString()));
        ASSERT_TRUE(temporary.open(QIODevice::WriteOnly) &&
                    temporary.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                          QFileDevice::FileModificationTime));
        temporary.close();
        startProgram();
        EXPECT_EQ(std::pair(temporary.exists(), int(cautions().size())),
                  std::pair(held, int(held)));
    }
    ASSERT_FALSE(cautions().isEmpty());
    EXPECT_EQ(cautions()[0]->text().toStdString(), CFolderLock::InUseMessage(g_startupPath));
    int shown = 1;
    for (const char* command : {"fech", "list", "mkdt", "fund", "fina", "disp", "save"}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(sendAnswered(command, "not!"), 0);
        EXPECT_EQ(std::tuple(m_dialogs, int(cautions().size()), controller().shownSheet(),
                             controller().anyJobRunning()),
                  std::tuple(0, ++shown, CMetalWindow::kNoSheet, false));
    }
    EXPECT_TRUE(temporary.exists());
}
