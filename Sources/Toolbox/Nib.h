// The interface description "main": Qt Designer files in the resources
// (":/main/<Name>.ui"), loaded by name.
#pragma once

#include "ToolboxTypes.h"

class QMenu;

// A new top-level window built from ":/main/<name>.ui"; null when the file is
// missing or does not load. The caller owns it (DisposeWindow).
WindowRef CreateWindowFromNib(const char* name);
// Puts the menu bar of ":/main/<name>.ui" into window (a main window).
// False when it cannot be loaded.
bool SetMenuBarFromNib(WindowRef window, const char* name);
// The menu whose objectName is name, from ":/main/<name>.ui"; owned by the
// caller. Null when missing.
QMenu* CreateMenuFromNib(const char* name);
// The control whose objectName is "<signature>_<id>", or null.
ControlRef GetControlByID(WindowRef window, uint32_t signature, int32_t id);
