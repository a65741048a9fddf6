#include "app/main_window.h"
#include "app/background.h"
#include "base/router.h"
#include "base/setup_state.h"
#include "base/system_function.h"
#include "base/text.h"
#include "install/folder_trust.h"
#include "pages/destination_page.h"
#include "pages/page_look.h"
#include "pages/pages.h"
#include "resources/resource_ids.h"
#include "base/product.h"
#include <shellapi.h>
#include <string.h>

const char contactAddress[] = "setup@pictavo.example";


static const CommandEntry mainWindowCommandEntries[] = {
    {IDM_START_SETUP, RunPageSequence},
};
static const CommandTable mainWindowCommands = MakeCommandTable(mainWindowCommandEntries, WindowDefault);

static const MessageEntry mainWindowMessageEntries[] = {
    {WM_CREATE, SetUpMainWindow},
    {WM_DESTROY, EndMessageLoop},
    {WM_PAINT, PaintMainWindow},
};
static const MessageTable mainWindowMessages = MakeMessageTable(mainWindowMessageEntries, WindowDefault, &mainWindowCommands);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteMessage(&mainWindowMessages, window, message, wParam, lParam);
}

void TrimStartDir(char* dir)
{
    if (strlen(dir) < 4)
        dir[2] = '\0';
}

void RecordStartDir()
{
    memset(startDir, 0, sizeof startDir);
    GetCurrentDirectoryA(500, startDir);
    TrimStartDir(startDir);
}

LRESULT SetUpMainWindow(HWND window, UINT, WPARAM, LPARAM)
{
    HDC context = GetDC(window);
    screenWidth = GetDeviceCaps(context, HORZRES);
    screenHeight = GetDeviceCaps(context, VERTRES);
    ReleaseDC(window, context);
    SetWindowPos(window, NULL, 0, 0, screenWidth, screenHeight, SWP_NOZORDER | SWP_NOACTIVATE);

    RecordStartDir();

    BuildBackground(window);
    titlePending = 1;
    titleFont = CreateTitleFont();
    // Posted, not sent: creation finishes and the first paint happens before
    // the first page opens over the window.
    PostMessageA(window, WM_COMMAND, IDM_START_SETUP, 0);
    return 0;
}

// The shell is loaded only here, at the very end: linked at start-up it
// would cost every run a noticeable part of its start-up time.
static void OpenShortcutFolder()
{
    auto shellExecute = SYSTEM_FUNCTION("shell32.dll", ShellExecuteA);
    if (shellExecute)
        shellExecute(NULL, NULL, openFolderPath, NULL, NULL, SW_SHOWNA);
}

LRESULT RunPageSequence(HWND window, WORD, WORD, LPARAM)
{
    // The product folder and the shortcut folder alike belong to the
    // administrators.
    AdminFolderSecurity folderSecurity;
    MakeAdminFolderSecurity(folderSecurity);
    bool cancelled = RunAgreementPage(window) != 0
        || RunDestinationPage(window, &folderSecurity.attributes) != 0
        || RunCopyPage(window) != 0;
    if (!cancelled)
        RunShortcutPage(window, &folderSecurity.attributes);
    ReleaseDestination();
    FreeAdminFolderSecurity(folderSecurity);
    ReleasePageLook();
    if (!cancelled) {
        // Once the files are copied the run has succeeded, shortcuts or not.
        FormatText(messageText, "%s was successfully installed", productName);
        MessageBoxA(window, messageText, setupCaption, MB_OK | MB_ICONINFORMATION);
        DestroyWindow(window);
        OpenShortcutFolder();
    } else {
        FormatText(messageText, "Setup was canceled. Any notes or errors you can send on my email: %s",
                   contactAddress);
        MessageBoxA(window, messageText, setupCaption, MB_OK | MB_ICONEXCLAMATION);
        DestroyWindow(window);
    }
    return 0;
}

LRESULT EndMessageLoop(HWND, UINT, WPARAM, LPARAM)
{
    ReleaseBackground();
    // A failed file ends the run like a cancel, but a script that ran the
    // installer must be able to tell the two apart.
    PostQuitMessage(exitCode);
    return 0;
}
