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

// A market table that gives nothing and servers.conf lines that cannot be
// used are named on the one caution sheet; the program runs on.
TEST_F(StartupWithoutFetchListTest, CautionNamesWhatStartUpCouldNotTake) {
    QFile servers(path("servers.conf"));
    ASSERT_TRUE(servers.open(QIODevice::WriteOnly));
    servers.write("# the service\nquote=127.0.0.1:8731\nnonsense\rprofile=bad host");
    servers.close();
    const struct {
        const char* name;
        std::function<bool()> make;
        const char* said;
    } tables[] = {
        {"missing", [this] { return QFile::remove(path("market.csv")); }, "is missing"},
        {"empty",
         [this] {
             QFile table(path("market.csv"));
             return table.open(QIODevice::WriteOnly);
         },
         "is empty"},
        {"a folder",
         [this] { return QFile::remove(path("market.csv")) && QDir().mkdir(path("market.csv")); },
         "cannot be read"},
    };
    for (const auto& table : tables) {
        SCOPED_TRACE(table.name);
        m_app.ShutDown();
        ASSERT_TRUE(table.make());
        ASSERT_TRUE(m_app.StartUp("", m_folder.path().toStdString()));
        const QString folder = QString::fromStdString(g_startupPath);
        const QString expected =
            folder + "/market.csv " + table.said +
            ": without the market table every market is unknown (0 in the daily files, X in the "
            "fetch list) and no quote code gets .O or .N\n\n" +
            folder +
            "/servers.conf lines 3 and 4 cannot be used: a line is quote=, history= or profile= "
            "followed by HOST[:PORT]; a server without a usable line is 127.0.0.1:8731\n\n" +
            QString::fromUtf8("fetchlist.csvが見つかりません。");
        const auto alerts = mainWindow()->findChildren<QMessageBox*>("cautionAlertSheet");
        ASSERT_EQ(alerts.size(), 1);
        EXPECT_EQ(alerts[0]->text(), expected);
        EXPECT_EQ(m_app.startupWarnings().size(), 2u);
        EXPECT_EQ(g_marketConv->nEntries(), 0);
        if (std::string(table.name) == "missing")
            SaveScreenshot(alerts[0], "CautionOfStartUp");
        EXPECT_EQ(send("disp"), 0); // the program runs on
    }
}
