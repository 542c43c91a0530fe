// The listing run on prepared listing and profile pages: markets, new-code
// flags, and the two result files with the fetch-list backup.
#include "MakeList.h"
#include "TestFolder.h"
#include "futil.h"

#include <map>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace {

const char kFetchList[] = "1301,1301,T,Nissui\n7203,7203,T,Toyota\n6758,6758,O,Sony\n";

// A profile page in EUC-JP naming the market 名証1部.
const std::string kProfileNagoya = "<TABLE><TR><TD>\xA1\xDA\xB6\xC8\xBC\xEF\xCA\xAC\xCE\xE0\xA1\xDB"
                                   "\xCD\xA2\xC1\xF7\xCD\xD1\xB5\xA1\xB4\xEF</TD></TR>\n"
                                   "<TR><TD>\xA1\xDA\xBB\xD4\xBE\xEC\xCC\xBE\xA1\xDB"
                                   "\xCC\xBE\xBE\xDA\x31\xC9\xF4</TD></TR></TABLE>\n";

class MakeListTest : public ShippedMarkets {
protected:
    void SetUp() override {
        ShippedMarkets::SetUp();
        g_startupPath = folder.path();
        g_webtempPath = g_startupPath + "/webtemp";
        std::filesystem::create_directory(g_webtempPath);
        g_fetchData = &fetch;
        WriteBytes(folder.file("fetchlist.csv"), kFetchList);
        WriteBytes(folder.file("fetchlist.bak"), "an older list\n");
        ASSERT_EQ(fetch.LoadFetchData(g_startupPath.c_str()), 0);
    }
    void TearDown() override { g_fetchData = nullptr, g_marketConv = nullptr; }

    // The listing page the next run downloads; pages without one fail.
    void SetPage(int page, const std::vector<std::pair<int, std::string>>& rows) {
        std::string html = "<table>\n<tr><th>code</th><th>name</th></tr>\n";
        for (const auto& [code, name] : rows)
            html += "<tr><td>" + std::to_string(code) + "</td><td>" + name + "</td></tr>\n";
        WriteBytes(Page(page), html + "</table>\n");
    }
    std::string Page(int page) const { return g_webtempPath + "/" + list.getWebTemp(page); }

    // Every page as the listing job takes it; returns the new codes counted.
    int Run(bool keepFiles, bool onlyAdded, bool offline) {
        int added = 0;
        for (int i = 0; i < list.nPages(); ++i) {
            CListPageData::ExtractListData(Page(i).c_str(), list.getPage(i));
            list.AddMarketCode(i, keepFiles, onlyAdded, offline, download);
            added += list.getPage(i)->CountAddedItems();
        }
        return added;
    }
    std::string List() const { return ReadBytes(folder.file("fetchlist.csv")); }
    std::string Backup() const { return ReadBytes(folder.file("fetchlist.bak")); }
    ::LDT* LDT(int slot) { return list.getPage(0)->getLDT(slot); }
    int32_t Market(int slot) { return LDT(slot)->market; }

    TempFolder folder;
    CFetchData fetch;
    CMakeList list;
    // The profile pages the download finds, by code; others fail.
    std::map<int, std::string> profiles;
    std::vector<std::string> requested;
    BlockingDownload download = [this](const std::string& url, const std::string& path) {
        requested.push_back(url);
        const auto page = profiles.find(std::atoi(url.c_str() + url.size() - 9));
        return page != profiles.end() && (WriteBytes(path, page->second), true);
    };
};

// Only the added codes go to their own file and leave the list alone; a
// rewrite lists every row in code order and keeps the previous list.
TEST_F(MakeListTest, RewriteInCodeOrderOrOnlyTheAddedCodes) {
    SetPage(0, {{9999, "New A"}, {1301, "Nissui"}});
    SetPage(1, {{1332, "New B"}});
    EXPECT_EQ(Run(false, true, true), 2);
    ASSERT_EQ(list.Save(g_startupPath, true), 0);
    EXPECT_EQ(ReadBytes(folder.file(CMakeList::AddedListName())),
              "9999,9999,X,New A\n1332,1332,X,New B\n");
    EXPECT_EQ(list.nAddedWithoutMarket(), 2);
    EXPECT_EQ(List(), kFetchList);
    EXPECT_EQ(Backup(), "an older list\n");

    SetPage(0, {{7203, "Toyota"}, {1301, "Nissui"}, {9999, "New A"}, {1301, "Nissui"}});
    SetPage(1, {{6758, "Sony"}, {998407, "Index"}});
    EXPECT_EQ(Run(false, false, true), 2);
    ASSERT_EQ(list.Save(g_startupPath, false), 0);
    EXPECT_EQ(List(), "998407,1010,X,Index\n1301,1301,T,Nissui\n1301,1301,T,Nissui\n"
                      "6758,6758,O,Sony\n7203,7203,T,Toyota\n9999,9999,X,New A\n");
    EXPECT_EQ(Backup(), kFetchList);
    EXPECT_THAT(ReadAttribute(folder.file("fetchlist.csv"), "user.filetype"),
                testing::AnyOf("", "TEXT"));

    // A second run keeps the new-code flags and writes no stale row.
    SetPage(0, {{7203, "Toyota"}, {9999, "New A"}, {1332, "New B"}});
    SetPage(1, {{2001, "New C"}});
    EXPECT_EQ(Run(false, false, true), 3);
    SetPage(0, {{7203, "Toyota"}, {9999, "New A"}});
    std::remove(Page(1).c_str()); // page 1 failed
    EXPECT_EQ(Run(false, false, true), 1);
    // An empty slot is no new code.
    EXPECT_EQ(std::make_tuple(LDT(1)->added, LDT(2)->code, LDT(2)->added),
              std::make_tuple(1, 0, 0));
    ASSERT_EQ(list.Save(g_startupPath, false), 0);
    EXPECT_EQ(List(), "7203,7203,T,Toyota\n9999,9999,X,New A\n");
}

