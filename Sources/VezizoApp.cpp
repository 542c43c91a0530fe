#include "VezizoApp.h"

#include "Fetch/FetchData.h"
#include "Fetch/MarketConv.h"
#include "Fetch/QuoteServers.h"
#include "MetalWindow.h"
#include "Preferences.h"
#include "ProgramSettings.h"
#include "VezizoMain.h"
#include "futil.h"

#include <ctime>

bool SystemVersionSupported(int32_t version) {
    return version == 0 || version >= kMinimumOSVersion;
}

int32_t GestaltSystemVersion() {
    // Any Linux desktop meets the program's requirements.
    return 0x1040;
}

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
    g_marketConv = new CMarketConv;
    g_marketConv->LoadMarketCsv();
    createWebTempDirectory();
    LoadQuoteServers(g_startupPath.c_str());
    g_fetchData = new CFetchData;
    g_fetchData->LoadFetchData(g_startupPath.c_str());
    m_window = new CMetalWindow(m_folderInUse);
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
