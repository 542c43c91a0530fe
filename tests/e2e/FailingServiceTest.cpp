// Every job run as a user runs it, against a quote service that fails or is
// not there, or on a folder whose files stop it: no earlier file changes, the
// exit status is 1 (nothing done) or 3 (done in part), and standard error says
// why. A page that fails once is asked for again and the run is whole.
#include "AppTestBase.h"

#include <QDate>
#include <QMap>

class FailingServiceTest : public AppTestBase {
protected:
    // A fresh folder with fetchList on a service with a fault, or none. A
    // "stopped" service is one started and stopped again: its port refuses.
    void startService(const QString& fault, const QByteArray& fetchList = {}) {
        const bool stopped = fault == "stopped";
        ASSERT_TRUE(m_folder.remove() && QDir().mkpath(m_folder.path()));
        serve(fault.isEmpty() || stopped ? QStringList() : QStringList{"--fault", fault});
        m_host = m_sim->hostPort();
        ASSERT_TRUE(layOut(fetchList));
        if (stopped)
            m_sim.reset();
    }
    // The error log: a line for each stock the run could not get, and no other.
    void expectLogged(const QVector<int>& codes, int firstPage, const QString& reason) const {
        QString lines;
        for (int i = 0; i < codes.size(); ++i)
            lines += QString::asprintf("page=%d code=%d name= reason=%s\n", firstPage + i / 50,
                                       codes[i], qPrintable(reason));
        const QRegularExpression name(" name=.* reason=");
        EXPECT_EQ(QString::fromLatin1(bytes("ERRORLOG.TXT")).replace(name, " name= reason="),
                  lines);
    }

    QString m_host;
};

