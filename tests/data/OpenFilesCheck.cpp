// A reader or writer that leaves a file open runs the window out of
// descriptors over a long day of jobs: every run of the data tests ends with
// the descriptors it began with.
#include "TestFolder.h"

namespace {

class OpenFilesCheck : public testing::Environment {
    static constexpr const char* kOpenFiles = "/proc/self/fd";
    void SetUp() override { m_atStart = EntryCount(kOpenFiles); }
    void TearDown() override { EXPECT_EQ(EntryCount(kOpenFiles), m_atStart) << "files left open"; }
    int m_atStart = 0;
};

const testing::Environment* const s_check = testing::AddGlobalTestEnvironment(new OpenFilesCheck);

} // namespace
