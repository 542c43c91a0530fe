// The pace of a run as a user starts it, read from the service's log: the
// interval of the command line or of vezizo.conf between any two requests, a
// service that asks to wait waited out, and intervals the program refuses.
#include "QuoteSimProcess.h"
#include "SimAppFolder.h"
#include "VezizoProcess.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

// Arrival times on loopback differ from send times by a little; the
// requests' starts in the log may come this much closer than the interval.
constexpr double kArrivalSpread = 0.1;

class PacingCommandTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_folder.isValid() && m_config.isValid()); }

    // A fresh folder with a fetch list of nStocks, on a service with faults.
    void startService(int nStocks, const QStringList& faults = {}) {
        QStringList arguments{"--log", log()};
        for (const QString& fault : faults)
            arguments << "--fault" << fault;
        m_sim = std::make_unique<QuoteSimProcess>(arguments);
        ASSERT_TRUE(m_sim->isRunning());
        ASSERT_TRUE(WriteServersConf(m_folder.path(), *m_sim) &&
                    WriteFetchList(m_folder.path(), FetchListLines(KnownCodes(nStocks))));
    }
    ProcessResult fetch(const QStringList& options = {}) {
        return RunVezizo(QStringList{"--folder", m_folder.path()} + options + QStringList{"fetch"},
                         m_config.path());
    }
    QString log() const { return m_log.filePath("quote-sim.log"); }

    QTemporaryDir m_folder, m_config, m_log;
    std::unique_ptr<QuoteSimProcess> m_sim;
};

} // namespace

// The command line's interval wins over vezizo.conf's (the tests' own is 20).
TEST_F(PacingCommandTest, RequestsKeepTheIntervalOfTheCommandLineOrTheSettings) {
    const struct {
        const char* name;
        QStringList options;
        QByteArray settings;
    } rows[] = {
        {"command line", {"--interval", "300"}, ""},
        {"vezizo.conf", {}, "interval_ms=300\n"},
    };
    ASSERT_TRUE(
        QFile::copy(VEZIZO_SOURCE_DIR "/Resources/market.csv", m_folder.filePath("market.csv")));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(log());
        QFile::remove(m_config.filePath("vezizo.conf"));
        if (!row.settings.isEmpty()) {
            ASSERT_TRUE(WriteAppFile(m_config.path(), "vezizo.conf", row.settings));
        }
        startService(200);
        const ProcessResult run = fetch(row.options);
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        const QList<SimLogEntry> entries = ReadSimLog(log());
        ASSERT_EQ(entries.size(), 4);
        for (int i = 1; i < entries.size(); ++i)
            EXPECT_GE(entries[i].start - entries[i - 1].start, 0.300 * (1 - kArrivalSpread)) << i;
    }
}

// The service lets two pages through in two seconds: the third and the fifth
// are answered 429 and waited out, the run says so, and the file is whole.
TEST_F(PacingCommandTest, AThrottledServiceIsWaitedOutAndTheFileIsComplete) {
    ASSERT_TRUE(
        QFile::copy(VEZIZO_SOURCE_DIR "/Resources/market.csv", m_folder.filePath("market.csv")));
    startService(250, {"throttle:2/2@/q"});
    const ProcessResult run = fetch();
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.err.count("fetch: the service asks us to wait 2 s (HTTP 429, wait 1 of 3)\n"), 2)
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("count 250, missing 0")) << run.err.toStdString();
    EXPECT_TRUE(ReadAppFile(m_folder.path(), SimDayFileName("DS")).contains("\n250,0\n"));
    EXPECT_EQ(ReadAppFile(m_folder.path(), SimDayFileName("DS")).count('\n'), 2 + 250);

    const QList<SimLogEntry> entries = ReadSimLog(log());
    ASSERT_EQ(entries.size(), 5 + 2);
    int nThrottled = 0;
    for (int i = 0; i + 1 < entries.size(); ++i) {
        if (entries[i].status != 429)
            continue;
        ++nThrottled;
        EXPECT_GE(entries[i].retryAfter, 1);
        EXPECT_GE(entries[i + 1].start, entries[i].end + entries[i].retryAfter) << i;
    }
    EXPECT_EQ(nThrottled, 2);
}

TEST_F(PacingCommandTest, IntervalIsWholeMillisecondsFromTwenty) {
    for (const QStringList& interval :
         {QStringList{"--interval", "19"}, QStringList{"--interval", "1.5"},
          QStringList{"--interval", "100ms"}, QStringList{"--interval"}}) {
        SCOPED_TRACE(interval.join(' ').toStdString());
        const ProcessResult run =
            RunVezizo(QStringList{"--folder", m_folder.path()} + interval + QStringList{"fetch"});
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.startsWith("vezizo: --interval takes whole milliseconds from 20 to "))
            << run.err.toStdString();
    }
}
