#include "app/silent_setup.h"
#include "app/main_window.h"
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

} // namespace

bool StartMenuFolderFits()
{
    DWORD version;
    return ProposeShortcutFolder(&version) && ComposeFinalShortcutFolder();
}

int RunSilentSetup()
{
    // Whoever scripted the run has accepted the licence.
    RecordStartDir();
    SECURITY_ATTRIBUTES folderSecurity = {};
    ProposeDestination(&folderSecurity);
    if (arguments.destination[0]) {
        TypedDestination typed = TakeTypedDestination(arguments.destination);
        if (typed != TypedTaken && typed != TypedUnchanged)
            return ExitBadArguments;
    }
    switch (PrepareDestination(&folderSecurity)) {
    case DestinationMade:
        break;
    case DestinationNotMade:
        // Where the page asks, an existing folder is installed over, as
        // its Yes does; a file or a disk that refuses the folder ends here.
        if (!CreateFolderTree(destDir, &folderSecurity))
            return ExitDestinationUnusable;
        break;
    default:
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
    bool placed = PlaceShortcuts(&folderSecurity);
    return registered && placed ? ExitInstalled : ExitShortcutsFailed;
}
