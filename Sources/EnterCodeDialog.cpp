#include "EnterCodeDialog.h"

#include "Toolbox/Toolbox.h"
#include "misclib.h"

#include <cstring>

static CEnterCodeDialog* s_thisWin = nullptr;

CEnterCodeDialog::CEnterCodeDialog(WindowRef parentWindow) : parent(parentWindow) {
    codeText[0] = '\0';
    std::strcpy(rowsText, kDefaultRows);
    s_thisWin = this;
    MakeWindow();
    InstallAppEvents();
}

CEnterCodeDialog::~CEnterCodeDialog() {
    RemoveCommandHandler(commandHandler);
    DisposeWindow(window);
    if (s_thisWin == this)
        s_thisWin = nullptr;
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
    ShowSheetWindow(window, parent);
}

void CEnterCodeDialog::InstallAppEvents() {
    commandHandler = InstallCommandHandler([](uint32_t command) {
        return s_thisWin ? s_thisWin->DoAppCommandProcess(command) : eventNotHandledErr;
    });
}

int32_t CEnterCodeDialog::DoModal() {
    RunAppModalLoopForWindow(window);
    // The sheet's commands mean nothing once it is closed.
    RemoveCommandHandler(commandHandler);
    commandHandler = 0;
    DisposeWindow(window);
    window = nullptr;
    return 1;
}

int32_t CEnterCodeDialog::DoAppCommandProcess(uint32_t command) {
    switch (command) {
    case FourCharCode("ok  "):
        // GetControlText stops at the buffer's end without splitting a
        // double-byte character.
        GetControlText(codeField, codeText, sizeof codeText);
        GetControlText(rowsField, rowsText, sizeof rowsText);
        Close();
        return 0;
    case FourCharCode("not!"):
        codeText[0] = '\0';
        rowsText[0] = '\0';
        Close();
        return 0;
    default:
        return eventNotHandledErr;
    }
}

void CEnterCodeDialog::Close() {
    HideWindow(window);
    QuitAppModalLoopForWindow(window);
}
