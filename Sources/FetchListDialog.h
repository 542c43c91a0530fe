// The listing job's option sheet: three check boxes (keep the profile pages,
// handle only new codes, work from stored pages) and OK / cancel. The flags
// start cleared at every opening; the caller reads them only when accepted.
#pragma once

#include "Toolbox/ToolboxTypes.h"

#include <cstdint>

class CFetchListDialog {
public:
    enum { kKeepFiles = 0, kOnlyAdded, kOffline };

    explicit CFetchListDialog(WindowRef parent);
    ~CFetchListDialog();
    CFetchListDialog(const CFetchListDialog&) = delete;
    CFetchListDialog& operator=(const CFetchListDialog&) = delete;

    void MakeWindow();
    void InstallAppEvents();
    // Runs until OK or cancel; returns 1 either way (read accepted()).
    int32_t DoModal();
    int32_t DoAppCommandProcess(uint32_t command);

    uint8_t option(int32_t i) const { return options[i]; }
    bool accepted() const { return m_accepted != 0; }

private:
    void Toggle(int32_t i);
    void Close();

    uint8_t options[3] = {0, 0, 0};
    uint8_t m_accepted = 0;
    WindowRef window = nullptr;
    WindowRef parent = nullptr;
    ControlRef buttons[2] = {nullptr, nullptr};
    ControlRef checkBoxes[3] = {nullptr, nullptr, nullptr};
    uint32_t commandHandler = 0;
};
