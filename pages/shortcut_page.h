// What the Shortcut page adds to the plan's steps (plan/shortcut_folder.h,
// install/shortcuts.h, install/registration.h): the failures told in boxes.
#pragma once
#include "install/registration.h"
#include <windows.h>

// RegisterProduct, with a failure told in a box that page owns, so that
// the page stays disabled, and its Finish unclickable, while the box is up.
bool RegisterFromPage(HWND page, SetupPlan& plan, const RegistryPaths& paths = productKeys);
