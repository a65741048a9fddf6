#include "app/main_window.h"
#include "app/background.h"
#include "base/dpi.h"
#include "base/router.h"
#include "base/system_function.h"
#include "base/text.h"
#include "base/exit_codes.h"
#include "installed/folder_trust.h"
#include "pages/page_look.h"
#include "pages/pages.h"
#include "plan/previous_installation.h"
#include "product_facts.h"
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
    {WM_DPICHANGED, FollowMainWindowDpi},
};
static const MessageTable mainWindowMessages = MakeMessageTable(mainWindowMessageEntries, WindowDefault, &mainWindowCommands);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteMessage(&mainWindowMessages, window, message, wParam, lParam);
}

static MainWindowState& WindowState(HWND window)
{
    return *(MainWindowState*)GetWindowLongPtrA(window, GWLP_USERDATA);
}

static SetupPlan& WindowPlan(HWND window)
{
    return WindowState(window).plan;
}

LRESULT SetUpMainWindow(HWND window, UINT, WPARAM, LPARAM lParam)
{
    SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)((const CREATESTRUCTA*)lParam)->lpCreateParams);
    Background& background = WindowState(window).background;
    HDC context = GetDC(window);
    background.screenWidth = GetDeviceCaps(context, HORZRES);
    background.screenHeight = GetDeviceCaps(context, VERTRES);
    ReleaseDC(window, context);
    SetWindowPos(window, NULL, 0, 0, background.screenWidth, background.screenHeight, SWP_NOZORDER | SWP_NOACTIVATE);

    RecordStartDir(WindowPlan(window));

    BuildBackground(background, window);
    background.titlePending = 1;
    background.titleDpi = WindowDpi(window);
    background.titleFont = CreateTitleFont(background.titleDpi);
    // Posted, not sent: creation finishes and the first paint happens before
    // the first page opens over the window.
    PostMessageA(window, WM_COMMAND, IDM_START_SETUP, 0);
    return 0;
}

