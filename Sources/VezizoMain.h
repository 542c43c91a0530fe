// The application folder and the process-wide globals set during start-up.
#pragma once

#include <cstdint>
#include <string>

class CPreferences;
class CMarketConv;
class CFetchData;
class CMetalWindow;

// System version as a number (0x1020 is 10.2.0); 0 when unknown.
extern int32_t g_osVersion;
// Application folder, without a trailing "/". A folder's identity is its path,
// so this also stands for the folder's volume and directory identity.
extern std::string g_startupPath;
// The "webtemp" folder inside the application folder.
extern std::string g_webtempPath;

extern CPreferences* g_Preferences;
extern CMarketConv* g_marketConv;
extern CFetchData* g_fetchData;
extern CMetalWindow* g_mainWindow;

// Oldest system version the program runs on.
constexpr int32_t kMinimumOSVersion = 0x1020;

// Sets g_startupPath to the folder that holds the ".app" bundle named in
// programPath (the rightmost ".app/"; without one, the path's first character)
// and makes it the current directory.
void FindStartupDirectory(const char* programPath);
// Makes folder (relative to the current directory, or absolute) the application
// folder, as FindStartupDirectory does; for a folder given on the command line.
// False when it cannot be made the current directory.
bool SetStartupDirectory(const std::string& folder);
// Makes sure "webtemp" exists in the application folder; sets g_webtempPath.
void createWebTempDirectory();
