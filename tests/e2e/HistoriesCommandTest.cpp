// "vezizo history --all" and "vezizo fetch --update-histories" run as
// processes against quote-sim on two simulated days in a row: whole histories
// first, one page a stock the next day, files merged to what a full download
// of that day gives, up-to-date stocks left alone, failures leaving files as
// they were.
#include "CommandLine.h"
#include "KDFile.h"
#include "KDTFile.h"
#include "SimAppFolder.h"
#include "VezizoProcess.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

class HistoriesCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid() && m_fresh.isValid() && m_config.isValid());
        m_codes = CodesTradedOn({m_day, NextTradingDay(m_day)}, 4);
        ASSERT_EQ(m_codes.size(), 4);
    }

    // The service on day (0: m_day, 1: the weekday after): three stocks whose
    // whole history fits into 200 rows, one with a longer one; each one day
    // longer on the later day, as a history grows.
    void serve(int later, QStringList arguments = {}) {
        m_sim.reset();
        QFile::remove(m_config.filePath("quote-sim.log"));
        m_logMark = 0;
        const QDate day = later ? NextTradingDay(m_day) : m_day;
        arguments << "--date" << day.toString(Qt::ISODate) << "--log"
                  << m_config.filePath("quote-sim.log");
        m_market = std::make_unique<CSimMarket>(SimMarketOn(day));
        for (int i = 0; i < m_codes.size(); ++i) {
            const int rows = kLengths[i] + later;
            arguments << "--history-length" << QStringLiteral("%1=%2").arg(m_codes[i]).arg(rows);
            m_market->setHistoryLength(m_codes[i], rows);
        }
        m_sim = std::make_unique<QuoteSimProcess>(arguments);
        ASSERT_TRUE(m_sim->isRunning() && WriteServersConf(m_folder.path(), *m_sim) &&
                    WriteServersConf(m_fresh.path(), *m_sim));
    }
    void layOut(const QTemporaryDir& folder, const QVector<int>& codes) {
        ASSERT_TRUE(
            QFile::copy(VEZIZO_SOURCE_DIR "/Resources/market.csv", folder.filePath("market.csv")) &&
            WriteFetchList(folder.path(), FetchListLines(codes)));
    }
    ProcessResult run(const QTemporaryDir& folder, const QStringList& arguments) {
        return RunVezizo(QStringList{"--folder", folder.path()} + arguments, m_config.path());
    }
    // Later counts see only the requests from now on.
    void markLog() { m_logMark = ReadAppFile(m_config.path(), "quote-sim.log").size(); }
    // The service's history requests since the mark, for code (0: any).
    int historyRequests(int code = 0) const {
        const QString requests =
            QString::fromLatin1(ReadAppFile(m_config.path(), "quote-sim.log").mid(m_logMark));
        const QString codeText = code ? QString::number(code) + "[.&]" : QString();
        return int(requests.count(QRegularExpression("GET /t\\?s=" + codeText)));
    }
    QByteArray kd(const QTemporaryDir& folder, int code) const {
        return ReadAppFile(folder.path(), QString::fromStdString(KDTFileName(code)));
    }
    std::vector<KDT> records(const QTemporaryDir& folder, int code) const {
        std::vector<KDT> days;
        ReadKDTFile(folder.filePath(QString::fromStdString(KDTFileName(code))).toStdString(), days);
        return days;
    }

    static constexpr int kLengths[4] = {120, 75, 30, 600};
    const QDate m_day = RecentTradingDay();
    QVector<int> m_codes;
    qsizetype m_logMark = 0;
    std::unique_ptr<CSimMarket> m_market;
    std::unique_ptr<QuoteSimProcess> m_sim;
    QTemporaryDir m_folder, m_fresh, m_config;
};

TEST_F(HistoriesCommandTest, WholeHistoriesFirstThenOnePageAStockEqualToAFullDownload) {
    // An index and a code the service does not know beside the four stocks.
    layOut(m_folder, m_codes + QVector<int>{1000});
    WriteAppFile(m_folder.path(), "fetchlist.csv",
                 ReadAppFile(m_folder.path(), "fetchlist.csv") + "998405,1001,T,INDEX\n");
    serve(0);
    const ProcessResult first = run(m_folder, {"history", "--all"});
    EXPECT_THAT(first, Ended(0, QRegularExpression("history: [0-4]/5, written \\d, skipped \\d, "
                                                   "failed 0, now \\d{4}")));
    EXPECT_THAT(first, Ended(0, "4 written, 0 up to date, 1 without rows at the service; "
                                "fetch-list codes that are not stock codes from 1000 to 9999, "
                                "skipped: 1"));
    for (int code : m_codes)
        EXPECT_EQ(records(m_folder, code), ExpectedKDRecords(*m_market, code, 200)) << code;
    EXPECT_TRUE(kd(m_folder, 1000).isNull());
    EXPECT_EQ(historyRequests(m_codes[3]), 4);
    const QByteArray longBefore = kd(m_folder, m_codes[3]);

    // The next day: one page a stock, and the files a full download makes.
    serve(1);
    ASSERT_EQ(run(m_folder, {"history", "--all"}).status, 0);
    for (int code : m_codes + QVector<int>{1000})
        EXPECT_EQ(historyRequests(code), 1) << code;
    layOut(m_fresh, m_codes);
    ASSERT_EQ(run(m_fresh, {"history", "--all"}).status, 0);
    for (int code : m_codes.mid(0, 3))
        EXPECT_EQ(kd(m_folder, code), kd(m_fresh, code)) << code;
    // The longer history keeps its oldest day, which a download of 200 rows
    // no longer reaches; the rest is the full download's.
    const QByteArray merged = kd(m_folder, m_codes[3]);
    EXPECT_TRUE(merged.endsWith(kd(m_fresh, m_codes[3])));
    EXPECT_EQ(merged.left(26), longBefore.left(26));
    EXPECT_EQ(merged.size() - longBefore.size(), 26);
}

