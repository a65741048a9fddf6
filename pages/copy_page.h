// The Copy page's own step, reachable by tests with a page of their own.
#pragma once
#include <windows.h>

// Command 4445, posted by the page to itself once it shows: the run's
// copying (InstallRun::CopyFiles), which asks about files in use and shows
// each file in the status line and the bar, then ends the page.
LRESULT CopyPayload(HWND page, WORD controlId, WORD notifyCode, LPARAM lParam);
