#include "pages/shortcut_page.h"
#include "install/shortcuts.h"
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

INT_PTR RunShortcutPage(HWND owner, SetupPlan& plan)
{
    return DialogBoxParamA(plan.module, "IDD_SHORTCUT", owner, RoutedDialogProc<&shortcutMessages>, (LPARAM)&plan);
}

namespace {

void ShowShortcutFolder(HWND page)
{
    SetupPlan& plan = PagePlan(page);
    ComposeShortcutFolder(plan.shortcutDir, plan.programsDir);
    SetDlgItemTextA(page, IDC_DESTINATION, plan.shortcutDir);
}

// Set while Finish runs: its message boxes pump the page's messages, and a
// second Finish would append the product's folder a second time.
bool finishing;

} // namespace

bool RegisterFromPage(HWND page, SetupPlan& plan, const RegistryPaths& paths)
{
    const char* failedKey = RegisterProduct(plan, paths);
    if (!failedKey)
        return true;
    char message[PathSize];
    FormatText(message, "Couldn't create key in registry\n%s", failedKey);
    MessageBoxA(page, message, NULL, MB_OK);
    return false;
}

static LRESULT InitShortcutPage(HWND page, UINT, WPARAM, LPARAM)
{
    finishing = false;
    SetupPlan& plan = PagePlan(page);
    ProposeShortcutFolder(plan);
    SetDlgItemTextA(page, IDC_DESTINATION, plan.shortcutDir);
    return 1;
}

static LRESULT FinishShortcuts(HWND page, WORD, WORD, LPARAM)
{
    if (finishing)
        return 0;
    finishing = true;
    SetupPlan& plan = PagePlan(page);
    if (!ComposeFinalShortcutFolder(plan)) {
        MessageBoxA(page, "The path of the shortcut folder is too long.", setupCaption, MB_OK | MB_ICONWARNING);
        finishing = false;
        return 0;
    }
    // Registered first, so that Scdir names the final folder.
    RegisterFromPage(page, plan);
    if (!PlaceShortcuts(plan)) {
        char message[PathSize];
        FormatText(message, "The shortcuts could not be made in\n%s\nPlease choose another folder.", plan.shortcutDir);
        MessageBoxA(page, message, setupCaption, MB_OK | MB_ICONWARNING);
        ShowShortcutFolder(page);
        finishing = false;
        return 0;
    }
    EndDialog(page, 0);
    return 0;
}

static LRESULT CancelShortcutPage(HWND page, WORD, WORD, LPARAM)
{
    if (!finishing &&
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
