#include "pages/browsers.h"
#include "pages/folder_list.h"
#include "resources/resource_ids.h"
#include "base/router.h"
#include "base/setup_state.h"
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

static HWND shortcutPathEdit;  // control 211
static HWND shortcutListView;  // control 212

static INT_PTR CALLBACK ShortcutBrowserProc(HWND browser, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteMessage(&shortcutBrowserMessages, browser, message, wParam, lParam);
}

INT_PTR RunShortcutBrowser(HWND owner)
{
    LoadCommonControls();
    return DialogBoxParamA(instance, "IDD_BROWSE_SHORTCUT", owner, ShortcutBrowserProc, 0);
}

static LRESULT InitShortcutBrowser(HWND browser, UINT, WPARAM, LPARAM)
{
    shortcutPathEdit = GetDlgItem(browser, IDC_SHORTCUT_PATH);
    shortcutListView = GetDlgItem(browser, IDC_SHORTCUT_LIST);
    SetDlgItemTextA(browser, IDC_SHORTCUT_PATH, programsDir);
    AttachFolderIcons(shortcutListView);
    FillFolderList(browser, shortcutListView, programsDir, ShortcutList);
    return 1;
}

static LRESULT OpenListedShortcutFolder(HWND browser, UINT, WPARAM, LPARAM lParam)
{
    const NMHDR* notice = (const NMHDR*)lParam;
    if (notice->hwndFrom != shortcutListView || notice->code != (UINT)NM_DBLCLK)
        return 0;
    // No deeper than the system can make the folder and its longest link.
    OpenSelectedFolder(browser, shortcutListView, programsDir, ShortcutList, MAX_PATH - 1 - finishSuffix);
    return 0;
}

static LRESULT CloseShortcutBrowser(HWND browser, WORD, WORD, LPARAM)
{
    EndDialog(browser, 0);
    return 1;
}
