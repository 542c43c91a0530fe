#include "VezizoPreferencesDialog.h"

#include "Preferences.h"
#include "Toolbox/Toolbox.h"
#include "VezizoMain.h"
#include "misclib.h"

#include <cstdio>
#include <cstring>

CVezizoPreferencesDialog::CVezizoPreferencesDialog(WindowRef parentWindow)
    : parent(parentWindow), fileFormat(g_Preferences->fileFormat),
      creatorIndex(g_Preferences->creatorIndex), useProxy(g_Preferences->useProxy),
      fetchAtLaunch(g_Preferences->fetchAtLaunch), quitAfterFetch(g_Preferences->quitAfterFetch),
      decimalPrices(g_Preferences->decimalPrices) {
    // The record's host may be longer than this dialog keeps; it is cut.
    std::snprintf(proxyHost, sizeof proxyHost, "%.63s", g_Preferences->proxyHost);
    std::snprintf(portText, sizeof portText, "%d", g_Preferences->proxyPort);
    MakeWindow();
    InstallAppEvents();
}

CVezizoPreferencesDialog::~CVezizoPreferencesDialog() {
    RemoveCommandHandler(commandHandler);
    DisposeWindow(window);
}

void CVezizoPreferencesDialog::MakeWindow() {
    window = CreateWindowFromNib("PrefDialog");
    if (!window)
        return;
    const uint32_t sig = FourCharCode("pref");
    for (int32_t i = 0; i < 2; ++i)
        buttons[i] = GetControlByID(window, sig, i + 1);
    for (int32_t i = 0; i < 4; ++i)
        checkBoxes[i] = GetControlByID(window, sig, 11 + i);
    hostField = GetControlByID(window, sig, 21);
    portField = GetControlByID(window, sig, 22);
    formatPopup = GetControlByID(window, sig, 31);
    creatorPopup = GetControlByID(window, sig, 32);

    SetCheckBoxValue(checkBoxes[0], useProxy);
    SetCheckBoxValue(checkBoxes[1], fetchAtLaunch);
    SetCheckBoxValue(checkBoxes[2], quitAfterFetch);
    SetCheckBoxValue(checkBoxes[3], decimalPrices);
    SetControlText(hostField, proxyHost);
    SetControlText(portField, portText);
    EnableProxyFields();

    AttachMenuToPopup(formatPopup, CreateMenuFromNib("FormatMenu"));
    SetPopupValue(formatPopup, fileFormat + 1);
    AttachMenuToPopup(creatorPopup, CreateMenuFromNib("FileCreatorMenu"));
    SetPopupValue(creatorPopup, creatorIndex + 1);
    ShowSheetWindow(window, parent);
}

void CVezizoPreferencesDialog::InstallAppEvents() {
    commandHandler =
        InstallCommandHandler([this](uint32_t command) { return DoAppCommandProcess(command); });
}

int32_t CVezizoPreferencesDialog::DoModal() {
    RunModalSheet(window, commandHandler);
    return 1;
}

void CVezizoPreferencesDialog::EnableProxyFields() {
    for (ControlRef field : {hostField, portField}) {
        if (useProxy == 1)
            ActivateControl(field);
        else
            DeactivateControl(field);
    }
}

static void Toggle(uint8_t& flag, ControlRef box) {
    flag = flag ? 0 : 1;
    SetCheckBoxValue(box, flag);
}

int32_t CVezizoPreferencesDialog::DoAppCommandProcess(uint32_t command) {
    switch (command) {
    case FourCharCode("chk1"):
        Toggle(useProxy, checkBoxes[0]);
        EnableProxyFields();
        return 0;
    case FourCharCode("chk2"):
        Toggle(fetchAtLaunch, checkBoxes[1]);
        return 0;
    case FourCharCode("chk3"):
        Toggle(quitAfterFetch, checkBoxes[2]);
        return 0;
    case FourCharCode("chk4"):
        Toggle(decimalPrices, checkBoxes[3]);
        return 0;
    case FourCharCode("fmt1"):
    case FourCharCode("fmt2"):
    case FourCharCode("fmt3"):
        fileFormat = int32_t(command - FourCharCode("fmt1"));
        SetPopupValue(formatPopup, fileFormat + 1);
        return 0;
    case FourCharCode("cre1"):
    case FourCharCode("cre2"):
    case FourCharCode("cre3"):
    case FourCharCode("cre4"):
    case FourCharCode("cre5"):
        creatorIndex = int32_t(command - FourCharCode("cre1"));
        SetPopupValue(creatorPopup, creatorIndex + 1);
        return 0;
    case FourCharCode("ok  "):
        Confirm();
        return 0;
    case FourCharCode("not!"):
        CloseModalSheet(window);
        return 0;
    default:
        return eventNotHandledErr;
    }
}

void CVezizoPreferencesDialog::Confirm() {
    GetControlText(hostField, proxyHost, sizeof proxyHost);
    GetControlText(portField, portText, sizeof portText);
    g_Preferences->fileFormat = fileFormat;
    g_Preferences->creatorIndex = creatorIndex;
    g_Preferences->useProxy = useProxy;
    g_Preferences->fetchAtLaunch = fetchAtLaunch;
    g_Preferences->quitAfterFetch = quitAfterFetch;
    g_Preferences->decimalPrices = decimalPrices;
    std::snprintf(g_Preferences->proxyHost, sizeof g_Preferences->proxyHost, "%s", proxyHost);
    g_Preferences->proxyPort = atoiClamped(portText);
    g_Preferences->Save();
    CloseModalSheet(window);
}
