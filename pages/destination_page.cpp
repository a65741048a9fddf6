#include "pages/pages.h"
#include "shell/router.h"
#include "shell/setup_state.h"

static const MessageTable destinationPageMessages = {0, NULL, NoDefault};

static INT_PTR CALLBACK DestinationPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteMessage(&destinationPageMessages, window, message, wParam, lParam);
}

INT_PTR RunDestinationPage(HWND owner)
{
    return DialogBoxParamA(instance, "IDD_DIR", owner, DestinationPageProc, 0);
}
