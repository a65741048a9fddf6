// One shortcut file, written by the platform's shell-link object.
#pragma once
#include <windows.h>

// Negative on failure: the status of the creation of the object, of the
// request for its file interface, or of the save. A link path of 260
// characters or more does not fit the platform's path limit and is refused.
HRESULT CreateShellLink(const char* targetPath, const char* linkPath, const char* description);
