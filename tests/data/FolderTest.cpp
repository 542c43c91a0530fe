// Folders and files of the application folder: the working directory, safe
// replacement, stale temporaries, the lock and where the folder is.
#include "FolderLock.h"
#include "StWorkingDirectory.h"
#include "TestFolder.h"
#include "futil.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

// Each test runs in a process of its own: the current directory and the
// folder globals it changes go with it.
class FolderTest : public ::testing::Test {
protected:
    TempFolder m_folder;
};

} // namespace

TEST_F(FolderTest, WorkingDirectoryFolderCreationAndTheLock) {
    const std::string outer = m_folder.file("outer");
    ASSERT_TRUE(CreateFolderPath(outer + "/inner"));
    const std::string start = CurrentDirectory();
    {
        StWorkingDirectory first(outer);
        StWorkingDirectory second("inner"); // relative to the first scope
        StWorkingDirectory missing(m_folder.file("none"));
        EXPECT_EQ(std::make_pair(second.entered(), missing.entered()), std::make_pair(true, false));
        EXPECT_EQ(CurrentDirectory(), outer + "/inner");
    }
    EXPECT_EQ(CurrentDirectory(), start);
    WriteBytes(m_folder.file("file"), "");
    EXPECT_FALSE(CreateFolderPath(m_folder.file("file")));
    EXPECT_FALSE(CreateFolderPath(m_folder.file("file/below")));
    EXPECT_EQ(SetCreatorAndType("none", m_folder.path(), 0, 0), kFileNotFoundErr);

    // One run holds the folder.
    CFolderLock first, second;
    ASSERT_TRUE(first.Lock(m_folder.path()) && first.locked());
    EXPECT_FALSE(second.Lock(m_folder.path()) || second.locked());
    first.Unlock();
    ASSERT_TRUE(second.Lock(m_folder.path()));
    ASSERT_TRUE(second.Lock(m_folder.path())); // again by its holder
    EXPECT_FALSE(first.Lock(m_folder.path()));
    EXPECT_THAT(CFolderLock::InUseMessage(m_folder.path()),
                testing::AllOf(testing::HasSubstr("another run"),
                               testing::HasSubstr(m_folder.file("vezizo.lock"))));
    // Where no lock file can be made no run can write either: the run goes on.
    EXPECT_TRUE(first.Lock(m_folder.file("missing")) && !first.locked());
}

// The old file stays until the new one is committed whole and keeps its mode;
// no temporary is left behind either way; the backup is a second name.
TEST_F(FolderTest, ReplaceFileKeepsTheOldFileUntilCommitted) {
    const std::string path = m_folder.file("fetchlist.csv");
    WriteBytes(path, "old\n");
    chmod(path.c_str(), 0640);
    std::fputs("half-written", StReplaceFile(path).stream()); // never committed
    EXPECT_EQ(ReadBytes(path), "old\n");
    {
        StReplaceFile file(path, "wb");
        std::fputs("new\n", file.stream());
        EXPECT_EQ(ReadBytes(path), "old\n");
        EXPECT_TRUE(file.commit() && !file.commit()); // once
    }
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
    ASSERT_TRUE(CreateFolderPath(m_folder.file("taken/x"))); // a rename that fails
    StReplaceFile(m_folder.file("taken")).commit();
    std::filesystem::remove_all(m_folder.file("taken"));
    EXPECT_EQ(EntryCount(m_folder.path()), 1);
    StReplaceFile nowhere(m_folder.file("missing/out.csv"));
    EXPECT_FALSE(nowhere.flush() || nowhere.commit());

    const std::string backup = m_folder.file("fetchlist.bak");
    WriteBytes(backup, "older\n");
    ASSERT_TRUE(ReplaceWithLink(path, backup));
    EXPECT_TRUE(std::filesystem::equivalent(path, backup));
    EXPECT_EQ(EntryCount(m_folder.path()), 2);

    // Where no link can be made (here: across file systems) the backup is a copy.
    const std::string other = "/dev/shm/vezizo-test-" + std::to_string(getpid());
    struct stat here = {}, there = {};
    WriteBytes(other, "elsewhere\n");
    if (stat(other.c_str(), &there) == 0 && stat(backup.c_str(), &here) == 0 &&
        here.st_dev != there.st_dev) {
        EXPECT_TRUE(ReplaceWithLink(other, backup));
        EXPECT_EQ(ReadBytes(backup), "elsewhere\n");
        EXPECT_EQ(EntryCount(m_folder.path()), 2);
    }
    std::remove(other.c_str());
}

