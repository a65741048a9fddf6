#include "pages/shortcut_page.h"
#include "install/folders.h"
#include "install/registration.h"
#include "install/shell_link.h"
#include "pages/browsers.h"
#include "pages/page_look.h"
#include "pages/pages.h"
#include "resources/resource_ids.h"
#include "base/base_key.h"
#include "base/router.h"
#include "base/setup_state.h"
#include "base/system_function.h"
#include "base/text.h"
#include "base/product.h"
#include <shlobj.h>
#include <string.h>

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
    {WM_CTLCOLOREDIT, ColourControl},
    {WM_CTLCOLORSTATIC, ColourControl},
};
static const MessageTable shortcutMessages = MakeMessageTable(shortcutMessageEntries, NoDefault, &shortcutCommands);

static INT_PTR CALLBACK ShortcutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteMessage(&shortcutMessages, page, message, wParam, lParam);
}

// How the shortcut folder is made, as the page sequence hands it on.
static SECURITY_ATTRIBUTES* folderSecurity;

INT_PTR RunShortcutPage(HWND owner, SECURITY_ATTRIBUTES* security)
{
    folderSecurity = security;
    return DialogBoxParamA(instance, "IDD_SHORTCUT", owner, ShortcutPageProc, 0);
}

namespace {

bool EndsWithBackslash(const char* text)
{
    size_t length = TextLength(text);
    return length > 0 && text[length - 1] == '\\';
}

// folder, a backslash unless it ends with one, and "Pictavo".
bool ComposeShortcutFolder(char (&folder)[PathSize], const char* base)
{
    return CopyText(folder, base) && (EndsWithBackslash(folder) || AppendText(folder, "\\")) &&
           AppendText(folder, productName);
}

void ShowShortcutFolder(HWND page)
{
    ComposeShortcutFolder(shortcutDir, programsDir);
    SetDlgItemTextA(page, IDC_DESTINATION, shortcutDir);
}

// The shell's programs folder for all users, or the user's own where there
// is no shared one; the browser may climb to its parent, the Start menu.
bool UseShellProgramsFolder()
{
    auto folderPath = SYSTEM_FUNCTION("shell32.dll", SHGetSpecialFolderPathA);
    char folder[MAX_PATH] = "";
    bool found = folderPath && (folderPath(NULL, folder, CSIDL_COMMON_PROGRAMS, FALSE) ||
                                folderPath(NULL, folder, CSIDL_PROGRAMS, FALSE));
    if (!found || !CopyText(programsDir, folder))
        return false;
    const char* last = strrchr(programsDir, '\\');
    programsLimit = last ? (int)(last - programsDir) : (int)TextLength(programsDir);
    return true;
}

// Makes the three shortcuts in shortcutDir; false as soon as one cannot be
// saved. shortcutDir names the folder again on return.
bool CreateShortcuts()
{
    char folder[PathSize];
    CopyText(folder, shortcutDir);
    bool made = true;
    for (const ProductLink& shortcut : productLinks) {
        char target[PathSize];
        made = AppendText(shortcutDir, shortcut.file) && CopyText(target, destDir) &&
               AppendText(target, shortcut.target) &&
               SUCCEEDED(CreateShellLink(target, shortcutDir, shortcut.description));
        CopyText(shortcutDir, folder);
        if (!made)
            break;
    }
    return made;
}

// Set while Finish runs: its message boxes pump the page's messages, and a
// second Finish would append the product's folder a second time.
bool finishing;

// GetVersion as the page opened: it decides the Start menu and the keys.
DWORD windowsVersion;
} // namespace

bool ProposeShortcutFolder(DWORD* version)
{
    *version = GetVersion();
    // The Start menu of the NT family is the shell's, whatever a folder in
    // the Windows folder may be called. The 9x family keeps it in the
    // Windows folder, and the browser climbs no higher than its Start menu.
    if (!IsNtFamily(*version) || !UseShellProgramsFolder()) {
        GetWindowsDirectoryA(programsDir, sizeof programsDir);
        AppendText(programsDir, "\\Start Menu\\Programs");
        programsLimit = 21;
        if (GetFileAttributesA(programsDir) == INVALID_FILE_ATTRIBUTES)
            UseShellProgramsFolder();
    }
    bool fit = true;
    if (arguments.startMenuFolder[0]) {
        char folder[PathSize];
        fit = CopyText(folder, programsDir) && (EndsWithBackslash(folder) || AppendText(folder, "\\")) &&
              AppendText(folder, arguments.startMenuFolder) && CopyText(programsDir, folder);
    }
    ComposeShortcutFolder(shortcutDir, programsDir);
    return fit;
}

bool ComposeFinalShortcutFolder()
{
    // The folder and the longest link must stay within what the system can
    // make; the browser keeps to that, but the proposed folder may not.
    char folder[PathSize];
    if (TextLength(programsDir) + finishSuffix >= MAX_PATH || !ComposeShortcutFolder(folder, programsDir))
        return false;
    return CopyText(shortcutDir, folder);
}

bool PlaceShortcuts(SECURITY_ATTRIBUTES* security)
{
    if (!CreateFolderTree(shortcutDir, security) || !CreateShortcuts())
        return false;
    CopyText(programsDir, shortcutDir);
    CopyText(openFolderPath, programsDir);
    return true;
}

bool RegisterFromPage(HWND page, DWORD version)
{
    const char* failedKey = RegisterProduct(version);
    if (!failedKey)
        return true;
    FormatText(messageText, "Couldn't create key in registry\n%s", failedKey);
    MessageBoxA(page, messageText, NULL, MB_OK);
    return false;
}

static LRESULT InitShortcutPage(HWND page, UINT, WPARAM, LPARAM)
{
    finishing = false;
    ProposeShortcutFolder(&windowsVersion);
    SetDlgItemTextA(page, IDC_DESTINATION, shortcutDir);
    return 1;
}

static LRESULT FinishShortcuts(HWND page, WORD, WORD, LPARAM)
{
    if (finishing)
        return 0;
    finishing = true;
    if (!ComposeFinalShortcutFolder()) {
        MessageBoxA(page, "The path of the shortcut folder is too long.", setupCaption, MB_OK | MB_ICONWARNING);
        finishing = false;
        return 0;
    }
    // Registered first, so that Scdir names the final folder.
    RegisterFromPage(page, windowsVersion);
    if (!PlaceShortcuts(folderSecurity)) {
        FormatText(messageText, "The shortcuts could not be made in\n%s\nPlease choose another folder.", shortcutDir);
        MessageBoxA(page, messageText, setupCaption, MB_OK | MB_ICONWARNING);
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
    RunShortcutBrowser(page);
    ShowShortcutFolder(page);
    return 0;
}
