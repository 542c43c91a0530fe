// Application-modal loops for dialogs and sheets.
#pragma once

#include "ToolboxTypes.h"

#include <functional>

// Runs a nested event loop with window application-modal until
// QuitAppModalLoopForWindow(window).
void RunAppModalLoopForWindow(WindowRef window);
void QuitAppModalLoopForWindow(WindowRef window);

// A dialog run as a modal sheet: runs the loop until CloseModalSheet (at once
// when there is no window), then removes the sheet's command handler and
// disposes the window, setting both to 0 so that the sheet's commands mean
// nothing once it is closed.
void RunModalSheet(WindowRef& window, uint32_t& commandHandler);
// Hides the sheet and ends its modal loop.
void CloseModalSheet(WindowRef window);

// Called inside every modal loop once it runs, with its window: the command
// line answers dialogs with it, and tests click through them. Pass an empty
// function to remove it.
using ModalLoopHook = std::function<void(WindowRef window)>;
void SetModalLoopHook(ModalLoopHook hook);
