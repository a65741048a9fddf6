// The four pages, each a modal dialog over the main window and a view of
// the run's plan: it shows the plan and lets the user change it. Each
// yields 0 to go on, 1 when the user cancelled, -1 when the dialog could
// not be made.
#pragma once
#include "plan/setup_plan.h"
#include "base/router.h"
#include <windows.h>

INT_PTR RunAgreementPage(HWND owner, SetupPlan& plan);
// The Destination page makes the product folder as plan.folderSecurity
// says, and the Shortcut page makes its folder the same way.
INT_PTR RunDestinationPage(HWND owner, SetupPlan& plan);
INT_PTR RunCopyPage(HWND owner, SetupPlan& plan);
INT_PTR RunShortcutPage(HWND owner, SetupPlan& plan);

// The plan that a page or browser was opened with.
inline SetupPlan& PagePlan(HWND dialog)
{
    return *(SetupPlan*)DialogParameter(dialog);
}
