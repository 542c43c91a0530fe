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
