// Folders and file attributes. A folder is identified by its path.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
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
// The new file keeps the old one's permissions, or gets a new file's. The
// temporary is named "." + the file's name + ".vezizo-tmp-" + six letters or
// digits, so that one a crashed run left can be recognised.
class StReplaceFile {
public:
    // mode is "w" or "wb".
    explicit StReplaceFile(const std::string& path, const char* mode = "w");
    ~StReplaceFile(); // without commit(): the temporary is removed
    StReplaceFile(const StReplaceFile&) = delete;
    StReplaceFile& operator=(const StReplaceFile&) = delete;

    // The temporary file's stream, or null when it could not be created.
    FILE* stream() const { return m_stream; }
    // Puts everything written so far on the disk (fflush and fsync). False
    // when the stream failed or the disk refused the data.
    bool flush();
    // Flushes, closes and renames the temporary over path, then makes the
    // rename itself durable. False when any step before the rename failed;
    // the old file is then untouched and the temporary removed.
    bool commit();

private:
    std::string m_path;
    std::string m_tempPath;
    FILE* m_stream = nullptr;
};

// For tests: called with the file's path whenever a temporary, complete and
// on the disk, is about to be renamed over it. An empty function: none.
void SetReplaceHook(std::function<void(const std::string& path)> hook);

// Makes "to" a second name of the file at "from" (a hard link), replacing
// "to" in one step; where the file system refuses the link, "to" becomes a
// copy, written as StReplaceFile writes. False with errno set when it could
// not be made (ENOENT: there is no file at "from"); "to" is then unchanged.
bool ReplaceWithLink(const std::string& from, const std::string& to);

// Removes from folder (not its sub-folders) the temporaries of StReplaceFile
// and ReplaceWithLink last changed before "before": the ones a run that
// crashed or was killed left. Returns how many it removed.
int32_t RemoveStaleTempFiles(const std::string& folder, const timespec& before);
