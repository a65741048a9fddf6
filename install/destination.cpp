#include "install/destination.h"
#include "installed/folder_trust.h"
#include "install/folders.h"
#include "base/base_key.h"
#include "base/folder_path.h"
#include "base/nine_x_kernel.h"
#include "base/text.h"

void HeldFolder::Release()
{
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
    checked = false;
}

bool KeepsPermissions(bool ntFamily, bool read, DWORD flags, bool windowsVolume)
{
    // A volume that cannot be asked is judged by the folder's own check.
    return !ntFamily || windowsVolume || !read || (flags & FS_PERSISTENT_ACLS);
}

bool VolumeKeepsPermissions(const SetupPlan& plan, char (&root)[DriveRootSize])
{
    const char* destDir = plan.choices.destDir;
    char drive = (char)(destDir[0] & ~0x20);
    FormatText(root, "%c:\\", drive);
    char windows[PathSize] = "";
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    bool windowsVolume = length > 0 && length < sizeof windows && (char)(windows[0] & ~0x20) == drive;
    DWORD flags = 0;
    bool read = GetVolumeInformationA(root, NULL, 0, NULL, NULL, &flags, NULL, 0) != FALSE;
    // The kernel, not the reported version: posing as 9x on an NT kernel,
    // a volume without permissions is as open as ever.
    return KeepsPermissions(!RunsOnNineXKernel(), read, flags, windowsVolume);
}

namespace {

// Whether any account but the administrators and SYSTEM may rename or
// re-permission a folder on the path from the drive's root to path: such
// an account could move the whole tree away under Setup. The walk is the
// one the log's folder goes through; the parts that do not exist yet are
// Setup's to make.
// A part that is a file, not a folder, lets nothing be made below it: the
// steps after this refuse a file at the destination's name, and ask about a
// name that cannot be made, as they would without the walk.
bool PathAboveIsGuarded(const char* path, const RunLog& log)
{
    PathVerdict verdict = CheckFolderPath(path, &log);
    return verdict == PathSafe || verdict == PathPartMissing ||
           (verdict == PathUnreadable && GetLastError() == ERROR_DIRECTORY);
}

DestinationCheck Prepare(const SetupPlan& plan, HeldFolder& held)
{
    const char* destDir = plan.choices.destDir;
    LogLine(plan.log, "Destination chosen: %s", destDir);
    // Setup runs as administrator: a link on the way would have it make
    // folders and write files wherever the link's maker wants.
    if (PathHasLink(destDir))
        return DestinationLinked;
    if (!PathAboveIsGuarded(destDir, plan.log))
        return DestinationUntrusted;
    // A typed or browsed destination may lie below folders that do not
    // exist yet. They stay if the setup is cancelled later, like the
    // destination itself.
    CreateParentFolders(destDir, plan.folderSecurity, plan.log);
    bool made = MakeFolder(destDir, plan.folderSecurity, plan.log);
    DWORD error = GetLastError();
    if (!made) {
        DWORD attributes = GetFileAttributesA(destDir);
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            SetLastError(error);
            return DestinationNotMade;
        }
        // Asking about a name that a file holds would give another user the
        // time of the question to put a link there: it is refused outright.
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return DestinationIsFile;
    }
    // What was made is judged like what was there: between its making and
    // this open another user may have swapped it, and on a drive that keeps
    // no permissions it is open to everyone.
    switch (CheckExistingFolder(destDir, &held.handle)) {
    case FolderTrusted:
        held.checked = true;
        return made ? DestinationMade : DestinationExists;
    case FolderLinked:
        held.Release();
        return DestinationLinked;
    default:
        held.Release();
        // Setup's own empty folder goes again; anything else stays as found.
        if (made && RemoveDirectoryA(destDir))
            LogLine(plan.log, "Folder removed: %s", destDir);
        return DestinationUntrusted;
    }
}

} // namespace

DestinationCheck PrepareDestination(const SetupPlan& plan, HeldFolder& held)
{
    held.Release();
    DestinationCheck check = Prepare(plan, held);
    DWORD error = GetLastError();
    switch (check) {
    case DestinationMade:
        break;
    case DestinationExists:
        LogLine(plan.log, "Destination exists and only administrators may change it: installed over");
        break;
    case DestinationNotMade:
        LogLine(plan.log, "Destination is no folder and none can be made there (error %lu)", (unsigned long)error);
        break;
    case DestinationIsFile:
        LogLine(plan.log, "Destination refused: %s is a file", plan.choices.destDir);
        break;
    case DestinationLinked:
        LogLine(plan.log, "Destination refused: a junction or symbolic link on its path");
        break;
    case DestinationUntrusted:
        LogLine(plan.log, "Destination refused: others than the administrators may change it");
        break;
    default:
        break;
    }
    return check;
}
