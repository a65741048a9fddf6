#include "pages/browsers.h"
#include "pages/folder_list.h"
#include "resources/resource_ids.h"
#include "base/router.h"
#include "pages/pages.h"
#include "plan/shortcut_folder.h"
#include <commctrl.h>

static LRESULT InitShortcutBrowser(HWND browser, UINT message, WPARAM wParam, LPARAM lParam);
static LRESULT OpenListedShortcutFolder(HWND browser, UINT message, WPARAM wParam, LPARAM lParam);
static LRESULT CloseShortcutBrowser(HWND browser, WORD controlId, WORD notifyCode, LPARAM lParam);

static const CommandEntry shortcutBrowserCommandEntries[] = {
    {IDOK, CloseShortcutBrowser},
    {IDCANCEL, CloseShortcutBrowser},
};
static const CommandTable shortcutBrowserCommands = MakeCommandTable(shortcutBrowserCommandEntries, NoDefault);

static const MessageEntry shortcutBrowserMessageEntries[] = {
    {WM_INITDIALOG, InitShortcutBrowser},
    {WM_NOTIFY, OpenListedShortcutFolder},
};
static const MessageTable shortcutBrowserMessages = MakeMessageTable(shortcutBrowserMessageEntries, NoDefault, &shortcutBrowserCommands);

static HWND shortcutListView;  // control 212

INT_PTR RunShortcutBrowser(HWND owner, SetupPlan& plan)
{
    LoadCommonControls();
    return DialogBoxParamA(plan.module, "IDD_BROWSE_SHORTCUT", owner, RoutedDialogProc<&shortcutBrowserMessages>,
                           (LPARAM)&plan);
}

static LRESULT InitShortcutBrowser(HWND browser, UINT, WPARAM, LPARAM)
{
    SetupPlan& plan = PagePlan(browser);
    shortcutListView = GetDlgItem(browser, IDC_SHORTCUT_LIST);
    SetDlgItemTextA(browser, IDC_SHORTCUT_PATH, plan.programsDir);
    AttachFolderIcons(shortcutListView, plan.module);
    FillFolderList(browser, shortcutListView, plan.programsDir, ShortcutList, plan);
    return 1;
}

static LRESULT OpenListedShortcutFolder(HWND browser, UINT, WPARAM, LPARAM lParam)
{
    const NMHDR* notice = (const NMHDR*)lParam;
    if (notice->hwndFrom != shortcutListView || notice->code != (UINT)NM_DBLCLK)
        return 0;
    // No deeper than the system can make the folder and its longest link.
    SetupPlan& plan = PagePlan(browser);
    OpenSelectedFolder(browser, shortcutListView, plan.programsDir, ShortcutList, MAX_PATH - 1 - finishSuffix, plan);
    return 0;
}

static LRESULT CloseShortcutBrowser(HWND browser, WORD, WORD, LPARAM)
{
    EndDialog(browser, 0);
    return 1;
}
