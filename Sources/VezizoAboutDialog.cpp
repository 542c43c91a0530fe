#include "VezizoAboutDialog.h"

#include "Toolbox/Toolbox.h"
#include "misclib.h"

void CVezizoAboutDialog::MakeWindow() {
    window = CreateWindowFromNib("AboutDialog");
    if (!window)
        return;
    // The window system's standard close disposes of it.
    SetWindowDisposeOnClose(window);
    SetControlText(GetControlByID(window, FourCharCode("abou"), 1), "Version " VEZIZO_VERSION);
    ShowWindow(window);
}
