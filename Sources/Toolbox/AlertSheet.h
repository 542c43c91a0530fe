// The caution alert sheet: one message and an OK button over a window.
#pragma once

#include "ToolboxTypes.h"

// Shows the sheet and returns at once; OK closes it. message is UTF-8.
// The sheet's objectName is "cautionAlertSheet".
WindowRef ShowCautionAlertSheet(WindowRef parent, const char* message);
