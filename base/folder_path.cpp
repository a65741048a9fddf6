#include "base/folder_path.h"
#include "base/nine_x_kernel.h"
#include "base/run_log.h"
#include "base/system_function.h"
#include "base/text.h"
#include <string.h>

namespace {

// Every right that lets an account move, remove or take over a folder, or
// remove what it holds: enough to put a folder of its own, or a link, in
// the way. Adding files (C:\Windows\Temp lets every user) is not: a name
// already taken stays taken.
const ACCESS_MASK replaceRights = DELETE | WRITE_DAC | WRITE_OWNER | FILE_DELETE_CHILD | GENERIC_ALL;

bool IsNotFound(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The path as the system names it: full, without a trailing backslash
// past a root.
bool FullPath(char (&full)[PathSize], const char* path)
{
    DWORD length = GetFullPathNameA(path, sizeof full, full, NULL);
    if (length == 0 || length >= sizeof full)
        return false;
    TrimTrailingBackslashes(full);
    return true;
}

// How long the root of a full path is: 3 for "C:\", the length of
// "\\server\share" for a share; 0 for any other form, which is not walked.
size_t RootLength(const char* full)
{
    char drive = (char)(full[0] | 0x20);
    if (drive >= 'a' && drive <= 'z' && full[1] == ':' && full[2] == '\\')
        return 3;
    if (full[0] != '\\' || full[1] != '\\' || full[2] == '?' || full[2] == '.' || full[2] == '\\' || !full[2])
        return 0;
    const char* share = strchr(full + 2, '\\');
    if (!share || share[1] == '\\' || !share[1])
        return 0;
    const char* end = strchr(share + 1, '\\');
    return end ? (size_t)(end - full) : TextLength(full);
}

void LogRefusal(const RunLog* log, PathVerdict verdict, const char* part, DWORD error)
{
    if (!log)
        return;
    switch (verdict) {
    case PathLinked:
        LogLine(*log, "Folder refused: %s is a link to another place", part);
        break;
    case PathOpenToOthers:
        LogLine(*log, "Folder refused: others than the administrators may rename, delete or re-permission %s", part);
        break;
    case PathUnreadable:
        LogLine(*log, "Folder refused: %s cannot be read (error %lu)", part, (unsigned long)error);
        break;
    default:
        break;
    }
}

// One part, opened without following a link at its place and held without
// delete sharing, and what it is.
PathVerdict OpenPart(const char* part, bool isRoot, HeldPath& held)
{
    if (held.count >= MaxPathParts) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return PathUnreadable;
    }
    HANDLE handle = CreateFileA(part, READ_CONTROL | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return !isRoot && IsNotFound(GetLastError()) ? PathPartMissing : PathUnreadable;
    held.parts[held.count++] = handle;
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(handle, &information))
        return PathUnreadable;
    if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        SetLastError(FolderLinkError);
        return PathLinked;
    }
    if (!(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetLastError(ERROR_DIRECTORY);
        return PathUnreadable;
    }
    if (isRoot)
        return PathSafe;
    // Wine opens the folder a host link leads to even when asked not to
    // follow it, and only the name shows the link. The part is held now:
    // its name stays its own while it is asked.
    DWORD attributes = GetFileAttributesA(part);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PathUnreadable;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        SetLastError(FolderLinkError);
        return PathLinked;
    }
    return PathSafe;
}

PathVerdict JudgeHeldPart(HANDLE part, const TokenFacts& token)
{
    PSECURITY_DESCRIPTOR descriptor = ReadOwnerAndDacl(part);
    if (!descriptor)
        return PathUnreadable;
    PathVerdict verdict = JudgePathPart(descriptor, token);
    LocalFree(descriptor);
    if (verdict == PathOpenToOthers)
        SetLastError(ERROR_ACCESS_DENIED);
    return verdict;
}

// The 9x family: whether each part exists, and nothing more to ask.
PathVerdict WalkNineX(const char* full, size_t rootLength)
{
    char part[PathSize];
    for (size_t end = rootLength; full[end];) {
        if (full[end] == '\\')
            ++end;
        while (full[end] && full[end] != '\\')
            ++end;
        if (!CopyTextPart(part, full, end))
            return PathUnreadable;
        if (GetFileAttributesA(part) == INVALID_FILE_ATTRIBUTES)
            return IsNotFound(GetLastError()) ? PathPartMissing : PathUnreadable;
    }
    return PathSafe;
}

