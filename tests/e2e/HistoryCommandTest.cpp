// "vezizo history" run as a process against quote-sim: the KD file it writes,
// and a stock without rows.
#include "KDFile.h"
#include "KDTFile.h"
#include "QuoteSimProcess.h"
#include "SimAppFolder.h"
#include "SimMarket.h"
#include "VezizoProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class HistoryCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid() && m_config.isValid());
        ASSERT_TRUE(m_sim.isRunning());
        ASSERT_TRUE(LayOutAppFolder(m_folder.path(), m_sim));
    }
    ProcessResult history(const QStringList& arguments) {
        return RunVezizo(QStringList{"--folder", m_folder.path(), "history"} + arguments,
                         m_config.path());
    }
    QStringList kdFiles() const { return QDir(m_folder.path()).entryList({"KD*"}); }

    QuoteSimProcess m_sim{{"--history-length", "7203=400"}};
    QTemporaryDir m_folder;
    QTemporaryDir m_config;
};

TEST_F(HistoryCommandTest, WritesTheStocksFileFromTheService) {
    const ProcessResult run = history({"7203", "120"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    // Progress on standard error ends with the three pages done.
    EXPECT_TRUE(run.err.contains("history: 3/3, count 3")) << run.err.toStdString();
    EXPECT_EQ(kdFiles(), QStringList{"KD7203.KDT"});

    std::vector<KDT> written;
    ASSERT_EQ(ReadKDTFile(m_folder.filePath("KD7203.KDT").toStdString(), written), kKDTFileRead);
    CSimMarket market = TestSimMarket();
    market.setHistoryLength(7203, 400);
    // Three whole pages: 150 rows less the days without trading.
    EXPECT_EQ(written, ExpectedKDRecords(market, 7203, 150));
    // The run ends by naming the file and its count.
    EXPECT_TRUE(run.err.endsWith(
        QStringLiteral("vezizo history: KD7203.KDT: %1 days\n").arg(written.size())))
        << run.err.toStdString();
}

// A stock the service has no rows for: nothing is written, and the command
// does not claim success.
TEST_F(HistoryCommandTest, NoRowsEndsWithOneAndWritesNothing) {
    const ProcessResult run = history({"1000", "50"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("no history file written")) << run.err.toStdString();
    EXPECT_TRUE(kdFiles().isEmpty());
}
