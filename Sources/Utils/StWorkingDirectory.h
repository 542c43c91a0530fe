// Makes a folder the current directory for the life of the object.
#pragma once

#include <string>

class StWorkingDirectory {
public:
    // When the folder cannot be entered the current directory stays as it was.
    explicit StWorkingDirectory(const std::string& folder);
    ~StWorkingDirectory(); // back to the directory that was current before
    StWorkingDirectory(const StWorkingDirectory&) = delete;
    StWorkingDirectory& operator=(const StWorkingDirectory&) = delete;

    // True when the folder became the current directory.
    bool entered() const { return m_entered; }

private:
    std::string m_previous;
    bool m_entered = false;
};
