// The listing job on the real controller against the simulated quote service:
// its option dialog, the pages it requests, the market step's waits inside a
// tick, the files it writes, a second run and a cancel.
#include "Fetch/MakeList.h"
#include "SimJobTestBase.h"
#include "misclib.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <sys/stat.h>

namespace {

// The code each listing row stands for: an index row maps its own number to
// one of the codes 1001, 1002 and 1010.
int listedCode(const SimListingRow& row) {
    for (const SimStock& index : TestSimMarket().indices())
        if (index.quoteCode == row.codeText)
            return index.code;
    return row.codeText.toInt();
}

// The targets requested from the service, in order. The downloader sends
// percent-encodings in capitals ("%2A"); they are given here in small letters.
QList<QByteArray> requestTargets(const QString& log) {
    QFile file(log);
    QList<QByteArray> targets;
    if (!file.open(QIODevice::ReadOnly))
        return targets;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QByteArray request = line.left(line.indexOf('\t'));
        if (request.startsWith("GET "))
            targets.append(request.mid(4).toLower());
    }
    return targets;
}

bool isListingPage(const QByteArray& target) {
    return target.startsWith("/l?s=%2a&m=");
}

bool isProfilePage(const QByteArray& target) {
    return target.startsWith("/biz/fundamental/");
}

ino_t inode(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

} // namespace

class ListJobTest : public SimJobTestBase {
protected:
    // The stocks of the fetch list the application starts with.
    virtual QVector<int> initialCodes() const { return KnownCodes(nStocks() - 10); }
    // Arguments for the service (its faults).
    virtual QStringList serviceArguments() const { return {}; }

    void SetUp() override {
        SimJobTestBase::SetUp();
        startService(initialCodes(), serviceArguments());
        m_initialList = ReadAppFile(m_folder.path(), "fetchlist.csv");
    }

    static int nStocks() { return int(TestSimMarket().stocks().size()); }
    const JobSheet& listSheet() { return sheet(CMetalWindow::kListSheet); }
    QList<QByteArray> targets() const { return requestTargets(logFile()); }

    // Starts a listing job with the dialog answered by the given check boxes
    // ("chk1".."chk3") and OK.
    void startListing(const QStringList& boxes) {
        SetModalLoopHook([boxes](WindowRef) {
            for (const QString& box : boxes)
                send(box.toLatin1().constData());
            send("ok  ");
        });
        EXPECT_EQ(send("list"), 0);
        SetModalLoopHook({});
    }

    QByteArray m_initialList;
};

// Every page of the listing, each page's profiles fetched inside the tick of
// that page (so between its request and the next page's), the fetch list
// rewritten only in the tick of the last page, and the sheet at rest.
TEST_F(ListJobTest, FullRunRewritesFetchList) {
    const QString list = path("fetchlist.csv");
    const ino_t before = inode(list);
    startListing({});
    ASSERT_TRUE(listSheet().running);
    EXPECT_EQ(GetControl32BitMaximum(listSheet().progressBar), 80);
    bool writtenWhileRunning = false;
    ASSERT_TRUE(waitUntil(
        [&] {
            writtenWhileRunning |= listSheet().running && inode(list) != before;
            return !listSheet().running;
        },
        240000));
    EXPECT_FALSE(writtenWhileRunning);

    // The listing pages in order, each one once; every listed code's profile
    // fetched while its own page was in hand.
    const QList<QByteArray> requested = targets();
    QList<QByteArray> pages;
    int page = -1, profiles = 0;
    const QVector<SimListingRow>& rows = TestSimMarket().listing();
    for (const QByteArray& target : requested) {
        if (isListingPage(target)) {
            pages.append(target);
            ++page;
        } else if (isProfilePage(target)) {
            ++profiles;
            const int code = target.mid(17, 4).toInt();
            bool onPage = false;
            for (int row = page * 50; row < (page + 1) * 50 && row < rows.size(); ++row)
                onPage |= listedCode(rows[row]) == code;
            EXPECT_TRUE(onPage) << target.constData() << " during page " << page;
        }
    }
    ASSERT_EQ(pages.size(), 80);
    for (int i = 0; i < 80; ++i)
        EXPECT_EQ(pages[i], "/l?s=%2a&m=" + QByteArray::number(i * 50 + 1));
    EXPECT_EQ(profiles, rows.size());

    // Every listed code in code order, each stock with the market its profile
    // page names.
    EXPECT_EQ(ReadAppFile(m_folder.path(), "fetchlist.csv"), ListedFetchList());
    EXPECT_EQ(ReadAppFile(m_folder.path(), "fetchlist.bak"), m_initialList);

    // Ten stocks and the three indices were not in the list.
    EXPECT_EQ(countText(listSheet()), "13");
    EXPECT_EQ(GetControl32BitValue(listSheet().progressBar), 0);
    EXPECT_FALSE(IsControlVisible(listSheet().busyIndicator));
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kListSheet);

    SaveScreenshot(mainWindow(), "ListingAfterRun");
}

// The dialog opens with its boxes cleared each time; cancelling it after
// ticking boxes starts nothing and leaves the sheet as it was.
TEST_F(ListJobTest, CancelledDialogChangesNothing) {
    int openings = 0;
    SetModalLoopHook([&openings](WindowRef dialog) {
        ++openings;
        for (int32_t id = 11; id <= 13; ++id)
            EXPECT_FALSE(GetCheckBoxValue(GetControlByID(dialog, FourCharCode("fcls"), id)));
        if (openings == 1) {
            send("chk1");
            send("chk3");
            SaveScreenshot(dialog, "FetchListDialogTicked");
        }
        send("not!");
    });
    EXPECT_EQ(send("list"), 0);
    EXPECT_EQ(send("list"), 0);
    SetModalLoopHook({});
    EXPECT_EQ(openings, 2);
    EXPECT_FALSE(listSheet().running);
    EXPECT_FALSE(IsWindowVisible(listSheet().window));
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kNoSheet);
    EXPECT_EQ(controller().listData(), nullptr);
    waitFor(300);
    EXPECT_TRUE(targets().isEmpty());
}

