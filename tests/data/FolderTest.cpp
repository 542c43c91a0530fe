#include "FullPath.h"
#include "StWorkingDirectory.h"
#include "TempFolder.h"
#include "futil.h"
#include "misclib.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

bool IsFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Restores the current directory after tests that change it.
class FolderTest : public ::testing::Test {
protected:
    void TearDown() override { ASSERT_EQ(chdir(m_cwd.c_str()), 0); }

    const std::string m_cwd = CurrentDirectory();
    TempFolder m_folder;
};

} // namespace

TEST(FullPath, JoinsFolderAndName) {
    EXPECT_EQ(MakeUnixFullPath("/a/b", "x.csv"), "/a/b/x.csv");
    EXPECT_EQ(MakeUnixFullPath("/a/b", "."), "/a/b/.");
    EXPECT_EQ(MakeUnixFullPath("", "x"), "/x"); // the root without its trailing "/"
    EXPECT_EQ(MakeUnixFullPath("/", "x"), "/x");
    EXPECT_EQ(MakeFullPath("/a/\xE6\xA0\xAA", "x"), "/a/\xE6\xA0\xAA/x");
}

TEST_F(FolderTest, WorkingDirectoryScopesNestAndRestore) {
    const std::string outer = m_folder.file("outer");
    ASSERT_TRUE(CreateFolderPath(outer + "/inner"));
    {
        StWorkingDirectory first(outer);
        EXPECT_TRUE(first.entered());
        EXPECT_EQ(CurrentDirectory(), outer);
        {
            StWorkingDirectory second("inner"); // relative to the first scope
            EXPECT_EQ(CurrentDirectory(), outer + "/inner");
            StWorkingDirectory missing(m_folder.file("none"));
            EXPECT_FALSE(missing.entered());
            EXPECT_EQ(CurrentDirectory(), outer + "/inner");
        }
        EXPECT_EQ(CurrentDirectory(), outer);
    }
    EXPECT_EQ(CurrentDirectory(), m_cwd);
}

TEST_F(FolderTest, CreateFolder2MakesOrFindsTheFolder) {
    StWorkingDirectory scope(m_folder.path());
    const std::string made = CreateFolder2("webtemp");
    EXPECT_EQ(made, m_folder.file("webtemp"));
    ASSERT_TRUE(IsFolder(made));
    WriteBytes(made + "/page.html", "kept");
    EXPECT_EQ(CreateFolder2("webtemp"), made);
    EXPECT_EQ(ReadBytes(made + "/page.html"), "kept");

    EXPECT_TRUE(CreateFolderPath(m_folder.file("a/b/c")));
    EXPECT_TRUE(IsFolder(m_folder.file("a/b/c")));
    WriteBytes(m_folder.file("file"), "");
    EXPECT_FALSE(CreateFolderPath(m_folder.file("file")));
}

TEST_F(FolderTest, TypeAndCreatorGoToExtendedAttributes) {
    EXPECT_EQ(
        SetCreatorAndType("none.DAT", m_folder.path(), FourCharCode("TSLD"), FourCharCode("TEXT")),
        kFileNotFoundErr);

    WriteBytes(m_folder.file("DS061225.DAT"), "data");
    const std::string path = m_folder.file("DS061225.DAT");
    if (setxattr(path.c_str(), "user.probe", "1", 1, 0) != 0)
        GTEST_SKIP() << "the temporary file system refuses extended attributes: "
                     << std::strerror(errno);
    ASSERT_EQ(SetCreatorAndType("DS061225.DAT", m_folder.path(), FourCharCode("iTxt"),
                                FourCharCode("TEXT")),
              0);
    EXPECT_EQ(ReadAttribute(path, "user.creator"), "iTxt");
    EXPECT_EQ(ReadAttribute(path, "user.filetype"), "TEXT");
    EXPECT_EQ(ReadBytes(path), "data");
}

TEST_F(FolderTest, ReplaceFileKeepsTheOldFileUntilCommitted) {
    const std::string path = m_folder.file("fetchlist.csv");
    WriteBytes(path, "old\n");
    chmod(path.c_str(), 0640);
    {
        StReplaceFile file(path);
        ASSERT_NE(file.stream(), nullptr);
        std::fputs("half-written", file.stream());
    }
    EXPECT_EQ(ReadBytes(path), "old\n");
    {
        StReplaceFile file(path, "wb");
        ASSERT_NE(file.stream(), nullptr);
        std::fputs("new\n", file.stream());
        EXPECT_EQ(ReadBytes(path), "old\n"); // not before the commit
        EXPECT_TRUE(file.commit());
        EXPECT_FALSE(file.commit());
    }
    EXPECT_EQ(ReadBytes(path), "new\n");
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    // No temporary file is left behind either way.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(m_folder.path()))
        ++entries;
    EXPECT_EQ(entries, 1);

    StReplaceFile nowhere(m_folder.file("missing/out.csv"));
    EXPECT_EQ(nowhere.stream(), nullptr);
    EXPECT_FALSE(nowhere.commit());
}
