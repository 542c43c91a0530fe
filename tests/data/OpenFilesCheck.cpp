// A reader or writer that leaves a file open runs the window out of
// descriptors over a long day of jobs: every run of the data tests ends with
// the descriptors it began with.
#include <dirent.h>
#include <gtest/gtest.h>

namespace {

int OpenDescriptors() {
    int n = 0;
    if (DIR* folder = opendir("/proc/self/fd")) {
        while (readdir(folder) != nullptr)
            ++n;
        closedir(folder);
    }
    return n;
}

class OpenFilesCheck : public testing::Environment {
    void SetUp() override { m_atStart = OpenDescriptors(); }
    void TearDown() override { EXPECT_EQ(OpenDescriptors(), m_atStart) << "files left open"; }
    int m_atStart = 0;
};

const testing::Environment* const s_check = testing::AddGlobalTestEnvironment(new OpenFilesCheck);

} // namespace
