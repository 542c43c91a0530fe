// Windows: show, hide, size, animated resize, sheets attached to a main
// window, window groups.
#pragma once

#include "ToolboxTypes.h"

#include <functional>
#include <vector>

struct WindowBounds {
    int32_t left, top, width, height;
};

void ShowWindow(WindowRef window);
// Shows the window in front of the others and makes it the active one.
void SelectWindow(WindowRef window);
// The title bar's text (system text encoding).
void SetWindowTitle(WindowRef window, const char* sjisText);
void HideWindow(WindowRef window);
bool IsWindowVisible(WindowRef window);
void DisposeWindow(WindowRef window);
// The window is disposed of when the user closes it.
void SetWindowDisposeOnClose(WindowRef window);
void SizeWindow(WindowRef window, int32_t width, int32_t height);
// The window's frame.
WindowBounds GetWindowBounds(WindowRef window);
// Resizes the frame to width x height with its top-left corner kept,
// animated unless animations are off.
void TransitionWindowResize(WindowRef window, int32_t width, int32_t height);
// Animations off make every resize immediate (tests, the command line).
void SetWindowAnimationsEnabled(bool enabled);
bool WindowAnimationsEnabled();

// Replaces the window's close (the title bar's close box): handler runs
// instead and the window stays as it is.
void InstallWindowCloseHandler(WindowRef window, std::function<void()> handler);

// Embeds sheet in the main window below its content (the "sheetArea" child),
// hidden until shown.
void AttachSheetToWindow(WindowRef sheet, WindowRef mainWindow);
// Shows a dialog as a sheet over parent: a window that stays in front of it.
void ShowSheetWindow(WindowRef sheet, WindowRef parent);

// Windows that move, layer and activate together: the main window and its
// sheets, which as panels inside it already do.
class CWindowGroup {
public:
    void Add(WindowRef window) { m_windows.push_back(window); }
    const std::vector<WindowRef>& windows() const { return m_windows; }

private:
    std::vector<WindowRef> m_windows;
};
