// The sheet that asks the historical series job for a stock code and the
// number of daily rows, or the chart for a code alone. The texts are read
// after DoModal: both empty when the sheet was cancelled.
#pragma once

#include "Toolbox/ToolboxTypes.h"

#include <cstdint>

class CEnterCodeDialog {
public:
    // Each text holds at most 127 bytes (Shift-JIS) and its NUL.
    static constexpr int32_t kTextSize = 128;
    // The row count offered each time the sheet opens.
    static constexpr const char* kDefaultRows = "200";

    // What the sheet asks for.
    enum Entry { kCodeAndRows, kCodeOnly };

    explicit CEnterCodeDialog(WindowRef parent, Entry entry = kCodeAndRows);
    ~CEnterCodeDialog();
    CEnterCodeDialog(const CEnterCodeDialog&) = delete;
    CEnterCodeDialog& operator=(const CEnterCodeDialog&) = delete;

    void MakeWindow();
    void InstallAppEvents();
    // Runs until OK or cancel, disposes of the sheet; returns 1.
    int32_t DoModal();
    int32_t DoAppCommandProcess(uint32_t command);

    const char* getCodeText() const { return codeText; }
    const char* getRowsText() const { return rowsText; }

private:
    char codeText[kTextSize];
    char rowsText[kTextSize];
    WindowRef window = nullptr;
    WindowRef parent = nullptr;
    ControlRef buttons[2] = {nullptr, nullptr};
    ControlRef codeField = nullptr; // 21
    ControlRef rowsField = nullptr; // 22
    Entry entry;
    uint32_t commandHandler = 0;
};
