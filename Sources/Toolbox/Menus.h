// Menu items found by the command they send: the check mark of an item that
// stands for a setting.
#pragma once

#include "ToolboxTypes.h"

#include <cstdint>

// Shows or clears the check mark of the items of window's menu bar that send
// command.
void SetMenuCommandMark(WindowRef window, uint32_t command, bool marked);
// Whether the first item of window's menu bar that sends command is marked;
// false when there is none.
bool GetMenuCommandMark(WindowRef window, uint32_t command);
