// Folders and file attributes. A folder is identified by its path.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Result codes of SetCreatorAndType.
constexpr int16_t kFileNotFoundErr = -43;
constexpr int16_t kIOErr = -36;

// The process's current directory; empty when it cannot be named.
std::string CurrentDirectory();

// Path of the sub-folder name of the current directory, created when missing.
// When it can be neither found nor made, the current directory's path.
std::string CreateFolder2(const char* name);
// Creates path and its missing parents (mkdir -p). True when path is a folder.
bool CreateFolderPath(const std::string& path);

// Copies the file from to the path to when nothing lies there yet, through a
// temporary file, so that to is never a partial copy. True when to exists
// afterwards.
bool CopyFileIfMissing(const std::string& from, const std::string& to);

// Records the four-byte type and creator codes of folder/name in the extended
// attributes "user.filetype" and "user.creator", first character first.
// Returns 0, kFileNotFoundErr when the file does not exist, kIOErr when the
// attributes could not be written. A file system that refuses extended
// attributes is not an error: nothing is recorded and 0 is returned.
int16_t SetCreatorAndType(const char* name, const std::string& folder, uint32_t creator,
                          uint32_t type);

// Writes a file through a temporary file in the same folder, so that the file
// at path is either the complete new one or the old one, never a partial one.
// The new file keeps the old one's permissions, or gets a new file's.
class StReplaceFile {
public:
    // mode is "w" or "wb".
    explicit StReplaceFile(const std::string& path, const char* mode = "w");
    ~StReplaceFile(); // without commit(): the temporary is removed
    StReplaceFile(const StReplaceFile&) = delete;
    StReplaceFile& operator=(const StReplaceFile&) = delete;

    // The temporary file's stream, or null when it could not be created.
    FILE* stream() const { return m_stream; }
    // Flushes, closes and renames the temporary over path. False when any step
    // failed; the old file is then untouched and the temporary removed.
    bool commit();

private:
    std::string m_path;
    std::string m_tempPath;
    FILE* m_stream = nullptr;
};