// With the day's quotes fetched, stocks whose file holds that day cost no
// request; a page that fails leaves its stock's file as it was.
TEST_F(HistoriesCommandTest, UpToDateStocksAskNothingAndAFailedPageKeepsTheFile) {
    layOut(m_folder, m_codes);
    serve(0);
    ASSERT_EQ(run(m_folder, {"fetch"}).status, 0);
    ASSERT_EQ(run(m_folder, {"history", "--all", "100"}).status, 0);
    markLog();
    EXPECT_THAT(run(m_folder, {"history", "--all"}), Ended(0, "0 written, 4 up to date"));
    EXPECT_EQ(historyRequests(), 0);

    // One stock's page fails, another's file is not a history (a byte too many).
    const QByteArray before = kd(m_folder, m_codes[1]);
    const QByteArray notAHistory = kd(m_folder, m_codes[2]) + "x";
    WriteAppFile(m_folder.path(), QString::fromStdString(KDTFileName(m_codes[2])), notAHistory);
    serve(1, {"--fault", QStringLiteral("status:500@/t?s=%1").arg(m_codes[1])});
    ASSERT_EQ(run(m_folder, {"fetch"}).status, 0);
    const ProcessResult failed = run(m_folder, {"history", "--all"});
    EXPECT_THAT(failed, Ended(3, "files kept as they were; 2 written"));
    EXPECT_THAT(failed, Ended(3, QStringLiteral("the histories of %1 and %2 failed (HTTP 500, the "
                                                "file's size is not a multiple of 26 bytes")
                                     .arg(m_codes[1])
                                     .arg(m_codes[2])));
    EXPECT_EQ(kd(m_folder, m_codes[1]), before);
    EXPECT_EQ(kd(m_folder, m_codes[2]), notAHistory);
    // The other files got the new day before the 100 rows they held.
    EXPECT_EQ(records(m_folder, m_codes[0]), ExpectedKDRecords(*m_market, m_codes[0], 101));
}

// The daily fetch adds the day to each history there is, once however often
// it runs, and only when asked; it makes no history of its own.
TEST_F(HistoriesCommandTest, FetchAddsTheDayOnceToTheHistoriesThatExist) {
    layOut(m_folder, m_codes.mid(0, 2));
    serve(0);
    ASSERT_EQ(run(m_folder, {"history", "--all"}).status, 0);
    ASSERT_TRUE(WriteFetchList(m_folder.path(), FetchListLines(m_codes)));
    serve(1);
    const QByteArray before = kd(m_folder, m_codes[0]);
    ASSERT_EQ(run(m_folder, {"fetch"}).status, 0);
    EXPECT_EQ(kd(m_folder, m_codes[0]), before);
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        EXPECT_THAT(run(m_folder, {"fetch", "--update-histories"}),
                    Ended(0, "the day was added to 2 histories"));
        // The whole history of the later day: the earlier one and its new day.
        for (int code : m_codes.mid(0, 2))
            EXPECT_EQ(records(m_folder, code), ExpectedKDRecords(*m_market, code, 200)) << code;
        for (int code : m_codes.mid(2))
            EXPECT_TRUE(kd(m_folder, code).isNull()) << code;
    }
    // The option held for those runs only.
    EXPECT_FALSE(ReadAppFile(m_config.path(), "vezizo.conf").contains("update_histories=1"));
}

// The command line's estimate of the time left, at the pace so far: none too
// early, when done or when nothing is done yet; never less than 10 s.
TEST(TimeLeft, RoundedToWhatAPersonReads) {
    for (const auto& [elapsed, value, maximum, text] : {std::tuple{4.9, 1, 10, ""},
                                                        {10.0, 10, 10, ""},
                                                        {10.0, 0, 10, ""},
                                                        {10.0, 2, 3, ", about 10 s left"},
                                                        {10.0, 1, 3, ", about 20 s left"},
                                                        {50.0, 1, 3, ", about 2 min left"},
                                                        {100.0, 1, 100, ", about 2 h 45 min left"}})
        EXPECT_EQ(TimeLeftText(elapsed, value, maximum), text) << elapsed << " " << value;
}

} // namespace
