#include "pages/page_look.h"
#include "pages/pages.h"
#include "resources/resource_ids.h"
#include "base/router.h"

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
    {WM_DPICHANGED, FollowDpiChange},
};
static const MessageTable agreementMessages = MakeMessageTable(agreementMessageEntries, NoDefault, &agreementCommands);

INT_PTR RunAgreementPage(PagesUi& ui)
{
    return DialogBoxParamA(ui.plan.module, "IDD_AGREEMENT", ui.owner, RoutedDialogProc<&agreementMessages>,
                           (LPARAM)&ui);
}

static LRESULT InitAgreementPage(HWND page, UINT, WPARAM, LPARAM)
{
    PageUi(page).page = page;
    HINSTANCE module = PagePlan(page).module;
    LoadPageLook(PageUi(page).look, module);
    char agreement[7000];
    LoadStringA(module, IDS_AGREEMENT, agreement, sizeof agreement);
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
