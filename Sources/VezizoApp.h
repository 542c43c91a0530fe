// The program's start-up and shut-down around the window controller, shared
// by the desktop program, the command line and the tests.
#pragma once

#include "FolderLock.h"

#include <cstdint>
#include <string>
#include <vector>

class CMetalWindow;

// Whether the system-version gate lets the program run (10.2 or later; 0,
// an unknown version, runs).
bool SystemVersionSupported(int32_t version);
// The running system's version number; Linux counts as a supported system.
int32_t GestaltSystemVersion();

class CVezizoApp {
public:
    CVezizoApp() = default;
    ~CVezizoApp() { ShutDown(); }
    CVezizoApp(const CVezizoApp&) = delete;
    CVezizoApp& operator=(const CVezizoApp&) = delete;

    // Finds the application folder (folder when given, else from the
    // program's resolved path, see FindApplicationFolder) and takes its lock,
    // removing the temporary files of crashed runs; loads the preferences, the
    // market table, the quote servers and the fetch list, makes "webtemp" and
    // builds the window controller, which shows startupWarnings().
    bool StartUp(const std::string& programPath, const std::string& folder);
    // Deletes the fetch list, the market table and the preferences, then the
    // controller, and gives the folder free. Does nothing when not started.
    void ShutDown();

    CMetalWindow* mainWindow() const { return m_window; }
    // What start-up found wrong but ran on with its fall-backs (English): a
    // market.csv that gave no table, servers.conf lines that were refused.
    const std::vector<std::string>& startupWarnings() const { return m_startupWarnings; }
    // Whether another run held the application folder at start-up; this run
    // then works nowhere there (its window refuses the jobs).
    bool folderInUse() const { return m_folderInUse; }

private:
    CMetalWindow* m_window = nullptr;
    CFolderLock m_folderLock;
    bool m_folderInUse = false;
    std::vector<std::string> m_startupWarnings;
};
