#include "pages/copy_page.h"
#include "install/payload.h"
#include "pages/page_look.h"
#include "pages/pages.h"
#include "pages/progress_bar.h"
#include "resources/resource_ids.h"
#include "base/router.h"
#include "base/product.h"
#include "base/text.h"

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

INT_PTR RunCopyPage(PagesUi& ui)
{
    return DialogBoxParamA(ui.plan.module, "IDD_COPY", ui.owner, RoutedDialogProc<&copyMessages>, (LPARAM)&ui);
}

bool PagesUi::ShowCopying(InstallRun& driver)
{
    run = &driver;
    return RunCopyPage(*this) == 0;
}

static LRESULT StartCopyPage(HWND page, UINT, WPARAM, LPARAM)
{
    PageUi(page).page = page;
    // Posted: the copying starts from the page's own loop, once it shows.
    PostMessageA(page, WM_COMMAND, IDM_START_COPY, 0);
    return 1;
}

static LRESULT CancelCopy(HWND page, WORD, WORD, LPARAM)
{
    PageUi(page).stopCopy = true;
    return 1;
}

void PagesUi::FileBegins(int row)
{
    // A step as each file begins; the bar is full as the last one begins.
    if (row == 0)
        ProgressBegin(progress, GetDlgItem(page, IDC_PROGRESS), PayloadRows - 1, PayloadRows);
    char statusText[2 * PayloadNameSize + 16];
    FormatText(statusText, "FROM: %s  TO: %s", compressedNames[row], targetNames[row]);
    SetDlgItemTextA(page, IDC_STATUS, statusText);
    ProgressStep(progress);
}

// Lets the page handle what came in during the last file: Cancel, Escape,
// painting.
bool PagesUi::ShouldStop()
{
    MSG message;
    while (!stopCopy && PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        if (IsDialogMessageA(page, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return stopCopy;
}

void PagesUi::ReportFileFailure(const char* from, const char* to)
{
    // Two paths of up to 511 characters do not fit: the text is cut.
    char message[PathSize];
    FormatText(message, "Unable to copy a file:\nFrom=%s\nTo=%s\nProgram will exit", from, to);
    MessageBoxA(page, message, "Error", MB_OK | MB_ICONERROR);
    stopCopy = true;
}

// Asks the user to close whatever holds a file that must be replaced: Retry
// looks again, Cancel ends the run.
bool PagesUi::RetryFileInUse(const char* file, const char* programs)
{
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
                   file, productName);
    return MessageBoxA(page, message, setupCaption, MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDRETRY;
}

LRESULT CopyPayload(HWND page, WORD, WORD, LPARAM)
{
    PagesUi& ui = PageUi(page);
    ui.stopCopy = false;
    bool copied = ui.run->CopyFiles();
    ProgressEnd(ui.progress);
    EndDialog(page, copied ? 0 : 1);
    return 0;
}
