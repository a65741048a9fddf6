// The four pages, each a modal dialog over the main window. Each yields 0 to
// go on, 1 when the user cancelled, -1 when the dialog could not be made.
#pragma once
#include <windows.h>

INT_PTR RunAgreementPage(HWND owner);
// The Destination page makes the product folder as folderSecurity says,
// and the Shortcut page makes its folder the same way.
INT_PTR RunDestinationPage(HWND owner, SECURITY_ATTRIBUTES* folderSecurity);
INT_PTR RunCopyPage(HWND owner);
INT_PTR RunShortcutPage(HWND owner, SECURITY_ATTRIBUTES* folderSecurity);
