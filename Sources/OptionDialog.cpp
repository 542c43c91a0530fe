#include "OptionDialog.h"

#include "Toolbox/Toolbox.h"
#include "misclib.h"

COptionDialog::COptionDialog(WindowRef parentWindow, const char* name, uint32_t controlSignature)
    : windowName(name), signature(controlSignature), parent(parentWindow) {
    MakeWindow();
    InstallAppEvents();
}

COptionDialog::~COptionDialog() {
    RemoveCommandHandler(commandHandler);
    DisposeWindow(window);
}

void COptionDialog::MakeWindow() {
    window = CreateWindowFromNib(windowName);
    if (!window)
        return;
    for (int32_t i = 0; i < 2; ++i)
        buttons[i] = GetControlByID(window, signature, i + 1);
    for (int32_t i = 0; i < 3; ++i) {
        checkBoxes[i] = GetControlByID(window, signature, 11 + i);
        SetCheckBoxValue(checkBoxes[i], options[i]);
    }
    ShowSheetWindow(window, parent);
}

void COptionDialog::InstallAppEvents() {
    commandHandler =
        InstallCommandHandler([this](uint32_t command) { return DoAppCommandProcess(command); });
}

int32_t COptionDialog::DoModal() {
    // Without its window there is nothing to answer; the job does not start.
    RunModalSheet(window, commandHandler);
    return 1;
}

int32_t COptionDialog::DoAppCommandProcess(uint32_t command) {
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
        CloseModalSheet(window);
        return 0;
    case FourCharCode("not!"):
        CloseModalSheet(window);
        return 0;
    default:
        return eventNotHandledErr;
    }
}
