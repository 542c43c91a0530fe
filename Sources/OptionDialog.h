// A job's option sheet: three check boxes (11 to 13, toggled by the commands
// 'chk1' to 'chk3'), OK ('ok  ') and cancel ('not!'). Every opening starts with
// the boxes cleared; the caller reads the flags only when accepted.
#pragma once

#include "Toolbox/ToolboxTypes.h"

#include <cstdint>

class COptionDialog {
public:
    COptionDialog(WindowRef parent, const char* windowName, uint32_t signature);
    ~COptionDialog();
    COptionDialog(const COptionDialog&) = delete;
    COptionDialog& operator=(const COptionDialog&) = delete;

    void MakeWindow();
    void InstallAppEvents();
    // Runs until OK or cancel; returns 1 either way (read accepted).
    int32_t DoModal();
    int32_t DoAppCommandProcess(uint32_t command);

    // The flags in the order of check boxes 11 to 13.
    uint8_t options[3] = {0, 0, 0};
    uint8_t accepted = 0;

private:
    const char* windowName;
    uint32_t signature;
    WindowRef window = nullptr;
    WindowRef parent = nullptr;
    ControlRef buttons[2] = {nullptr, nullptr};
    ControlRef checkBoxes[3] = {nullptr, nullptr, nullptr};
    uint32_t commandHandler = 0;
};
