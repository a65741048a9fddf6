#include "install/destination.h"
#include "install/folder_trust.h"
#include "install/folders.h"

void ReleaseDestination(SetupPlan& plan)
{
    if (plan.heldDestination != INVALID_HANDLE_VALUE)
        CloseHandle(plan.heldDestination);
    plan.heldDestination = INVALID_HANDLE_VALUE;
}

namespace {

DestinationCheck Prepare(SetupPlan& plan)
{
    ReleaseDestination(plan);
    DestinationCheck chosen = CheckDestinationChoice(plan);
    if (chosen != DestinationMade)
        return chosen;
    const char* destDir = plan.destDir;
    LogLine(plan.log, "Destination chosen: %s", destDir);
    // Setup runs as administrator: a link on the way would have it make
    // folders and write files wherever the link's maker wants.
    if (PathHasLink(destDir))
        return DestinationLinked;
    // A typed or browsed destination may lie below folders that do not
    // exist yet. They stay if the setup is cancelled later, like the
    // destination itself.
    CreateParentFolders(destDir, plan.folderSecurity, plan.log);
    if (MakeFolder(destDir, plan.folderSecurity, plan.log))
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

} // namespace

DestinationCheck PrepareDestination(SetupPlan& plan)
{
    DestinationCheck check = Prepare(plan);
    DWORD error = GetLastError();
    switch (check) {
    case DestinationMade:
        break;
    case DestinationNotMade:
        if (plan.heldDestination != INVALID_HANDLE_VALUE)
            LogLine(plan.log, "Destination exists and only administrators may change it: installed over");
        else
            LogLine(plan.log, "Destination is no folder and none can be made there (error %lu)", (unsigned long)error);
        break;
    case DestinationLinked:
        LogLine(plan.log, "Destination refused: a junction or symbolic link on its path");
        break;
    case DestinationUntrusted:
        LogLine(plan.log, "Destination refused: others than the administrators may change it");
        break;
    case DestinationLowSpace:
        LogLine(plan.log, "Destination refused: %lu KB free on drive %s, %d KB needed", (unsigned long)plan.freeKB,
                plan.driveRoots[plan.driveIndex], (int)RequiredKB);
        break;
    default:
        LogLine(plan.log, "Destination refused: no product folder, or a path too long, in %s", plan.baseDir);
        break;
    }
    return check;
}
