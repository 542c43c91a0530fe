// Folders and file attributes. A folder is identified by its path.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Path of the sub-folder name of the current directory, created when missing.
std::string CreateFolder2(const char* name);

// Records the four-byte type and creator codes of folder/name in the extended
// attributes "user.filetype" and "user.creator". Returns 0, or a negative
// code when the file does not exist. A file system that refuses extended
// attributes is not an error.
int16_t SetCreatorAndType(const char* name, const std::string& folder, uint32_t creator,
                          uint32_t type);

// Writes a file through a temporary file in the same folder, so that the file
// at path is either the complete new one or the old one, never a partial one.
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