// The walk itself: each part from the root on, held while the next is
// opened; owners and permissions judged too with token.
PathVerdict Walk(const char* path, HeldPath& held, const TokenFacts* token, const RunLog* log)
{
    char full[PathSize];
    if (!FullPath(full, path)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        LogRefusal(log, PathUnreadable, path, GetLastError());
        return PathUnreadable;
    }
    size_t rootLength = RootLength(full);
    if (rootLength == 0) {
        SetLastError(ERROR_BAD_PATHNAME);
        LogRefusal(log, PathUnreadable, full, GetLastError());
        return PathUnreadable;
    }
    if (RunsOnNineXKernel())
        return WalkNineX(full, rootLength);
    char part[PathSize];
    for (size_t end = rootLength;;) {
        bool isRoot = end == rootLength;
        // A root is opened with its backslash: "C:" alone names the
        // drive's current folder.
        if (!CopyTextPart(part, full, end) || (isRoot && part[end - 1] != '\\' && !AppendText(part, "\\"))) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return PathUnreadable;
        }
        PathVerdict verdict = OpenPart(part, isRoot, held);
        if (verdict == PathSafe && token)
            verdict = JudgeHeldPart(held.parts[held.count - 1], *token);
        if (verdict != PathSafe) {
            DWORD error = GetLastError();
            LogRefusal(log, verdict, part, error);
            SetLastError(error);
            return verdict;
        }
        if (!full[end])
            return PathSafe;
        // Past the backslash that ends this part, to the end of the next.
        if (full[end] == '\\')
            ++end;
        while (full[end] && full[end] != '\\')
            ++end;
    }
}

} // namespace

void HeldPath::Release()
{
    while (count > 0)
        CloseHandle(parts[--count]);
}

bool PathHasLink(const char* path, AttributeReader readAttributes)
{
    char part[PathSize];
    if (!CopyText(part, path))
        return true;
    size_t length = TrimTrailingBackslashes(part);
    // The root itself is never asked: "C:" alone names the drive's current
    // folder, not its root.
    size_t start = (length >= 3 && part[1] == ':' && part[2] == '\\') ? 3 : 0;
    for (size_t i = start; i <= length; ++i) {
        if (i < length && part[i] != '\\')
            continue;
        if (i == start)
            continue;
        char kept = part[i];
        part[i] = '\0';
        DWORD attributes = readAttributes(part);
        part[i] = kept;
        // Only a part that is not there ends the walk; one that cannot be
        // read might be a link, and is taken for one.
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return !IsNotFound(GetLastError());
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return true;
    }
    return false;
}

namespace {

// The name the system reached through an open handle, whatever link led
// there, without the "\\?\" prefix.
bool ReachedName(HANDLE object, char (&name)[PathSize])
{
    auto finalPath = SYSTEM_FUNCTION("kernel32.dll", GetFinalPathNameByHandleA);
    char reached[PathSize];
    DWORD length = finalPath ? finalPath(object, reached, sizeof reached, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS) : 0;
    if (length == 0 || length >= sizeof reached)
        return false;
    return CopyText(name, strncmp(reached, "\\\\?\\", 4) == 0 ? reached + 4 : reached);
}

} // namespace

bool IsEntryReached(HANDLE file, HANDLE folder, const char* name)
{
    if (RunsOnNineXKernel() || !SYSTEM_FUNCTION("kernel32.dll", GetFinalPathNameByHandleA))
        return true;
    char expected[PathSize], reached[PathSize];
    return ReachedName(folder, expected) && AppendText(expected, name[0] == '\\' ? "" : "\\") &&
           AppendText(expected, name) && ReachedName(file, reached) && lstrcmpiA(expected, reached) == 0;
}

