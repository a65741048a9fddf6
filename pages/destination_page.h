// What the Destination page shares with its Directory browser. The page's
// decisions themselves are the plan's (plan/destination.h).
#pragma once
#include "plan/typed_path.h"
#include <windows.h>

// Tells the user why the destination was refused, over owner, and puts
// the focus back into focusControl.
void WarnAboutTypedDestination(HWND owner, TypedDestination result, HWND focusControl);
