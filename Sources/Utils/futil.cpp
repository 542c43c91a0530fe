#include "futil.h"

#include "FullPath.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

// What marks a temporary: "." + name + kTempMark + kTempLetters letters or
// digits (those mkstemp picks).
constexpr char kTempMark[] = ".vezizo-tmp-";
constexpr size_t kTempMarkLength = sizeof kTempMark - 1;
constexpr size_t kTempLetters = 6;

std::function<void(const std::string&)> s_replaceHook;

// The mkstemp template of a temporary beside path, in the same folder so that
// the rename stays on one file system.
std::string TempPattern(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + base + kTempMark + std::string(kTempLetters, 'X');
}

bool IsTempName(const char* name) {
    const size_t n = std::strlen(name);
    if (name[0] != '.' || n < 2 + kTempMarkLength + kTempLetters ||
        std::memcmp(name + n - kTempLetters - kTempMarkLength, kTempMark, kTempMarkLength) != 0)
        return false;
    for (size_t i = n - kTempLetters; i < n; ++i) {
        const char c = name[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// Makes a rename in the folder of path durable. Nothing is undone when that
// fails: the new name is in place either way.
void SyncFolder(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? std::string("/")
                                                          : path.substr(0, slash);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// Writes a copy of the file at from to "to", replacing it in one step.
bool CopyFile(const std::string& from, const std::string& to) {
    FILE* in = std::fopen(from.c_str(), "rb");
    if (in == nullptr)
        return false;
    StReplaceFile out(to, "wb");
    bool ok = out.stream() != nullptr;
    char buffer[8192];
    size_t n = 0;
    while (ok && (n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        ok = std::fwrite(buffer, 1, n, out.stream()) == n;
    ok = ok && !std::ferror(in);
    std::fclose(in);
    return ok && out.commit();
}

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
    std::string pattern = TempPattern(path);
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

bool StReplaceFile::flush() {
    // EINVAL: a file system that cannot sync; the data is as safe as it gets.
    return m_stream != nullptr && std::fflush(m_stream) == 0 && !std::ferror(m_stream) &&
           (fsync(fileno(m_stream)) == 0 || errno == EINVAL);
}

bool StReplaceFile::commit() {
    if (m_stream == nullptr)
        return false;
    const bool written = flush();
    const bool closed = std::fclose(m_stream) == 0;
    m_stream = nullptr;
    if (written && closed) {
        if (s_replaceHook)
            s_replaceHook(m_path);
        if (std::rename(m_tempPath.c_str(), m_path.c_str()) == 0) {
            SyncFolder(m_path);
            return true;
        }
    }
    unlink(m_tempPath.c_str());
    return false;
}

void SetReplaceHook(std::function<void(const std::string& path)> hook) {
    s_replaceHook = std::move(hook);
}

bool ReplaceWithLink(const std::string& from, const std::string& to) {
    // mkstemp picks a free temporary name; link() wants the name free again.
    std::string temp = TempPattern(to);
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return false;
    close(fd);
    unlink(temp.c_str());
    if (link(from.c_str(), temp.c_str()) != 0)
        return errno != ENOENT && CopyFile(from, to);
    if (std::rename(temp.c_str(), to.c_str()) != 0) {
        const int error = errno;
        unlink(temp.c_str());
        errno = error;
        return false;
    }
    SyncFolder(to);
    return true;
}

int32_t RemoveStaleTempFiles(const std::string& folder, const timespec& before) {
    DIR* entries = opendir(folder.c_str());
    if (entries == nullptr)
        return 0;
    int32_t removed = 0;
    while (const dirent* entry = readdir(entries)) {
        if (!IsTempName(entry->d_name))
            continue;
        const std::string path = MakeUnixFullPath(folder, entry->d_name);
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        const bool older =
            info.st_mtim.tv_sec < before.tv_sec ||
            (info.st_mtim.tv_sec == before.tv_sec && info.st_mtim.tv_nsec < before.tv_nsec);
        if (older && unlink(path.c_str()) == 0)
            ++removed;
    }
    closedir(entries);
    return removed;
}
