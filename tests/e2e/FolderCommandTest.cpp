// One run per folder: of two runs started together, one works and the other
// says the folder is in use.
#include "ProcessTestBase.h"

namespace {

using FolderCommand = ProcessTestBase;

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
