#include "pages/page_look.h"
#include "pages/pages.h"
#include "resources/resource_ids.h"
#include "base/router.h"
#include "base/setup_state.h"

static LRESULT RouteAgreementCommand(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
static LRESULT InitAgreementPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
static LRESULT CloseAgreementPage(HWND page, WORD controlId, WORD notifyCode, LPARAM lParam);

static const CommandEntry agreementCommandEntries[] = {
    {IDOK, CloseAgreementPage},
    {IDCANCEL, CloseAgreementPage},
};
static const CommandTable agreementCommands = MakeCommandTable(agreementCommandEntries, NoDefault);

static const MessageEntry agreementMessageEntries[] = {
    {WM_COMMAND, RouteAgreementCommand},
    {WM_INITDIALOG, InitAgreementPage},
    {WM_PAINT, PaintLogo},
};
static const MessageTable agreementMessages = MakeMessageTable(agreementMessageEntries, NoDefault);

static INT_PTR CALLBACK AgreementPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteMessage(&agreementMessages, page, message, wParam, lParam);
}

static LRESULT RouteAgreementCommand(HWND page, UINT, WPARAM wParam, LPARAM lParam)
{
    return RouteCommand(&agreementCommands, page, wParam, lParam);
}

INT_PTR RunAgreementPage(HWND owner)
{
    return DialogBoxParamA(instance, "IDD_AGREEMENT", owner, AgreementPageProc, 0);
}

static LRESULT InitAgreementPage(HWND page, UINT, WPARAM, LPARAM)
{
    LoadPageLook();
    static char agreement[7000];
    LoadStringA(instance, IDS_AGREEMENT, agreement, sizeof agreement);
    SetDlgItemTextA(page, IDC_AGREEMENT_TEXT, agreement);
    SetFocus(GetDlgItem(page, IDOK));
    return 1;
}

static LRESULT CloseAgreementPage(HWND page, WORD controlId, WORD, LPARAM)
{
    if (controlId == IDOK)
        EndDialog(page, 0);
    else if (controlId == IDCANCEL)
        ConfirmCancel(page);
    return 0;
}
