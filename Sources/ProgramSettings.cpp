#include "ProgramSettings.h"

#include "FullPath.h"
#include "Preferences.h"
#include "futil.h"
#include "misclib.h"

#include <fstream>
#include <sstream>

CProgramSettings* g_settings = nullptr;

namespace {

constexpr char kIntervalKey[] = "interval_ms";
constexpr char kUpdateHistoriesKey[] = "update_histories";

std::string SettingsPath() {
    const std::string folder = CPreferences::PreferencesFolder();
    return folder.empty() ? folder : MakeUnixFullPath(folder, CProgramSettings::kFileName);
}

} // namespace

bool CProgramSettings::ParseInterval(const std::string& text, int32_t* intervalMs) {
    if (text.empty() || text.size() > 7)
        return false;
    int32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    if (value < kMinimumIntervalMs || value > kMaximumIntervalMs)
        return false;
    *intervalMs = value;
    return true;
}

void CProgramSettings::Parse(const std::string& text) {
    *this = CProgramSettings();
    std::istringstream lines(text);
    std::string line;
    for (int32_t number = 1; std::getline(lines, line); ++number) {
        const std::string trimmed = Trimmed(line);
        const size_t equals = trimmed.find('=');
        const std::string key =
            equals == std::string::npos ? std::string() : Trimmed(trimmed.substr(0, equals));
        const std::string value =
            equals == std::string::npos ? std::string() : Trimmed(trimmed.substr(equals + 1));
        if (key == kIntervalKey) {
            if (!ParseInterval(value, &intervalMs))
                refusedLines.push_back(number);
        } else if (key == kUpdateHistoriesKey) {
            if (value == "0" || value == "1")
                updateHistories = value == "1";
            else
                refusedLines.push_back(number);
        } else if (!trimmed.empty()) {
            if (trimmed[0] != '#')
                refusedLines.push_back(number);
            m_otherLines.push_back(trimmed);
        }
    }
}

std::string CProgramSettings::Text() const {
    std::string text;
    for (const std::string& line : m_otherLines)
        text += line + "\n";
    text += std::string(kIntervalKey) + "=" + std::to_string(intervalMs) + "\n";
    text += std::string(kUpdateHistoriesKey) + "=" + (updateHistories ? "1" : "0") + "\n";
    return text;
}

void CProgramSettings::Load() {
    const std::string path = SettingsPath();
    std::ifstream file(path);
    std::ostringstream text;
    if (!path.empty() && file)
        text << file.rdbuf();
    Parse(text.str());
}

bool CProgramSettings::Save() const {
    const std::string path = SettingsPath();
    if (path.empty())
        return true;
    if (!CreateFolderPath(CPreferences::PreferencesFolder()))
        return false;
    const std::string text = Text();
    StReplaceFile file(path, "w");
    return file.stream() != nullptr &&
           std::fwrite(text.data(), 1, text.size(), file.stream()) == text.size() && file.commit();
}