// A new code's market comes from its profile page when that names one; offline
// the kept pages are read again, never the shared page of another code.
TEST_F(MakeListTest, MarketComesFromTheProfilePageWhenItNamesOne) {
    SetPage(0, {{6758, "Sony"}, {9999, "New A"}, {1332, "New B"}, {7203, "Toyota"}});
    profiles[9999] = kProfileNagoya;
    profiles[6758] = ""; // an empty download names no market
    Run(true, false, false);
    const std::string base = "http://" + ProfileHost() + "/biz/fundamental/";
    EXPECT_EQ(requested, (std::vector<std::string>{base + "6758.html", base + "9999.html",
                                                   base + "1332.html", base + "7203.html"}));
    EXPECT_TRUE(std::filesystem::exists(g_webtempPath + "/fundamental/9000/9999.html"));
    EXPECT_EQ((std::vector<int32_t>{Market(0), Market(1), Market(2), Market(3)}),
              (std::vector<int32_t>{4, 7, 99, 1}));
    requested.clear();
    Run(true, true, true);
    EXPECT_TRUE(requested.empty());
    EXPECT_EQ(Market(1), 7);
    ASSERT_EQ(list.Save(g_startupPath, false), 0);
    EXPECT_EQ(List(), "1332,1332,X,New B\n6758,6758,O,Sony\n7203,7203,T,Toyota\n"
                      "9999,9999,N,New A\n");

    Run(false, true, false);
    EXPECT_EQ(std::make_pair(Market(1), Market(2)),
              std::make_pair(7, 99)); // 1332's download failed
    WriteBytes(g_webtempPath + "/fundamental.html", kProfileNagoya);
    Run(false, false, true);
    EXPECT_EQ(Market(1), 99); // the shared file holds the last code downloaded
}

// A run killed at the instant before the new list takes its name leaves the
// current list under both names and one complete temporary, which the next
// run's start-up takes away; a failed rewrite leaves the user's files.
TEST_F(MakeListTest, AKillOrAFailedRewriteLeavesTheListWhole) {
    SetPage(0, {{7203, "Toyota"}, {9999, "New A"}});
    Run(false, false, true);
    const std::string written = "7203,7203,T,Toyota\n9999,9999,X,New A\n";
    SetReplaceHook([&](const std::string& path) {
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            if (entry.path().filename().string().rfind(".fetchlist.csv.vezizo-tmp-", 0) == 0 &&
                path == folder.file("fetchlist.csv") && ReadBytes(entry.path()) == written)
                _exit(9);
    });
    const pid_t child = fork();
    if (child == 0)
        _exit((list.Save(g_startupPath, false), 0));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9);
    EXPECT_EQ(List(), kFetchList);
    EXPECT_EQ(Backup(), kFetchList);
    EXPECT_EQ(RemoveStaleTempFiles(folder.path(), {time(nullptr) + 1, 0}), 1);

    SetReplaceHook({});
    ASSERT_EQ(list.Save(g_startupPath, false), 0);
    EXPECT_EQ(List(), written);
    EXPECT_EQ(Backup(), kFetchList);

    // The backup name is taken by a folder that cannot be replaced.
    WriteBytes(folder.file("fetchlist.csv"), kFetchList);
    std::filesystem::remove(folder.file("fetchlist.bak"));
    std::filesystem::create_directory(folder.file("fetchlist.bak"));
    EXPECT_EQ(list.Save(g_startupPath, false), -1);
    EXPECT_EQ(List(), kFetchList);
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("fetchlist.bak")));
    // A folder that does not exist takes no file.
    EXPECT_EQ(list.Save(g_startupPath + "/missing", false), -1);
    EXPECT_EQ(list.Save(g_startupPath + "/missing", true), -1);
    // Without a current list the new one is written and the old backup goes.
    std::filesystem::remove(folder.file("fetchlist.bak"));
    std::filesystem::rename(folder.file("fetchlist.csv"), folder.file("fetchlist.bak"));
    EXPECT_EQ(list.Save(g_startupPath, false), 0);
    EXPECT_EQ(List(), written);
    EXPECT_FALSE(std::filesystem::exists(folder.file("fetchlist.bak")));
}

} // namespace
