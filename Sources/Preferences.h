// The user's settings and their 404-byte file "TorlindX.Preference".
#pragma once

#include <cstdint>
#include <string>

class CPreferences {
public:
    static constexpr uint32_t kVersion = 0x00010203;
    static constexpr int32_t kFileSize = 404;
    static constexpr int32_t kCreatorCount = 5;
    static constexpr const char* kFileName = "TorlindX.Preference";

    CPreferences() { Init(); }
    ~CPreferences() = default;

    void Init();
    void Set(const CPreferences& other) { *this = other; }
    // Creator code stamped on the daily and finance files; row 0 for an index
    // outside the table.
    uint32_t GetCreator() const;
    // Replaces the record with the file, if there is one of this version.
    void Load();
    // Writes the file and stamps it 'Wprf' / 'QZnw'. Nothing happens when the
    // preferences folder cannot be named.
    void Save() const;

    // The file's bytes, field by field at their offsets (little-endian).
    void ToBytes(unsigned char (&bytes)[kFileSize]) const;
    // Fields from the first length bytes; the rest keep their present values.
    void FromBytes(const unsigned char* bytes, int32_t length);

    // Folder that holds the file: $XDG_CONFIG_HOME, else $HOME/.config; empty
    // when neither is set.
    static std::string PreferencesFolder();

    uint32_t version;
    char proxyHost[128];
    int32_t proxyPort;
    int32_t fileFormat;
    int32_t creatorIndex;
    uint8_t useProxy;
    char defaultFolder[256];
    uint8_t fetchAtLaunch;
    uint8_t quitAfterFetch;
    uint8_t decimalPrices;
};
