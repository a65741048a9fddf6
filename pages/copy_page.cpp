#include "install/payload.h"
#include "pages/page_look.h"
#include "pages/pages.h"
#include "pages/progress_bar.h"
#include "resources/resource_ids.h"
#include "base/router.h"
#include "base/setup_state.h"
#include "base/text.h"

static LRESULT RouteCopyCommand(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
static LRESULT StartCopyPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
static LRESULT CancelCopy(HWND page, WORD controlId, WORD notifyCode, LPARAM lParam);

static const CommandEntry copyCommandEntries[] = {
    {IDM_START_COPY, ExpandPayload},
    {IDCANCEL, CancelCopy},
};
static const CommandTable copyCommands = MakeCommandTable(copyCommandEntries, NoDefault);

static const MessageEntry copyMessageEntries[] = {
    {WM_COMMAND, RouteCopyCommand},
    {WM_INITDIALOG, StartCopyPage},
    {WM_PAINT, PaintLogo},
    {WM_CTLCOLOREDIT, ColourControl},
};
static const MessageTable copyMessages = MakeMessageTable(copyMessageEntries, NoDefault);

static INT_PTR CALLBACK CopyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteMessage(&copyMessages, page, message, wParam, lParam);
}

static LRESULT RouteCopyCommand(HWND page, UINT, WPARAM wParam, LPARAM lParam)
{
    return RouteCommand(&copyCommands, page, wParam, lParam);
}

INT_PTR RunCopyPage(HWND owner)
{
    return DialogBoxParamA(instance, "IDD_COPY", owner, CopyPageProc, 0);
}

static LRESULT StartCopyPage(HWND page, UINT, WPARAM, LPARAM)
{
    copyDialog = page;
    progressControl = GetDlgItem(page, IDC_PROGRESS);
    SECURITY_ATTRIBUTES security = {sizeof security, NULL, TRUE};
    for (const char* folder : payloadFolders) {
        char path[PathSize];
        if (CopyText(path, destDir) && AppendText(path, folder))
            CreateDirectoryA(path, &security);
    }
    // Posted: the copying starts from the page's own loop, once it shows.
    PostMessageA(page, WM_COMMAND, IDM_START_COPY, 0);
    return 1;
}

static LRESULT CancelCopy(HWND, WORD, WORD, LPARAM)
{
    stopCopy = 1;
    return 1;
}
