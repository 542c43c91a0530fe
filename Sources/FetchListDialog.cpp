#include "FetchListDialog.h"

#include "Toolbox/Toolbox.h"
#include "misclib.h"

static CFetchListDialog* s_thisWin = nullptr;

CFetchListDialog::CFetchListDialog(WindowRef parentWindow) : parent(parentWindow) {
    s_thisWin = this;
    MakeWindow();
    InstallAppEvents();
}

CFetchListDialog::~CFetchListDialog() {
    RemoveCommandHandler(commandHandler);
    DisposeWindow(window);
    if (s_thisWin == this)
        s_thisWin = nullptr;
}

void CFetchListDialog::MakeWindow() {
    window = CreateWindowFromNib("FetchListDialog");
    if (!window)
        return;
    const uint32_t sig = FourCharCode("fcls");
    for (int32_t i = 0; i < 2; ++i)
        buttons[i] = GetControlByID(window, sig, i + 1);
    for (int32_t i = 0; i < 3; ++i) {
        checkBoxes[i] = GetControlByID(window, sig, 11 + i);
        SetCheckBoxValue(checkBoxes[i], options[i]);
    }
    ShowSheetWindow(window, parent);
}

void CFetchListDialog::InstallAppEvents() {
    commandHandler = InstallCommandHandler(
        [](uint32_t command) { return s_thisWin->DoAppCommandProcess(command); });
}

int32_t CFetchListDialog::DoModal() {
    RunAppModalLoopForWindow(window);
    DisposeWindow(window);
    window = nullptr;
    return 1;
}

void CFetchListDialog::Toggle(int32_t i) {
    options[i] = options[i] ? 0 : 1;
    SetCheckBoxValue(checkBoxes[i], options[i]);
}

int32_t CFetchListDialog::DoAppCommandProcess(uint32_t command) {
    switch (command) {
    case FourCharCode("chk1"):
        Toggle(kKeepFiles);
        return 0;
    case FourCharCode("chk2"):
        Toggle(kOnlyAdded);
        return 0;
    case FourCharCode("chk3"):
        Toggle(kOffline);
        return 0;
    case FourCharCode("ok  "):
        m_accepted = 1;
        Close();
        return 0;
    case FourCharCode("not!"):
        Close();
        return 0;
    default:
        return eventNotHandledErr;
    }
}

void CFetchListDialog::Close() {
    HideWindow(window);
    QuitAppModalLoopForWindow(window);
}
