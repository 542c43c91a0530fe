// The folder's files as runs leave them: a run that cannot do its job ends
// with 1, says why and changes no file; one run per folder.
#include "ProcessTestBase.h"

namespace {

using FolderCommand = ProcessTestBase;

// The files a job writes, by name.
QStringList DataFiles(const QString& folder) {
    return QDir(folder).entryList({"DS*", "FN*", "KD*", "*.png", "VellmarkEx.DIC"});
}

TEST_F(FolderCommand, WhatCannotBeDoneEndsWithOneAndChangesNoFile) {
    QuoteSimProcess sim;
    ASSERT_TRUE(sim.isRunning());
    const QByteArray kFolder = "(a folder)", kNone = "(none)";
    // clang-format off
    const struct { const char* arguments; QString file; QByteArray made; const char* message; } rows[] = {
        // arguments, a file made before the run (none: ""), what it is, what the run says
        {"fetch",                      "fetchlist.csv",      kNone,                  "vezizo fetch: fetchlist.csvが見つかりません。\n"},
        {"--folder /nonexistent/vezizo fetch", "",           {},                     "/nonexistent/vezizo"},
        {"quotes",                     "",                   {},                     "vezizo quotes: no quotes have been fetched yet (vezizo fetch gets them)\n"},
        {"history 1000 50",            "",                   {},                     "no history file written"},
        {"fetch",                      SimDayFileName("DS"), kFolder,                "could not write the daily file"},
        {"chart 6758",                 "",                   {},                     "KD6758.KDT: no such file"},
        {"chart 1301",                 "KD1301.KDT",         QByteArray(53, '\0'),   "KD1301.KDT: the file's size is not a multiple of 26 bytes"},
        {"chart 7203 --png out.png",   "out.png",            kFolder,                "could not write"},
        {"profile",                    "VellmarkEx.DIC",     "",                     "/VellmarkEx.DIC is 0 bytes long"},
        {"profile",                    "VellmarkEx.DIC",     QByteArray(2027520, 3), "Move it away to have a new dictionary made."},
        {"profile --existing-dictionary-only --offline", "", {},                     "the job did not start"},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments);
        const auto state = [&] {
            const QFileInfo file(path(row.file));
            return file.isDir() ? kFolder : file.exists() ? bytes(row.file) : kNone;
        };
        layOut(sim);
        ASSERT_TRUE(WriteFetchList(m_folder.path(), FetchListLines(KnownCodes(3))) &&
                    WriteKDTFile(m_folder.path().toStdString(), 7203, RisingDays(60)) == 60);
        if (!row.file.isEmpty()) {
            ASSERT_TRUE(row.made == kFolder ? QDir(m_folder.path()).mkdir(row.file)
                        : row.made == kNone ? QFile::remove(path(row.file))
                                            : write(row.file, row.made));
        }
        const QStringList before = DataFiles(m_folder.path());
        // A relative --png names a file in the current folder.
        const QString here = QDir::currentPath();
        QDir::setCurrent(m_folder.path());
        const QStringList arguments = QString::fromLatin1(row.arguments).split(' ');
        const ProcessResult result =
            arguments[0] == "--folder" ? RunVezizo(arguments, m_config.path()) : run(arguments);
        QDir::setCurrent(here);
        EXPECT_THAT(result, Ended(1, QString::fromUtf8(row.message)));
        EXPECT_EQ(DataFiles(m_folder.path()), before);
        EXPECT_TRUE(row.file.isEmpty() || state() == row.made) << row.file.toStdString();
    }
}

// Started together, one run fetches and the other says the folder is in use
// without a request; the daily file is the one run's, complete, and no
// temporary file is left.
TEST_F(FolderCommand, TwoFetchesStartedTogetherOneRunsOneSaysSo) {
    const QString log = m_config.filePath("quote-sim.log");
    // Slow pages keep the first run at work while the second starts.
    QuoteSimProcess sim({"--fault", "drip:2@/q", "--log", log});
    const QVector<int> codes = KnownCodes(100);
    ASSERT_TRUE(sim.isRunning() && LayOutAppFolder(m_folder.path(), sim) &&
                WriteFetchList(m_folder.path(), FetchListLines(codes)));
    QProcess first, second;
    StartVezizo(first, {"--folder", m_folder.path(), "fetch"}, m_config.path());
    StartVezizo(second, {"--folder", m_folder.path(), "fetch"}, m_config.path());
    const ProcessResult runs[2] = {FinishVezizo(first, 120000), FinishVezizo(second, 120000)};
    const int winner = runs[0].status == 0 ? 0 : 1;
    EXPECT_THAT(runs[winner], Ended(0, "count 100, missing 0"));
    EXPECT_THAT(runs[1 - winner], Ended(1, "vezizo fetch: another run of vezizo is using the "
                                           "folder " +
                                               QDir(m_folder.path()).canonicalPath()));
    EXPECT_EQ(ReadSimLog(log).size(), 2);

    const QByteArray daily = bytes(SimDayFileName("DS"));
    EXPECT_TRUE(daily.count('\n') == 102 && daily.contains("\n100,0\n"));
    for (int code : codes) // each stock once
        EXPECT_EQ(daily.count(QString::asprintf("\n%04d,", code).toLatin1()), 1) << code;
    EXPECT_TRUE(QDir(m_folder.path()).entryList({".*.vezizo-tmp-*"}, QDir::Hidden).isEmpty());
}

} // namespace
