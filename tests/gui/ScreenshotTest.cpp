// Saves a picture of the main window, every sheet and every dialog into
// <build>/screenshots/ for a person to look at.
#include "GuiTestBase.h"

#include <QMessageBox>

class ScreenshotTest : public GuiTestWithoutFetchList {
protected:
    static void save(QWidget* widget, const char* name) { SaveScreenshot(widget, name); }
};

TEST_F(ScreenshotTest, WindowsSheetsAndDialogs) {
    save(mainWindow(), "MainWindow");
    save(mainWindow()->findChild<QMessageBox*>("cautionAlertSheet"), "CautionAlertSheet");

    const char* sheets[] = {"",
                            "FetchSheet",
                            "MakeListSheet",
                            "MakeKDTSheet",
                            "MakeFundamentalSheet",
                            "MakeFinanceSheet"};
    for (int32_t sheet = CMetalWindow::kFetchSheet; sheet <= CMetalWindow::kFinanceSheet; ++sheet) {
        controller().HideSheetWindow();
        TransitionWindowResize(mainWindow(), 350, 250);
        ShowWindow(controller().jobSheet(sheet)->window);
        save(mainWindow(), sheets[sheet]);
    }
    send("disp");
    save(mainWindow(), "DispSheet");

    SetModalLoopHook([](WindowRef dialog) {
        save(dialog, "PrefDialog");
        send("not!");
    });
    send("pref");
    SetModalLoopHook({});

    for (const char* name : {"FetchListDialog", "FundamentalDialog", "EnterCodeDialog"}) {
        WindowRef dialog = CreateWindowFromNib(name);
        ShowSheetWindow(dialog, mainWindow());
        save(dialog, name);
        DisposeWindow(dialog);
    }
    send("abou");
    save(windowsNamed("AboutDialog").value(0), "AboutDialog");
}
