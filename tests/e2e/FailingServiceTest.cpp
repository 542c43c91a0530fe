// Every job run as a user runs it, against a quote service that fails or is
// not there: no earlier file changes, the exit status is 1 (nothing done) or
// 3 (done in part), and standard error says why. A page that fails once is
// asked for again and the run is whole.
#include "SimAppFolder.h"
#include "VezizoProcess.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kDictionarySize = 10000 * 1024;

class FailingServiceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_folder.isValid() && m_config.isValid()); }

    // Starts the service with faults and points the folder at it. A stopped
    // service is one started and stopped again: its port refuses.
    void startService(const QStringList& faults, bool stopped = false) {
        QStringList arguments;
        for (const QString& fault : faults)
            arguments << "--fault" << fault;
        m_sim = std::make_unique<QuoteSimProcess>(arguments);
        ASSERT_TRUE(m_sim->isRunning());
        m_host = m_sim->hostPort();
        ASSERT_TRUE(QFile::exists(file("market.csv")) ? WriteServersConf(m_folder.path(), *m_sim)
                                                      : LayOutAppFolder(m_folder.path(), *m_sim));
        if (stopped)
            m_sim.reset();
    }
    ProcessResult run(const QStringList& arguments) {
        return RunVezizo(QStringList{"--folder", m_folder.path()} + arguments, m_config.path());
    }
    QString file(const QString& name) const { return m_folder.filePath(name); }
    QByteArray bytes(const QString& name) const { return ReadAppFile(m_folder.path(), name); }
    bool write(const QString& name, const QByteArray& content) const {
        QFile out(file(name));
        return out.open(QIODevice::WriteOnly) && out.write(content) == content.size();
    }
    QList<QByteArray> errorLog() const {
        QList<QByteArray> lines = bytes("ERRORLOG.TXT").split('\n');
        lines.removeAll(QByteArray());
        return lines;
    }

    std::unique_ptr<QuoteSimProcess> m_sim;
    QString m_host;
    QTemporaryDir m_folder;
    QTemporaryDir m_config;
};

} // namespace

