#include "plan/shortcut_folder.h"
#include "pages/browsers.h"
#include "pages/page_look.h"
#include "pages/pages.h"
#include "resources/resource_ids.h"
#include "base/router.h"
#include "base/text.h"
#include "base/product.h"

static LRESULT InitShortcutPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
static LRESULT FinishShortcuts(HWND page, WORD controlId, WORD notifyCode, LPARAM lParam);
static LRESULT CancelShortcutPage(HWND page, WORD controlId, WORD notifyCode, LPARAM lParam);
static LRESULT BrowseShortcutFolder(HWND page, WORD controlId, WORD notifyCode, LPARAM lParam);

static const CommandEntry shortcutCommandEntries[] = {
    {IDOK, FinishShortcuts},
    {IDCANCEL, CancelShortcutPage},
    {IDC_BROWSE, BrowseShortcutFolder},
};
static const CommandTable shortcutCommands = MakeCommandTable(shortcutCommandEntries, NoDefault);

static const MessageEntry shortcutMessageEntries[] = {
    {WM_INITDIALOG, InitShortcutPage},
    {WM_PAINT, PaintLogo},
    {WM_DPICHANGED, FollowDpiChange},
    {WM_CTLCOLOREDIT, ColourControl},
    {WM_CTLCOLORSTATIC, ColourControl},
};
static const MessageTable shortcutMessages = MakeMessageTable(shortcutMessageEntries, NoDefault, &shortcutCommands);

INT_PTR RunShortcutPage(PagesUi& ui)
{
    return DialogBoxParamA(ui.plan.module, "IDD_SHORTCUT", ui.owner, RoutedDialogProc<&shortcutMessages>, (LPARAM)&ui);
}

bool PagesUi::ChooseShortcutFolder(InstallRun& driver)
{
    run = &driver;
    return RunShortcutPage(*this) == 0;
}

namespace {

void ShowShortcutFolder(HWND page)
{
    SetupPlan& plan = PagePlan(page);
    ComposeShortcutFolder(plan.choices.shortcutDir, plan.choices.programsDir);
    SetDlgItemTextA(page, IDC_DESTINATION, plan.choices.shortcutDir);
}

} // namespace

void PagesUi::ReportShortcutFolderTooLong()
{
    MessageBoxA(page, "The path of the shortcut folder is too long.", setupCaption, MB_OK | MB_ICONWARNING);
}

// In a box that the page owns, so that the page stays disabled, and its
// Finish unclickable, while the box is up.
void PagesUi::ReportRegistrationFailure(const char* key)
{
    char message[PathSize];
    FormatText(message, "Couldn't create key in registry\n%s", key);
    MessageBoxA(page, message, NULL, MB_OK);
}

void PagesUi::ReportShortcutsFailure(const char* folder)
{
    char message[PathSize];
    FormatText(message, "The shortcuts could not be made in\n%s\nPlease choose another folder.", folder);
    MessageBoxA(page, message, setupCaption, MB_OK | MB_ICONWARNING);
    ShowShortcutFolder(page);
}

static LRESULT InitShortcutPage(HWND page, UINT, WPARAM, LPARAM)
{
    PagesUi& ui = PageUi(page);
    ui.page = page;
    ui.finishing = false;
    // The run proposed the folder before the page opened.
    SetDlgItemTextA(page, IDC_DESTINATION, ui.plan.choices.shortcutDir);
    return 1;
}

static LRESULT FinishShortcuts(HWND page, WORD, WORD, LPARAM)
{
    PagesUi& ui = PageUi(page);
    if (ui.finishing)
        return 0;
    ui.finishing = true;
    bool finished = ui.run->FinishShortcuts();
    ui.finishing = false;
    if (finished)
        EndDialog(page, 0);
    return 0;
}

static LRESULT CancelShortcutPage(HWND page, WORD, WORD, LPARAM)
{
    if (!PageUi(page).finishing &&
        MessageBoxA(page, "Cancel creating the shortcuts?", "Confirmation", MB_YESNO | MB_ICONQUESTION) == IDYES)
        EndDialog(page, 1);
    return 0;
}

static LRESULT BrowseShortcutFolder(HWND page, WORD, WORD, LPARAM)
{
    RunShortcutBrowser(page, PagePlan(page));
    ShowShortcutFolder(page);
    return 0;
}