LRESULT FollowMainWindowDpi(HWND window, UINT, WPARAM wParam, LPARAM lParam)
{
    const RECT* suggested = (const RECT*)lParam;
    if (suggested)
        SetWindowPos(window, NULL, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The title is part of the picture: a fresh gradient, and the title drawn
    // into it again at the new size on the next paint.
    Background& background = WindowState(window).background;
    if (background.titleFont)
        DeleteObject(background.titleFont);
    background.titleFont = NULL;
    BuildBackground(background, window);
    background.titleDpi = HIWORD(wParam) ? HIWORD(wParam) : WindowDpi(window);
    background.titleFont = CreateTitleFont(background.titleDpi);
    background.titlePending = 1;
    InvalidateRect(window, NULL, FALSE);
    return 0;
}

// The shell is loaded only here, at the very end: linked at start-up it
// would cost every run a noticeable part of its start-up time.
static void OpenShortcutFolder(const char* folder)
{
    auto shellExecute = SYSTEM_FUNCTION("shell32.dll", ShellExecuteA);
    if (shellExecute)
        shellExecute(NULL, NULL, folder, NULL, NULL, SW_SHOWNA);
}

// An entry whose folder fails the rules that Setup and the uninstaller
// keep: it is not installed over, and the new installation's entry takes
// its place.
static void TellUnusableEntry(HWND window, const PreviousInstallation& previous)
{
    char message[PathSize + 256];
    if (previous.at.programDir[0])
        FormatText(message,
                   "Pictavo is registered as installed in\n%s\nbut that folder is not an installation Setup can "
                   "use. It will no longer be registered there.",
                   previous.at.programDir);
    else
        CopyText(message, "Pictavo is registered as installed, but its registry entry names no folder Setup can "
                          "use. It will no longer be registered there.");
    MessageBoxA(window, message, setupCaption, MB_OK | MB_ICONWARNING);
}

// A newer installation, and no /DOWNGRADE: told before the Agreement page,
// and nothing changes.
static void TellDowngradeRefused(HWND window, const PreviousInstallation& previous)
{
    char installed[24], message[256];
    FormatInstalledVersion(previous.at, installed);
    FormatText(message, "Pictavo %s is installed, which is newer than this Setup (%s). Setup ends without changing it.",
               installed, PRODUCT_VERSION_TEXT);
    MessageBoxA(window, message, setupCaption, MB_OK | MB_ICONINFORMATION);
}

// After a move, or a shortcut folder that moved: where the user's files
// stayed, and what of the old installation could not be removed.
static void TellLeftInstallation(HWND window, const LeftInstallation& left)
{
    char message[2 * PathSize + ReportSize + 256] = "";
    if (left.report.failed[0]) {
        FormatText(message, "Pictavo is installed and registered in its new folder, but this part of the old "
                            "installation could not be removed:%s",
                   left.report.failed);
    }
    if (left.picturesStay) {
        if (message[0])
            AppendText(message, "\n\n");
        AppendText(message, "Your files from the old installation stay in\n");
        AppendText(message, left.picturesPath);
    }
    if (message[0])
        MessageBoxA(window, message, setupCaption,
                    MB_OK | (left.report.failed[0] ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
}

LRESULT RunPageSequence(HWND window, WORD, WORD, LPARAM)
{
    SetupPlan& plan = WindowPlan(window);
    const PreviousInstallation& previous = plan.facts.previous;
    if (previous.entry != ValueMissing && !previous.Usable())
        TellUnusableEntry(window, previous);
    if (DecideSecondRun(plan) == Downgrade && !plan.arguments.downgrade) {
        TellDowngradeRefused(window, previous);
        plan.exitCode = ExitDowngrade;
        DestroyWindow(window);
        return 0;
    }
    // The product folder and the shortcut folder alike belong to the
    // administrators.
    AdminFolderSecurity folderSecurity;
    MakeAdminFolderSecurity(folderSecurity);
    plan.folderSecurity = &folderSecurity.attributes;
    PagesUi ui(window, plan);
    char openFolderPath[PathSize] = "";
    InstallOutcome outcome = InstallCancelled;
    LeftInstallation left = {};
    if (RunAgreementPage(ui) == 0) {
        InstallRun run(plan, ui);
        outcome = run.Run();
        CopyText(openFolderPath, run.openFolderPath);
        left = run.left;
    }
    plan.folderSecurity = NULL;
    FreeAdminFolderSecurity(folderSecurity);
    ReleasePageLook(ui.look);
    // A failed file ends the run like a cancel, but a script that ran the
    // installer must be able to tell the two apart.
    if (outcome == InstallFailed)
        plan.exitCode = ExitPayloadFailed;
    char message[PathSize];
    // Once the files are copied the run has succeeded, shortcuts or not.
    if (outcome == InstallDone || outcome == InstallShortcutsFailed || outcome == InstallOldLeft) {
        FormatText(message, "%s was successfully installed", productName);
        MessageBoxA(window, message, setupCaption, MB_OK | MB_ICONINFORMATION);
        TellLeftInstallation(window, left);
        DestroyWindow(window);
        OpenShortcutFolder(openFolderPath);
    } else {
        FormatText(message, "Setup was canceled. Any notes or errors you can send on my email: %s",
                   contactAddress);
        MessageBoxA(window, message, setupCaption, MB_OK | MB_ICONEXCLAMATION);
        DestroyWindow(window);
    }
    return 0;
}

LRESULT PaintMainWindow(HWND window, UINT, WPARAM, LPARAM)
{
    PAINTSTRUCT paint;
    HDC context = BeginPaint(window, &paint);
    PaintBackground(WindowState(window).background, context);
    EndPaint(window, &paint);
    return 0;
}

LRESULT EndMessageLoop(HWND window, UINT, WPARAM, LPARAM)
{
    ReleaseBackground(WindowState(window).background);
    PostQuitMessage(WindowPlan(window).exitCode);
    return 0;
}
