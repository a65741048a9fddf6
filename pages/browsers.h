// The two folder browsers. They hand the user's choice back through the
// plan, not through their results.
#pragma once
#include "plan/setup_plan.h"
#include <windows.h>

INT_PTR RunDirectoryBrowser(HWND owner, SetupPlan& plan);
INT_PTR RunShortcutBrowser(HWND owner, SetupPlan& plan);