bool SameEntry(HANDLE a, HANDLE b)
{
    BY_HANDLE_FILE_INFORMATION first, second;
    return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

bool SameEntry(const char* a, const char* b)
{
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE first = CreateFileA(a, 0, share, NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (first == INVALID_HANDLE_VALUE)
        return false;
    HANDLE second = CreateFileA(b, 0, share, NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    bool same = second != INVALID_HANDLE_VALUE && SameEntry(first, second);
    if (second != INVALID_HANDLE_VALUE)
        CloseHandle(second);
    CloseHandle(first);
    return same;
}

FinalPath CompareFinalPath(HANDLE object, const char* path)
{
    auto finalPath = SYSTEM_FUNCTION("kernel32.dll", GetFinalPathNameByHandleA);
    if (!finalPath)
        return FinalPathUnknown;
    char named[PathSize];
    DWORD length = finalPath(object, named, sizeof named, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= sizeof named)
        return FinalPathDiffers;
    // "\\?\C:\..." for a drive, "\\?\UNC\server\share\..." for a share.
    char reached[PathSize];
    if (strncmp(named, "\\\\?\\UNC\\", 8) == 0)
        FormatText(reached, "\\\\%s", named + 8);
    else
        CopyText(reached, strncmp(named, "\\\\?\\", 4) == 0 ? named + 4 : named);
    char asked[PathSize];
    if (!FullPath(asked, path))
        return FinalPathDiffers;
    if (lstrcmpiA(reached, asked) == 0)
        return FinalPathMatches;
    // A short (8.3) name names the same object by another spelling.
    auto longName = SYSTEM_FUNCTION("kernel32.dll", GetLongPathNameA);
    char longAsked[PathSize];
    DWORD longLength = longName ? longName(asked, longAsked, sizeof longAsked) : 0;
    return longLength > 0 && longLength < sizeof longAsked && lstrcmpiA(reached, longAsked) == 0 ? FinalPathMatches
                                                                                                 : FinalPathDiffers;
}

HANDLE OpenFolderUnfollowed(const char* path, DWORD access)
{
    if (RunsOnNineXKernel()) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return INVALID_HANDLE_VALUE;
    }
    bool canName = SYSTEM_FUNCTION("kernel32.dll", GetFinalPathNameByHandleA) != NULL;
    HeldPath walked;
    if (!canName) {
        PathVerdict verdict = Walk(path, walked, NULL, NULL);
        if (verdict != PathSafe) {
            if (verdict == PathLinked)
                SetLastError(FolderLinkError);
            return INVALID_HANDLE_VALUE;
        }
    }
    HANDLE folder = CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (folder == INVALID_HANDLE_VALUE)
        return folder;
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(folder, &information) ||
        !(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(folder);
        SetLastError(ERROR_DIRECTORY);
        return INVALID_HANDLE_VALUE;
    }
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        (canName && CompareFinalPath(folder, path) != FinalPathMatches)) {
        CloseHandle(folder);
        SetLastError(FolderLinkError);
        return INVALID_HANDLE_VALUE;
    }
    return folder;
}

PathVerdict JudgePathPart(PSECURITY_DESCRIPTOR descriptor, const TokenFacts& token)
{
    switch (CheckOwner(descriptor, token)) {
    case OwnerTrusted:
        break;
    case OwnerForeign:
        return PathOpenToOthers;
    default:
        return PathUnreadable;
    }
    PACL dacl = NULL;
    if (!ReadDacl(descriptor, dacl))
        return PathUnreadable;
    if (!dacl)
        return PathOpenToOthers;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        const ACE_HEADER* entry = DaclEntry(dacl, i);
        if (!entry)
            return PathUnreadable;
        if (GrantsOthers(entry, replaceRights, token, false))
            return PathOpenToOthers;
    }
    return PathSafe;
}

PathVerdict HoldFolderPath(const char* path, HeldPath& held, const RunLog* log)
{
    held.Release();
    ProcessToken token;
    ReadProcessToken(token);
    PathVerdict verdict = Walk(path, held, &token.facts, log);
    if (verdict != PathSafe && verdict != PathPartMissing) {
        DWORD error = GetLastError();
        held.Release();
        SetLastError(error);
    }
    return verdict;
}

PathVerdict CheckFolderPath(const char* path, const RunLog* log)
{
    HeldPath held;
    PathVerdict verdict = HoldFolderPath(path, held, log);
    DWORD error = GetLastError();
    held.Release();
    SetLastError(error);
    return verdict;
}
