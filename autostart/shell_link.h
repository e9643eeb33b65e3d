#pragma once
// Writes a Windows shortcut (.lnk) through the shell's link object.

// Texts are ANSI (the system code page). An empty workingDirectory means the
// target's own directory; an iconFile of exactly "|" means the target itself.
// Returns 1 when the shortcut was saved, 0 otherwise. COM must be usable on
// the calling thread's apartment (it is initialised here and undone again).
int CreateShellLink(const char* target, const char* linkFile, const char* workingDirectory, const char* arguments,
                    int showCommand, const char* description, int hotkey, const char* iconFile, int iconIndex);
