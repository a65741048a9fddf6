#include "app/silent_setup.h"
#include "app/main_window.h"
#include "install/destination.h"
#include "install/files_in_use.h"
#include "install/folder_trust.h"
#include "install/folders.h"
#include "install/payload.h"
#include "install/registration.h"
#include "install/shortcuts.h"
#include "plan/destination.h"
#include "plan/shortcut_folder.h"
#include "base/exit_codes.h"

namespace {

void NoFileShown(int)
{
}

bool AlwaysGoOn()
{
    return true;
}

int InstallSilently(SetupPlan& plan)
{
    ProposeDestination(plan);
    if (plan.arguments.destination[0]) {
        TypedDestination typed = TakeTypedDestination(plan, plan.arguments.destination);
        if (typed != TypedTaken && typed != TypedUnchanged) {
            LogLine(plan.log, "Destination refused: %s is no full path of valid folder names",
                    plan.arguments.destination);
            return ExitBadArguments;
        }
    }
    switch (PrepareDestination(plan)) {
    case DestinationMade:
        break;
    case DestinationNotMade:
        // Where the page asks, an existing folder that only administrators
        // can change is installed over, as its Yes does; a file or a disk
        // that refuses the folder ends here.
        if (!CreateFolderTree(plan.destDir, plan.folderSecurity, plan.log))
            return ExitDestinationUnusable;
        break;
    default:
        // Too little room, a link on the path, a folder others may change.
        return ExitDestinationUnusable;
    }

    // Before the first write: a program holding a file would stop the
    // expansion halfway, with old and new files side by side.
    char inUse[PathSize];
    if (!HoldProductFiles(plan, inUse))
        return ExitFilesInUse;

    static const PayloadObserver quiet = {NoFileShown, AlwaysGoOn};
    CreatePayloadFolders(plan.destDir, plan.log);
    if (ExpandPayload(plan, quiet) != PayloadInstalled)
        return ExitPayloadFailed;

    if (!ProposeShortcutFolder(plan) || !ComposeFinalShortcutFolder(plan)) {
        LogLine(plan.log, "Shortcut folder refused: below %s it does not fit", plan.programsDir);
        return ExitShortcutsFailed;
    }
    // Registered first, so that Scdir names the final folder.
    bool registered = RegisterProduct(plan) == NULL;
    bool placed = PlaceShortcuts(plan);
    return registered && placed ? ExitInstalled : ExitShortcutsFailed;
}

} // namespace

int RunSilentSetup(SetupPlan& plan)
{
    // Whoever scripted the run has accepted the licence.
    RecordStartDir(plan);
    AdminFolderSecurity folderSecurity;
    MakeAdminFolderSecurity(folderSecurity);
    plan.folderSecurity = &folderSecurity.attributes;
    plan.exitCode = InstallSilently(plan);
    ReleaseDestination(plan);
    plan.folderSecurity = NULL;
    FreeAdminFolderSecurity(folderSecurity);
    return plan.exitCode;
}

bool StartMenuFolderFits(const SetupArguments& arguments)
{
    SetupPlan trial;
    trial.arguments = arguments;
    return ProposeShortcutFolder(trial) && ComposeFinalShortcutFolder(trial);
}
