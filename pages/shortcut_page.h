// The Shortcut page's steps, which a run without pages takes in the same
// order: the proposal as the page opens, then what Finish does.
#pragma once
#include <windows.h>

// programsDir as the page proposes it, chosen by the system's version, with
// the Start-menu folder of the command line (/G=) below it when one was
// given; shortcutDir is made from it. False, and programsDir without that
// folder, when the folder given does not fit. Gives the GetVersion value
// that the registration follows.
bool ProposeShortcutFolder(DWORD* version);

// shortcutDir as Finish uses it: false when the folder and its longest
// link would be longer than the system can make.
bool ComposeFinalShortcutFolder();

// Makes shortcutDir, with whatever is missing above it, and the three links
// in it; false as soon as one of them cannot be made. On success
// programsDir and openFolderPath name the folder.
bool PlaceShortcuts(SECURITY_ATTRIBUTES* security);

// RegisterProduct, with a failure told in a box that page owns, so that
// the page stays disabled, and its Finish unclickable, while the box is up.
bool RegisterFromPage(HWND page, DWORD version);
