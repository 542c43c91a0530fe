// The profile option sheet: three check boxes asked before the company
// profile job starts. The flags are read by the caller only when accepted.
#pragma once

#include "Toolbox/ToolboxTypes.h"

#include <cstdint>

class CFundamentalDialog {
public:
    // The flags in the order of check boxes 11 to 13.
    enum { kKeepFiles = 0, kExistingDictionaryOnly, kOffline };

    explicit CFundamentalDialog(WindowRef parent);
    ~CFundamentalDialog();
    CFundamentalDialog(const CFundamentalDialog&) = delete;
    CFundamentalDialog& operator=(const CFundamentalDialog&) = delete;

    void MakeWindow();
    void InstallAppEvents();
    // Runs until OK or cancel; returns 1 either way (read accepted).
    int32_t DoModal();
    int32_t DoAppCommandProcess(uint32_t command);

    uint8_t options[3] = {0, 0, 0};
    uint8_t accepted = 0;

private:
    void Close();

    WindowRef window = nullptr;
    WindowRef parent = nullptr;
    ControlRef buttons[2] = {nullptr, nullptr};
    ControlRef checkBoxes[3] = {nullptr, nullptr, nullptr};
    uint32_t commandHandler = 0;
};
