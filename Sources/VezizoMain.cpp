#include "VezizoMain.h"

#include "FullPath.h"
#include "StWorkingDirectory.h"
#include "futil.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <unistd.h>

int32_t g_osVersion = 0;
std::string g_startupPath;
std::string g_webtempPath;

CPreferences* g_Preferences = nullptr;
CMarketConv* g_marketConv = nullptr;
CFetchData* g_fetchData = nullptr;
CMetalWindow* g_mainWindow = nullptr;

namespace {

// Takes folder as the application folder and makes it the current directory.
bool UseStartupDirectory(const std::string& folder) {
    g_startupPath = folder;
    // The empty path is the root: file paths are built as folder + "/" + name.
    return chdir(folder.empty() ? "/" : folder.c_str()) == 0;
}

// The folder that holds the ".app" bundle named in programPath.
std::string BundleFolder(const char* programPath) {
    const char* path = programPath != nullptr ? programPath : "";
    const size_t n = std::strlen(path);
    size_t folderLength = 1;
    for (size_t i = n >= 5 ? n - 5 + 1 : 0; i-- > 0;) {
        if (std::memcmp(path + i, ".app/", 5) == 0) {
            for (size_t j = i + 1; j-- > 0;) {
                if (path[j] == '/') {
                    folderLength = j;
                    break;
                }
            }
            break;
        }
    }
    return std::string(path, std::min(folderLength, n));
}

// The user's home folder: $HOME, else the password database's entry.
std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return home;
    const passwd* user = getpwuid(getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
}

// Whether the user may write to the folder that holds the bundle.
bool BundleFolderWritable(const std::string& bundleFolder) {
    return access(bundleFolder.empty() ? "/" : bundleFolder.c_str(), W_OK) == 0;
}

} // namespace

void FindStartupDirectory(const char* programPath) {
    UseStartupDirectory(BundleFolder(programPath));
}

std::string ApplicationFolderFor(const std::string& bundleFolder, bool bundleFolderWritable,
                                 const char* folderVariable, const std::string& home) {
    if (bundleFolderWritable)
        return bundleFolder;
    if (folderVariable != nullptr && folderVariable[0] != '\0')
        return folderVariable;
    return home.empty() ? std::string() : MakeUnixFullPath(home, "Vezizo");
}

std::string ApplicationFolderOf(const char* programPath) {
    const std::string bundleFolder = BundleFolder(programPath);
    return ApplicationFolderFor(bundleFolder, BundleFolderWritable(bundleFolder),
                                std::getenv("VEZIZO_FOLDER"), HomeFolder());
}

bool FindApplicationFolder(const char* programPath) {
    const std::string bundleFolder = BundleFolder(programPath);
    if (BundleFolderWritable(bundleFolder))
        return UseStartupDirectory(bundleFolder);
    const std::string folder = ApplicationFolderOf(programPath);
    g_startupPath = folder; // named by the message when it cannot be used
    return MakeApplicationFolder(folder, MakeUnixFullPath(bundleFolder, "market.csv")) &&
           SetStartupDirectory(folder);
}

bool MakeApplicationFolder(const std::string& folder, const std::string& shippedMarket) {
    if (!CreateFolderPath(folder))
        return false;
    CopyFileIfMissing(shippedMarket, MakeUnixFullPath(folder, "market.csv"));
    return true;
}

bool SetStartupDirectory(const std::string& folder) {
    std::string absolute = folder;
    if (absolute.empty() || absolute.front() != '/')
        absolute = MakeUnixFullPath(CurrentDirectory(), folder.c_str());
    while (absolute.size() > 1 && absolute.back() == '/')
        absolute.pop_back();
    return UseStartupDirectory(absolute);
}

void createWebTempDirectory() {
    g_webtempPath = MakeUnixFullPath(g_startupPath, "webtemp");
    StWorkingDirectory applicationFolder(g_startupPath);
    if (applicationFolder.entered())
        CreateFolder2("webtemp"); // a failure shows later, as downloads that fail
}
