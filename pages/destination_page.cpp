#include "pages/destination_page.h"
#include "install/destination.h"
#include "pages/browsers.h"
#include "pages/page_look.h"
#include "pages/pages.h"
#include "resources/resource_ids.h"
#include "base/router.h"
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
    {WM_DPICHANGED, FollowDpiChange},
    {WM_CTLCOLOREDIT, ColourControl},
    {WM_CTLCOLORSTATIC, ColourControl},
};
static const MessageTable destinationMessages = MakeMessageTable(destinationMessageEntries, NoDefault, &destinationCommands);

INT_PTR RunDestinationPage(PagesUi& ui)
{
    return DialogBoxParamA(ui.plan.module, "IDD_DIR", ui.owner, RoutedDialogProc<&destinationMessages>, (LPARAM)&ui);
}

bool PagesUi::ChooseDestination(InstallRun& driver)
{
    run = &driver;
    return RunDestinationPage(*this) == 0;
}

static void ShowDestination(HWND page)
{
    SetDlgItemTextA(page, IDC_DESTINATION, PagePlan(page).choices.destDir);
}

static LRESULT InitDestinationPage(HWND page, UINT, WPARAM, LPARAM)
{
    PageUi(page).page = page;
    // The run proposed the destination before the page opened.
    SetupPlan& plan = PagePlan(page);
    // A destination from the command line stands in the box as if typed:
    // Next checks and adopts it the same way.
    if (plan.arguments.destination[0])
        SetDlgItemTextA(page, IDC_DESTINATION, plan.arguments.destination);
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
        result = TakeTypedDestination(PagePlan(page), typed);
    }
    if (result == TypedUnchanged || result == TypedTaken)
        return true;
    WarnAboutTypedDestination(page, result, box);
    return false;
}

void PagesUi::RefuseDestination(DestinationCheck reason, const SetupPlan&)
{
    char message[PathSize];
    switch (reason) {
    case DestinationUnnamed:
        WarnAboutDestination(page, "You were forgoten to select an directory");
        return;
    case DestinationLowSpace:
        MessageBoxA(page, lowSpaceText, setupCaption, MB_YESNO | MB_ICONERROR);
        return;
    case DestinationLinked:
        FormatText(message, "The folder\n%s\nis reached through a link to another folder.\n"
                            "Please choose another folder.", plan.choices.destDir);
        break;
    case DestinationUntrusted:
        FormatText(message, "The folder\n%s\ncan be changed by other users of this computer.\n"
                            "Please choose another folder.", plan.choices.destDir);
        break;
    case DestinationIsFile:
        FormatText(message, "%s is a file, not a folder. Please choose another folder.", plan.choices.destDir);
        break;
    default:
        CopyText(message, longDestinationText);
        break;
    }
    WarnAboutDestination(page, message);
}

bool PagesUi::ConfirmExistingFolder(const char*, bool)
{
    ShowDestination(page);
    return MessageBoxA(page, "Directory allready exsist or disk isn't writeable.\nContinue with installation anyway",
                       setupCaption, MB_YESNO | MB_ICONQUESTION) != IDNO;
}

bool PagesUi::ConfirmVolumeWithoutPermissions(const char* root)
{
    char message[PathSize];
    FormatText(message,
               "The drive %s keeps no permissions: any user of this computer could change the programs installed "
               "there. Install there anyway?",
               root);
    return MessageBoxA(page, message, setupCaption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

static LRESULT AcceptDestination(HWND page, WORD, WORD, LPARAM)
{
    if (!AdoptTypedDestination(page) || !PageUi(page).run->TryDestination())
        return 0;
    ShowDestination(page);
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
    RunDirectoryBrowser(page, PagePlan(page));
    if (!ComposeDestination(PagePlan(page)))
        MessageBoxA(page, longDestinationText, setupCaption,
                    MB_OK | MB_ICONWARNING);
    ShowDestination(page);
    return 0;
}
