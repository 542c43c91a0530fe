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
// The application folder of a program whose bundle lies in bundleFolder: that
// folder when the user may write to it (a build tree, a bundle of one's own);
// for an installed program, whose folder is not the user's, folderVariable
// ($VEZIZO_FOLDER) when set, else the folder "Vezizo" in home.
std::string ApplicationFolderFor(const std::string& bundleFolder, bool bundleFolderWritable,
                                 const char* folderVariable, const std::string& home);
// The application folder the rule above gives the program at programPath,
// without making it.
std::string ApplicationFolderOf(const char* programPath);
// FindStartupDirectory for the running program by the rule above. An
// installed program's folder is made ready with MakeApplicationFolder from the
// market.csv shipped beside the bundle. False when it cannot be used.
bool FindApplicationFolder(const char* programPath);
// Creates folder (and its parents) when missing and gives it a copy of
// shippedMarket as its market.csv when it has none. False when folder cannot
// be made; a market table that cannot be copied is left to start-up, which
// runs without one.
bool MakeApplicationFolder(const std::string& folder, const std::string& shippedMarket);
// Makes folder (relative to the current directory, or absolute) the application
// folder, as FindStartupDirectory does; for a folder given on the command line.
// False when it cannot be made the current directory.
bool SetStartupDirectory(const std::string& folder);
// Makes sure "webtemp" exists in the application folder; sets g_webtempPath.
void createWebTempDirectory();
