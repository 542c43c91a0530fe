// One run per application folder: a run holds an exclusive lock on the
// folder's lock file for as long as it works there. The lock belongs to the
// open file, so it ends with the process however the process ends; the file
// itself stays.
#pragma once

#include <string>

class CFolderLock {
public:
    static constexpr const char* kFileName = "vezizo.lock";

    CFolderLock() = default;
    ~CFolderLock() { Unlock(); }
    CFolderLock(const CFolderLock&) = delete;
    CFolderLock& operator=(const CFolderLock&) = delete;

    // Takes the lock of folder without waiting. False when another run holds
    // it. Where no lock file can be made or opened (a folder the user may not
    // write), nothing is locked and true is returned: such a folder takes no
    // run's files anyway.
    bool Lock(const std::string& folder);
    void Unlock();
    bool locked() const { return m_fd >= 0; }

    // What a run says when another run holds folder (UTF-8).
    static std::string InUseMessage(const std::string& folder);

private:
    int m_fd = -1;
};
