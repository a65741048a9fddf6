// The two folder browsers. They hand the user's choice back through the
// Setup state, not through their results.
#pragma once
#include <windows.h>

// What Finish appends to programsDir: "\Pictavo", then "\Uninstall.lnk",
// the longest shortcut name. The Shortcut browser keeps room for it.
const size_t finishSuffix = 22;

INT_PTR RunDirectoryBrowser(HWND owner);
INT_PTR RunShortcutBrowser(HWND owner);
