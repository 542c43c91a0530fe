#include "StWorkingDirectory.h"

#include "futil.h"

#include <unistd.h>

StWorkingDirectory::StWorkingDirectory(const std::string& folder) : m_previous(CurrentDirectory()) {
    // An empty folder path stands for the root, as paths are built as folder + "/" + name.
    m_entered = chdir(folder.empty() ? "/" : folder.c_str()) == 0;
}

StWorkingDirectory::~StWorkingDirectory() {
    if (m_entered && !m_previous.empty()) {
        // When the previous folder went away meanwhile, the current directory stays.
        [[maybe_unused]] const int result = chdir(m_previous.c_str());
    }
}
