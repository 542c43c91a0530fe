// Handle types of the window-system layer. A window and a control are both
// widgets; the application layer treats them as opaque references.
#pragma once

#include <cstdint>

class QWidget;

using WindowRef = QWidget*;
using ControlRef = QWidget*;

// Result of a handler that did not handle an event.
constexpr int32_t eventNotHandledErr = -9874;
// Result of an item-data callback asked for a property it does not supply.
constexpr int32_t errDataBrowserPropertyNotSupported = -4979;
