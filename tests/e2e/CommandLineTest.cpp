// The program run as a process: its help, usage errors, the desktop
// program's end, and one run per folder.
#include "AppTestBase.h"
#include "FolderLock.h"

using CommandLine = AppTestBase;

// --help and "help" exit 0 and say which folder the run would use; a
// subcommand's help is the same either way. What the help lists, the manual
// page must name (PackageTest).
TEST_F(CommandLine, HelpExitsZeroAndUsageErrorsTwo) {
    const ProcessResult help = RunVezizo({"--help"});
    EXPECT_TRUE(help.status == 0 && help.err.isEmpty() &&
                help.out.contains("Here: " VEZIZO_BUILD_DIR "\n")); // the build tree's program
    EXPECT_EQ(RunVezizo({"help"}).out, help.out);
    EXPECT_TRUE(
        RunVezizo({"--folder", "/some/folder", "--help"}).out.contains("Here: /some/folder\n"));
    const ProcessResult one = RunVezizo({"help", "chart"});
    EXPECT_TRUE(one.status == 0 && one.out.startsWith("usage: vezizo [--folder DIR] chart"));
    EXPECT_EQ(RunVezizo({"chart", "--help"}).out, one.out);

    // Every wrong argument is a usage error that names it, and touches
    // nothing in the folder.
    // Each row: the arguments, and how standard error begins after "vezizo".
    // clang-format off
    for (const auto& [arguments, said] : std::initializer_list<std::pair<const char*, const char*>>{
             {"no-such-job", ": unknown subcommand no-such-job"},
             {"--bogus", ": unknown option --bogus"},
             {"--folder", ": --folder needs a folder"},
             {"help fetch quotes", ": help takes one subcommand"},
             {"fetch extra", " fetch: unexpected argument extra"},
             {"--interval 19 fetch", ": --interval takes whole milliseconds from 20 to "},
             {"history", " history: CODE is missing"},
             {"history abc", " history: CODE abc: a stock code begins with a number"},
             {"history 1301 0", " history: ROWS 0: the number of rows is a whole number"},
             {"history 1301 1e3", " history: ROWS 1e3: "},
             {"history 1301 100001", " history: ROWS 100001: "},
             {"history 1301 50 9", " history: unexpected argument 9"},
             {"history --all 0", " history: ROWS 0: "},
             {"history --al", " history: CODE --al: "},
             {"fetch --update-histories --update-histories", " fetch: unexpected argument --update"},
             {"quotes --sort price", " quotes: --sort price: the key is one of name"},
             {"quotes --sort", " quotes: --sort needs a key: name"},
             {"listing --offline --offline", " listing: --offline is given twice"},
             {"profile --only-added", " profile: unexpected argument --only-added"},
             {"chart", " chart: CODE is missing"},
             {"chart 7203 6758", " chart: unexpected argument 6758"},
             {"chart 7203 --days 99999999999", " chart: --days 99999999999"},
             {"chart 7203 --size 800", " chart: --size 800"},
             {"chart 7203 --size 9000x800", " chart: --size 9000x800"},
             {"chart 7203 --png", " chart: --png needs a value"},
         }) {
        // clang-format on
        SCOPED_TRACE(arguments);
        const ProcessResult result = run(QString::fromLatin1(arguments).split(' '));
        EXPECT_THAT(result, Ended(2, "usage: "));
        EXPECT_TRUE(result.err.startsWith("vezizo" + QString::fromLatin1(said)));
    }
    EXPECT_TRUE(QDir(m_folder.path()).isEmpty());
}

// The desktop program ends in order when the session asks it to quit: with 0,
// or with 1 when another run holds the folder, which it says.
TEST_F(CommandLine, DesktopProgramEndsOnTerminateWithItsStatus) {
    const QByteArray inUse = "vezizo: another run of vezizo is using the folder ";
    for (const bool locked : {false, true}) {
        SCOPED_TRACE(locked ? "folder in use" : "free folder");
        CFolderLock otherRun;
        ASSERT_TRUE(!locked || otherRun.Lock(m_folder.path().toStdString()));
        QProcess window;
        StartVezizo(window, {"--folder", m_folder.path()}, m_config.path());
        // Up once start-up has made the webtemp folder or said why it cannot
        // run; the quit handlers are installed right after.
        QByteArray err;
        while (!(locked ? err.contains(inUse) : QDir(path("webtemp")).exists()) &&
               window.state() != QProcess::NotRunning) {
            window.waitForReadyRead(100);
            err += window.readAllStandardError();
        }
        EXPECT_FALSE(window.waitForFinished(800)); // still running after it
        window.terminate();
        const ProcessResult end = FinishVezizo(window);
        EXPECT_EQ(std::pair(end.status, err.contains(inUse) || end.err.contains(inUse)),
                  std::pair(int(locked), locked));
    }
}

// Started together, one run fetches and the other says the folder is in use
// without a request; the daily file is the one run's, complete, and no
// temporary file is left.
TEST_F(CommandLine, TwoFetchesStartedTogetherOneRunsOneSaysSo) {
    serve({"--fault", "drip:2@/q"}); // slow pages: the first run is at work when the second starts
    ASSERT_TRUE(layOut(FetchListLines(KnownCodes(100))));
    QProcess first, second;
    StartVezizo(first, {"--folder", m_folder.path(), "fetch"}, m_config.path());
    StartVezizo(second, {"--folder", m_folder.path(), "fetch"}, m_config.path());
    const ProcessResult runs[2] = {FinishVezizo(first, 120000), FinishVezizo(second, 120000)};
    const int winner = runs[0].status == 0 ? 0 : 1;
    EXPECT_THAT(runs[winner], Ended(0, "count 100, missing 0"));
    const QString inUse = "vezizo fetch: another run of vezizo is using the folder ";
    EXPECT_THAT(runs[1 - winner], Ended(1, inUse + QDir(m_folder.path()).canonicalPath()));
    EXPECT_EQ(ReadSimLog(m_config.filePath("quote-sim.log")).size(), 2);

    const QByteArray daily = bytes(SimDayFileName("DS"));
    EXPECT_TRUE(daily.count('\n') == 102 && daily.contains("\n100,0\n"));
    EXPECT_TRUE(QDir(m_folder.path()).entryList({".*.vezizo-tmp-*"}, QDir::Hidden).isEmpty());
}
