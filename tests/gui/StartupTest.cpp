// Start-up on an application folder: the caution that names what it could
// not take, the temporaries a crashed run left, and a folder another run holds.
#include "GuiTestBase.h"

#include "FolderLock.h"

#include <QDateTime>

using StartupTest = GuiTestBase;

// Without a fetch list, with a market table that gives nothing and
// servers.conf lines that cannot be used, one caution names them all; the
// program runs on, and a job over the empty list starts nothing.
TEST_F(StartupTest, CautionNamesWhatStartUpCouldNotTake) {
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
    EXPECT_TRUE(waitUntil([&] { return cautions().isEmpty(); }));
    EXPECT_EQ(send("fech"), 0);
    EXPECT_FALSE(controller().anyJobRunning());
}

// A crashed run's temporaries go at the next start, but none while another
// run holds the folder: then they are its live files, the caution says the folder is in use, and
// each command that works on its files is refused with the caution again.
TEST_F(StartupTest, TemporariesAndAFolderInUse) {
    CFolderLock otherRun;
    for (bool held : {false, true}) {
        SCOPED_TRACE(held ? "held by another run" : "free");
        m_app.ShutDown();
        ASSERT_TRUE(!held || otherRun.Lock(m_folder.path().toStdString()));
        QFile temporary(path(".DS061225.DAT.vezizo-tmp-a1B2c3"));
        ASSERT_TRUE(temporary.open(QIODevice::WriteOnly) &&
                    temporary.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                          QFileDevice::FileModificationTime));
        startProgram();
        EXPECT_EQ(QFile::exists(path(".DS061225.DAT.vezizo-tmp-a1B2c3")), held);
        EXPECT_EQ(cautions().size(), held ? 1 : 0);
    }
    ASSERT_FALSE(cautions().isEmpty());
    EXPECT_EQ(cautions()[0]->text().toStdString(), CFolderLock::InUseMessage(g_startupPath));
    int shown = 1;
    for (const char* command : {"fech", "list", "mkdt", "fund", "fina", "disp", "save"}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(sendAnswered(command, "not!"), 0);
        EXPECT_EQ(m_dialogs, 0);
        EXPECT_EQ(cautions().size(), ++shown);
        EXPECT_EQ(controller().shownSheet(), CMetalWindow::kNoSheet);
        EXPECT_FALSE(controller().anyJobRunning());
    }
    EXPECT_TRUE(QFile::exists(path(".DS061225.DAT.vezizo-tmp-a1B2c3")));
}
