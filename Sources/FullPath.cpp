#include "FullPath.h"

std::string MakeUnixFullPath(const std::string& folder, const char* name) {
    // The root may come as "" (a folder path without its trailing "/") or as "/".
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string MakeFullPath(const std::string& folder, const char* name) {
    return MakeUnixFullPath(folder, name);
}
