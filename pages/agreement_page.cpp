#include "pages/pages.h"
#include "shell/router.h"
#include "shell/setup_state.h"

static const MessageTable agreementPageMessages = {0, NULL, NoDefault};

static INT_PTR CALLBACK AgreementPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteMessage(&agreementPageMessages, window, message, wParam, lParam);
}

INT_PTR RunAgreementPage(HWND owner)
{
    return DialogBoxParamA(instance, "IDD_AGREEMENT", owner, AgreementPageProc, 0);
}