// Each job, against a stopped service and against faults, with every file an
// earlier run left: the run does nothing, keeps them all and says so.
TEST_F(FailingServiceTest, NothingDoneKeepsEveryEarlierFile) {
    const QString addList = QDate::currentDate().toString("'addlist-'yyMMdd'.csv'");
    const struct {
        const char* name;
        QStringList arguments;
        QStringList faults; // empty: the service is stopped
        // %1 the service's host, %2 the daily file, %3 the finance file, %4 the addlist
        const char* message;
        const char* logReason; // every stock logged with this reason; null: no log
    } rows[] = {
        {"fetch, stopped",
         {"fetch"},
         {},
         "the quote service at %1 did not answer (connection refused); %2 was kept",
         "connection refused"},
        {"fetch, error status",
         {"fetch"},
         {"status:500@/q"},
         "the quote service at %1 did not answer (HTTP 500); %2 was kept",
         "HTTP 500"},
        {"finance, stopped",
         {"finance"},
         {},
         "the quote service at %1 did not answer (connection refused); %3 was kept",
         "connection refused"},
        {"finance, reset",
         {"finance"},
         {"reset:0@/q"},
         "did not answer (connection closed before the end of the page); %3 was kept",
         "connection closed before the end of the page"},
        {"history, stopped",
         {"history", "7203"},
         {},
         "the quote service at %1 did not answer (connection refused); KD7203.KDT was kept",
         nullptr},
        {"history, second page",
         {"history", "7203"},
         {"status:500@/t#2"},
         "page 2 of 4 failed (HTTP 500); KD7203.KDT was kept",
         nullptr},
        {"history, silent third page",
         {"history", "7203"},
         {"silence@/t#3"},
         "page 3 of 4 failed (no data for 5 s); KD7203.KDT was kept",
         nullptr},
        {"listing, stopped",
         {"listing"},
         {},
         "the quote service at %1 did not answer (connection refused); fetchlist.csv was kept",
         nullptr},
        {"listing, first page",
         {"listing"},
         {"status:500@/l?s=%2A&m=1#1"},
         "listing page 1 of 80 failed (HTTP 500); fetchlist.csv was kept",
         nullptr},
        {"only added, cut page",
         {"listing", "--only-added"},
         {"truncate:100@/l?s=%2A&m=51#1"},
         "listing page 2 of 80 failed (connection closed before the end of the page); "
         "%4 was kept",
         nullptr},
        {"profile, stopped",
         {"profile"},
         {},
         "the quote service at %1 did not answer (connection refused); VellmarkEx.DIC was kept",
         nullptr},
        {"profile, error status",
         {"profile"},
         {"status:500@/biz"},
         "did not answer (HTTP 500); VellmarkEx.DIC was kept",
         nullptr},
    };
    const QVector<int> codes = KnownCodes(60);
    QMap<QString, QByteArray> earlier = {
        {"fetchlist.csv", FetchListLines(codes)},
        {"fetchlist.bak", "an older list\n"},
        {addList, "9999,9999,X,EARLIER\n"},
        {SimDayFileName("DS"), "061225\n1,0\n1301,1,EARLIER,1,1,1,1,1\n"},
        {SimDayFileName("FN"), "061225\n1\n1301,0,EARLIER,1.00,1.00,1.00,1.00,1.00\n"},
        {"KD7203.KDT", QByteArray(26 * 3, '\x07')},
        {"VellmarkEx.DIC", QByteArray(kDictionarySize, '\x01')},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(m_folder.remove() && QDir().mkpath(m_folder.path()));
        for (auto it = earlier.cbegin(); it != earlier.cend(); ++it)
            ASSERT_TRUE(write(it.key(), it.value()));
        startService(row.faults, row.faults.isEmpty());

        const ProcessResult result = run(row.arguments);
        EXPECT_EQ(result.status, 1);
        const QString message = QString::fromLatin1(row.message)
                                    .replace("%1", m_host)
                                    .replace("%2", SimDayFileName("DS"))
                                    .replace("%3", SimDayFileName("FN"))
                                    .replace("%4", addList);
        EXPECT_TRUE(result.err.contains(message)) << result.err.toStdString();
        for (auto it = earlier.cbegin(); it != earlier.cend(); ++it)
            EXPECT_TRUE(bytes(it.key()) == it.value()) << it.key().toStdString();
        EXPECT_EQ(QDir(m_folder.path()).entryList({"DS*", "FN*", "KD*", "addlist*"}).size(), 4);

        const QList<QByteArray> log = errorLog();
        if (!row.logReason) {
            EXPECT_TRUE(log.isEmpty());
            continue;
        }
        // One line per stock, with the reason.
        ASSERT_EQ(log.size(), codes.size());
        for (int i = 0; i < codes.size(); ++i)
            EXPECT_TRUE(
                log[i].startsWith(
                    QStringLiteral("page=%1 code=%2 name=").arg(i / 50).arg(codes[i]).toLatin1()) &&
                log[i].endsWith(QByteArray(" reason=") + row.logReason))
                << log[i].constData();
    }
}

// A page that fails once arrives on its retry: the file is whole, exit 0. A
// later run of the same day whose page fails for good writes the file again
// with that page's stocks kept from the earlier one, logs them, and ends with 3.
TEST_F(FailingServiceTest, FetchRetriesAPageAndKeepsTheDaysStocks) {
    const QVector<int> codes = KnownCodes(120);
    const QString secondPage = TestSimMarket().findStock(codes[50])->quoteCode;
    ASSERT_TRUE(QDir().mkpath(m_folder.path()));
    startService({"status:500@/q?s=" + secondPage + "#1"});
    ASSERT_TRUE(WriteFetchList(m_folder.path(), FetchListLines(codes)));

    ProcessResult result = run({"fetch"});
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("fetch: page 2 of 3 failed (HTTP 500); retry 1 of 2"))
        << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("count 120, missing 0")) << result.err.toStdString();
    const QByteArray whole = bytes(SimDayFileName("DS"));
    EXPECT_TRUE(whole.contains("\n120,0\n"));
    EXPECT_EQ(whole.count('\n'), 2 + 120);
    EXPECT_TRUE(errorLog().isEmpty());

    startService({"status:500@/q?s=" + secondPage});
    result = run({"fetch"});
    EXPECT_EQ(result.status, 3);
    EXPECT_TRUE(result.err.contains("page 2 of 3 failed (HTTP 500); retry 2 of 2"));
    EXPECT_TRUE(result.err.contains("count 70, missing 50")) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(
        "vezizo fetch: " + SimDayFileName("DS") +
        ": 70 stocks, 50 missing; 50 stocks missing because page 2 of 3 failed (HTTP 500); 50 "
        "stocks kept their lines from the day's earlier file"))
        << result.err.toStdString();
    EXPECT_EQ(bytes(SimDayFileName("DS")), whole);
    const QList<QByteArray> log = errorLog();
    ASSERT_EQ(log.size(), 50);
    for (int i = 0; i < 50; ++i)
        EXPECT_TRUE(log[i].startsWith(
                        QStringLiteral("page=1 code=%1 name=").arg(codes[50 + i]).toLatin1()) &&
                    log[i].endsWith(" reason=HTTP 500"))
            << log[i].constData();
}

