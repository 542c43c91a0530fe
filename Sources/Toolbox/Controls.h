// Controls found by GetControlByID: progress bars, static texts, text fields,
// check boxes and pop-up menus. Texts cross this boundary in the system text
// encoding (Shift-JIS).
#pragma once

#include "ToolboxTypes.h"

#include <cstddef>

class QMenu;

void SetControl32BitMaximum(ControlRef control, int32_t maximum);
void SetControl32BitValue(ControlRef control, int32_t value);
int32_t GetControl32BitValue(ControlRef control);
int32_t GetControl32BitMaximum(ControlRef control);
void ActivateControl(ControlRef control);
void DeactivateControl(ControlRef control);
bool IsControlActive(ControlRef control);
void ShowControl(ControlRef control);
void HideControl(ControlRef control);
bool IsControlVisible(ControlRef control);

// The text of a static text, text field or button; drawn at once.
void SetControlText(ControlRef control, const char* sjisText);
// Copies the control's text into buffer (size bytes with the NUL): longer
// text is cut without splitting a double-byte character. Returns the length.
size_t GetControlText(ControlRef control, char* buffer, size_t size);

// A check box's state.
void SetCheckBoxValue(ControlRef control, bool checked);
bool GetCheckBoxValue(ControlRef control);

// Fills a pop-up button with the items of menu; choosing item i sends the
// command of that menu item. The pop-up takes the menu.
void AttachMenuToPopup(ControlRef popup, QMenu* menu);
// Shows item (1-based) of the pop-up.
void SetPopupValue(ControlRef popup, int32_t item);
int32_t GetPopupValue(ControlRef popup);
