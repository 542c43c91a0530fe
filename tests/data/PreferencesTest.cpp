#include "Preferences.h"
#include "ProgramSettings.h"
#include "TempFolder.h"
#include "misclib.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

// Sets an environment variable (null: unsets it) and puts it back afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        const char* old = std::getenv(name);
        m_had = old != nullptr;
        m_old = m_had ? old : "";
        Put(value);
    }
    ~ScopedEnv() { Put(m_had ? m_old.c_str() : nullptr); }
    void Put(const char* value) {
        if (value != nullptr)
            setenv(m_name, value, 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    std::string m_old;
};

// Each test has its own preferences folder.
class PreferencesTest : public ::testing::Test {
protected:
    std::string FilePath() const { return m_folder.file(CPreferences::kFileName); }

    TempFolder m_folder;
    ScopedEnv m_config{"XDG_CONFIG_HOME", m_folder.path().c_str()};
};

// Compares every stored byte, by default with those of a fresh object.
void ExpectSameBytes(const CPreferences& p, const CPreferences& other = CPreferences()) {
    unsigned char a[CPreferences::kFileSize], b[CPreferences::kFileSize];
    p.ToBytes(a);
    other.ToBytes(b);
    EXPECT_EQ(std::memcmp(a, b, sizeof a), 0);
}

std::string Le32(uint32_t v) {
    return {char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24)};
}

} // namespace

TEST_F(PreferencesTest, WithoutAFileTheDefaultsStand) {
    CPreferences p;
    p.Load();
    ExpectSameBytes(p);
}

TEST_F(PreferencesTest, SaveWritesTheFieldsAtTheirOffsets) {
    CPreferences p;
    std::strcpy(p.proxyHost, "proxy.example");
    p.proxyPort = 3128;
    p.fileFormat = 2;
    p.creatorIndex = 3;
    p.useProxy = 1;
    std::strcpy(p.defaultFolder, "/home/me/stock");
    p.quitAfterFetch = 1;
    p.decimalPrices = 1;
    p.Save();

    const std::string bytes = ReadBytes(FilePath());
    ASSERT_EQ(bytes.size(), 404u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x03\x02\x01\x00", 4));
    EXPECT_EQ(bytes.substr(4, 14), std::string("proxy.example\0", 14));
    EXPECT_EQ(bytes.substr(132, 4), Le32(3128));
    EXPECT_EQ(bytes.substr(136, 4), Le32(2));
    EXPECT_EQ(bytes.substr(140, 4), Le32(3));
    EXPECT_EQ(bytes[144], 1);
    EXPECT_EQ(bytes.substr(145, 15), std::string("/home/me/stock\0", 15));
    EXPECT_EQ(bytes.substr(401, 3), std::string("\0\1\1", 3));

    CPreferences loaded;
    loaded.Load();
    ExpectSameBytes(loaded, p);
    EXPECT_EQ(loaded.GetCreator(), FourCharCode("iTxt"));

    if (!ReadAttribute(FilePath(), "user.creator").empty()) {
        EXPECT_EQ(ReadAttribute(FilePath(), "user.creator"), "QZnw");
        EXPECT_EQ(ReadAttribute(FilePath(), "user.filetype"), "Wprf");
    }
}

TEST_F(PreferencesTest, WrongVersionOrShortFile) {
    CPreferences saved;
    saved.proxyPort = 9999;
    unsigned char bytes[404];
    saved.ToBytes(bytes);
    bytes[0] = 0x04;
    WriteBytes(FilePath(), std::string(reinterpret_cast<char*>(bytes), 404));
    CPreferences p;
    p.Load();
    ExpectSameBytes(p);

    // A short file replaces only the leading bytes of the defaults.
    WriteBytes(FilePath(), std::string("\x03\x02\x01\x00"
                                       "abc",
                                       7));
    p.Load();
    EXPECT_STREQ(p.proxyHost, "abcalhost");
    EXPECT_EQ(p.proxyPort, 8080);

    WriteBytes(FilePath(), std::string("\x03\x02", 2)); // the version word is cut
    p.Load();
    ExpectSameBytes(p);
}

TEST_F(PreferencesTest, DamagedFieldsAreContained) {
    std::string bytes(404, 'A'); // no terminator in either text field
    bytes.replace(0, 4, "\x03\x02\x01\x00", 4);
    bytes.replace(140, 4, Le32(7)); // creator row out of the table
    WriteBytes(FilePath(), bytes);
    CPreferences p;
    p.Load();
    EXPECT_EQ(std::strlen(p.proxyHost), 127u);
    EXPECT_EQ(std::strlen(p.defaultFolder), 255u);
    EXPECT_EQ(p.GetCreator(), FourCharCode("TSLD"));
    p.creatorIndex = -1;
    EXPECT_EQ(p.GetCreator(), FourCharCode("TSLD"));
}

TEST_F(PreferencesTest, FolderComesFromTheEnvironment) {
    m_config.Put(m_folder.file("config").c_str());
    CPreferences().Save(); // the missing folder is made
    EXPECT_EQ(ReadBytes(m_folder.file("config/TorlindX.Preference")).size(), 404u);

    m_config.Put(nullptr);
    ScopedEnv home("HOME", m_folder.path().c_str());
    EXPECT_EQ(CPreferences::PreferencesFolder(), m_folder.file(".config"));

    home.Put(nullptr);
    EXPECT_EQ(CPreferences::PreferencesFolder(), "");
    CPreferences p;
    p.proxyPort = 1;
    p.Load(); // no folder: nothing read, nothing written
    p.Save();
    EXPECT_EQ(p.proxyPort, 1);
}

TEST(ProgramSettingsTest, IntervalIsWholeMillisecondsFromTheMinimum) {
    const struct {
        const char* text;
        bool taken;
        int32_t ms;
    } rows[] = {{"100", true, 100},    {"20", true, 20},         {"19", false, 0},
                {"0", false, 0},       {"", false, 0},           {"-50", false, 0},
                {"1e3", false, 0},     {"50ms", false, 0},       {"3600000", true, 3600000},
                {"3600001", false, 0}, {"99999999999", false, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        int32_t ms = -1;
        EXPECT_EQ(CProgramSettings::ParseInterval(row.text, &ms), row.taken);
        EXPECT_EQ(ms, row.taken ? row.ms : -1);
    }
}

TEST_F(PreferencesTest, ProgramSettingsKeepOtherLinesAndRefuseBadValues) {
    CProgramSettings settings;
    settings.Load();
    EXPECT_EQ(settings.intervalMs, CProgramSettings::kDefaultIntervalMs);
    EXPECT_FALSE(settings.updateHistories);

    settings.Parse("# mine\ninterval_ms = 250\nupdate_histories=yes\nfuture=1\n");
    EXPECT_EQ(settings.intervalMs, 250);
    EXPECT_FALSE(settings.updateHistories);
    EXPECT_EQ(settings.refusedLines, (std::vector<int32_t>{3, 4}));

    settings.updateHistories = true;
    ASSERT_TRUE(settings.Save());
    CProgramSettings again;
    again.Load();
    EXPECT_EQ(again.intervalMs, 250);
    EXPECT_TRUE(again.updateHistories);
    EXPECT_EQ(again.Text(), "# mine\nfuture=1\ninterval_ms=250\nupdate_histories=1\n");
}
