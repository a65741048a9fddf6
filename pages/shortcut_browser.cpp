#include "pages/browsers.h"
#include "shell/router.h"
#include "shell/setup_state.h"

static const MessageTable shortcutBrowserMessages = {0, NULL, NoDefault};

static INT_PTR CALLBACK ShortcutBrowserProc(HWND browser, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteMessage(&shortcutBrowserMessages, browser, message, wParam, lParam);
}

INT_PTR RunShortcutBrowser(HWND owner)
{
    return DialogBoxParamA(instance, "IDD_BROWSE_SHORTCUT", owner, ShortcutBrowserProc, 0);
}
