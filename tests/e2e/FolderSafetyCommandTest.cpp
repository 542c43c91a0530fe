// The folder's files stay safe when runs meet: one run per application folder
// (command line and window), and a file in the dictionary's place that is no
// dictionary is never written into.
#include "FolderLock.h"
#include "SimAppFolder.h"
#include "VezizoProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const char kInUse[] = "another run of vezizo is using the folder ";

int Requests(const QString& log, const QByteArray& text) {
    QFile file(log);
    return file.open(QIODevice::ReadOnly) ? int(file.readAll().count(text)) : -1;
}

} // namespace

// Started together, one run fetches and the other says the folder is in use
// without a request; the daily file is the one run's, complete.
TEST(FolderSafetyCommand, TwoFetchesStartedTogetherOneRunsOneSaysSo) {
    QTemporaryDir folder, config;
    ASSERT_TRUE(folder.isValid() && config.isValid());
    const QString log = folder.filePath("quote-sim.log");
    // Slow pages keep the first run at work while the second starts.
    QuoteSimProcess sim({"--fault", "drip:2@/q", "--log", log});
    ASSERT_TRUE(sim.isRunning());
    const QVector<int> codes = KnownCodes(100);
    ASSERT_TRUE(LayOutAppFolder(folder.path(), sim) &&
                WriteFetchList(folder.path(), FetchListLines(codes)));

    QProcess first, second;
    StartVezizo(first, {"--folder", folder.path(), "fetch"}, config.path());
    StartVezizo(second, {"--folder", folder.path(), "fetch"}, config.path());
    const ProcessResult runs[2] = {FinishVezizo(first, 120000), FinishVezizo(second, 120000)};
    const int winner = runs[0].status == 0 ? 0 : 1;
    ASSERT_EQ(runs[winner].status, 0) << runs[winner].err.toStdString();
    const ProcessResult& other = runs[1 - winner];
    EXPECT_EQ(other.status, 1) << other.err.toStdString();
    EXPECT_TRUE(other.err.contains(QStringLiteral("vezizo fetch: ") + kInUse +
                                   QDir(folder.path()).canonicalPath()))
        << other.err.toStdString();
    EXPECT_TRUE(runs[winner].err.contains("count 100, missing 0"))
        << runs[winner].err.toStdString();
    EXPECT_EQ(Requests(log, "GET /q?s="), 2);

    const QStringList days = QDir(folder.path()).entryList({"DS*.DAT"}, QDir::Files);
    ASSERT_EQ(days.size(), 1);
    const QList<QByteArray> lines = ReadAppFile(folder.path(), days[0]).split('\n');
    ASSERT_EQ(lines.size(), 103); // date, count, 100 stocks, the end of the last line
    EXPECT_EQ(lines[1], "100,0");
    QSet<int> written;
    for (int i = 2; i < 102; ++i)
        written.insert(lines[i].left(4).toInt());
    EXPECT_EQ(written, QSet<int>(codes.begin(), codes.end()));
    EXPECT_TRUE(QDir(folder.path()).entryList({".*.vezizo-tmp-*"}, QDir::Hidden).isEmpty());
}

// The desktop program on a folder in use shows why and ends with status 1.
TEST(FolderSafetyCommand, WindowOnAFolderInUseEndsWithStatusOne) {
    QTemporaryDir folder, config;
    ASSERT_TRUE(folder.isValid() && config.isValid());
    CFolderLock otherRun;
    ASSERT_TRUE(otherRun.Lock(folder.path().toStdString()));

    QProcess window;
    window.setReadChannel(QProcess::StandardError);
    StartVezizo(window, {"--folder", folder.path()}, config.path());
    QByteArray err;
    while (!err.contains(kInUse) && window.waitForReadyRead(60000))
        err += window.readAllStandardError();
    EXPECT_TRUE(err.contains(QByteArray("vezizo: ") + kInUse)) << err.toStdString();
    EXPECT_EQ(window.state(), QProcess::Running);
    window.terminate(); // the session's quit request
    EXPECT_EQ(FinishVezizo(window).status, 1);
}

TEST(FolderSafetyCommand, ProfileRefusesAFileOfAnotherSizeAndLeavesIt) {
    QuoteSimProcess sim;
    ASSERT_TRUE(sim.isRunning());
    for (const int size : {0, 2027520}) {
        SCOPED_TRACE(size);
        QTemporaryDir folder, config;
        ASSERT_TRUE(folder.isValid() && config.isValid());
        ASSERT_TRUE(LayOutAppFolder(folder.path(), sim) &&
                    WriteFetchList(folder.path(), FetchListLines(KnownCodes(3))));
        const QByteArray bytes(size, '\x33');
        QFile dictionary(folder.filePath("VellmarkEx.DIC"));
        ASSERT_TRUE(dictionary.open(QIODevice::WriteOnly) && dictionary.write(bytes) == size);
        dictionary.close();

        const ProcessResult run = RunVezizo({"--folder", folder.path(), "profile"}, config.path());
        EXPECT_EQ(run.status, 1);
        const QString named = QDir(folder.path()).canonicalPath() +
                              QStringLiteral("/VellmarkEx.DIC is %1 bytes long").arg(size);
        EXPECT_TRUE(run.err.contains("vezizo profile: " + named)) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("Move it away to have a new dictionary made."))
            << run.err.toStdString();
        EXPECT_EQ(ReadAppFile(folder.path(), "VellmarkEx.DIC"), bytes);
    }
}
