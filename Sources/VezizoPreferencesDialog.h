// The preferences sheet: edits working copies of g_Preferences and writes
// them back, and to the file, only when confirmed.
#pragma once

#include "Toolbox/ToolboxTypes.h"

#include <cstdint>

class CVezizoPreferencesDialog {
public:
    explicit CVezizoPreferencesDialog(WindowRef parent);
    ~CVezizoPreferencesDialog();
    CVezizoPreferencesDialog(const CVezizoPreferencesDialog&) = delete;
    CVezizoPreferencesDialog& operator=(const CVezizoPreferencesDialog&) = delete;

    void MakeWindow();
    void InstallAppEvents();
    // Runs until OK or cancel; returns 1.
    int32_t DoModal();
    int32_t DoAppCommandProcess(uint32_t command);

private:
    void Confirm();
    void EnableProxyFields();

    WindowRef window = nullptr;
    WindowRef parent = nullptr;
    ControlRef buttons[2] = {nullptr, nullptr};
    ControlRef checkBoxes[4] = {nullptr, nullptr, nullptr, nullptr};
    ControlRef hostField = nullptr;
    ControlRef portField = nullptr;
    ControlRef formatPopup = nullptr;
    ControlRef creatorPopup = nullptr;
    uint32_t commandHandler = 0;

    int32_t fileFormat;
    int32_t creatorIndex;
    uint8_t useProxy;
    uint8_t fetchAtLaunch;
    uint8_t quitAfterFetch;
    uint8_t decimalPrices;
    char proxyHost[64];
    char portText[16];
};
