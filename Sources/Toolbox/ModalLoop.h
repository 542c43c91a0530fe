// Application-modal loops for dialogs and sheets.
#pragma once

#include "ToolboxTypes.h"

#include <functional>

// Runs a nested event loop with window application-modal until
// QuitAppModalLoopForWindow(window).
void RunAppModalLoopForWindow(WindowRef window);
void QuitAppModalLoopForWindow(WindowRef window);

// Called inside every modal loop once it runs, with its window: the command
// line answers dialogs with it, and tests click through them. Pass an empty
// function to remove it.
using ModalLoopHook = std::function<void(WindowRef window)>;
void SetModalLoopHook(ModalLoopHook hook);
