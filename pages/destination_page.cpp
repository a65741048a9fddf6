#include "pages/destination_page.h"
#include "install/folders.h"
#include "pages/browsers.h"
#include "pages/drive_table.h"
#include "pages/page_look.h"
#include "pages/pages.h"
#include "resources/resource_ids.h"
#include "base/router.h"
#include "base/setup_state.h"
#include "base/text.h"
#include "base/product.h"
#include "pages/texts.h"
#include <string.h>

static LRESULT InitDestinationPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
static LRESULT AcceptDestination(HWND page, WORD controlId, WORD notifyCode, LPARAM lParam);
static LRESULT CancelDestinationPage(HWND page, WORD controlId, WORD notifyCode, LPARAM lParam);
static LRESULT BrowseDestination(HWND page, WORD controlId, WORD notifyCode, LPARAM lParam);

static const CommandEntry destinationCommandEntries[] = {
    {IDOK, AcceptDestination},
    {IDCANCEL, CancelDestinationPage},
    {IDC_BROWSE, BrowseDestination},
};
static const CommandTable destinationCommands = MakeCommandTable(destinationCommandEntries, NoDefault);

static const MessageEntry destinationMessageEntries[] = {
    {WM_INITDIALOG, InitDestinationPage},
    {WM_PAINT, PaintLogo},
    {WM_CTLCOLOREDIT, ColourControl},
    {WM_CTLCOLORSTATIC, ColourControl},
};
static const MessageTable destinationMessages = MakeMessageTable(destinationMessageEntries, NoDefault, &destinationCommands);

static INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteMessage(&destinationMessages, page, message, wParam, lParam);
}

// How the destination folder is made; set up here and handed on by the
// page sequence to the Shortcut page.
static SECURITY_ATTRIBUTES* folderSecurity;

INT_PTR RunDestinationPage(HWND owner, SECURITY_ATTRIBUTES* security)
{
    folderSecurity = security;
    return DialogBoxParamA(instance, "IDD_DIR", owner, DestinationPageProc, 0);
}

bool ComposeDestination()
{
    char composed[PathSize];
    bool fit = CopyText(composed, baseDir);
    if (TextLength(baseDir) > 3)
        fit = fit && AppendText(composed, "\\");
    fit = fit && AppendText(composed, productFolder);
    return fit && CopyText(destDir, composed);
}

TypedDestination TakeTypedDestination(const char* typed)
{
    if (strcmp(typed, destDir) == 0)
        return TypedUnchanged;
    TypedDestination result = ParseTypedDestination(typed, baseDir, productFolder);
    if (result != TypedTaken)
        return result;
    char drive = (char)(baseDir[0] & ~0x20);
    for (int slot = 0; slot < driveCount; ++slot) {
        if (driveRoots[slot][0] == drive) {
            driveIndex = slot;
            ReadFreeSpace(slot);
            return TypedTaken;
        }
    }
    char root[4] = {drive, ':', '\\', '\0'};
    freeKB = MeasureFreeKB(root);
    return TypedTaken;
}

static void ShowDestination(HWND page)
{
    SetDlgItemTextA(page, IDC_DESTINATION, destDir);
}

void ProposeDestination(SECURITY_ATTRIBUTES* security)
{
    ChooseDefaultBase();
    CopyText(productFolder, productName);
    security->nLength = sizeof *security;
    security->lpSecurityDescriptor = NULL;
    security->bInheritHandle = FALSE;
    ComposeDestination();
}

static LRESULT InitDestinationPage(HWND page, UINT, WPARAM, LPARAM)
{
    ProposeDestination(folderSecurity);
    // A destination from the command line stands in the box as if typed:
    // Next checks and adopts it the same way.
    if (arguments.destination[0])
        SetDlgItemTextA(page, IDC_DESTINATION, arguments.destination);
    else
        ShowDestination(page);
    return 1;
}

static void WarnAboutDestination(HWND page, const char* text)
{
    MessageBoxA(page, text, setupCaption, MB_OK | MB_ICONWARNING);
    SetFocus(GetDlgItem(page, IDC_DESTINATION));
}

// What the user typed counts: installing anywhere else than the folder the
// box shows would surprise them.
static bool AdoptTypedDestination(HWND page)
{
    char typed[PathSize];
    HWND box = GetDlgItem(page, IDC_DESTINATION);
    TypedDestination result = TypedTooLong;
    if (GetWindowTextLengthA(box) < PathSize) {
        GetWindowTextA(box, typed, sizeof typed);
        result = TakeTypedDestination(typed);
    }
    switch (result) {
    case TypedUnchanged:
    case TypedTaken:
        return true;
    case TypedNotAbsolute:
        WarnAboutDestination(page, "Please type the full path of the destination folder,\n"
                                   "for example C:\\Program files\\Pictavo");
        return false;
    case TypedInvalid:
        WarnAboutDestination(page, "This is not a valid folder name.\n"
                                   "A folder name cannot contain any of the characters < > : \" / | ? *\n"
                                   "and cannot end with a dot or a space.");
        return false;
    default:
        WarnAboutDestination(page, longDestinationText);
        return false;
    }
}

DestinationCheck PrepareDestination(SECURITY_ATTRIBUTES* security)
{
    if (productFolder[0] == '\0')
        return DestinationUnnamed;
    if (!HasRoomForProduct(freeKB))
        return DestinationLowSpace;
    if (!ComposeDestination())
        return DestinationTooLong;
    // A typed or browsed destination may lie below folders that do not
    // exist yet. They stay if the setup is cancelled later, like the
    // destination itself.
    CreateParentFolders(destDir, security);
    return CreateDirectoryA(destDir, security) ? DestinationMade : DestinationNotMade;
}

static LRESULT AcceptDestination(HWND page, WORD, WORD, LPARAM)
{
    if (!AdoptTypedDestination(page))
        return 0;
    switch (PrepareDestination(folderSecurity)) {
    case DestinationUnnamed:
        WarnAboutDestination(page, "You were forgoten to select an directory");
        return 0;
    case DestinationLowSpace:
        MessageBoxA(page, lowSpaceText, setupCaption, MB_YESNO | MB_ICONERROR);
        return 0;
    case DestinationTooLong:
        WarnAboutDestination(page, longDestinationText);
        return 0;
    case DestinationMade:
        ShowDestination(page);
        EndDialog(page, 0);
        return 0;
    case DestinationNotMade:
        break;
    }
    ShowDestination(page);
    if (MessageBoxA(page, "Directory allready exsist or disk isn't writeable.\nContinue with installation anyway",
                    setupCaption, MB_YESNO | MB_ICONQUESTION) != IDNO)
        EndDialog(page, 0);
    return 0;
}

static LRESULT CancelDestinationPage(HWND page, WORD, WORD, LPARAM)
{
    ConfirmCancel(page);
    return 0;
}

static LRESULT BrowseDestination(HWND page, WORD, WORD, LPARAM)
{
    RunDirectoryBrowser(page);
    if (!ComposeDestination())
        MessageBoxA(page, longDestinationText, setupCaption,
                    MB_OK | MB_ICONWARNING);
    ShowDestination(page);
    return 0;
}
