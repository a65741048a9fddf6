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

static HWND folderNameEdit;   // control 105
static HWND folderListView;   // control 107
static HWND driveCombo;       // control 104
static BOOL nameEditBusy;     // set while the browser itself rewrites control 105

INT_PTR RunDirectoryBrowser(HWND owner, SetupPlan& plan)
{
    LoadCommonControls();
    return DialogBoxParamA(plan.module, "IDD_BROWSE", owner, RoutedDialogProc<&directoryBrowserMessages>,
                           (LPARAM)&plan);
}

static void ShowFreeSpace(HWND browser)
{
    char line[80];
    FormatText(line, " Available: %lu KB, Required: %d KB", (unsigned long)PagePlan(browser).freeKB, (int)RequiredKB);
    SetDlgItemTextA(browser, IDC_FREE_SPACE, line);
}

static LRESULT InitDirectoryBrowser(HWND browser, UINT, WPARAM, LPARAM)
{
    SetupPlan& plan = PagePlan(browser);
    folderNameEdit = GetDlgItem(browser, IDC_FOLDER_NAME);
    folderListView = GetDlgItem(browser, IDC_FOLDER_LIST);
    driveCombo = GetDlgItem(browser, IDC_DRIVES);
    for (int i = 0; i < plan.driveCount; ++i)
        if (plan.driveRoots[i][0])
            SendMessageA(driveCombo, CB_ADDSTRING, 0, (LPARAM)plan.driveRoots[i]);
    SendMessageA(driveCombo, CB_SETCURSEL, plan.driveIndex, 0);
    ShowFreeSpace(browser);
    AttachFolderIcons(folderListView, plan.module);
    FillFolderList(browser, folderListView, plan.baseDir, DirectoryList, plan);
    SetWindowTextA(folderNameEdit, productName);
    return 1;
}

static LRESULT TrackFolderName(HWND browser, WORD, WORD notifyCode, LPARAM)
{
    if (notifyCode != EN_UPDATE || nameEditBusy)
        return 1;
    SetupPlan& plan = PagePlan(browser);
    char name[PathSize];
    int length = GetDlgItemTextA(browser, IDC_FOLDER_NAME, name, sizeof name);
    if (length < 100) {
        CopyText(plan.productFolder, name);
    } else {
        nameEditBusy = TRUE;
        SetWindowTextA(folderNameEdit, plan.productFolder);
        MessageBeep(0xFFFFFFFF);
        nameEditBusy = FALSE;
    }
    return 1;
}

static LRESULT ChangeDrive(HWND browser, WORD, WORD notifyCode, LPARAM)
{
    if (notifyCode != CBN_SELENDOK)
        return 0;
    SetupPlan& plan = PagePlan(browser);
    int selection = (int)SendMessageA(driveCombo, CB_GETCURSEL, 0, 0);
    if (selection < 0 || selection >= plan.driveCount)
        return 0;
    plan.driveIndex = selection;
    CharUpperA(plan.driveRoots[selection]);
    CopyText(plan.baseDir, plan.driveRoots[selection]);
    FillFolderList(browser, folderListView, plan.baseDir, DirectoryList, plan);
    ReadFreeSpace(plan, selection);
    ShowFreeSpace(browser);
    return 0;
}

static LRESULT OpenListedFolder(HWND browser, UINT, WPARAM, LPARAM lParam)
{
    const NMHDR* notice = (const NMHDR*)lParam;
    if (notice->hwndFrom != folderListView || notice->code != (UINT)NM_DBLCLK)
        return 0;
    SetupPlan& plan = PagePlan(browser);
    OpenSelectedFolder(browser, folderListView, plan.baseDir, DirectoryList, MaxBrowsedPath, plan);
    return 0;
}

static LRESULT CancelDirectoryBrowser(HWND browser, WORD, WORD, LPARAM)
{
    EndDialog(browser, 0);
    return 1;
}

static LRESULT AcceptBrowsedFolder(HWND browser, WORD, WORD, LPARAM)
{
    SetupPlan& plan = PagePlan(browser);
    SendMessageA(folderNameEdit, WM_GETTEXT, 100, (LPARAM)plan.productFolder);
    if (plan.productFolder[0] == '\0') {
        MessageBoxA(browser, "You forget to select a directory", "Warning", MB_ICONWARNING);
        SetFocus(folderNameEdit);
        return 1;
    }
    // The name becomes a folder that Setup makes as administrator: it must
    // name a folder below the one shown, as typed text on the page must.
    TypedDestination checked = CheckComposedDestination(plan);
    if (checked != TypedTaken) {
        WarnAboutTypedDestination(browser, checked, folderNameEdit);
        return 1;
    }
    if (!HasRoomForProduct(plan.freeKB)) {
        MessageBoxA(browser,
                    lowSpaceText,
                    NULL, MB_ICONERROR | MB_YESNO);
        return 0;
    }
    EndDialog(browser, 0);
    return 1;
}
