// The help window: pvhelp.hlp from the program folder as plain text, in a
// window of its own beside the drawing.
#pragma once
#include <windows.h>

bool RegisterHelpWindow(HINSTANCE instance);

// Shows the help, or brings it back when it is open already. helpWindow
// is the owner's record of it, which the help window empties when it
// closes; programFolder ends with a backslash.
void ShowHelp(HWND owner, HWND& helpWindow, const char* programFolder);