// A fetch list that lacks the three indices and the fifty stocks of page 39:
// with "only new codes" those are the codes looked up and written.
class ListJobAddedTest : public ListJobTest {
protected:
    static constexpr int kPage = 39;
    QVector<int> initialCodes() const override {
        // Stock i is listing row i + 3 (the indices come first).
        return KnownCodes(kPage * 50 - 3) + KnownCodes(nStocks(), kPage * 50 + 47);
    }
    // The second request of page 39 fails (an error page).
    QStringList serviceArguments() const override {
        return {"--fault", "status:404@/l?s=%2A&m=1951#2"};
    }
    static QString addListName() { return QDate::currentDate().toString("'addlist-'yyMMdd'.csv'"); }
};

// A second run reuses the listing data; its page 39 fails, so it writes
// nothing and says which page failed.
TEST_F(ListJobAddedTest, SecondRunReusesDataAndAFailedPageWritesNothing) {
    startListing({"chk2"});
    ASSERT_TRUE(waitForEnd(listSheet(), 60000));
    const CMakeList* data = controller().listData();
    ASSERT_NE(data, nullptr);
    const QByteArray first = ReadAppFile(m_folder.path(), addListName());
    EXPECT_EQ(first.count('\n'), 53);
    EXPECT_TRUE(first.startsWith("998405,1001,X,"));
    EXPECT_EQ(ReadAppFile(m_folder.path(), "fetchlist.csv"), m_initialList);
    EXPECT_FALSE(QFile::exists(path("fetchlist.bak")));
    EXPECT_EQ(requests("/biz/fundamental/"), 53);

    // The same command right after does nothing; after another sheet it runs.
    EXPECT_EQ(send("list"), 0);
    EXPECT_FALSE(listSheet().running);
    send("disp");
    QFile::remove(path(addListName().toUtf8().constData()));
    startListing({"chk2"});
    ASSERT_TRUE(waitForEnd(listSheet(), 60000));
    EXPECT_EQ(controller().listData(), data);
    EXPECT_FALSE(QFile::exists(path(addListName().toUtf8().constData())));
    EXPECT_EQ(controller().jobOutcome().message(),
              "listing page 40 of 80 failed (HTTP 404); nothing was written");
    // Once the page had failed no profile page was asked for.
    EXPECT_EQ(requests("/biz/fundamental/"), 53 + 3);
}

// The cancel command given while the market step waits for a profile page:
// the step downloads nothing more, no further page is requested, nothing is
// written.
TEST_F(ListJobTest, CancelDuringMarketStepWritesNothing) {
    const QByteArray list = ReadAppFile(m_folder.path(), "fetchlist.csv");
    int profilesAtCancel = -1;
    QTimer canceller;
    QObject::connect(&canceller, &QTimer::timeout, [&] {
        int profiles = 0;
        for (const QByteArray& target : targets())
            profiles += isProfilePage(target);
        if (profiles >= 10 && profilesAtCancel < 0) {
            profilesAtCancel = profiles;
            send("fccn");
        }
    });
    canceller.start(5);
    startListing({});
    ASSERT_TRUE(waitForEnd(listSheet()));
    canceller.stop();
    ASSERT_GE(profilesAtCancel, 10);
    waitFor(300);

    int profiles = 0, pages = 0;
    for (const QByteArray& target : targets()) {
        profiles += isProfilePage(target);
        pages += isListingPage(target);
    }
    EXPECT_EQ(pages, 1);
    EXPECT_LE(profiles, profilesAtCancel + 1);
    EXPECT_LT(profiles, 50);
    EXPECT_EQ(ReadAppFile(m_folder.path(), "fetchlist.csv"), list);
    EXPECT_FALSE(QFile::exists(path("fetchlist.bak")));
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kNoSheet);
    EXPECT_EQ(GetControl32BitValue(listSheet().progressBar), 0);
}

// Profile pages kept by one run serve a later offline run, which downloads
// no profile and gives the new codes the same markets.
TEST_F(ListJobTest, OfflineRunReadsTheKeptProfilePages) {
    startListing({"chk1", "chk2"});
    ASSERT_TRUE(waitForEnd(listSheet(), 60000));
    const QString addList = QDate::currentDate().toString("'addlist-'yyMMdd'.csv'");
    const QByteArray online = ReadAppFile(m_folder.path(), addList);
    EXPECT_EQ(online.count('\n'), 13);
    // The last stock with the market its profile page names.
    const QByteArray listed = ListedFetchList();
    EXPECT_TRUE(online.endsWith(listed.mid(listed.lastIndexOf('\n', listed.size() - 2) + 1)));
    const SimStock& last = TestSimMarket().stocks().last();
    EXPECT_TRUE(QFile::exists(path(
        QString::asprintf("webtemp/fundamental/%04d/%04d.html", last.code / 1000 * 1000, last.code)
            .toUtf8()
            .constData())));
    const int profiles = requests("/biz/fundamental/");
    EXPECT_EQ(profiles, 13);

    send("disp");
    QFile::remove(path(addList.toUtf8().constData()));
    startListing({"chk1", "chk2", "chk3"});
    ASSERT_TRUE(waitForEnd(listSheet(), 60000));
    EXPECT_EQ(requests("/biz/fundamental/"), profiles);
    EXPECT_EQ(ReadAppFile(m_folder.path(), addList), online);
}
