// The Copy page's own steps, reachable by tests with a page of their own.
#pragma once
#include <windows.h>

extern DWORD stopCopy;  // 1 once the copying must stop: Cancel, or a file failed

// Command 4445, posted by the page to itself once it shows: once no other
// program holds a file it would replace (the user is asked to close it, or
// cancels), expands the payload into the plan's destDir with the status
// line and the bar, then ends the page.
LRESULT CopyPayload(HWND page, WORD controlId, WORD notifyCode, LPARAM lParam);
