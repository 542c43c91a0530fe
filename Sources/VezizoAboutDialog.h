// The about window: an ordinary window that stays open after the object is
// gone; the user closes it.
#pragma once

#include "Toolbox/ToolboxTypes.h"

#include <cstdint>

class CVezizoAboutDialog {
public:
    CVezizoAboutDialog() { MakeWindow(); }
    void MakeWindow();
    int32_t DoModal() { return 1; }

private:
    WindowRef window = nullptr;
};
