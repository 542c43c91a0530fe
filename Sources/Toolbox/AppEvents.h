// The application event loop, the desktop session's "quit" request, the
// preferences request, SIGTERM, and ending the process at once.
#pragma once

#include <functional>

void RunApplicationEventLoop();
void QuitApplicationEventLoop();

// Called when the session asks the program to quit (log-out, SIGTERM) and
// when the desktop asks for the preferences. False when not installed.
bool InstallQuitEventHandler(std::function<void()> handler);
bool InstallPreferencesEventHandler(std::function<void()> handler);
// The preferences request as the desktop sends it.
void SendPreferencesEvent();

// Ends the process at once, without the orderly shut-down. Tests replace
// the exit function to observe it; then this returns, so callers return
// right after it.
void ExitToShell();
using ExitFunction = std::function<void()>;
void SetExitFunction(ExitFunction function);