// A profile page that fails leaves its dictionary record as it was; the
// others are stored, and the run is done in part.
TEST_F(FailingServiceTest, ProfileKeepsTheRecordOfAFailedCode) {
    const QVector<int> codes = KnownCodes(3, 200);
    ASSERT_TRUE(QDir().mkpath(m_folder.path()));
    startService({});
    ASSERT_TRUE(WriteFetchList(m_folder.path(), FetchListLines(codes)));
    ASSERT_EQ(run({"profile"}).status, 0);
    // Earlier texts of the run before.
    QByteArray dictionary = bytes("VellmarkEx.DIC");
    ASSERT_EQ(dictionary.size(), kDictionarySize);
    for (int code : codes)
        dictionary.replace(code * 1024 + 80, 7, "EARLIER");
    ASSERT_TRUE(write("VellmarkEx.DIC", dictionary));

    startService({QStringLiteral("status:500@/biz/fundamental/%1").arg(codes[1])});
    const ProcessResult result = run({"profile"});
    EXPECT_EQ(result.status, 3);
    EXPECT_TRUE(result.err.contains(QStringLiteral("the profile page of %1 failed (HTTP 500); "
                                                   "their dictionary records were kept")
                                        .arg(codes[1])))
        << result.err.toStdString();
    const QByteArray after = bytes("VellmarkEx.DIC");
    EXPECT_EQ(after.mid(codes[1] * 1024, 1024), dictionary.mid(codes[1] * 1024, 1024));
    ExpectDictionaryRecordMatches(after, codes[0]);
    ExpectDictionaryRecordMatches(after, codes[2]);
}

// New stocks: one whose profile page fails keeps the unknown market "X",
// like the indices, which have no profile page; the addlist is written and
// the run is done in part.
TEST_F(FailingServiceTest, ListingCountsNewStocksLeftWithMarketX) {
    QList<QByteArray> lines = ListedFetchList().split('\n');
    lines.removeAll(QByteArray());
    QList<QByteArray> added;
    for (int i = 0; i < 3; ++i)
        added.append(lines.takeAt(100 + 500 * i) + '\n');
    const QByteArray failed = added[1].left(4);
    ASSERT_TRUE(QDir().mkpath(m_folder.path()));
    startService({"status:500@/biz/fundamental/" + QString::fromLatin1(failed)});
    ASSERT_TRUE(WriteFetchList(m_folder.path(), lines.join('\n') + '\n'));

    const ProcessResult result = run({"listing", "--only-added"});
    EXPECT_EQ(result.status, 3);
    EXPECT_TRUE(result.err.contains("the profile page of " + failed +
                                    " failed (HTTP 500); those stocks keep the market of the "
                                    "fetch list; 1 new stock has market X"))
        << result.err.toStdString();
    QList<QByteArray> withoutMarket = added[1].split(',');
    withoutMarket[2] = "X";
    EXPECT_EQ(bytes(QDate::currentDate().toString("'addlist-'yyMMdd'.csv'")),
              added[0] + withoutMarket.join(',') + added[2]);
}

// The desktop program with fetch at launch and quit after fetch ends with the
// status the command line would give.
TEST_F(FailingServiceTest, QuitAfterFetchEndsWithTheCommandLinesStatus) {
    QByteArray preferences(404, '\0');
    preferences.replace(0, 4, QByteArray("\x03\x02\x01\x00", 4));
    preferences[401] = 1; // fetch at launch
    preferences[402] = 1; // quit after fetch
    QFile preferencesFile(m_config.filePath("TorlindX.Preference"));
    ASSERT_TRUE(preferencesFile.open(QIODevice::WriteOnly) &&
                preferencesFile.write(preferences) == 404);
    preferencesFile.close();
    const QVector<int> codes = KnownCodes(60);
    const QString secondPage = TestSimMarket().findStock(codes[50])->quoteCode;
    ASSERT_TRUE(QDir().mkpath(m_folder.path()));
    const struct {
        const char* name;
        QStringList faults;
        bool stopped;
        int status;
    } rows[] = {
        {"all done", {}, false, 0},
        {"a page failed", {"reset:0@/q?s=" + secondPage}, false, 3},
        {"stopped", {}, true, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        startService(row.faults, row.stopped);
        ASSERT_TRUE(WriteFetchList(m_folder.path(), FetchListLines(codes)));
        EXPECT_EQ(run({}).status, row.status);
    }
}
