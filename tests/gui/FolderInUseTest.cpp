// A run that finds its application folder held by another run: the window
// says so, stays open, refuses whatever would work on the folder's files and
// leaves the other run's temporaries alone.
#include "GuiTestBase.h"

#include "FolderLock.h"
#include "VezizoMain.h"

#include <QDateTime>
#include <QMessageBox>

class FolderInUseTest : public GuiTestBase {
protected:
    void SetUp() override {
        GuiTestBase::SetUp();
        m_app.ShutDown();
        // The other run: it holds the folder and is writing a file.
        ASSERT_TRUE(m_otherRun.Lock(m_folder.path().toStdString()));
        QFile temporary(path(".DS061225.DAT.vezizo-tmp-a1B2c3"));
        ASSERT_TRUE(temporary.open(QIODevice::WriteOnly));
        ASSERT_TRUE(temporary.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                          QFileDevice::FileModificationTime));
        ASSERT_TRUE(m_app.StartUp("", m_folder.path().toStdString()));
    }
    QList<QMessageBox*> cautions() {
        return mainWindow()->findChildren<QMessageBox*>("cautionAlertSheet");
    }

    CFolderLock m_otherRun;
};

TEST_F(FolderInUseTest, WindowSaysSoAndRefusesTheFoldersCommands) {
    EXPECT_TRUE(m_app.folderInUse());
    ASSERT_EQ(cautions().size(), 1);
    EXPECT_EQ(cautions()[0]->text().toStdString(), CFolderLock::InUseMessage(g_startupPath));
    SaveScreenshot(cautions()[0], "FolderInUse");

    int dialogs = 0;
    SetModalLoopHook([&dialogs](WindowRef) {
        ++dialogs;
        send("not!");
    });
    int shown = 1;
    for (const char* command : {"fech", "list", "mkdt", "fund", "fina", "disp", "save"}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(send(command), 0);
        EXPECT_EQ(cautions().size(), ++shown);
        EXPECT_EQ(controller().shownSheet(), CMetalWindow::kNoSheet);
        EXPECT_FALSE(controller().anyJobRunning());
    }
    SetModalLoopHook({});
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(m_exitCalls, 0);
    EXPECT_TRUE(QFile::exists(path(".DS061225.DAT.vezizo-tmp-a1B2c3")));
}
