#include "install/destination.h"
#include "install/folder_trust.h"
#include "install/folders.h"

void ReleaseDestination(SetupPlan& plan)
{
    if (plan.heldDestination != INVALID_HANDLE_VALUE)
        CloseHandle(plan.heldDestination);
    plan.heldDestination = INVALID_HANDLE_VALUE;
}

DestinationCheck PrepareDestination(SetupPlan& plan)
{
    ReleaseDestination(plan);
    DestinationCheck chosen = CheckDestinationChoice(plan);
    if (chosen != DestinationMade)
        return chosen;
    const char* destDir = plan.destDir;
    // Setup runs as administrator: a link on the way would have it make
    // folders and write files wherever the link's maker wants.
    if (PathHasLink(destDir))
        return DestinationLinked;
    // A typed or browsed destination may lie below folders that do not
    // exist yet. They stay if the setup is cancelled later, like the
    // destination itself.
    CreateParentFolders(destDir, plan.folderSecurity);
    if (CreateDirectoryA(destDir, plan.folderSecurity))
        // Made with Setup's own permissions; a link put in the way of the
        // path meanwhile still shows in the folder the system reached.
        return CheckExistingFolder(destDir, &plan.heldDestination) == FolderLinked ? DestinationLinked
                                                                                   : DestinationMade;
    DWORD attributes = GetFileAttributesA(destDir);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return DestinationNotMade;
    // An existing folder keeps its permissions, and the programs that an
    // administrator runs later will lie in it.
    switch (CheckExistingFolder(destDir, &plan.heldDestination)) {
    case FolderTrusted:
        return DestinationNotMade;
    case FolderLinked:
        return DestinationLinked;
    default:
        ReleaseDestination(plan);
        return DestinationUntrusted;
    }
}
