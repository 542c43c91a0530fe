// The command table as the menus and buttons reach it.
#include "GuiTestBase.h"

#include <QAction>
#include <QDir>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>

using CommandTableTest = GuiTestBase;

TEST_F(CommandTableTest, UnknownCodePassesOn) {
    EXPECT_EQ(send("zzzz"), eventNotHandledErr);
    EXPECT_EQ(send("ok  "), eventNotHandledErr); // no dialog is open
}

TEST_F(CommandTableTest, SaveBeforeAnyFetchWritesNothing) {
    EXPECT_EQ(send("save"), 0);
    EXPECT_EQ(send("svas"), 0);
    EXPECT_TRUE(QDir(m_folder.path()).entryList({"DS*"}, QDir::Files).isEmpty());
}

TEST_F(CommandTableTest, CancelWithoutJobClearsTheShownSheet) {
    EXPECT_EQ(send("disp"), 0);
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kDispSheet);
    EXPECT_EQ(send("fccn"), 0);
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kNoSheet);
    // Cancel does not hide the sheet.
    EXPECT_TRUE(IsWindowVisible(controller().dispSheetWindow()));
}

TEST_F(CommandTableTest, DisplayButtonShowsTheListSheet) {
    qobject_cast<QAbstractButton*>(controller().mainButton(2))->click();
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kDispSheet);
    EXPECT_TRUE(IsWindowVisible(controller().dispSheetWindow()));
    EXPECT_EQ(mainWindow()->size(), QSize(641, 516));
    // Once more does nothing.
    SizeWindow(mainWindow(), 400, 400);
    EXPECT_EQ(send("disp"), 0);
    EXPECT_EQ(mainWindow()->size(), QSize(400, 400));
}

TEST_F(CommandTableTest, EveryCommandIsOnTheMenuBar) {
    QMenuBar* bar = static_cast<QMainWindow*>(mainWindow())->menuBar();
    QSet<QString> commands;
    QSet<QString> withShortcut;
    for (QAction* action : bar->findChildren<QAction*>()) {
        QString command = action->property("command").toString();
        commands.insert(command);
        if (!action->shortcut().isEmpty())
            withShortcut.insert(command);
    }
    for (const char* code : {"fech", "list", "mkdt", "fund", "fina", "fccn", "disp", "save", "svas",
                             "pref", "abou", "clos", "quit"})
        EXPECT_TRUE(commands.contains(code)) << code;
    for (const char* code : {"save", "quit", "clos", "pref", "fccn"})
        EXPECT_TRUE(withShortcut.contains(code)) << code;
    // An item sends its command when chosen.
    for (QAction* action : bar->findChildren<QAction*>())
        if (action->property("command").toString() == "disp")
            action->trigger();
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kDispSheet);
}

TEST_F(CommandTableTest, EverySheetCancelButtonSendsCancel) {
    EXPECT_EQ(send("disp"), 0);
    for (int32_t sheet = CMetalWindow::kFetchSheet; sheet <= CMetalWindow::kFinanceSheet; ++sheet) {
        ControlRef cancel = controller().jobSheet(sheet)->cancelButton;
        ASSERT_NE(cancel, nullptr) << sheet;
        EXPECT_EQ(cancel->property("command").toString(), "fccn");
        EXPECT_FALSE(IsControlActive(cancel)); // active only while a job runs
    }
}

TEST_F(CommandTableTest, QuitEndsTheEventLoop) {
    for (const char* code : {"quit", "clos"}) {
        EventLoopTimerRef timer = InstallEventLoopTimer(0.0, 0.0, [code] { send(code); });
        RunApplicationEventLoop(); // returns only when the command quits it
        RemoveEventLoopTimer(timer);
    }
    EXPECT_EQ(m_exitCalls, 0);
}
