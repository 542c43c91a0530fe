// The listing run on prepared listing and profile pages: markets, new-code
// flags, and the two result files with the fetch-list backup.
#include "MakeList.h"
#include "FetchData.h"
#include "MarketConv.h"
#include "QuoteServers.h"
#include "TempFolder.h"
#include "VezizoMain.h"
#include "futil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const char kFetchList[] = "1301,1301,T,Nissui\n"
                          "7203,7203,T,Toyota\n"
                          "6758,6758,O,Sony\n";

std::string ListingPage(const std::vector<std::pair<int, std::string>>& rows) {
    std::string page = "<html><body><table>\n<tr><th>code</th><th>name</th></tr>\n";
    for (const auto& [code, name] : rows)
        page += "<tr><td>" + std::to_string(code) + "</td><td>" + name + "</td></tr>\n";
    return page + "</table></body></html>\n";
}

// A profile page in EUC-JP naming the market 名証1部.
const std::string kProfileNagoya = "<TABLE><TR><TD>\xA1\xDA\xB6\xC8\xBC\xEF\xCA\xAC\xCE\xE0\xA1\xDB"
                                   "\xCD\xA2\xC1\xF7\xCD\xD1\xB5\xA1\xB4\xEF</TD></TR>\n"
                                   "<TR><TD>\xA1\xDA\xBB\xD4\xBE\xEC\xCC\xBE\xA1\xDB"
                                   "\xCC\xBE\xBE\xDA\x31\xC9\xF4</TD></TR></TABLE>\n";

class MakeListTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_startupPath = folder.path();
        g_webtempPath = g_startupPath + "/webtemp";
        std::filesystem::create_directory(g_webtempPath);
        g_marketConv = new CMarketConv;
        ASSERT_EQ(g_marketConv->LoadMarketCsv(VEZIZO_SOURCE_DIR "/Resources/market.csv"), 1);
        WriteBytes(folder.file("fetchlist.csv"), kFetchList);
        g_fetchData = new CFetchData;
        ASSERT_EQ(g_fetchData->LoadFetchData(g_startupPath.c_str()), 0);
    }
    void TearDown() override {
        delete g_fetchData;
        delete g_marketConv;
        g_fetchData = nullptr;
        g_marketConv = nullptr;
    }

    bool Exists(const std::string& path) const { return std::filesystem::exists(path); }

    // The listing pages the next run downloads; pages without one fail.
    void SetPage(int page, const std::vector<std::pair<int, std::string>>& rows) {
        WriteBytes(g_webtempPath + "/" + list.getWebTemp(page), ListingPage(rows));
    }

    // Every page as the listing job takes it; returns the new codes counted.
    int Run(bool keepFiles, bool onlyAdded, bool offline) {
        int added = 0;
        for (int i = 0; i < list.nPages(); ++i) {
            const std::string path = g_webtempPath + "/" + list.getWebTemp(i);
            CListPageData::ExtractListData(path.c_str(), list.getPage(i));
            list.AddMarketCode(i, keepFiles, onlyAdded, offline, download);
            added += list.getPage(i)->CountAddedItems();
        }
        return added;
    }

    TempFolder folder;
    CMakeList list;
    // The profile pages the download finds, by code; others fail.
    std::map<int, std::string> profiles;
    std::vector<std::string> requested;
    BlockingDownload download = [this](const std::string& url, const std::string& path) {
        requested.push_back(url);
        const int code = std::atoi(url.c_str() + url.size() - 9);
        if (profiles.count(code) == 0)
            return false;
        WriteBytes(path, profiles[code]);
        return true;
    };
};

