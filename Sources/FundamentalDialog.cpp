#include "FundamentalDialog.h"

#include "Toolbox/Toolbox.h"
#include "misclib.h"

static CFundamentalDialog* s_thisWin = nullptr;

CFundamentalDialog::CFundamentalDialog(WindowRef parentWindow) : parent(parentWindow) {
    s_thisWin = this;
    MakeWindow();
    InstallAppEvents();
}

CFundamentalDialog::~CFundamentalDialog() {
    RemoveCommandHandler(commandHandler);
    DisposeWindow(window);
    if (s_thisWin == this)
        s_thisWin = nullptr;
}

void CFundamentalDialog::MakeWindow() {
    window = CreateWindowFromNib("FundamentalDialog");
    if (!window)
        return;
    const uint32_t sig = FourCharCode("fund");
    for (int32_t i = 0; i < 2; ++i)
        buttons[i] = GetControlByID(window, sig, i + 1);
    for (int32_t i = 0; i < 3; ++i) {
        checkBoxes[i] = GetControlByID(window, sig, 11 + i);
        SetCheckBoxValue(checkBoxes[i], options[i]);
    }
    ShowSheetWindow(window, parent);
}

void CFundamentalDialog::InstallAppEvents() {
    commandHandler = InstallCommandHandler([](uint32_t command) {
        return s_thisWin ? s_thisWin->DoAppCommandProcess(command) : eventNotHandledErr;
    });
}

int32_t CFundamentalDialog::DoModal() {
    // Without its window there is nothing to answer; the job does not start.
    if (window) {
        RunAppModalLoopForWindow(window);
        DisposeWindow(window);
        window = nullptr;
    }
    return 1;
}

int32_t CFundamentalDialog::DoAppCommandProcess(uint32_t command) {
    switch (command) {
    case FourCharCode("chk1"):
    case FourCharCode("chk2"):
    case FourCharCode("chk3"): {
        const uint32_t box = command - FourCharCode("chk1");
        options[box] = options[box] ? 0 : 1;
        SetCheckBoxValue(checkBoxes[box], options[box]);
        return 0;
    }
    case FourCharCode("ok  "):
        accepted = 1;
        Close();
        return 0;
    case FourCharCode("not!"):
        Close();
        return 0;
    default:
        return eventNotHandledErr;
    }
}

void CFundamentalDialog::Close() {
    HideWindow(window);
    QuitAppModalLoopForWindow(window);
}