// Each job, against a stopped service and against faults, or with a file in
// its folder that stops it, with every file an earlier run left: the run does
// nothing, keeps them all and says so.
TEST_F(FailingServiceTest, NothingDoneKeepsEveryEarlierFile) {
    const QString addList = QDate::currentDate().toString("'addlist-'yyMMdd'.csv'"),
                  daily = SimDayFileName("DS");
    const QByteArray kFolder = "(a folder)", kNone = "(none)";
    // %1 the service's host, %2 the daily file, %3 the finance file, %4 the
    // addlist, %5 the folder. A row's file is made so before the run, and so
    // stays; a logged row logs every stock with the reason in brackets.
    const std::tuple<const char*, const char*, QString, QByteArray, const char*, bool> rows[] = {
        // clang-format off
        // arguments              fault                           file                  made                    message, logged
        {"fetch",                 "stopped",                      "", {}, "at %1 did not answer (connection refused); %2 was kept", true},
        {"fetch",                 "redirect-loop@/q",             "", {}, "(more than 20 redirects); %2 was kept", true},
        {"finance",               "reset:0@/q",                   "", {}, "(connection closed before the end of the page); %3 was kept", true},
        {"history 7203",          "stopped",                      "", {}, "at %1 did not answer (connection refused); KD7203.KDT was kept", false},
        {"history 7203",          "status:500@/t#2",              "", {}, "page 2 of 4 failed (HTTP 500); KD7203.KDT was kept", false},
        {"history 7203",          "silence@/t#3",                 "", {}, "page 3 of 4 failed (no data for 5 s); KD7203.KDT was kept", false},
        {"listing",               "status:500@/l?s=%2A&m=1#1",    "", {}, "listing page 1 of 80 failed (HTTP 500); fetchlist.csv was kept", false},
        {"listing --only-added",  "truncate:100@/l?s=%2A&m=51#1", "", {}, "page 2 of 80 failed (connection closed before the end of the page); %4 was kept", false},
        {"profile",               "stopped",                      "", {}, "at %1 did not answer (connection refused); VellmarkEx.DIC was kept", false},
        {"fetch",                 "", "fetchlist.csv",        kNone,                  "vezizo fetch: fetchlist.csvが見つかりません。\n", false},
        {"finance",               "", "fetchlist.csv",        kNone,                  "vezizo finance: fetchlist.csvが見つかりません。\n", false},
        {"profile",               "", "fetchlist.csv",        kNone,                  "vezizo profile: fetchlist.csvが見つかりません。\n", false},
        {"fetch",                 "", daily,                  kFolder,                "could not write the daily file", false},
        {"finance",               "", "FN" + addList.mid(8, 6) + ".DAT", kFolder,  "could not write the finance file", false}, // today's: its pages show no date
        {"history 7203",          "", "KD7203.KDT",           kFolder,                "could not write", false},
        {"--folder /nonexistent/vezizo fetch", "", "", {},                            "/nonexistent/vezizo", false},
        {"quotes",                "", "", {},                 "vezizo quotes: no quotes have been fetched yet (vezizo fetch gets them)\n", false},
        {"history 1000 50",       "", "", {},                 "no history file written", false},
        {"chart 6758",            "", "", {},                 "KD6758.KDT: no such file", false},
        {"chart 1301",            "", "KD1301.KDT",           QByteArray(53, '\0'),   "KD1301.KDT: the file's size is not a multiple of 26 bytes", false},
        {"chart 7203 --png %5/out.png", "", "out.png",        kFolder,                "could not write", false},
        {"profile",               "", "VellmarkEx.DIC",       "",                     "/VellmarkEx.DIC is 0 bytes long", false},
        {"profile",               "", "VellmarkEx.DIC",       QByteArray(2027520, 3), "Move it away to have a new dictionary made.", false},
        {"profile --existing-dictionary-only --offline", "", "VellmarkEx.DIC", kNone, "the job did not start", false},
        // clang-format on
    };
    const QVector<int> codes = KnownCodes(60);
    ASSERT_EQ(WriteKDTFile(m_config.path().toStdString(), 7203, RisingDays(3)), 3);
    const QMap<QString, QByteArray> earlier = {
        {"fetchlist.csv", FetchListLines(codes)},
        {"fetchlist.bak", "an older list\n"},
        {addList, "9999,9999,X,EARLIER\n"},
        {daily, "061225\n1,0\n1301,1,EARLIER,1,1,1,1,1\n"},
        {SimDayFileName("FN"), "061225\n1\n1301,0,EARLIER,1.00,1.00,1.00,1.00,1.00\n"},
        {"KD7203.KDT", ReadAppFile(m_config.path(), "KD7203.KDT")},
        {"VellmarkEx.DIC", QByteArray(10000 * 1024, '\x01')}, // a dictionary's size
    };
    const QStringList written = {"DS*", "FN*", "KD*", "addlist*", "*.png", "VellmarkEx.DIC"};
    for (const auto& [command, fault, file, made, said, logged] : rows) {
        SCOPED_TRACE(std::string(command) + " " + fault);
        startService(fault);
        for (auto it = earlier.cbegin(); it != earlier.cend(); ++it)
            ASSERT_TRUE(write(it.key(), it.value()));
        if (!file.isEmpty()) {
            QFile::remove(path(file));
            ASSERT_TRUE(made == kFolder ? QDir(m_folder.path()).mkdir(file)
                                        : made == kNone || write(file, made));
        }
        const QStringList before = QDir(m_folder.path()).entryList(written);
        const QStringList values = {m_host, daily, SimDayFileName("FN"), addList, m_folder.path()};
        QString arguments = command, message = QString::fromUtf8(said);
        for (int i = 0; i < values.size(); ++i)
            for (QString* text : {&arguments, &message})
                text->replace("%" + QString::number(i + 1), values[i]);
        EXPECT_THAT(run(arguments.split(' ')), Ended(1, message)); // a later --folder wins
        for (auto it = earlier.cbegin(); it != earlier.cend(); ++it)
            EXPECT_TRUE(it.key() == file || bytes(it.key()) == it.value())
                << it.key().toStdString();
        const QFileInfo info(path(file));
        const QByteArray now = info.isDir() ? kFolder : info.exists() ? bytes(file) : kNone;
        EXPECT_TRUE(file.isEmpty() || now == made) << file.toStdString();
        EXPECT_EQ(QDir(m_folder.path()).entryList(written), before);
        if (logged)
            expectLogged(codes, 0, message.section('(', 1).section(')', 0, 0));
        else
            EXPECT_TRUE(bytes("ERRORLOG.TXT").isEmpty());
    }
}

