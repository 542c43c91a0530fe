#include "VezizoMain.h"

#include "FullPath.h"
#include "StWorkingDirectory.h"
#include "futil.h"

#include <algorithm>
#include <cstring>
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

} // namespace

void FindStartupDirectory(const char* programPath) {
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
    UseStartupDirectory(std::string(path, std::min(folderLength, n)));
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