TEST_F(MakeListTest, RewriteListsEveryRowInCodeOrderAndKeepsThePreviousList) {
    WriteBytes(folder.file("fetchlist.bak"), "an older list\n");
    SetPage(0, {{7203, "Toyota"}, {1301, "Nissui"}, {9999, "New A"}, {1301, "Nissui"}});
    SetPage(1, {{6758, "Sony"}, {998407, "Index"}});
    EXPECT_EQ(Run(false, false, true), 2);
    ASSERT_EQ(list.Save(g_startupPath, false), 0);

    EXPECT_EQ(ReadBytes(folder.file("fetchlist.csv")), "998407,1010,X,Index\n"
                                                       "1301,1301,T,Nissui\n"
                                                       "1301,1301,T,Nissui\n"
                                                       "6758,6758,O,Sony\n"
                                                       "7203,7203,T,Toyota\n"
                                                       "9999,9999,X,New A\n");
    EXPECT_EQ(ReadBytes(folder.file("fetchlist.bak")), kFetchList);

    if (!ReadAttribute(folder.file("fetchlist.csv"), "user.filetype").empty()) {
        EXPECT_EQ(ReadAttribute(folder.file("fetchlist.csv"), "user.filetype"), "TEXT");
        EXPECT_EQ(ReadAttribute(folder.file("fetchlist.csv"), "user.creator"), "XCEL");
    }

    // The fetch list reads the rewritten file back.
    CFetchData reread;
    ASSERT_EQ(reread.LoadFetchData(g_startupPath.c_str()), 0);
    EXPECT_EQ(reread.nPages(), 1);
    EXPECT_EQ(reread.FindMarket(6758), 4);
    EXPECT_EQ(reread.FindMarket(7203), 1);
    EXPECT_EQ(reread.FindMarket(1010), g_marketConv->nEntries() + 1);
    EXPECT_EQ(reread.FindMarket(1332), 99);
}

TEST_F(MakeListTest, OnlyAddedWritesTheNewCodesAndLeavesTheListAlone) {
    WriteBytes(folder.file("fetchlist.bak"), "an older list\n");
    SetPage(0, {{9999, "New A"}, {1301, "Nissui"}});
    SetPage(1, {{1332, "New B"}});
    EXPECT_EQ(Run(false, true, true), 2);
    ASSERT_EQ(list.Save(g_startupPath, true), 0);

    EXPECT_EQ(ReadBytes(folder.file(CMakeList::AddedListName())),
              "9999,9999,X,New A\n1332,1332,X,New B\n");
    EXPECT_EQ(list.nAddedWithoutMarket(), 2);
    EXPECT_EQ(ReadBytes(folder.file("fetchlist.csv")), kFetchList);
    EXPECT_EQ(ReadBytes(folder.file("fetchlist.bak")), "an older list\n");
}

TEST_F(MakeListTest, MarketComesFromTheProfilePageWhenItNamesOne) {
    SetPage(0, {{6758, "Sony"}, {9999, "New A"}, {1332, "New B"}, {7203, "Toyota"}});
    profiles[9999] = kProfileNagoya;
    profiles[6758] = ""; // an empty download names no market
    Run(true, false, false);
    const std::string profileBase = "http://" + ProfileHost() + "/biz/fundamental/";
    EXPECT_EQ(requested,
              (std::vector<std::string>{profileBase + "6758.html", profileBase + "9999.html",
                                        profileBase + "1332.html", profileBase + "7203.html"}));
    EXPECT_TRUE(Exists(g_webtempPath + "/fundamental/9000/9999.html"));
    const CListPageData* page = list.getPage(0);
    EXPECT_EQ(page->getLDT(0)->market, 4);  // from the fetch list
    EXPECT_EQ(page->getLDT(1)->market, 7);  // 名証1部
    EXPECT_EQ(page->getLDT(2)->market, 99); // no profile page
    EXPECT_EQ(page->getLDT(3)->market, 1);

    // Offline the kept pages are read again; only new codes are looked up.
    requested.clear();
    Run(true, true, true);
    EXPECT_TRUE(requested.empty());
    EXPECT_EQ(page->getLDT(1)->market, 7);
    ASSERT_EQ(list.Save(g_startupPath, false), 0);
    EXPECT_EQ(ReadBytes(folder.file("fetchlist.csv")), "1332,1332,X,New B\n6758,6758,O,Sony\n"
                                                       "7203,7203,T,Toyota\n9999,9999,N,New A\n");
}

TEST_F(MakeListTest, SharedProfileFileNeverGivesOneCodeAnothersMarket) {
    SetPage(0, {{9999, "New A"}, {1332, "New B"}});
    profiles[9999] = kProfileNagoya;
    Run(false, true, false);
    EXPECT_EQ(list.getPage(0)->getLDT(0)->market, 7);
    EXPECT_EQ(list.getPage(0)->getLDT(1)->market, 99); // its download failed

    // Offline, the shared file holds the last code downloaded, not these.
    WriteBytes(g_webtempPath + "/fundamental.html", kProfileNagoya);
    Run(false, false, true);
    EXPECT_EQ(list.getPage(0)->getLDT(0)->market, 99);
    EXPECT_EQ(list.getPage(0)->getLDT(1)->market, 99);
}

