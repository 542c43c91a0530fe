// The program run as a process: options, usage errors and a job that cannot
// start.
#include "VezizoProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

// --help says what every subcommand does, where the folder is, which files
// there are and what the exit statuses mean; each subcommand has its own help.
TEST(CommandLine, HelpAndVersion) {
    const ProcessResult help = RunVezizo({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    for (const char* name :
         {"fetch", "finance", "listing", "profile", "history", "quotes", "chart"}) {
        SCOPED_TRACE(name);
        const QRegularExpression summary(QStringLiteral("\n  %1 +[a-z]+ [^\n]{20,}\n").arg(name));
        EXPECT_TRUE(help.out.contains("vezizo [--folder DIR] " + QString(name)));
        EXPECT_TRUE(help.out.contains(summary)) << help.out.toStdString();

        const ProcessResult one = RunVezizo({"help", name});
        EXPECT_EQ(one.status, 0);
        EXPECT_TRUE(one.out.startsWith("usage: vezizo [--folder DIR] " + QString(name)));
        EXPECT_TRUE(one.out.contains("\nReads: ") && one.out.contains("\nWrites: "))
            << one.out.toStdString();
        EXPECT_EQ(RunVezizo({name, "--help"}).out, one.out);
    }
    // The program in the build tree keeps its folder there.
    for (const char* said :
         {"usage: vezizo [--folder DIR]", "Here: " VEZIZO_BUILD_DIR "\n", "fetchlist.csv",
          "market.csv", "servers.conf", "ERRORLOG.TXT", "Exit status: 0 all done; 1 nothing done"})
        EXPECT_TRUE(help.out.contains(said)) << said;
    EXPECT_TRUE(
        RunVezizo({"--folder", "/some/folder", "--help"}).out.contains("Here: /some/folder\n"));
    EXPECT_EQ(RunVezizo({"help"}).out, help.out);

    ProcessResult version = RunVezizo({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, QStringLiteral("vezizo " VEZIZO_VERSION "\n"));
}

// Every wrong argument is a usage error that names it, and touches nothing in
// the folder.
TEST(CommandLine, UsageErrorsExitTwo) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const struct {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {{"no-such-job"}, "vezizo: unknown subcommand no-such-job"},
        {{"--bogus"}, "vezizo: unknown option --bogus"},
        {{"--folder"}, "vezizo: --folder needs a folder"},
        {{"help", "no-such-job"}, "vezizo: unknown subcommand no-such-job"},
        {{"help", "fetch", "quotes"}, "vezizo: help takes one subcommand"},
        {{"fetch", "extra"}, "vezizo fetch: unexpected argument extra"},
        {{"history"}, "vezizo history: CODE is missing"},
        {{"history", "abc"},
         "vezizo history: CODE abc: a stock code begins with a number of at "
         "least 1"},
        // Twelve characters are refused, never cut to another stock's code.
        {{"history", "720300000001"},
         "vezizo history: CODE 720300000001: a stock code has at most 11 characters"},
        {{"history", "7203&y=5"},
         "vezizo history: CODE 7203&y=5: a stock code holds only letters, digits"},
        {{"history", "1301", "0"},
         "vezizo history: ROWS 0: the number of rows is a whole number "
         "from 1 to 100000"},
        {{"history", "1301", "abc"}, "vezizo history: ROWS abc: "},
        {{"history", "1301", "1e3"}, "vezizo history: ROWS 1e3: "},
        {{"history", "1301", "100001"}, "vezizo history: ROWS 100001: "},
        {{"history", "1301", "50", "9"}, "vezizo history: unexpected argument 9"},
        {{"quotes", "--sort", "price"}, "vezizo quotes: --sort price: the key is one of name"},
        {{"quotes", "--sort"}, "vezizo quotes: --sort needs a key: name"},
        {{"listing", "--offline", "--offline"}, "vezizo listing: --offline is given twice"},
        {{"profile", "--only-added"}, "vezizo profile: unexpected argument --only-added"},
        {{"chart", "7203", "--days", "0"}, "vezizo chart: --days 0: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ProcessResult run = RunVezizo(QStringList{"--folder", folder.path()} + c.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.startsWith(c.message)) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("usage: ")) << run.err.toStdString();
    }
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
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
