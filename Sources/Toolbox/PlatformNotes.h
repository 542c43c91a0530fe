// Qt's notes about the window session that tell a user nothing.
#pragma once

// Installs a Qt message handler that drops the notes a session without a
// runtime folder and the offscreen platform give on every run, and passes
// every other message on to Qt's own handler.
void QuietPlatformNotes();
