#include "pages/page_look.h"
#include "pages/pages.h"
#include "resources/resource_ids.h"
#include "base/router.h"
#include "base/setup_state.h"

static LRESULT InitAgreementPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
static LRESULT AgreeToLicence(HWND page, WORD controlId, WORD notifyCode, LPARAM lParam);
static LRESULT CancelAgreementPage(HWND page, WORD controlId, WORD notifyCode, LPARAM lParam);

static const CommandEntry agreementCommandEntries[] = {
    {IDOK, AgreeToLicence},
    {IDCANCEL, CancelAgreementPage},
};
static const CommandTable agreementCommands = MakeCommandTable(agreementCommandEntries, NoDefault);

static const MessageEntry agreementMessageEntries[] = {
    {WM_INITDIALOG, InitAgreementPage},
    {WM_PAINT, PaintLogo},
};
static const MessageTable agreementMessages = MakeMessageTable(agreementMessageEntries, NoDefault, &agreementCommands);

static INT_PTR CALLBACK AgreementPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteMessage(&agreementMessages, page, message, wParam, lParam);
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

static LRESULT AgreeToLicence(HWND page, WORD, WORD, LPARAM)
{
    EndDialog(page, 0);
    return 0;
}

static LRESULT CancelAgreementPage(HWND page, WORD, WORD, LPARAM)
{
    ConfirmCancel(page);
    return 0;
}
