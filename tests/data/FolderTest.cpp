#include "FolderLock.h"
#include "FullPath.h"
#include "StWorkingDirectory.h"
#include "TempFolder.h"
#include "futil.h"
#include "misclib.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

bool IsFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int EntryCount(const std::string& folder) {
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++entries;
    return entries;
}

// Sets the modification time of path (not following a symbolic link).
bool SetModified(const std::string& path, const timespec& when) {
    const timespec times[2] = {when, when};
    return utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
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
    EXPECT_EQ(EntryCount(m_folder.path()), 1);

    StReplaceFile nowhere(m_folder.file("missing/out.csv"));
    EXPECT_EQ(nowhere.stream(), nullptr);
    EXPECT_FALSE(nowhere.commit());
}

TEST_F(FolderTest, ReplaceWithLinkGivesTheFileASecondName) {
    const std::string list = m_folder.file("fetchlist.csv");
    const std::string backup = m_folder.file("fetchlist.bak");
    WriteBytes(list, "current\n");
    WriteBytes(backup, "older\n");
    ASSERT_TRUE(ReplaceWithLink(list, backup));
    EXPECT_EQ(ReadBytes(backup), "current\n");
    struct stat listInfo, backupInfo;
    ASSERT_EQ(stat(list.c_str(), &listInfo), 0);
    ASSERT_EQ(stat(backup.c_str(), &backupInfo), 0);
    EXPECT_EQ(listInfo.st_ino, backupInfo.st_ino);

    ASSERT_EQ(unlink(list.c_str()), 0);
    EXPECT_FALSE(ReplaceWithLink(list, backup));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(ReadBytes(backup), "current\n");
    EXPECT_EQ(EntryCount(m_folder.path()), 1);
}

TEST_F(FolderTest, OnlyStaleTemporariesOfThisProgramAreRemoved) {
    timespec start;
    ASSERT_EQ(clock_gettime(CLOCK_REALTIME, &start), 0);
    struct Row {
        const char* name;
        long age; // seconds before start; negative: after it
        bool removed;
    };
    const Row rows[] = {
        {".DS061225.DAT.vezizo-tmp-a1B2c3", 3600, true},
        {".fetchlist.bak.vezizo-tmp-Q1w2E3", 1, true},
        {".KD7203.KDT.vezizo-tmp-zzzzzz", -3600, false}, // written after the start
        {"DS061225.DAT.vezizo-tmp-a1B2c3", 3600, false}, // not hidden
        {".vezizo-tmp-a1B2c3", 3600, false},             // no file name
        {".x.vezizo-tmp-a1B2c", 3600, false},            // not mkstemp's six letters
        {".x.vezizo-tmp-a1B2c_", 3600, false},
        {".x.vezizo-tmp-a1B2c3.bak", 3600, false},
        {".bashrc", 3600, false},
    };
    for (const Row& row : rows) {
        WriteBytes(m_folder.file(row.name), "x");
        ASSERT_TRUE(SetModified(m_folder.file(row.name), {start.tv_sec - row.age, 0})) << row.name;
    }
    // Only files of the folder itself: no folder, link or sub-folder's file.
    const timespec old = {start.tv_sec - 3600, 0};
    ASSERT_TRUE(CreateFolderPath(m_folder.file(".d.vezizo-tmp-a1B2c3")));
    ASSERT_TRUE(CreateFolderPath(m_folder.file("webtemp")));
    WriteBytes(m_folder.file("webtemp/.p.vezizo-tmp-a1B2c3"), "x");
    ASSERT_EQ(symlink("/dev/null", m_folder.file(".l.vezizo-tmp-a1B2c3").c_str()), 0);
    for (const char* name :
         {".d.vezizo-tmp-a1B2c3", "webtemp/.p.vezizo-tmp-a1B2c3", ".l.vezizo-tmp-a1B2c3"})
        ASSERT_TRUE(SetModified(m_folder.file(name), old)) << name;

    EXPECT_EQ(RemoveStaleTempFiles(m_folder.path(), start), 2);
    for (const Row& row : rows)
        EXPECT_EQ(std::filesystem::exists(m_folder.file(row.name)), !row.removed) << row.name;
    EXPECT_TRUE(IsFolder(m_folder.file(".d.vezizo-tmp-a1B2c3")));
    EXPECT_TRUE(std::filesystem::exists(m_folder.file("webtemp/.p.vezizo-tmp-a1B2c3")));
    EXPECT_TRUE(std::filesystem::is_symlink(m_folder.file(".l.vezizo-tmp-a1B2c3")));

    // The temporaries StReplaceFile makes are the ones recognised.
    const int before = EntryCount(m_folder.path());
    StReplaceFile live(m_folder.file("DS061226.DAT"));
    ASSERT_NE(live.stream(), nullptr);
    ASSERT_EQ(EntryCount(m_folder.path()), before + 1);
    const timespec later = {start.tv_sec + 7200, 0};
    EXPECT_EQ(RemoveStaleTempFiles(m_folder.path(), later), 2); // it and the "written after"
    EXPECT_EQ(EntryCount(m_folder.path()), before - 1);
}

TEST_F(FolderTest, OneRunHoldsTheFolder) {
    CFolderLock first, second;
    ASSERT_TRUE(first.Lock(m_folder.path()));
    EXPECT_TRUE(first.locked());
    EXPECT_FALSE(second.Lock(m_folder.path()));
    EXPECT_FALSE(second.locked());
    first.Unlock();
    EXPECT_TRUE(second.Lock(m_folder.path()));
    EXPECT_TRUE(second.locked());
    EXPECT_FALSE(first.Lock(m_folder.path()));
    EXPECT_TRUE(std::filesystem::exists(m_folder.file("vezizo.lock")));

    const std::string message = CFolderLock::InUseMessage(m_folder.path());
    EXPECT_NE(message.find("another run"), std::string::npos) << message;
    EXPECT_NE(message.find(m_folder.file("vezizo.lock")), std::string::npos) << message;

    // Where no lock file can be made there is nothing to hold, and no run
    // can write there either: the run goes on.
    CFolderLock nowhere;
    EXPECT_TRUE(nowhere.Lock(m_folder.file("missing")));
    EXPECT_FALSE(nowhere.locked());
}
