// Makes a folder the current directory for the life of the object.
#pragma once

#include <string>

class StWorkingDirectory {
public:
    explicit StWorkingDirectory(const std::string& folder);
    ~StWorkingDirectory();
    StWorkingDirectory(const StWorkingDirectory&) = delete;
    StWorkingDirectory& operator=(const StWorkingDirectory&) = delete;

private:
    std::string m_previous;
};
