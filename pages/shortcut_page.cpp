#include "install/registration.h"
#include "install/shell_link.h"
#include "pages/browsers.h"
#include "pages/page_look.h"
#include "pages/pages.h"
#include "resources/resource_ids.h"
#include "shell/router.h"
#include "shell/setup_state.h"
#include "shell/system_function.h"
#include "shell/text.h"
#include <shlobj.h>
#include <string.h>

static LRESULT RouteShortcutCommand(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
static LRESULT InitShortcutPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
static LRESULT CloseShortcutPage(HWND page, WORD controlId, WORD notifyCode, LPARAM lParam);
static LRESULT BrowseShortcutFolder(HWND page, WORD controlId, WORD notifyCode, LPARAM lParam);

static const CommandEntry shortcutCommandEntries[] = {
    {IDOK, CloseShortcutPage},
    {IDCANCEL, CloseShortcutPage},
    {IDC_BROWSE, BrowseShortcutFolder},
};
static const CommandTable shortcutCommands = MakeCommandTable(shortcutCommandEntries, NoDefault);

static const MessageEntry shortcutMessageEntries[] = {
    {WM_COMMAND, RouteShortcutCommand},
    {WM_INITDIALOG, InitShortcutPage},
    {WM_PAINT, PaintLogo},
    {WM_CTLCOLOREDIT, ColourControl},
    {WM_CTLCOLORSTATIC, ColourControl},
};
static const MessageTable shortcutMessages = MakeMessageTable(shortcutMessageEntries, NoDefault);

static INT_PTR CALLBACK ShortcutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteMessage(&shortcutMessages, page, message, wParam, lParam);
}

static LRESULT RouteShortcutCommand(HWND page, UINT, WPARAM wParam, LPARAM lParam)
{
    return RouteCommand(&shortcutCommands, page, wParam, lParam);
}

INT_PTR RunShortcutPage(HWND owner)
{
    return DialogBoxParamA(instance, "IDD_SHORTCUT", owner, ShortcutPageProc, 0);
}

namespace {

struct Shortcut {
    const char* file;
    const char* target;
    const char* description;
};
const Shortcut shortcuts[] = {
    {"\\Pictavo.lnk", "\\pictavo.exe", "Pictavo"},
    {"\\Uninstall.lnk", "\\uninstall.exe", "Uninstall"},
    {"\\Readme.lnk", "\\Readme.wri", "Readme"},
};

bool EndsWithBackslash(const char* text)
{
    size_t length = TextLength(text);
    return length > 0 && text[length - 1] == '\\';
}

// folder, a backslash unless it ends with one, and "Pictavo".
bool ComposeShortcutFolder(char (&folder)[PathSize], const char* base)
{
    return CopyText(folder, base) && (EndsWithBackslash(folder) || AppendText(folder, "\\")) &&
           AppendText(folder, "Pictavo");
}

void ShowShortcutFolder(HWND page)
{
    ComposeShortcutFolder(shortcutDir, programsDir);
    SetDlgItemTextA(page, IDC_DESTINATION, shortcutDir);
}

// On the NT family the Windows folder has no "Start Menu\Programs": the
// shortcuts would silently never be made. The shell names the real one,
// on systems whose shell can say.
bool UseShellProgramsFolder()
{
    typedef BOOL(WINAPI * SpecialFolderPath)(HWND, LPSTR, int, BOOL);
    SpecialFolderPath folderPath = (SpecialFolderPath)(void*)SystemFunction("shell32.dll", "SHGetSpecialFolderPathA");
    char folder[MAX_PATH] = "";
    bool found = folderPath && (folderPath(NULL, folder, CSIDL_COMMON_PROGRAMS, FALSE) ||
                                folderPath(NULL, folder, CSIDL_PROGRAMS, FALSE));
    return found && CopyText(programsDir, folder);
}

} // namespace

static LRESULT InitShortcutPage(HWND page, UINT, WPARAM, LPARAM)
{
    windowsVersion = GetVersion();
    GetWindowsDirectoryA(programsDir, sizeof programsDir);
    AppendText(programsDir, "\\Start Menu\\Programs");
    programsFallback = FALSE;
    // The browser lets the user climb no higher than the Start menu: the
    // parent of the folder proposed here.
    programsLimit = 21;
    if (GetFileAttributesA(programsDir) == INVALID_FILE_ATTRIBUTES && UseShellProgramsFolder()) {
        programsFallback = TRUE;
        const char* last = strrchr(programsDir, '\\');
        programsLimit = last ? (int)(last - programsDir) : (int)TextLength(programsDir);
    }
    ShowShortcutFolder(page);
    return 1;
}

static void FinishShortcuts(HWND page)
{
    if (TextLength(programsDir) + finishSuffix >= PathSize) {
        MessageBoxA(page, "The path of the shortcut folder is too long.", "Pictavo - Setup", MB_OK | MB_ICONWARNING);
        return;
    }
    ComposeShortcutFolder(shortcutDir, programsDir);
    CopyText(programsDir, shortcutDir);
    // Registered first, so that Scdir names the final folder.
    RegisterProduct();
    CreateDirectoryA(shortcutDir, &dirSecurity);
    for (const Shortcut& shortcut : shortcuts) {
        char target[PathSize];
        AppendText(shortcutDir, shortcut.file);
        if (CopyText(target, destDir) && AppendText(target, shortcut.target))
            CreateShellLink(target, shortcutDir, shortcut.description);
        CopyText(shortcutDir, programsDir);
    }
    CopyText(openFolderPath, programsDir);
    EndDialog(page, 0);
}

static LRESULT CloseShortcutPage(HWND page, WORD controlId, WORD, LPARAM)
{
    if (controlId == IDOK)
        FinishShortcuts(page);
    else if (controlId == IDCANCEL &&
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