TEST_F(MakeListTest, SecondRunKeepsNewCodeFlagsAndWritesNoStaleRow) {
    SetPage(0, {{7203, "Toyota"}, {9999, "New A"}, {1332, "New B"}});
    SetPage(1, {{2001, "New C"}});
    EXPECT_EQ(Run(false, false, true), 3);

    SetPage(0, {{7203, "Toyota"}, {9999, "New A"}});
    std::remove((g_webtempPath + "/" + list.getWebTemp(1)).c_str()); // page 1 failed
    EXPECT_EQ(Run(false, false, true), 1);
    EXPECT_EQ(list.getPage(0)->getLDT(1)->added, 1);
    EXPECT_EQ(list.getPage(0)->getLDT(2)->code, 0);
    ASSERT_EQ(list.Save(g_startupPath, false), 0);
    EXPECT_EQ(ReadBytes(folder.file("fetchlist.csv")), "7203,7203,T,Toyota\n9999,9999,X,New A\n");
}

TEST_F(MakeListTest, FailedRewriteLeavesTheUsersFilesInPlace) {
    SetPage(0, {{7203, "Toyota"}});
    Run(false, false, true);
    // The backup name is taken by a folder that cannot be replaced.
    std::filesystem::create_directory(folder.file("fetchlist.bak"));
    WriteBytes(folder.file("fetchlist.bak/keep"), "x");
    EXPECT_EQ(list.Save(g_startupPath, false), -1);
    EXPECT_EQ(ReadBytes(folder.file("fetchlist.csv")), kFetchList);
    EXPECT_EQ(ReadBytes(folder.file("fetchlist.bak/keep")), "x");

    // A folder that does not exist takes no file.
    EXPECT_EQ(list.Save(g_startupPath + "/missing", false), -1);
    EXPECT_EQ(list.Save(g_startupPath + "/missing", true), -1);
    EXPECT_FALSE(Exists(g_startupPath + "/missing"));

    // Without a current list the new one is written and no backup remains.
    std::filesystem::remove_all(folder.file("fetchlist.bak"));
    std::filesystem::remove(folder.file("fetchlist.csv"));
    EXPECT_EQ(list.Save(g_startupPath, false), 0);
    EXPECT_EQ(ReadBytes(folder.file("fetchlist.csv")), "7203,7203,T,Toyota\n");
    EXPECT_FALSE(Exists(folder.file("fetchlist.bak")));
}

TEST_F(MakeListTest, AKillBetweenBackupAndRenameLeavesTheListWhole) {
    WriteBytes(folder.file("fetchlist.bak"), "an older list\n");
    SetPage(0, {{7203, "Toyota"}, {9999, "New A"}});
    Run(false, false, true);

    // At the instant before the new list takes its name, both names hold the
    // current list, and the new one waits complete under a temporary name.
    int seen = 0;
    SetReplaceHook([&](const std::string& path) {
        if (path != folder.file("fetchlist.csv"))
            return;
        ++seen;
        EXPECT_EQ(ReadBytes(folder.file("fetchlist.csv")), kFetchList);
        EXPECT_EQ(ReadBytes(folder.file("fetchlist.bak")), kFetchList);
        int temporaries = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(".fetchlist.csv.vezizo-tmp-", 0) == 0) {
                ++temporaries;
                EXPECT_EQ(ReadBytes(entry.path().string()),
                          "7203,7203,T,Toyota\n9999,9999,X,New A\n");
            }
        }
        EXPECT_EQ(temporaries, 1);
    });

    // A run killed there: what it leaves is the user's list and one
    // temporary, which the next run's start-up takes away.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SetReplaceHook([](const std::string&) { _exit(9); });
        list.Save(g_startupPath, false);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9);
    EXPECT_EQ(ReadBytes(folder.file("fetchlist.csv")), kFetchList);
    EXPECT_EQ(ReadBytes(folder.file("fetchlist.bak")), kFetchList);
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    EXPECT_EQ(RemoveStaleTempFiles(folder.path(), now), 1);

    ASSERT_EQ(list.Save(g_startupPath, false), 0);
    SetReplaceHook({});
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(ReadBytes(folder.file("fetchlist.csv")), "7203,7203,T,Toyota\n9999,9999,X,New A\n");
    EXPECT_EQ(ReadBytes(folder.file("fetchlist.bak")), kFetchList);
}

} // namespace
