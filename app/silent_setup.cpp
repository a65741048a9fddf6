#include "app/silent_setup.h"
#include "app/main_window.h"
#include "install/folder_trust.h"
#include "install/folders.h"
#include "install/payload.h"
#include "install/registration.h"
#include "pages/destination_page.h"
#include "pages/shortcut_page.h"
#include "base/setup_state.h"

namespace {

void NoFileShown(int)
{
}

bool AlwaysGoOn()
{
    return true;
}

int InstallSilently(SECURITY_ATTRIBUTES* folderSecurity)
{
    ProposeDestination();
    if (arguments.destination[0]) {
        TypedDestination typed = TakeTypedDestination(arguments.destination);
        if (typed != TypedTaken && typed != TypedUnchanged)
            return ExitBadArguments;
    }
    switch (PrepareDestination(folderSecurity)) {
    case DestinationMade:
        break;
    case DestinationNotMade:
        // Where the page asks, an existing folder that only administrators
        // can change is installed over, as its Yes does; a file or a disk
        // that refuses the folder ends here.
        if (!CreateFolderTree(destDir, folderSecurity))
            return ExitDestinationUnusable;
        break;
    default:
        // Too little room, a link on the path, a folder others may change.
        return ExitDestinationUnusable;
    }

    static const PayloadObserver quiet = {NoFileShown, AlwaysGoOn};
    CreatePayloadFolders(destDir);
    if (ExpandPayload(destDir, quiet) != PayloadInstalled)
        return ExitPayloadFailed;

    DWORD version;
    if (!ProposeShortcutFolder(&version) || !ComposeFinalShortcutFolder())
        return ExitShortcutsFailed;
    // Registered first, so that Scdir names the final folder.
    bool registered = RegisterProduct(version) == NULL;
    bool placed = PlaceShortcuts(folderSecurity);
    return registered && placed ? ExitInstalled : ExitShortcutsFailed;
}

} // namespace

int RunSilentSetup()
{
    // Whoever scripted the run has accepted the licence.
    RecordStartDir();
    AdminFolderSecurity folderSecurity;
    MakeAdminFolderSecurity(folderSecurity);
    int code = InstallSilently(&folderSecurity.attributes);
    ReleaseDestination();
    FreeAdminFolderSecurity(folderSecurity);
    return code;
}

bool StartMenuFolderFits()
{
    DWORD version;
    return ProposeShortcutFolder(&version) && ComposeFinalShortcutFolder();
}
