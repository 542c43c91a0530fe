#include "VezizoApp.h"

#include "Fetch/FetchData.h"
#include "Fetch/MarketConv.h"
#include "Fetch/QuoteServers.h"
#include "FullPath.h"
#include "MetalWindow.h"
#include "Preferences.h"
#include "ProgramSettings.h"
#include "VezizoMain.h"
#include "futil.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

bool SystemVersionSupported(int32_t version) {
    return version == 0 || version >= kMinimumOSVersion;
}

int32_t GestaltSystemVersion() {
    // Any Linux desktop meets the program's requirements.
    return 0x1040;
}

namespace {

// Why market.csv gave no table, and what the jobs do without one.
std::string MarketTableWarning() {
    const std::string path = MakeUnixFullPath(g_startupPath, "market.csv");
    struct stat status {};
    std::string what = "cannot be read";
    if (::stat(path.c_str(), &status) != 0 && errno == ENOENT)
        what = "is missing";
    else if (S_ISREG(status.st_mode) && status.st_size == 0)
        what = "is empty";
    else if (::access(path.c_str(), R_OK) != 0)
        what += std::string(" (") + std::strerror(errno) + ")";
    return path + " " + what +
           ": without the market table every market is unknown (0 in the daily files, X in the "
           "fetch list) and no quote code gets .O or .N";
}

// The lines of servers.conf that were not taken.
std::string ServersWarning(const std::vector<int32_t>& lines) {
    return MakeUnixFullPath(g_startupPath, "servers.conf") +
           (lines.size() == 1 ? " line " : " lines ") + CJobOutcome::NumbersText(lines) +
           " cannot be used: a line is quote=, history= or profile= followed by HOST[:PORT]; a "
           "server "
           "without a usable line is " +
           kDefaultQuoteServer;
}

} // namespace

bool CVezizoApp::StartUp(const std::string& programPath, const std::string& folder) {
    timespec start;
    clock_gettime(CLOCK_REALTIME, &start);
    if (!(folder.empty() ? FindApplicationFolder(programPath.c_str())
                         : SetStartupDirectory(folder)))
        return false;
    // Only the run that holds the folder may take away what a crashed run
    // left: another run's temporaries are live.
    m_folderInUse = !m_folderLock.Lock(g_startupPath);
    if (m_folderLock.locked())
        RemoveStaleTempFiles(g_startupPath, start);
    g_Preferences = new CPreferences;
    g_Preferences->Load();
    g_settings = new CProgramSettings;
    g_settings->Load();
    m_startupWarnings.clear();
    g_marketConv = new CMarketConv;
    if (!g_marketConv->LoadMarketCsv())
        m_startupWarnings.push_back(MarketTableWarning());
    createWebTempDirectory();
    const std::vector<int32_t> refused = LoadQuoteServers(g_startupPath);
    if (!refused.empty())
        m_startupWarnings.push_back(ServersWarning(refused));
    g_fetchData = new CFetchData;
    g_fetchData->LoadFetchData(g_startupPath);
    m_window = new CMetalWindow(m_folderInUse, m_startupWarnings);
    return true;
}

void CVezizoApp::ShutDown() {
    if (!m_window)
        return;
    delete g_fetchData;
    g_fetchData = nullptr;
    delete g_marketConv;
    g_marketConv = nullptr;
    delete g_settings;
    g_settings = nullptr;
    delete g_Preferences;
    g_Preferences = nullptr;
    delete m_window;
    m_window = nullptr;
    m_folderLock.Unlock();
    m_folderInUse = false;
}
