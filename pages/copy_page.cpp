#include "pages/copy_page.h"
#include "install/files_in_use.h"
#include "install/payload.h"
#include "pages/page_look.h"
#include "pages/pages.h"
#include "pages/progress_bar.h"
#include "resources/resource_ids.h"
#include "base/router.h"
#include "base/exit_codes.h"
#include "base/product.h"
#include "base/text.h"

DWORD stopCopy;
static HWND copyDialog;  // the open page, which the expansion's observer shows on
static char statusText[512];

static LRESULT StartCopyPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
static LRESULT CancelCopy(HWND page, WORD controlId, WORD notifyCode, LPARAM lParam);

static const CommandEntry copyCommandEntries[] = {
    {IDM_START_COPY, CopyPayload},
    {IDCANCEL, CancelCopy},
};
static const CommandTable copyCommands = MakeCommandTable(copyCommandEntries, NoDefault);

static const MessageEntry copyMessageEntries[] = {
    {WM_INITDIALOG, StartCopyPage},
    {WM_PAINT, PaintLogo},
    {WM_DPICHANGED, FollowDpiChange},
    {WM_CTLCOLOREDIT, ColourControl},
};
static const MessageTable copyMessages = MakeMessageTable(copyMessageEntries, NoDefault, &copyCommands);

INT_PTR RunCopyPage(HWND owner, SetupPlan& plan)
{
    return DialogBoxParamA(plan.module, "IDD_COPY", owner, RoutedDialogProc<&copyMessages>, (LPARAM)&plan);
}

static LRESULT StartCopyPage(HWND page, UINT, WPARAM, LPARAM)
{
    // Posted: the copying starts from the page's own loop, once it shows.
    PostMessageA(page, WM_COMMAND, IDM_START_COPY, 0);
    return 1;
}

static LRESULT CancelCopy(HWND, WORD, WORD, LPARAM)
{
    stopCopy = 1;
    return 1;
}

static void ShowFile(int row)
{
    FormatText(statusText, "FROM: %s  TO: %s", compressedNames[row], targetNames[row]);
    SetDlgItemTextA(copyDialog, IDC_STATUS, statusText);
    ProgressStep();
}

// Lets the page handle what came in during the last file: Cancel, Escape,
// painting.
static bool PumpMessages()
{
    MSG message;
    while (!stopCopy && PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        if (IsDialogMessageA(copyDialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return !stopCopy;
}

static void ReportCopyFailure(SetupPlan& plan)
{
    // Two paths of up to 511 characters do not fit: the text is cut.
    char message[PathSize];
    FormatText(message, "Unable to copy a file:\nFrom=%s\nTo=%s\nProgram will exit", plan.tempFilePath,
               plan.targetFilePath);
    MessageBoxA(copyDialog, message, "Error", MB_OK | MB_ICONERROR);
    plan.exitCode = ExitPayloadFailed;
}

// Asks the user to close whatever holds a file that must be replaced, until
// none is held (true, the files held for the expansion) or the user cancels.
static bool FreeProductFiles(HWND page, SetupPlan& plan)
{
    char inUse[PathSize];
    while (!HoldProductFiles(plan, inUse)) {
        char programs[PathSize];
        NameProgramsUsingProductFiles(plan, programs);
        // Past the buffer the text is cut, never the run.
        char message[2 * PathSize];
        if (programs[0])
            FormatText(message,
                       "Setup cannot replace the installed files while this program uses them:\n\n%s\n\n"
                       "Close it, then choose Retry. Cancel ends Setup and leaves %s as it is.",
                       programs, productName);
        else
            FormatText(message,
                       "Setup cannot replace %s while another program uses it.\n\n"
                       "Close that program, then choose Retry. Cancel ends Setup and leaves %s as it is.",
                       inUse, productName);
        if (MessageBoxA(page, message, setupCaption, MB_RETRYCANCEL | MB_ICONEXCLAMATION) != IDRETRY)
            return false;
    }
    return true;
}

LRESULT CopyPayload(HWND page, WORD, WORD, LPARAM)
{
    static const PayloadObserver observer = {ShowFile, PumpMessages};
    SetupPlan& plan = PagePlan(page);
    // Checked before anything is written: a file that another program
    // holds would stop the expansion halfway, old files beside new ones.
    if (!FreeProductFiles(page, plan)) {
        EndDialog(page, 1);
        return 0;
    }
    CreatePayloadFolders(plan.destDir, plan.log);
    copyDialog = page;
    progressControl = GetDlgItem(page, IDC_PROGRESS);
    stopCopy = 0;
    // A step as each file begins; the bar is full as the last one begins.
    ProgressBegin(PayloadRows - 1, PayloadRows);
    if (ExpandPayload(plan, observer) == PayloadFailed) {
        ReportCopyFailure(plan);
        stopCopy = 1;
    }
    ProgressEnd();
    EndDialog(page, stopCopy);
    return 0;
}
