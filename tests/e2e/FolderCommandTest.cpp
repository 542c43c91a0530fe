// The folder's files as runs leave them: a run that cannot do its job ends
// with 1, says why and changes no file; one run per folder; what start-up
// cannot take is named and the run goes on.
#include "KDFile.h"
#include "RisingDays.h"
#include "SimAppFolder.h"
#include "VezizoProcess.h"

#include <QDir>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The files a job writes, by name.
QStringList DataFiles(const QString& folder) {
    return QDir(folder).entryList({"DS*", "FN*", "KD*", "*.png", "VellmarkEx.DIC"});
}

TEST(FolderCommand, WhatCannotBeDoneEndsWithOneAndChangesNoFile) {
    QuoteSimProcess sim;
    QTemporaryDir config, scratch;
    ASSERT_TRUE(sim.isRunning() && WriteKDFile(scratch.filePath("kd"), RisingDays(60)));
    const QByteArray kd = ReadAppFile(scratch.path(), "kd");
    const QByteArray kFolder = "(a folder)", kNone = "(none)";
    const struct {
        const char* arguments;
        QMap<QString, QByteArray> files; // made before the run, and so after it
        const char* message;
    } rows[] = {
        {"fetch", {{"fetchlist.csv", kNone}}, "vezizo fetch: fetchlist.csvが見つかりません。\n"},
        {"--folder /nonexistent/vezizo fetch", {}, "/nonexistent/vezizo"},
        {"quotes", {}, "vezizo quotes: no quotes have been fetched yet (vezizo fetch gets them)\n"},
        {"history 1000 50", {}, "no history file written"},
        {"fetch", {{SimDayFileName("DS"), kFolder}}, "could not write the daily file"},
        {"chart 6758", {}, "KD6758.KDT: no such file"},
        {"chart 1301",
         {{"KD1301.KDT", QByteArray(53, '\0')}},
         "KD1301.KDT: the file's size is not a multiple of 26 bytes"},
        {"chart 7203 --png out.png", {{"KD7203.KDT", kd}, {"out.png", kFolder}}, "could not write"},
        {"profile", {{"VellmarkEx.DIC", ""}}, "/VellmarkEx.DIC is 0 bytes long"},
        {"profile",
         {{"VellmarkEx.DIC", QByteArray(2027520, 3)}},
         "Move it away to have a new dictionary made."},
        {"profile --existing-dictionary-only --offline", {}, "the job did not start"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments);
        QTemporaryDir folder;
        const auto state = [&folder, kFolder, kNone](const QString& name) {
            const QFileInfo file(folder.filePath(name));
            return file.isDir()    ? kFolder
                   : file.exists() ? ReadAppFile(folder.path(), name)
                                   : kNone;
        };
        ASSERT_TRUE(LayOutAppFolder(folder.path(), sim) &&
                    WriteFetchList(folder.path(), FetchListLines(KnownCodes(3))));
        for (auto it = row.files.cbegin(); it != row.files.cend(); ++it)
            ASSERT_TRUE(it.value() == kFolder ? QDir(folder.path()).mkdir(it.key())
                        : it.value() == kNone ? QFile::remove(folder.filePath(it.key()))
                                              : WriteAppFile(folder.path(), it.key(), it.value()));
        const QStringList before = DataFiles(folder.path());
        // A relative --png names a file in the current folder.
        const QString here = QDir::currentPath();
        QDir::setCurrent(folder.path());
        const QString arguments = QString::fromLatin1(row.arguments);
        const ProcessResult run = RunVezizo(
            (arguments.startsWith("--") ? QStringList() : QStringList{"--folder", folder.path()}) +
                arguments.split(' '),
            config.path());
        QDir::setCurrent(here);
        EXPECT_THAT(run, Ended(1, QString::fromUtf8(row.message)));
        EXPECT_EQ(DataFiles(folder.path()), before);
        for (auto it = row.files.cbegin(); it != row.files.cend(); ++it)
            EXPECT_EQ(state(it.key()), it.value()) << it.key().toStdString();
    }
}

