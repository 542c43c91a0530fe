#include "EnterCodeDialog.h"

#include "Toolbox/Toolbox.h"
#include "misclib.h"

#include <cstring>

CEnterCodeDialog::CEnterCodeDialog(WindowRef parentWindow, Entry entryAsked)
    : parent(parentWindow), entry(entryAsked) {
    codeText[0] = '\0';
    std::strcpy(rowsText, kDefaultRows);
    MakeWindow();
    InstallAppEvents();
}

CEnterCodeDialog::~CEnterCodeDialog() {
    RemoveCommandHandler(commandHandler);
    DisposeWindow(window);
}

void CEnterCodeDialog::MakeWindow() {
    window = CreateWindowFromNib("EnterCodeDialog");
    if (!window)
        return;
    const uint32_t sig = FourCharCode("entc");
    for (int32_t i = 0; i < 2; ++i)
        buttons[i] = GetControlByID(window, sig, i + 1);
    codeField = GetControlByID(window, sig, 21);
    rowsField = GetControlByID(window, sig, 22);
    SetControlText(codeField, codeText);
    SetControlText(rowsField, rowsText);
    if (entry == kCodeOnly) {
        HideControl(rowsField);
        HideControl(GetControlByID(window, sig, 12)); // its caption
    }
    ShowSheetWindow(window, parent);
}

void CEnterCodeDialog::InstallAppEvents() {
    commandHandler =
        InstallCommandHandler([this](uint32_t command) { return DoAppCommandProcess(command); });
}

int32_t CEnterCodeDialog::DoModal() {
    RunModalSheet(window, commandHandler);
    return 1;
}

int32_t CEnterCodeDialog::DoAppCommandProcess(uint32_t command) {
    switch (command) {
    case FourCharCode("ok  "):
        // GetControlText stops at the buffer's end without splitting a
        // double-byte character.
        GetControlText(codeField, codeText, sizeof codeText);
        GetControlText(rowsField, rowsText, sizeof rowsText);
        CloseModalSheet(window);
        return 0;
    case FourCharCode("not!"):
        codeText[0] = '\0';
        rowsText[0] = '\0';
        CloseModalSheet(window);
        return 0;
    default:
        return eventNotHandledErr;
    }
}
