#include "pages/browsers.h"
#include "pages/destination_page.h"
#include "pages/folder_list.h"
#include "pages/pages.h"
#include "plan/destination.h"
#include "plan/drive_table.h"
#include "resources/resource_ids.h"
#include "base/router.h"
#include "base/text.h"
#include "base/product.h"
#include "pages/texts.h"
#include <commctrl.h>

static LRESULT InitDirectoryBrowser(HWND browser, UINT message, WPARAM wParam, LPARAM lParam);
static LRESULT OpenListedFolder(HWND browser, UINT message, WPARAM wParam, LPARAM lParam);
static LRESULT AcceptBrowsedFolder(HWND browser, WORD controlId, WORD notifyCode, LPARAM lParam);
static LRESULT CancelDirectoryBrowser(HWND browser, WORD controlId, WORD notifyCode, LPARAM lParam);
static LRESULT TrackFolderName(HWND browser, WORD controlId, WORD notifyCode, LPARAM lParam);
static LRESULT ChangeDrive(HWND browser, WORD controlId, WORD notifyCode, LPARAM lParam);

static const CommandEntry directoryBrowserCommandEntries[] = {
    {IDOK, AcceptBrowsedFolder},
    {IDCANCEL, CancelDirectoryBrowser},
    {IDC_FOLDER_NAME, TrackFolderName},
    {IDC_DRIVES, ChangeDrive},
};
static const CommandTable directoryBrowserCommands = MakeCommandTable(directoryBrowserCommandEntries, NoDefault);

static const MessageEntry directoryBrowserMessageEntries[] = {
    {WM_INITDIALOG, InitDirectoryBrowser},
    {WM_NOTIFY, OpenListedFolder},
};
static const MessageTable directoryBrowserMessages = MakeMessageTable(directoryBrowserMessageEntries, NoDefault, &directoryBrowserCommands);

namespace {

// One open browser's state, its dialog parameter.
struct DirectoryBrowser {
    SetupPlan& plan;
    HWND folderNameEdit;       // control 105
    FolderListView folders;        // control 107
    HWND driveCombo;           // control 104
    bool nameEditBusy;         // set while the browser itself rewrites control 105
};

DirectoryBrowser& BrowserOf(HWND browser)
{
    return *(DirectoryBrowser*)DialogParameter(browser);
}

SetupPlan& BrowserPlan(HWND browser)
{
    return BrowserOf(browser).plan;
}

} // namespace

INT_PTR RunDirectoryBrowser(HWND owner, SetupPlan& plan)
{
    LoadCommonControls();
    DirectoryBrowser state = {plan, NULL, {}, NULL, false};
    return DialogBoxParamA(plan.module, "IDD_BROWSE", owner, RoutedDialogProc<&directoryBrowserMessages>,
                           (LPARAM)&state);
}

static void ShowFreeSpace(HWND browser)
{
    char line[80];
    FormatText(line, " Available: %lu KB, Required: %d KB", (unsigned long)BrowserPlan(browser).choices.freeKB, (int)RequiredKB);
    SetDlgItemTextA(browser, IDC_FREE_SPACE, line);
}

static LRESULT InitDirectoryBrowser(HWND browser, UINT, WPARAM, LPARAM)
{
    DirectoryBrowser& state = BrowserOf(browser);
    SetupPlan& plan = state.plan;
    state.folderNameEdit = GetDlgItem(browser, IDC_FOLDER_NAME);
    state.folders.view = GetDlgItem(browser, IDC_FOLDER_LIST);
    state.driveCombo = GetDlgItem(browser, IDC_DRIVES);
    for (int i = 0; i < plan.facts.driveCount; ++i)
        if (plan.facts.driveRoots[i][0])
            SendMessageA(state.driveCombo, CB_ADDSTRING, 0, (LPARAM)plan.facts.driveRoots[i]);
    SendMessageA(state.driveCombo, CB_SETCURSEL, plan.choices.driveIndex, 0);
    ShowFreeSpace(browser);
    AttachFolderIcons(state.folders, plan.module);
    FillFolderList(browser, state.folders, plan.choices.baseDir, DirectoryList, plan);
    SetWindowTextA(state.folderNameEdit, productName);
    return 1;
}

static LRESULT TrackFolderName(HWND browser, WORD, WORD notifyCode, LPARAM)
{
    DirectoryBrowser& state = BrowserOf(browser);
    if (notifyCode != EN_UPDATE || state.nameEditBusy)
        return 1;
    SetupPlan& plan = state.plan;
    char name[PathSize];
    int length = GetDlgItemTextA(browser, IDC_FOLDER_NAME, name, sizeof name);
    if (length < 100) {
        CopyText(plan.choices.productFolder, name);
    } else {
        state.nameEditBusy = true;
        SetWindowTextA(state.folderNameEdit, plan.choices.productFolder);
        MessageBeep(0xFFFFFFFF);
        state.nameEditBusy = false;
    }
    return 1;
}

static LRESULT ChangeDrive(HWND browser, WORD, WORD notifyCode, LPARAM)
{
    if (notifyCode != CBN_SELENDOK)
        return 0;
    DirectoryBrowser& state = BrowserOf(browser);
    SetupPlan& plan = state.plan;
    int selection = (int)SendMessageA(state.driveCombo, CB_GETCURSEL, 0, 0);
    if (selection < 0 || selection >= plan.facts.driveCount)
        return 0;
    plan.choices.driveIndex = selection;
    CharUpperA(plan.facts.driveRoots[selection]);
    CopyText(plan.choices.baseDir, plan.facts.driveRoots[selection]);
    FillFolderList(browser, state.folders, plan.choices.baseDir, DirectoryList, plan);
    ReadFreeSpace(plan, selection);
    ShowFreeSpace(browser);
    return 0;
}

static LRESULT OpenListedFolder(HWND browser, UINT, WPARAM, LPARAM lParam)
{
    const NMHDR* notice = (const NMHDR*)lParam;
    DirectoryBrowser& state = BrowserOf(browser);
    if (notice->hwndFrom != state.folders.view || notice->code != (UINT)NM_DBLCLK)
        return 0;
    SetupPlan& plan = state.plan;
    OpenSelectedFolder(browser, state.folders, plan.choices.baseDir, DirectoryList, MaxBrowsedPath, plan);
    return 0;
}

static LRESULT CancelDirectoryBrowser(HWND browser, WORD, WORD, LPARAM)
{
    EndDialog(browser, 0);
    return 1;
}

static LRESULT AcceptBrowsedFolder(HWND browser, WORD, WORD, LPARAM)
{
    DirectoryBrowser& state = BrowserOf(browser);
    SetupPlan& plan = state.plan;
    SendMessageA(state.folderNameEdit, WM_GETTEXT, 100, (LPARAM)plan.choices.productFolder);
    if (plan.choices.productFolder[0] == '\0') {
        MessageBoxA(browser, "You forget to select a directory", "Warning", MB_ICONWARNING);
        SetFocus(state.folderNameEdit);
        return 1;
    }
    // The name becomes a folder that Setup makes as administrator: it must
    // name a folder below the one shown, as typed text on the page must.
    TypedDestination checked = CheckComposedDestination(plan);
    if (checked != TypedTaken) {
        WarnAboutTypedDestination(browser, checked, state.folderNameEdit);
        return 1;
    }
    if (!HasRoomForProduct(plan.choices.freeKB)) {
        MessageBoxA(browser,
                    lowSpaceText,
                    NULL, MB_ICONERROR | MB_YESNO);
        return 0;
    }
    EndDialog(browser, 0);
    return 1;
}