// Started together, one run fetches and the other says the folder is in use
// without a request; the daily file is the one run's, complete, and no
// temporary file is left.
TEST(FolderCommand, TwoFetchesStartedTogetherOneRunsOneSaysSo) {
    QTemporaryDir folder, config;
    const QString log = config.filePath("quote-sim.log");
    // Slow pages keep the first run at work while the second starts.
    QuoteSimProcess sim({"--fault", "drip:2@/q", "--log", log});
    const QVector<int> codes = KnownCodes(100);
    ASSERT_TRUE(sim.isRunning() && LayOutAppFolder(folder.path(), sim) &&
                WriteFetchList(folder.path(), FetchListLines(codes)));
    QProcess first, second;
    StartVezizo(first, {"--folder", folder.path(), "fetch"}, config.path());
    StartVezizo(second, {"--folder", folder.path(), "fetch"}, config.path());
    const ProcessResult runs[2] = {FinishVezizo(first, 120000), FinishVezizo(second, 120000)};
    const int winner = runs[0].status == 0 ? 0 : 1;
    EXPECT_THAT(runs[winner], Ended(0, "count 100, missing 0"));
    EXPECT_THAT(runs[1 - winner], Ended(1, "vezizo fetch: another run of vezizo is using the "
                                           "folder " +
                                               QDir(folder.path()).canonicalPath()));
    EXPECT_EQ(ReadSimLog(log).size(), 2);

    const QByteArray daily = ReadAppFile(folder.path(), SimDayFileName("DS"));
    EXPECT_TRUE(daily.count('\n') == 102 && daily.contains("\n100,0\n"));
    for (int code : codes) // each stock once
        EXPECT_EQ(daily.count(QString::asprintf("\n%04d,", code).toLatin1()), 1) << code;
    EXPECT_TRUE(QDir(folder.path()).entryList({".*.vezizo-tmp-*"}, QDir::Hidden).isEmpty());
}

// Without market.csv every market is unknown (DS code 0), a servers.conf line
// that cannot be used leaves its server at the default, and a fetch-list line
// whose quote code would change the request is not requested but logged.
TEST(FolderCommand, RunsOnWhatStartUpCouldNotTake) {
    QTemporaryDir folder, config;
    const QString log = config.filePath("quote-sim.log");
    QuoteSimProcess sim({"--log", log});
    const QByteArray host = sim.hostPort().toLatin1();
    const SimStock& first = TestSimMarket().stocks().at(0);
    const SimStock& second = TestSimMarket().stocks().at(1);
    ASSERT_TRUE(sim.isRunning() &&
                WriteAppFile(folder.path(), "servers.conf",
                             "quote=" + host + "\nhistory=junk junk\nprofile=" + host + "\n") &&
                WriteFetchList(folder.path(), CSimMarket::fetchListLine(first) +
                                                  "7203&d=v3,7203,T,HOSTILE\n" +
                                                  CSimMarket::fetchListLine(second)));
    const ProcessResult fetch = RunVezizo({"--folder", folder.path(), "fetch"}, config.path());
    for (const char* said :
         {"/market.csv is missing: without the market table every market is unknown",
          "/servers.conf line 2 cannot be used: a line is quote=, history= or profile=",
          "fetch: fetchlist.csv line 2 was not requested, as its quote code cannot go into a",
          ": 2 stocks, 1 missing\n"})
        EXPECT_THAT(fetch, Ended(0, said));
    const QList<SimLogEntry> asked = ReadSimLog(log);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].request, "GET /q?s=" + first.quoteCode.toLatin1() + "+" +
                                    second.quoteCode.toLatin1() + "&d=v2");
    EXPECT_TRUE(ReadAppFile(folder.path(), "ERRORLOG.TXT")
                    .startsWith("page=0 code=7203 name=HOSTILE reason=quote code \"7203&d=v3\""));
    const QByteArray daily = ReadAppFile(folder.path(), SimDayFileName("DS"));
    EXPECT_TRUE(daily.count('\n') == 4 &&
                daily.contains(QString::asprintf("\n%04d,0,", first.code).toLatin1()) &&
                daily.contains(QString::asprintf("\n%04d,0,", second.code).toLatin1()));
}

} // namespace
