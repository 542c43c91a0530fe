#include "VezizoApp.h"

#include "Fetch/FetchData.h"
#include "Fetch/MarketConv.h"
#include "Fetch/QuoteServers.h"
#include "MetalWindow.h"
#include "Preferences.h"
#include "VezizoMain.h"

bool SystemVersionSupported(int32_t version) {
    return version == 0 || version >= kMinimumOSVersion;
}

int32_t GestaltSystemVersion() {
    // Any Linux desktop meets the program's requirements.
    return 0x1040;
}

bool CVezizoApp::StartUp(const std::string& programPath, const std::string& folder) {
    if (!(folder.empty() ? FindApplicationFolder(programPath.c_str())
                         : SetStartupDirectory(folder)))
        return false;
    g_Preferences = new CPreferences;
    g_Preferences->Load();
    g_marketConv = new CMarketConv;
    g_marketConv->LoadMarketCsv();
    createWebTempDirectory();
    LoadQuoteServers(g_startupPath.c_str());
    g_fetchData = new CFetchData;
    g_fetchData->LoadFetchData(g_startupPath.c_str());
    m_window = new CMetalWindow;
    return true;
}

void CVezizoApp::ShutDown() {
    if (!m_window)
        return;
    delete g_fetchData;
    g_fetchData = nullptr;
    delete g_marketConv;
    g_marketConv = nullptr;
    delete g_Preferences;
    g_Preferences = nullptr;
    delete m_window;
    m_window = nullptr;
}
