#include "pages/destination_page.h"
#include "install/folder_trust.h"
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

// How the destination folder is made; the page sequence sets it up and
// hands the same to the Shortcut page.
static SECURITY_ATTRIBUTES* folderSecurity;

INT_PTR RunDestinationPage(HWND owner, SECURITY_ATTRIBUTES* security)
{
    folderSecurity = security;
    return DialogBoxParamA(instance, "IDD_DIR", owner, DestinationPageProc, 0);
}

static bool ComposeFolder(char (&composed)[PathSize])
{
    bool fit = CopyText(composed, baseDir);
    if (TextLength(baseDir) > 3)
        fit = fit && AppendText(composed, "\\");
    return fit && AppendText(composed, productFolder);
}

bool ComposeDestination()
{
    char composed[PathSize];
    return ComposeFolder(composed) && CopyText(destDir, composed);
}

TypedDestination CheckComposedDestination()
{
    char composed[PathSize], base[PathSize], product[PathSize];
    if (!ComposeFolder(composed))
        return TypedTooLong;
    return ParseTypedDestination(composed, base, product);
}

TypedDestination TakeTypedDestination(const char* typed)
{
    // The proposal is checked too: a name from the Directory browser's box
    // ("..\Windows") stands in it as composed.
    if (strcmp(typed, destDir) == 0) {
        TypedDestination checked = CheckComposedDestination();
        return checked == TypedTaken ? TypedUnchanged : checked;
    }
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

void ProposeDestination()
{
    ChooseDefaultBase();
    CopyText(productFolder, productName);
    ComposeDestination();
}

static LRESULT InitDestinationPage(HWND page, UINT, WPARAM, LPARAM)
{
    ProposeDestination();
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

void WarnAboutTypedDestination(HWND owner, TypedDestination result, HWND focusControl)
{
    const char* text = longDestinationText;
    if (result == TypedNotAbsolute)
        text = "Please type the full path of the destination folder,\n"
               "for example C:\\Program files\\Pictavo";
    else if (result == TypedInvalid)
        text = "This is not a valid folder name.\n"
               "A folder name cannot contain any of the characters < > : \" / | ? *\n"
               "and cannot end with a dot or a space.";
    MessageBoxA(owner, text, setupCaption, MB_OK | MB_ICONWARNING);
    SetFocus(focusControl);
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
    if (result == TypedUnchanged || result == TypedTaken)
        return true;
    WarnAboutTypedDestination(page, result, box);
    return false;
}

// The accepted destination, open as checked; see ReleaseDestination.
static HANDLE heldDestination = INVALID_HANDLE_VALUE;

void ReleaseDestination()
{
    if (heldDestination != INVALID_HANDLE_VALUE)
        CloseHandle(heldDestination);
    heldDestination = INVALID_HANDLE_VALUE;
}

DestinationCheck PrepareDestination(SECURITY_ATTRIBUTES* security)
{
    ReleaseDestination();
    if (productFolder[0] == '\0')
        return DestinationUnnamed;
    if (!HasRoomForProduct(freeKB))
        return DestinationLowSpace;
    if (!ComposeDestination())
        return DestinationTooLong;
    // Setup runs as administrator: a link on the way would have it make
    // folders and write files wherever the link's maker wants.
    if (PathHasLink(destDir))
        return DestinationLinked;
    // A typed or browsed destination may lie below folders that do not
    // exist yet. They stay if the setup is cancelled later, like the
    // destination itself.
    CreateParentFolders(destDir, security);
    if (CreateDirectoryA(destDir, security))
        // Made with Setup's own permissions; a link put in the way of the
        // path meanwhile still shows in the folder the system reached.
        return CheckExistingFolder(destDir, &heldDestination) == FolderLinked ? DestinationLinked : DestinationMade;
    DWORD attributes = GetFileAttributesA(destDir);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return DestinationNotMade;
    // An existing folder keeps its permissions, and the programs that an
    // administrator runs later will lie in it.
    switch (CheckExistingFolder(destDir, &heldDestination)) {
    case FolderTrusted:
        return DestinationNotMade;
    case FolderLinked:
        return DestinationLinked;
    default:
        ReleaseDestination();
        return DestinationUntrusted;
    }
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
    case DestinationLinked:
        FormatText(messageText, "The folder\n%s\nis reached through a link to another folder.\n"
                                "Please choose another folder.", destDir);
        WarnAboutDestination(page, messageText);
        return 0;
    case DestinationUntrusted:
        FormatText(messageText, "The folder\n%s\ncan be changed by other users of this computer.\n"
                                "Please choose another folder.", destDir);
        WarnAboutDestination(page, messageText);
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
