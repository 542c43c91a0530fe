// Start-up against an application folder, the caution for a missing fetch
// list, the main window's sizes and closing it.
#include "GuiTestBase.h"

#include "Fetch/MarketConv.h"
#include "VezizoMain.h"

#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QMessageBox>

using StartupTest = GuiTestBase;

TEST_F(StartupTest, ReadsTheApplicationFolder) {
    EXPECT_EQ(g_startupPath, QDir(m_folder.path()).canonicalPath().toStdString());
    ASSERT_NE(g_marketConv, nullptr);
    EXPECT_GT(g_marketConv->nEntries(), 0);
    EXPECT_TRUE(QDir(path("webtemp")).exists());
    EXPECT_EQ(g_mainWindow, &controller());
    EXPECT_TRUE(windowsNamed("cautionAlertSheet").isEmpty() &&
                mainWindow()->findChildren<QMessageBox*>().isEmpty());
}

TEST_F(StartupTest, MainWindowSizes) {
    WindowBounds start = GetWindowBounds(mainWindow());
    EXPECT_EQ(start.width, 340);
    EXPECT_EQ(start.height, 76);
    EXPECT_TRUE(IsWindowVisible(mainWindow()));

    controller().HideSheetWindow();
    WindowBounds idle = GetWindowBounds(mainWindow());
    EXPECT_EQ(idle.width, 350);
    EXPECT_EQ(idle.height, 120);
    EXPECT_EQ(idle.left, start.left);
    EXPECT_EQ(idle.top, start.top);
}

TEST_F(StartupTest, AnimatedResizeEndsAtTheTargetFrame) {
    SetWindowAnimationsEnabled(true);
    controller().HideSheetWindow();
    EXPECT_TRUE(waitUntil([&] { return mainWindow()->size() == QSize(350, 120); }, 2000));
}

TEST_F(StartupTest, ClosingTheMainWindowEndsTheProcessAtOnce) {
    mainWindow()->close();
    EXPECT_EQ(m_exitCalls, 1);
}

// What a crashed run left goes at the next start; a file changed after the
// start is no leftover.
TEST_F(StartupTest, NextStartRemovesACrashedRunsTemporaries) {
    m_app.ShutDown();
    const QDateTime now = QDateTime::currentDateTime();
    for (const auto& [name, age] : {std::pair(".DS061225.DAT.vezizo-tmp-a1B2c3", 3600),
                                    std::pair(".KD7203.KDT.vezizo-tmp-b2C3d4", -3600)}) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.setFileTime(now.addSecs(-age), QFileDevice::FileModificationTime));
    }
    ASSERT_TRUE(m_app.StartUp("", m_folder.path().toStdString()));
    EXPECT_FALSE(QFile::exists(path(".DS061225.DAT.vezizo-tmp-a1B2c3")));
    EXPECT_TRUE(QFile::exists(path(".KD7203.KDT.vezizo-tmp-b2C3d4")));
}

using StartupWithoutFetchListTest = GuiTestWithoutFetchList;

TEST_F(StartupWithoutFetchListTest, ShowsTheCautionAndKeepsRunning) {
    auto alerts = mainWindow()->findChildren<QMessageBox*>("cautionAlertSheet");
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0]->text(), QString::fromUtf8("fetchlist.csvが見つかりません。"));
    EXPECT_EQ(alerts[0]->buttons().size(), 1);
    EXPECT_TRUE(alerts[0]->isVisible());

    // The program goes on: the event loop serves commands and OK closes the sheet.
    waitFor(50);
    EXPECT_EQ(m_exitCalls, 0);
    EXPECT_EQ(send("disp"), 0);
    alerts[0]->buttons().first()->click();
    EXPECT_TRUE(waitUntil([&] { return mainWindow()->findChildren<QMessageBox*>().isEmpty(); }));

    // A job over the empty list starts nothing.
    EXPECT_EQ(send("fccn"), 0);
    EXPECT_EQ(send("fech"), 0);
    EXPECT_EQ(controller().shownSheet(), 0);
    EXPECT_FALSE(controller().anyJobRunning());
}
