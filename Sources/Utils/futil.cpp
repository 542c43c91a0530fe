#include "futil.h"

#include "FullPath.h"

#include <cerrno>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

// Permissions of a file the process creates afresh: 0666 less the umask.
mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool IsFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Errors by which a file system says it keeps no extended attributes.
bool RefusesAttributes(int error) {
    return error == ENOTSUP || error == EOPNOTSUPP || error == EPERM || error == ENOSYS;
}

void BigEndianCode(uint32_t code, char (&bytes)[4]) {
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((code >> (24 - 8 * i)) & 0xFF);
}

} // namespace

std::string CurrentDirectory() {
    std::vector<char> buffer(256);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return std::string();
        buffer.resize(buffer.size() * 2);
    }
    return std::string(buffer.data());
}

std::string CreateFolder2(const char* name) {
    const std::string parent = CurrentDirectory();
    if (mkdir(name, 0777) == 0 || errno == EEXIST)
        return MakeUnixFullPath(parent, name);
    return parent;
}

bool CreateFolderPath(const std::string& path) {
    if (path.empty() || IsFolder(path))
        return !path.empty();
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0)
        CreateFolderPath(path.substr(0, slash));
    return (mkdir(path.c_str(), 0777) == 0 || errno == EEXIST) && IsFolder(path);
}

bool CopyFileIfMissing(const std::string& from, const std::string& to) {
    if (access(to.c_str(), F_OK) == 0)
        return true;
    FILE* source = std::fopen(from.c_str(), "rb");
    if (source == nullptr)
        return false;
    StReplaceFile copy(to, "wb");
    char buffer[8192];
    size_t n = 0;
    while (copy.stream() != nullptr && (n = std::fread(buffer, 1, sizeof buffer, source)) > 0)
        if (std::fwrite(buffer, 1, n, copy.stream()) != n)
            break;
    const bool read = !std::ferror(source) && std::feof(source);
    std::fclose(source);
    return read && copy.commit();
}

int16_t SetCreatorAndType(const char* name, const std::string& folder, uint32_t creator,
                          uint32_t type) {
    const std::string path = MakeUnixFullPath(folder, name);
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return kFileNotFoundErr;
    char typeBytes[4];
    char creatorBytes[4];
    BigEndianCode(type, typeBytes);
    BigEndianCode(creator, creatorBytes);
    if (setxattr(path.c_str(), "user.filetype", typeBytes, 4, 0) != 0 ||
        setxattr(path.c_str(), "user.creator", creatorBytes, 4, 0) != 0)
        return RefusesAttributes(errno) ? 0 : kIOErr;
    return 0;
}

StReplaceFile::StReplaceFile(const std::string& path, const char* mode) : m_path(path) {
    // A hidden name beside the target, so that the rename stays on one file system.
    const size_t slash = path.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string pattern = folder + "." + base + ".XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0)
        return;
    struct stat old;
    fchmod(fd, stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode());
    m_stream = fdopen(fd, mode);
    if (m_stream == nullptr) {
        close(fd);
        unlink(pattern.c_str());
        return;
    }
    m_tempPath = pattern;
}

StReplaceFile::~StReplaceFile() {
    if (m_stream != nullptr) {
        std::fclose(m_stream);
        unlink(m_tempPath.c_str());
    }
}

bool StReplaceFile::commit() {
    if (m_stream == nullptr)
        return false;
    const bool written = std::fflush(m_stream) == 0 && !std::ferror(m_stream);
    const bool closed = std::fclose(m_stream) == 0;
    m_stream = nullptr;
    if (written && closed && std::rename(m_tempPath.c_str(), m_path.c_str()) == 0)
        return true;
    unlink(m_tempPath.c_str());
    return false;
}
