#include "pages/pages.h"
#include "shell/router.h"
#include "shell/setup_state.h"

static const MessageTable copyPageMessages = {0, NULL, NoDefault};

static INT_PTR CALLBACK CopyPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteMessage(&copyPageMessages, window, message, wParam, lParam);
}

INT_PTR RunCopyPage(HWND owner)
{
    return DialogBoxParamA(instance, "IDD_COPY", owner, CopyPageProc, 0);
}
