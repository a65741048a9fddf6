// The full-screen main window and the page sequence that runs inside it.
#pragma once
#include "plan/setup_plan.h"
#include <windows.h>

extern const char contactAddress[];

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The window's creation parameter is the run's plan, kept in GWLP_USERDATA.
LRESULT SetUpMainWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// WM_DPICHANGED: the title is made again at the new scale.
LRESULT FollowMainWindowDpi(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT EndMessageLoop(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT RunPageSequence(HWND window, WORD controlId, WORD notifyCode, LPARAM lParam);

// A drive root read as the current folder ("C:\") is kept as "C:", so that
// a backslash and a name can follow it.
void TrimStartDir(char* dir);
// The plan's startDir, as the Destination page's proposal reads it: the
// current folder at start-up, trimmed.
void RecordStartDir(SetupPlan& plan);
