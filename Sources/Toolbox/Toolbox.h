// The window-system layer: the few operations the window controller and the
// dialogs use, on Qt Widgets. The application layer reaches widgets only
// through these headers.
#pragma once

#include "AlertSheet.h"
#include "AppEvents.h"
#include "Browser.h"
#include "Chart.h"
#include "CommandEvents.h"
#include "Controls.h"
#include "DataBrowser.h"
#include "Menus.h"
#include "ModalLoop.h"
#include "Nib.h"
#include "PlatformNotes.h"
#include "Timers.h"
#include "Windows.h"
