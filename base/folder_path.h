// What an elevated program asks of a path before it makes or opens
// something there: that no junction, symbolic link or mount point leads it
// elsewhere, and, for a path it will write into, that no one but the
// administrators can rename, delete, re-permission or take over a folder
// on the way. Setup's log, its folder checks and the uninstaller share this
// one walk. The 9x family has no links and no permissions: there every
// existing path passes.
#pragma once
#include "base/limits.h"
#include "base/trusted_accounts.h"
#include <windows.h>

struct RunLog;

// The last error left when a link was refused
// (ERROR_REPARSE_POINT_ENCOUNTERED), so that a caller can tell that apart
// from a folder that could not be opened.
constexpr DWORD FolderLinkError = 4395;

// Reads a path's attributes as GetFileAttributesA does, last error
// included; a test hands in its own.
typedef DWORD(WINAPI* AttributeReader)(LPCSTR path);

// True when some existing part of the full path is a junction or a symbolic
// link, when a part cannot be read (access denied, no disk, any error but
// "not found"), or when the path is too long to be checked. Each part is
// asked without a trailing backslash: with one, the system reports the
// folder the link leads to. The first part that does not exist ends the
// walk: what is not there yet is no link.
bool PathHasLink(const char* path, AttributeReader readAttributes = GetFileAttributesA);

// Whether an open file or folder is the one that path names, as the system
// names the object the handle reached, whatever link on the way led there.
// FinalPathUnknown before Vista, which has no call to ask.
enum FinalPath { FinalPathMatches, FinalPathDiffers, FinalPathUnknown };
FinalPath CompareFinalPath(HANDLE object, const char* path);

// Whether two open handles, or two paths (files or folders, whatever their
// spelling), reach one and the same entry: only the identity that the
// volume gives it counts. False when either cannot be opened or asked.
bool SameEntry(HANDLE a, HANDLE b);
bool SameEntry(const char* a, const char* b);

// Whether an open file is the entry name of the folder open as folder, not
// what a link of that name leads to: a system that opens a link's target
// despite FILE_FLAG_OPEN_REPARSE_POINT (Wine does) shows it only in the
// name the handle reached. True where the system cannot name what a handle
// reached (before Vista): there the flag and the attributes are all there
// is. name may begin with a backslash.
bool IsEntryReached(HANDLE file, HANDLE folder, const char* name);

// Opens an existing folder for access without following a link at its
// place. INVALID_HANDLE_VALUE when it cannot be opened, when it is no
// folder, when it is a link, or when the folder opened is another than the
// one asked for (a link further up the path); the last error is then
// FolderLinkError. Where the system cannot name the folder a handle reached
// (before Vista), the path is walked from its root instead, each part held
// open while the next is opened, so none of them can be swapped for a
// link meanwhile. The folder is shared for reading and writing but not for
// deletion: while the handle is open, no one can rename or remove the
// folder and put a link in its place (close it before removing the folder).
// Only a handle with a data right (FILE_LIST_DIRECTORY, DELETE, ...) holds
// it so: one with READ_CONTROL alone takes no part in sharing.
HANDLE OpenFolderUnfollowed(const char* path, DWORD access);

enum PathVerdict {
    PathSafe,          // every part exists; none a link, none that others may change
    PathPartMissing,   // the parts that exist are safe; the rest do not exist yet
    PathLinked,        // a part is a junction, a symbolic link or a mount point
    PathOpenToOthers,  // others than the administrators may rename, delete, re-permission or own a part
    PathUnreadable     // a part could not be opened, or its owner and permissions read
};

// The folder-path walk. Opens each part of the folder path from its root
// ("C:\" or "\\server\share") on, without following a link, and refuses a
// part that users other than the administrators and SYSTEM may rename,
// delete, re-permission or own, or whose contents they may delete: a path
// that nobody else can change leads where it led when it was checked, for
// as long as the run needs it. Folders where users may only add files and
// folders of their own (C:\Windows\Temp, C:\ProgramData, a drive's root)
// pass. Relative paths are taken from the current folder. With log, a
// refusal is logged with the part that caused it; the last error then says
// why (FolderLinkError, ERROR_ACCESS_DENIED, or the error of the part that
// could not be read). Call it for a folder that already exists, or for a
// path whose missing end the caller then makes (PathPartMissing).
PathVerdict CheckFolderPath(const char* path, const RunLog* log = NULL);

// The parts a walk opened, held so that none of them can be renamed or
// removed; closed when the holder goes.
enum { MaxPathParts = PathSize / 2 };
struct HeldPath {
    HANDLE parts[MaxPathParts];
    int count = 0;

    HeldPath() = default;
    HeldPath(const HeldPath&) = delete;
    HeldPath& operator=(const HeldPath&) = delete;
    ~HeldPath() { Release(); }
    void Release();
};

// CheckFolderPath, with the parts left open in held until it is released:
// a file made in the folder meanwhile is made where the walk looked.
PathVerdict HoldFolderPath(const char* path, HeldPath& held, const RunLog* log = NULL);

// The decision over one part's owner and DACL (inherit-only entries give
// nothing on the part itself): PathSafe, PathOpenToOthers or PathUnreadable.
PathVerdict JudgePathPart(PSECURITY_DESCRIPTOR descriptor, const TokenFacts& token);
