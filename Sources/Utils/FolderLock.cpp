#include "FolderLock.h"

#include "FullPath.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

bool CFolderLock::Lock(const std::string& folder) {
    Unlock();
    const std::string path = MakeUnixFullPath(folder, kFileName);
    // Close-on-exec: a browser or helper the run starts must not keep the lock.
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return true;
    int result;
    do
        result = flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result != 0) {
        const bool inUse = errno == EWOULDBLOCK;
        close(fd);
        return !inUse;
    }
    m_fd = fd;
    return true;
}

void CFolderLock::Unlock() {
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
}

std::string CFolderLock::InUseMessage(const std::string& folder) {
    return "another run of vezizo is using the folder " + folder + " (it holds " +
           MakeUnixFullPath(folder, kFileName) + "); try again when it has ended";
}
