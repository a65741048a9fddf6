// The two folder browsers. They hand the user's choice back through the
// Setup state, not through their results.
#pragma once
#include <windows.h>

INT_PTR RunDirectoryBrowser(HWND owner);
INT_PTR RunShortcutBrowser(HWND owner);
