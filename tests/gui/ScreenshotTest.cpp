// Saves a picture of the main window, every sheet and every dialog into
// <build>/screenshots/ for a person to look at.
#include "GuiTestBase.h"

#include <QMessageBox>

using ScreenshotTest = GuiTestWithoutFetchList;

TEST_F(ScreenshotTest, WindowsSheetsAndDialogs) {
    saveScreenshot(mainWindow(), "MainWindow");
    saveScreenshot(mainWindow()->findChild<QMessageBox*>("cautionAlertSheet"), "CautionAlertSheet");

    const char* sheets[] = {"",
                            "FetchSheet",
                            "MakeListSheet",
                            "MakeKDTSheet",
                            "MakeFundamentalSheet",
                            "MakeFinanceSheet"};
    for (int32_t sheet = CMetalWindow::kFetchSheet; sheet <= CMetalWindow::kFinanceSheet; ++sheet) {
        controller().HideSheetWindow();
        TransitionWindowResize(mainWindow(), 350, 210);
        ShowWindow(controller().jobSheet(sheet)->window);
        saveScreenshot(mainWindow(), sheets[sheet]);
    }
    send("disp");
    saveScreenshot(mainWindow(), "DispSheet");

    SetModalLoopHook([](WindowRef dialog) {
        saveScreenshot(dialog, "PrefDialog");
        send("not!");
    });
    send("pref");
    SetModalLoopHook({});

    for (const char* name : {"FetchListDialog", "FundamentalDialog", "EnterCodeDialog"}) {
        WindowRef dialog = CreateWindowFromNib(name);
        ShowSheetWindow(dialog, mainWindow());
        saveScreenshot(dialog, name);
        DisposeWindow(dialog);
    }
    send("abou");
    saveScreenshot(windowsNamed("AboutDialog").value(0), "AboutDialog");
}