// A page that fails once arrives on its retry: the file is whole, exit 0. A
// later run of the same day whose page fails for good writes the file again
// with that page's stocks kept from the earlier one, logs them, and ends with 3.
TEST_F(FailingServiceTest, FetchRetriesAPageAndKeepsTheDaysStocks) {
    const QVector<int> codes = KnownCodes(120);
    const QString secondPage = "status:500@/q?s=" + TestSimMarket().findStock(codes[50])->quoteCode;
    startService(secondPage + "#1", FetchListLines(codes));
    ProcessResult result = run({"fetch"});
    EXPECT_THAT(result, Ended(0, "fetch: page 2 of 3 failed (HTTP 500); retry 1 of 2"));
    EXPECT_THAT(result, Ended(0, "count 120, missing 0"));
    const QByteArray whole = bytes(SimDayFileName("DS"));
    EXPECT_TRUE(whole.contains("\n120,0\n") && whole.count('\n') == 2 + 120);
    EXPECT_TRUE(bytes("ERRORLOG.TXT").isEmpty());

    serve({"--fault", secondPage});
    result = run({"fetch"});
    EXPECT_THAT(result, Ended(3, "page 2 of 3 failed (HTTP 500); retry 2 of 2"));
    EXPECT_THAT(result, Ended(3, "vezizo fetch: " + SimDayFileName("DS") +
                                     ": 70 stocks, 50 missing; 50 stocks missing because page 2 "
                                     "of 3 failed (HTTP 500); 50 stocks kept their lines from "
                                     "the day's earlier file"));
    EXPECT_EQ(bytes(SimDayFileName("DS")), whole);
    expectLogged(codes.mid(50, 50), 1, "HTTP 500");
}

// Done in part: a profile page that fails leaves its dictionary record as it
// was (an earlier run kept its pages, as asked); a new stock whose profile
// page fails keeps the unknown market "X", like the indices.
TEST_F(FailingServiceTest, AFailedProfilePageIsDoneInPart) {
    const QVector<int> codes = KnownCodes(3, 200);
    startService("", FetchListLines(codes));
    ASSERT_EQ(run({"profile", "--keep-files"}).status, 0);
    EXPECT_TRUE(QFile::exists(path(QString::asprintf("webtemp/fundamental/%04d/%04d.html",
                                                     codes[0] / 1000 * 1000, codes[0]))));
    QByteArray dictionary = bytes("VellmarkEx.DIC"); // with the earlier texts below
    for (int code : codes)
        dictionary.replace(code * 1024 + 80, 7, "EARLIER");
    startService("status:500@/biz/fundamental/" + QString::number(codes[1]), FetchListLines(codes));
    ASSERT_TRUE(write("VellmarkEx.DIC", dictionary));
    EXPECT_THAT(run({"profile"}), Ended(3, "the profile page of " + QString::number(codes[1]) +
                                               " failed (HTTP 500); their dictionary records"));
    const QByteArray after = bytes("VellmarkEx.DIC");
    for (int code : codes) // the failed one as it was, the others made anew
        EXPECT_EQ(after.mid(code * 1024, 1024) == dictionary.mid(code * 1024, 1024),
                  code == codes[1])
            << code;

    // The listing as a run without profile pages makes it, less three stocks
    // that come back, one of them without its profile page.
    ASSERT_EQ(run({"listing", "--offline"}).status, 0);
    QList<QByteArray> listed = bytes("fetchlist.csv").split('\n');
    const QByteArray failed = listed[600].left(4);
    for (int i : {1100, 600, 100})
        listed.removeAt(i);
    startService("status:500@/biz/fundamental/" + QString::fromLatin1(failed), listed.join('\n'));
    EXPECT_THAT(run({"listing", "--only-added"}),
                Ended(3, "the profile page of " + failed +
                             " failed (HTTP 500); those stocks keep the market of the "
                             "fetch list; 1 new stock has market X"));
    EXPECT_EQ(bytes(QDate::currentDate().toString("'addlist-'yyMMdd'.csv'")).count('\n'), 3);
}

// The desktop program with fetch at launch and quit after fetch ends with the
// status the command line would give, the daily file written first.
TEST_F(FailingServiceTest, QuitAfterFetchEndsWithTheCommandLinesStatus) {
    QByteArray preferences = QByteArray("\x03\x02\x01\x00", 4) + QByteArray(400, '\0');
    preferences[401] = preferences[402] = 1; // fetch at launch, quit after fetch
    ASSERT_TRUE(WriteAppFile(m_config.path(), "TorlindX.Preference", preferences));
    const QString secondPage = TestSimMarket().stocks().at(50).quoteCode;
    for (const auto& [fault, status] :
         {std::pair<QString, int>{"", 0}, {"reset:0@/q?s=" + secondPage, 3}, {"stopped", 1}}) {
        SCOPED_TRACE(fault.toStdString());
        startService(fault, FetchListLines(KnownCodes(60)));
        EXPECT_EQ(run({}).status, status);
        EXPECT_EQ(bytes(SimDayFileName("DS")).isEmpty(), status == 1);
    }
}
