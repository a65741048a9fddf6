#include "pages/browsers.h"
#include "shell/router.h"
#include "shell/setup_state.h"

static const MessageTable directoryBrowserMessages = {0, NULL, NoDefault};

static INT_PTR CALLBACK DirectoryBrowserProc(HWND browser, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteMessage(&directoryBrowserMessages, browser, message, wParam, lParam);
}

INT_PTR RunDirectoryBrowser(HWND owner)
{
    return DialogBoxParamA(instance, "IDD_BROWSE", owner, DirectoryBrowserProc, 0);
}
