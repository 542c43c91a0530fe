#include "Preferences.h"

#include "FullPath.h"
#include "futil.h"
#include "misclib.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Creator codes of the daily and finance files, chosen by creatorIndex.
constexpr uint32_t s_creator[CPreferences::kCreatorCount] = {
    FourCharCode("TSLD"), FourCharCode("ttxt"), FourCharCode("MMKE"), FourCharCode("iTxt"),
    FourCharCode("YoED")};

constexpr uint32_t kPreferencesCreator = FourCharCode("QZnw");
constexpr uint32_t kPreferencesType = FourCharCode("Wprf");

// Offsets of the fields in the file.
constexpr int kVersionAt = 0;
constexpr int kProxyHostAt = 4;
constexpr int kProxyPortAt = 132;
constexpr int kFileFormatAt = 136;
constexpr int kCreatorIndexAt = 140;
constexpr int kUseProxyAt = 144;
constexpr int kDefaultFolderAt = 145;
constexpr int kFetchAtLaunchAt = 401;
constexpr int kQuitAfterFetchAt = 402;
constexpr int kDecimalPricesAt = 403;

void PutLittle32(unsigned char* at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

uint32_t GetLittle32(const unsigned char* at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

template <size_t N> void SetText(char (&field)[N], const char* text) {
    std::memset(field, 0, N);
    std::strncpy(field, text, N - 1);
}

// A text field read from a file, terminated within its width whatever the file held.
template <size_t N> void GetText(char (&field)[N], const unsigned char* at) {
    std::memcpy(field, at, N);
    field[N - 1] = '\0';
}

} // namespace

void CPreferences::Init() {
    version = kVersion;
    SetText(proxyHost, "localhost");
    proxyPort = 8080;
    fileFormat = 0;
    creatorIndex = 0;
    useProxy = 0;
    SetText(defaultFolder, "~/");
    fetchAtLaunch = 0;
    quitAfterFetch = 0;
    decimalPrices = 0;
}

uint32_t CPreferences::GetCreator() const {
    const bool inTable = creatorIndex >= 0 && creatorIndex < kCreatorCount;
    return s_creator[inTable ? creatorIndex : 0];
}

void CPreferences::ToBytes(unsigned char (&bytes)[kFileSize]) const {
    std::memset(bytes, 0, kFileSize);
    PutLittle32(bytes + kVersionAt, version);
    std::memcpy(bytes + kProxyHostAt, proxyHost, sizeof proxyHost);
    PutLittle32(bytes + kProxyPortAt, uint32_t(proxyPort));
    PutLittle32(bytes + kFileFormatAt, uint32_t(fileFormat));
    PutLittle32(bytes + kCreatorIndexAt, uint32_t(creatorIndex));
    bytes[kUseProxyAt] = useProxy;
    std::memcpy(bytes + kDefaultFolderAt, defaultFolder, sizeof defaultFolder);
    bytes[kFetchAtLaunchAt] = fetchAtLaunch;
    bytes[kQuitAfterFetchAt] = quitAfterFetch;
    bytes[kDecimalPricesAt] = decimalPrices;
}

void CPreferences::FromBytes(const unsigned char* bytes, int32_t length) {
    // Lay the given bytes over the present record's, so that a short block
    // replaces exactly its leading bytes.
    unsigned char image[kFileSize];
    ToBytes(image);
    if (length > 0)
        std::memcpy(image, bytes, size_t(length < kFileSize ? length : kFileSize));
    version = GetLittle32(image + kVersionAt);
    GetText(proxyHost, image + kProxyHostAt);
    proxyPort = int32_t(GetLittle32(image + kProxyPortAt));
    fileFormat = int32_t(GetLittle32(image + kFileFormatAt));
    creatorIndex = int32_t(GetLittle32(image + kCreatorIndexAt));
    useProxy = image[kUseProxyAt];
    GetText(defaultFolder, image + kDefaultFolderAt);
    fetchAtLaunch = image[kFetchAtLaunchAt];
    quitAfterFetch = image[kQuitAfterFetchAt];
    decimalPrices = image[kDecimalPricesAt];
}

std::string CPreferences::PreferencesFolder() {
    // A relative XDG_CONFIG_HOME is invalid and is ignored.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/')
        return config;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return MakeUnixFullPath(home, ".config");
    return std::string();
}

void CPreferences::Load() {
    const std::string folder = PreferencesFolder();
    if (folder.empty())
        return;
    FILE* file = std::fopen(MakeUnixFullPath(folder, kFileName).c_str(), "rb");
    if (file == nullptr)
        return;
    unsigned char bytes[kFileSize];
    const size_t length = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);

    const uint32_t presentVersion = version;
    CPreferences fromFile;
    fromFile.FromBytes(bytes, int32_t(length));
    Set(fromFile);
    if (version != presentVersion)
        Init(); // a file of another version is ignored as a whole
}

void CPreferences::Save() const {
    const std::string folder = PreferencesFolder();
    if (folder.empty() || !CreateFolderPath(folder))
        return;
    unsigned char bytes[kFileSize];
    ToBytes(bytes);
    StReplaceFile file(MakeUnixFullPath(folder, kFileName), "wb");
    if (file.stream() == nullptr || std::fwrite(bytes, sizeof bytes, 1, file.stream()) != 1 ||
        !file.commit())
        return;
    SetCreatorAndType(kFileName, folder, kPreferencesCreator, kPreferencesType);
}
