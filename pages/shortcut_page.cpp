#include "pages/pages.h"
#include "shell/router.h"
#include "shell/setup_state.h"

static const MessageTable shortcutPageMessages = {0, NULL, NoDefault};

static INT_PTR CALLBACK ShortcutPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteMessage(&shortcutPageMessages, window, message, wParam, lParam);
}

INT_PTR RunShortcutPage(HWND owner)
{
    return DialogBoxParamA(instance, "IDD_SHORTCUT", owner, ShortcutPageProc, 0);
}
