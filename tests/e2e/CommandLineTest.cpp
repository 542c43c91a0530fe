// The program run as a process: options, usage errors and a job that cannot
// start.
#include "VezizoProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

TEST(CommandLine, HelpAndVersion) {
    ProcessResult help = RunVezizo({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("usage: vezizo [--folder DIR]")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("fetch"));

    ProcessResult version = RunVezizo({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, QStringLiteral("vezizo " VEZIZO_VERSION "\n"));
}

TEST(CommandLine, UsageErrorsExitTwo) {
    for (const QStringList& arguments : {QStringList{"no-such-job"}, QStringList{"--bogus"},
                                         QStringList{"--folder"}, QStringList{"fetch", "extra"}}) {
        ProcessResult run = RunVezizo(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("usage:")) << run.err.toStdString();
    }
}

TEST(CommandLine, JobWithoutFetchListExitsOne) {
    QTemporaryDir folder, config;
    ASSERT_TRUE(folder.isValid() && config.isValid());
    ASSERT_TRUE(
        QFile::copy(VEZIZO_SOURCE_DIR "/Resources/market.csv", folder.filePath("market.csv")));
    // A session without a runtime folder, as under cron: Qt's notes about it
    // and about the offscreen window stay off standard error.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", config.path());
    environment.remove("XDG_RUNTIME_DIR");
    ProcessResult run = RunProcess(VEZIZO_EXE, {"--folder", folder.path(), "fetch"}, environment);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, QString::fromUtf8("vezizo fetch: fetchlist.csvが見つかりません。\n"));
    // Start-up ran in the folder, as the desktop program would.
    EXPECT_TRUE(QDir(folder.filePath("webtemp")).exists());
}

TEST(CommandLine, MissingFolderExitsOne) {
    ProcessResult run = RunVezizo({"--folder", "/nonexistent/vezizo-folder", "fetch"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("/nonexistent/vezizo-folder"));
}

TEST(CommandLine, DesktopProgramQuitsInOrderOnTerminate) {
    QTemporaryDir folder, config;
    ASSERT_TRUE(folder.isValid() && config.isValid());
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", config.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start(VEZIZO_EXE, {"--folder", folder.path()});
    ASSERT_TRUE(process.waitForStarted());
    // The window is up once start-up has made the webtemp folder.
    for (int i = 0; i < 100 && !QDir(folder.filePath("webtemp")).exists(); ++i)
        QThread::msleep(50);
    QThread::msleep(800); // the handlers are installed right after
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
}
