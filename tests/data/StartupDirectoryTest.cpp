#include "TempFolder.h"
#include "VezizoMain.h"
#include "futil.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// FindStartupDirectory changes the current directory and the globals; put them back.
class StartupDirectoryTest : public ::testing::Test {
protected:
    void TearDown() override {
        ASSERT_EQ(chdir(m_cwd.c_str()), 0);
        g_startupPath = m_startupPath;
        g_webtempPath = m_webtempPath;
    }

    std::string StartupPathFor(const char* programPath) {
        FindStartupDirectory(programPath);
        return g_startupPath;
    }

    const std::string m_cwd = CurrentDirectory();
    const std::string m_startupPath = g_startupPath;
    const std::string m_webtempPath = g_webtempPath;
};

} // namespace

TEST_F(StartupDirectoryTest, FolderThatHoldsTheRightmostBundle) {
    EXPECT_EQ(StartupPathFor("/Applications/Tools/Quotes.app/Contents/MacOS/Quotes"),
              "/Applications/Tools");
    EXPECT_EQ(StartupPathFor("/A/B.app/Contents/MacOS/B"), "/A");
    EXPECT_EQ(StartupPathFor("/x.app/y/Z.app/Contents/MacOS/Z"), "/x.app/y");
    EXPECT_EQ(StartupPathFor("/B.app/Contents/MacOS/B"), ""); // the root
    EXPECT_EQ(CurrentDirectory(), "/");
    // Without ".app/" the path's first character stands.
    EXPECT_EQ(StartupPathFor("/usr/bin/q"), "/");
    EXPECT_EQ(StartupPathFor("/opt/q.app"), "/");
    EXPECT_EQ(StartupPathFor("B.app/Contents/MacOS/B"), "B");
    const std::string longFolder = "/" + std::string(200, 'd') + "/" + std::string(100, 'e');
    EXPECT_EQ(StartupPathFor((longFolder + "/Vezizo.app/Contents/MacOS/vezizo").c_str()),
              longFolder);
}

TEST_F(StartupDirectoryTest, ApplicationFolderBecomesCurrentWithItsWebtemp) {
    TempFolder folder;
    FindStartupDirectory((folder.path() + "/Vezizo.app/Contents/MacOS/vezizo").c_str());
    EXPECT_EQ(g_startupPath, folder.path());
    EXPECT_EQ(CurrentDirectory(), folder.path());

    createWebTempDirectory();
    EXPECT_EQ(g_webtempPath, folder.file("webtemp"));
    struct stat info;
    ASSERT_EQ(stat(g_webtempPath.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(CurrentDirectory(), folder.path());

    // A second start uses the folder as it is.
    WriteBytes(folder.file("webtemp/webtemp-000.html"), "page");
    createWebTempDirectory();
    EXPECT_EQ(ReadBytes(folder.file("webtemp/webtemp-000.html")), "page");
}

TEST_F(StartupDirectoryTest, FolderGivenDirectly) {
    TempFolder folder;
    ASSERT_TRUE(CreateFolderPath(folder.file("app")));
    ASSERT_EQ(chdir(folder.path().c_str()), 0);
    EXPECT_TRUE(SetStartupDirectory("app/"));
    EXPECT_EQ(g_startupPath, folder.file("app"));
    EXPECT_EQ(CurrentDirectory(), folder.file("app"));
    EXPECT_FALSE(SetStartupDirectory(folder.file("missing")));
}

TEST_F(StartupDirectoryTest, WritableBundleFolderIsTheApplicationFolder) {
    TempFolder folder;
    ASSERT_EQ(setenv("VEZIZO_FOLDER", folder.file("elsewhere").c_str(), 1), 0);
    EXPECT_TRUE(
        FindApplicationFolder((folder.path() + "/Vezizo.app/Contents/MacOS/vezizo").c_str()));
    unsetenv("VEZIZO_FOLDER");
    EXPECT_EQ(g_startupPath, folder.path());
    EXPECT_EQ(CurrentDirectory(), folder.path());
    EXPECT_NE(access(folder.file("elsewhere").c_str(), F_OK), 0);
}

TEST(ApplicationFolder, InstalledProgramUsesTheUsersFolder) {
    struct Row {
        const char* name;
        bool writable;
        const char* variable;
        const char* home;
        const char* folder;
    };
    const Row rows[] = {
        {"build tree", true, "/srv/quotes", "/home/u", "/work/build"},
        {"VEZIZO_FOLDER", false, "/srv/quotes", "/home/u", "/srv/quotes"},
        {"empty VEZIZO_FOLDER", false, "", "/home/u", "/home/u/Vezizo"},
        {"home", false, nullptr, "/home/u", "/home/u/Vezizo"},
        {"home with a trailing slash", false, nullptr, "/home/u/", "/home/u/Vezizo"},
        {"home is the root", false, nullptr, "/", "/Vezizo"},
        {"no home", false, nullptr, "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ApplicationFolderFor("/work/build", row.writable, row.variable, row.home),
                  row.folder);
    }
}

TEST(ApplicationFolder, FirstStartMakesTheFolderWithTheShippedMarketTable) {
    TempFolder temp;
    const std::string shipped = temp.file("market.csv");
    WriteBytes(shipped, "1, T, shipped\n");

    // A new folder, its parents included, gets the shipped table.
    const std::string folder = temp.file("home/user/Vezizo");
    ASSERT_TRUE(MakeApplicationFolder(folder, shipped));
    EXPECT_EQ(ReadBytes(folder + "/market.csv"), "1, T, shipped\n");
    // A table of the user's own stays.
    WriteBytes(folder + "/market.csv", "own");
    ASSERT_TRUE(MakeApplicationFolder(folder, shipped));
    EXPECT_EQ(ReadBytes(folder + "/market.csv"), "own");

    // Without a shipped table the folder is made all the same, and empty:
    // start-up runs with an empty market table.
    ASSERT_TRUE(MakeApplicationFolder(temp.file("bare"), temp.file("missing.csv")));
    EXPECT_TRUE(std::filesystem::is_empty(temp.file("bare")));

    // A file where the folder should be.
    WriteBytes(temp.file("file"), "x");
    EXPECT_FALSE(MakeApplicationFolder(temp.file("file/Vezizo"), shipped));
    EXPECT_FALSE(MakeApplicationFolder("", shipped));
}
