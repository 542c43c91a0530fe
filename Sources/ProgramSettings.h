// The program's own settings that the 404-byte preferences record has no room
// for: "vezizo.conf" beside the preferences file, one "key=value" per line.
// Lines of keys it does not know, and comments ('#'), are kept when it is saved.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CProgramSettings {
public:
    static constexpr const char* kFileName = "vezizo.conf";
    // The least time between the starts of two requests to the service.
    static constexpr int32_t kDefaultIntervalMs = 100;
    static constexpr int32_t kMinimumIntervalMs = 20;
    static constexpr int32_t kMaximumIntervalMs = 3600000;

    // Reads the file in the preferences folder; a missing file, a missing key
    // or a value that cannot be used leaves the default (the line numbers of
    // such values go to refusedLines).
    void Load();
    // Writes the file through a temporary; false when it could not be written.
    // Nothing happens (true) when the preferences folder cannot be named.
    bool Save() const;

    // Reads the settings from text, as Load does from the file.
    void Parse(const std::string& text);
    // The file's text: the known keys with their values, other lines as read.
    std::string Text() const;

    // An interval in milliseconds written in decimal digits only, within
    // kMinimumIntervalMs..kMaximumIntervalMs; false otherwise.
    static bool ParseInterval(const std::string& text, int32_t* intervalMs);

    int32_t intervalMs = kDefaultIntervalMs;
    // The daily fetch adds its quotes to the histories that exist.
    bool updateHistories = false;
    std::vector<int32_t> refusedLines;

private:
    std::vector<std::string> m_otherLines;
};

extern CProgramSettings* g_settings;
