// The preferences record and its file, and the program settings.
#include "ProgramSettings.h"
#include "TestFolder.h"
#include "misclib.h"

#include <cstring>
#include <sys/xattr.h>

namespace {

// Each test, a process of its own, has its own preferences folder, made by the
// first save.
class PreferencesTest : public ::testing::Test {
protected:
    PreferencesTest() { setenv("XDG_CONFIG_HOME", m_folder.file("config").c_str(), 1); }
    std::string FilePath() const { return m_folder.file("config/TorlindX.Preference"); }
    std::string Bytes(const CPreferences& p) const {
        unsigned char bytes[CPreferences::kFileSize];
        p.ToBytes(bytes);
        return std::string(reinterpret_cast<char*>(bytes), sizeof bytes);
    }
    // What Load makes of a file of these bytes.
    CPreferences Loaded(const std::string& bytes) {
        WriteBytes(FilePath(), bytes);
        CPreferences p;
        p.Load();
        return p;
    }

    TempFolder m_folder;
};

} // namespace

TEST_F(PreferencesTest, SaveWritesTheFieldsAtTheirOffsets) {
    const std::string defaults = Bytes(CPreferences());
    CPreferences p;
    p.Load(); // no file: the defaults stand
    EXPECT_EQ(Bytes(p), defaults);
    std::strcpy(p.proxyHost, "proxy.example");
    std::strcpy(p.defaultFolder, "/home/me/stock");
    p.proxyPort = 3128, p.fileFormat = 2, p.creatorIndex = 3;
    p.useProxy = p.quitAfterFetch = p.decimalPrices = 1;
    p.Save();
    const std::string bytes = ReadBytes(FilePath());
    ASSERT_EQ(bytes.size(), 404u);
    EXPECT_EQ(bytes.substr(0, 18), std::string("\x03\x02\x01\x00proxy.example\0", 18));
    // port 3128, layout 2 and creator row 3 in 32-bit little-endian words, and the proxy switch
    EXPECT_EQ(bytes.substr(132, 13), std::string("\x38\x0c\0\0\2\0\0\0\3\0\0\0\1", 13));
    EXPECT_EQ(bytes.substr(145, 15), std::string("/home/me/stock\0", 15));
    EXPECT_EQ(bytes.substr(401, 3), std::string("\0\1\1", 3));
    // Where the folder takes attributes at all, the file carries its type.
    if (setxattr(FilePath().c_str(), "user.probe", "", 0, 0) == 0) {
        EXPECT_EQ(ReadAttribute(FilePath(), "user.creator"), "QZnw");
        EXPECT_EQ(ReadAttribute(FilePath(), "user.filetype"), "Wprf");
    }
    const CPreferences loaded = Loaded(bytes);
    EXPECT_EQ(Bytes(loaded), Bytes(p));
    EXPECT_EQ(loaded.GetCreator(), FourCharCode("iTxt"));

    // Another version, or a cut version word, leaves the defaults; a short file
    // replaces only the leading bytes; unterminated texts and a creator row
    // outside the table are contained.
    EXPECT_EQ(Bytes(Loaded("\x04" + bytes.substr(1))), defaults);
    EXPECT_EQ(Bytes(Loaded(std::string("\x03\x02", 2))), defaults);
    const CPreferences shortFile = Loaded(std::string("\x03\x02\x01\0abc", 7));
    EXPECT_STREQ(shortFile.proxyHost, "abcalhost");
    EXPECT_EQ(shortFile.proxyPort, 8080);
    CPreferences bad = Loaded(std::string("\3\2\1\0", 4) + std::string(136, 'A') +
                              std::string("\7\0\0\0", 4) + std::string(260, 'A')); // creator row 7
    EXPECT_EQ(std::strlen(bad.proxyHost), 127u);
    EXPECT_EQ(std::strlen(bad.defaultFolder), 255u);
    EXPECT_EQ(bad.GetCreator(), FourCharCode("TSLD"));
    bad.creatorIndex = -1;
    EXPECT_EQ(bad.GetCreator(), FourCharCode("TSLD"));

    // The folder comes from the environment; without one nothing is read or written.
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", m_folder.path().c_str(), 1);
    EXPECT_EQ(CPreferences::PreferencesFolder(), m_folder.file(".config"));
    unsetenv("HOME");
    EXPECT_EQ(CPreferences::PreferencesFolder(), "");
    bad.proxyPort = 1;
    bad.Load();
    bad.Save();
    EXPECT_EQ(bad.proxyPort, 1);
}

TEST_F(PreferencesTest, ProgramSettingsKeepOtherLinesAndRefuseBadValues) {
    // Whole milliseconds from 20 to an hour; nothing else.
    for (const char* text :
         {"100", "20", "19", "", "-50", "1e3", "50ms", "3600000", "3600001", "99999999999"}) {
        int32_t ms = -1;
        const bool taken = CProgramSettings::ParseInterval(text, &ms);
        const long want = std::strtol(text, nullptr, 10);
        EXPECT_EQ(taken, want >= 20 && want <= 3600000 && std::to_string(want) == text) << text;
        EXPECT_EQ(ms, taken ? want : -1) << text;
    }
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
    EXPECT_TRUE(again.updateHistories);
    EXPECT_EQ(again.Text(), "# mine\nfuture=1\ninterval_ms=250\nupdate_histories=1\n");
}
