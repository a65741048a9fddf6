// The full-screen main window and the page sequence that runs inside it.
#pragma once
#include "app/background.h"
#include "plan/setup_plan.h"
#include <windows.h>

extern const char contactAddress[];

// What the main window keeps, its creation parameter: the run's plan and
// the picture behind the pages.
struct MainWindowState {
    SetupPlan& plan;
    Background background;
};

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The window's creation parameter is its MainWindowState, kept in
// GWLP_USERDATA.
LRESULT SetUpMainWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// WM_DPICHANGED: the title is made again at the new scale.
LRESULT FollowMainWindowDpi(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT PaintMainWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT EndMessageLoop(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT RunPageSequence(HWND window, WORD controlId, WORD notifyCode, LPARAM lParam);
