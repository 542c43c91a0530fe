// The application event loop, the desktop session's "quit" request, the
// preferences request, SIGTERM, and ending the process at once.
#pragma once

#include <functional>

void RunApplicationEventLoop();
void QuitApplicationEventLoop();

// Called when the session asks the program to quit (log-out, SIGTERM).
// False when it could not be installed. (The desktop's preferences request
// is the Preferences menu item, which sends the command "pref".)
bool InstallQuitEventHandler(std::function<void()> handler);

// Ends the process at once with status, without the orderly shut-down. Tests
// replace the exit function to observe it; then this returns, so callers
// return right after it.
void ExitToShell(int status);
using ExitFunction = std::function<void(int status)>;
void SetExitFunction(ExitFunction function);
// The status the process ends with, at once or after the event loop; 0
// unless set.
void SetExitStatus(int status);
int ExitStatus();
