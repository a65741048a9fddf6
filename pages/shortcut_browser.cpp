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

namespace {

// One open browser's state, its dialog parameter.
struct ShortcutBrowser {
    SetupPlan& plan;
    FolderListView folders;  // control 212
};

ShortcutBrowser& BrowserOf(HWND browser)
{
    return *(ShortcutBrowser*)DialogParameter(browser);
}

} // namespace

INT_PTR RunShortcutBrowser(HWND owner, SetupPlan& plan)
{
    LoadCommonControls();
    ShortcutBrowser state = {plan, {}};
    return DialogBoxParamA(plan.module, "IDD_BROWSE_SHORTCUT", owner, RoutedDialogProc<&shortcutBrowserMessages>,
                           (LPARAM)&state);
}

static LRESULT InitShortcutBrowser(HWND browser, UINT, WPARAM, LPARAM)
{
    ShortcutBrowser& state = BrowserOf(browser);
    SetupPlan& plan = state.plan;
    state.folders.view = GetDlgItem(browser, IDC_SHORTCUT_LIST);
    SetDlgItemTextA(browser, IDC_SHORTCUT_PATH, plan.choices.programsDir);
    AttachFolderIcons(state.folders, plan.module);
    FillFolderList(browser, state.folders, plan.choices.programsDir, ShortcutList, plan);
    return 1;
}

static LRESULT OpenListedShortcutFolder(HWND browser, UINT, WPARAM, LPARAM lParam)
{
    const NMHDR* notice = (const NMHDR*)lParam;
    ShortcutBrowser& state = BrowserOf(browser);
    if (notice->hwndFrom != state.folders.view || notice->code != (UINT)NM_DBLCLK)
        return 0;
    // No deeper than the system can make the folder and its longest link.
    SetupPlan& plan = state.plan;
    OpenSelectedFolder(browser, state.folders, plan.choices.programsDir, ShortcutList, MAX_PATH - 1 - finishSuffix, plan);
    return 0;
}

static LRESULT CloseShortcutBrowser(HWND browser, WORD, WORD, LPARAM)
{
    EndDialog(browser, 0);
    return 1;
}