TEST_F(FolderTest, OnlyStaleTemporariesOfThisProgramAreRemoved) {
    timespec start;
    ASSERT_EQ(clock_gettime(CLOCK_REALTIME, &start), 0);
    const std::tuple<const char*, char, long, bool> rows[] = {
        // clang-format off
        // name                                      kind (f file, d folder, l link)  age in s before start  removed
        {".DS061225.DAT.vezizo-tmp-a1B2c3",            'f', 3600,  true},
        {".KD7203.KDT.vezizo-tmp-zzzzzz",              'f', -3600, false}, // written after the start
        {"DS061225.DAT.vezizo-tmp-a1B2c3",             'f', 3600,  false}, // not hidden
        {".vezizo-tmp-a1B2c3",                         'f', 3600,  false}, // no file name
        {".x.vezizo-tmp-a1B2c_",                       'f', 3600,  false}, // not mkstemp's letters
        {".x.vezizo-tmp-a1B2c3.bak",                   'f', 3600,  false},
        {".d.vezizo-tmp-a1B2c3",                       'd', 3600,  false},
        {".d.vezizo-tmp-a1B2c3/.p.vezizo-tmp-a1B2c3",  'f', 3600,  false}, // in a sub-folder
        {".l.vezizo-tmp-a1B2c3",                       'l', 3600,  false},
        // clang-format on
    };
    for (const auto& [name, kind, age, removed] : rows) {
        const std::string path = m_folder.file(name);
        if (kind == 'd')
            ASSERT_TRUE(CreateFolderPath(path));
        else if (kind == 'l')
            ASSERT_EQ(symlink("/dev/null", path.c_str()), 0);
        else
            WriteBytes(path, "x");
        const timespec when[2] = {{start.tv_sec - age, 0}, {start.tv_sec - age, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), when, AT_SYMLINK_NOFOLLOW), 0) << name;
    }
    EXPECT_EQ(RemoveStaleTempFiles(m_folder.path(), start), 1);
    for (const auto& [name, kind, age, removed] : rows)
        EXPECT_EQ(!std::filesystem::exists(std::filesystem::symlink_status(m_folder.file(name))),
                  removed)
            << name;
}

// The folder that holds the rightmost bundle; an installed program's folder
// is the user's; a first start makes it with the shipped market table.
TEST_F(FolderTest, ApplicationFolderOfTheProgram) {
    const std::string deep = "/" + std::string(3000, 'd'); // paths have no length limit
    const std::pair<std::string, std::string> bundles[] = {
        // clang-format off
        {"/x.app/y/Z.app/Contents/MacOS/Z", "/x.app/y"},
        {deep + "/Z.app/Contents/MacOS/Z",  deep},
        {"/opt/q.app",                      "/"}, // without ".app/" the path's first character stands
        {"B.app/Contents/MacOS/B",          "B"},
        {"/B.app/Contents/MacOS/B",         ""}, // the root
        // clang-format on
    };
    for (const auto& [program, startup] : bundles) {
        FindStartupDirectory(program.c_str());
        EXPECT_EQ(g_startupPath, startup) << program;
    }
    const std::string program = m_folder.path() + "/Vezizo.app/Contents/MacOS/vezizo";
    FindStartupDirectory(program.c_str());
    EXPECT_EQ(CurrentDirectory(), m_folder.path());
    createWebTempDirectory();
    EXPECT_EQ(g_webtempPath, m_folder.file("webtemp"));
    EXPECT_TRUE(SetStartupDirectory("webtemp/"));
    EXPECT_EQ(CurrentDirectory(), m_folder.file("webtemp"));
    EXPECT_FALSE(SetStartupDirectory(m_folder.file("missing")));
    setenv("VEZIZO_FOLDER", m_folder.file("elsewhere").c_str(), 1);
    EXPECT_TRUE(FindApplicationFolder(program.c_str())); // a writable bundle folder wins
    EXPECT_EQ(g_startupPath, m_folder.path());
    EXPECT_FALSE(std::filesystem::exists(m_folder.file("elsewhere")));

    const std::tuple<bool, const char*, const char*, const char*> rows[] = {
        // clang-format off
        // bundle folder writable, $VEZIZO_FOLDER, $HOME, the folder
        {true,  "/srv/quotes", "/home/u",  "/work/build"},
        {false, "/srv/quotes", "/home/u",  "/srv/quotes"},
        {false, "",            "/home/u/", "/home/u/Vezizo"},
        {false, nullptr,       "/home/u",  "/home/u/Vezizo"},
        {false, nullptr,       "/",        "/Vezizo"},
        {false, nullptr,       "",         ""},
        // clang-format on
    };
    for (const auto& [writable, variable, home, expected] : rows)
        EXPECT_EQ(ApplicationFolderFor("/work/build", writable, variable, home), expected)
            << expected;

    const std::string shipped = m_folder.file("market.csv");
    const std::string table(10000, 'm'); // more than one read
    WriteBytes(shipped, table);
    const std::string folder = m_folder.file("home/user/Vezizo");
    ASSERT_TRUE(MakeApplicationFolder(folder, shipped));
    EXPECT_EQ(ReadBytes(folder + "/market.csv"), table);
    WriteBytes(folder + "/market.csv", "own");
    ASSERT_TRUE(MakeApplicationFolder(folder, shipped));
    EXPECT_EQ(ReadBytes(folder + "/market.csv"), "own");
    ASSERT_TRUE(MakeApplicationFolder(m_folder.file("bare"), m_folder.file("missing.csv")));
    EXPECT_TRUE(std::filesystem::is_empty(m_folder.file("bare")));
    EXPECT_FALSE(MakeApplicationFolder(shipped + "/Vezizo", shipped));
}
