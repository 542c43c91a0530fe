// Full paths of a name in a folder.
#pragma once

#include <string>

// The POSIX path of name in folder ("folder/name"; name "." gives "folder/.").
std::string MakeUnixFullPath(const std::string& folder, const char* name);
// The platform's own full path; on Linux the same as MakeUnixFullPath.
std::string MakeFullPath(const std::string& folder, const char* name);
