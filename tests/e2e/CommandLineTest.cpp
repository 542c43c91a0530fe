// The program run as a process: its help, usage errors and the desktop
// program's end.
#include "FolderLock.h"
#include "VezizoProcess.h"

#include <QDir>
#include <QProcess>
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
    const ProcessResult version = RunVezizo({"--version"});
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
        {{"help", "fetch", "quotes"}, "vezizo: help takes one subcommand"},
        {{"fetch", "extra"}, "vezizo fetch: unexpected argument extra"},
        {{"--interval", "19", "fetch"}, "vezizo: --interval takes whole milliseconds from 20 to "},
        {{"--interval", "100ms", "fetch"}, "vezizo: --interval takes whole milliseconds from 20"},
        {{"--interval", "fetch"}, "vezizo: --interval takes whole milliseconds from 20 to "},
        {{"history"}, "vezizo history: CODE is missing"},
        {{"history", "abc"},
         "vezizo history: CODE abc: a stock code begins with a number of at least 1"},
        // Twelve characters are refused, never cut to another stock's code.
        {{"history", "720300000001"},
         "vezizo history: CODE 720300000001: a stock code has at most 11 characters"},
        {{"history", "7203&y=5"},
         "vezizo history: CODE 7203&y=5: a stock code holds only letters, digits"},
        {{"history", "1301", "0"},
         "vezizo history: ROWS 0: the number of rows is a whole number from 1 to 100000"},
        {{"history", "1301", "abc"}, "vezizo history: ROWS abc: "},
        {{"history", "1301", "1e3"}, "vezizo history: ROWS 1e3: "},
        {{"history", "1301", "100001"}, "vezizo history: ROWS 100001: "},
        {{"history", "1301", "50", "9"}, "vezizo history: unexpected argument 9"},
        {{"history", "--all", "abc"}, "vezizo history: ROWS abc: "},
        {{"history", "--all", "0"}, "vezizo history: ROWS 0: "},
        {{"history", "--all", "5", "6"}, "vezizo history: unexpected argument 6"},
        {{"history", "--al"}, "vezizo history: CODE --al: "},
        {{"fetch", "--update-histories", "--update-histories"},
         "vezizo fetch: unexpected argument --update-histories"},
        {{"quotes", "--sort", "price"}, "vezizo quotes: --sort price: the key is one of name"},
        {{"quotes", "--sort"}, "vezizo quotes: --sort needs a key: name"},
        {{"listing", "--offline", "--offline"}, "vezizo listing: --offline is given twice"},
        {{"profile", "--only-added"}, "vezizo profile: unexpected argument --only-added"},
        {{"profile", "--everything"}, "vezizo profile: unexpected argument --everything"},
        {{"chart"}, "vezizo chart: CODE is missing"},
        {{"chart", "7203", "6758"}, "vezizo chart: unexpected argument 6758"},
        {{"chart", "7203", "--days", "0"}, "vezizo chart: --days 0"},
        {{"chart", "7203", "--days", "99999999999"}, "vezizo chart: --days 99999999999"},
        {{"chart", "7203", "--size", "800"}, "vezizo chart: --size 800"},
        {{"chart", "7203", "--size", "9000x800"}, "vezizo chart: --size 9000x800"},
        {{"chart", "7203", "--png"}, "vezizo chart: --png needs a value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ProcessResult run = RunVezizo(QStringList{"--folder", folder.path()} + c.arguments);
        EXPECT_THAT(run, Ended(2, "usage: "));
        EXPECT_TRUE(run.err.startsWith(c.message));
    }
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

// The desktop program ends in order when the session asks it to quit: with 0,
// or with 1 when another run holds the folder, which it says.
TEST(CommandLine, DesktopProgramEndsOnTerminateWithItsStatus) {
    const QByteArray inUse = "vezizo: another run of vezizo is using the folder ";
    for (const bool locked : {false, true}) {
        SCOPED_TRACE(locked ? "folder in use" : "free folder");
        QTemporaryDir folder, config;
        CFolderLock otherRun;
        ASSERT_TRUE(folder.isValid() && (!locked || otherRun.Lock(folder.path().toStdString())));
        QProcess window;
        StartVezizo(window, {"--folder", folder.path()}, config.path());
        ASSERT_TRUE(window.waitForStarted());
        // Up once start-up has made the webtemp folder or said why it cannot
        // run; the quit handlers are installed right after.
        QByteArray err;
        while (!(locked ? err.contains(inUse) : QDir(folder.filePath("webtemp")).exists()) &&
               window.state() == QProcess::Running) {
            window.waitForReadyRead(100);
            err += window.readAllStandardError();
        }
        QThread::msleep(800);
        err += window.readAllStandardError();
        EXPECT_EQ(err.contains(inUse), locked) << err.toStdString();
        EXPECT_EQ(window.state(), QProcess::Running);
        window.terminate();
        EXPECT_EQ(FinishVezizo(window).status, locked ? 1 : 0);
    }
}
