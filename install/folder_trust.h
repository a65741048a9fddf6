// What an elevated program asks of a folder before it writes into it or
// deletes from it: that no link leads it elsewhere, and that no one but the
// administrators can change what it holds. No window code: Setup and the
// uninstaller both decide with these and tell the user themselves.
#pragma once
#include <windows.h>

// The last error OpenFolderUnfollowed leaves when it refused a link
// (ERROR_REPARSE_POINT_ENCOUNTERED), so that a caller can tell that apart
// from a folder that could not be opened.
constexpr DWORD FolderLinkError = 4395;

// True when some existing part of the full path is a junction or a
// symbolic link, or when the path is too long to be checked. Each part is
// asked without a trailing backslash: with one, the system reports the
// folder the link leads to. Parts that do not exist yet are not links.
bool PathHasLink(const char* path);

// Opens an existing folder for access without following a link at its
// place. INVALID_HANDLE_VALUE when it cannot be opened, when it is no
// folder, when it is a link, or when the folder opened is another than the
// one asked for (a link further up the path); the last error is then
// FolderLinkError. The folder is shared for reading and writing but not for
// deletion: while the handle is open, no one can rename or remove the
// folder and put a link in its place (close it before removing the folder).
// Only a handle with a data right (FILE_LIST_DIRECTORY, DELETE, ...) holds
// it so: one with READ_CONTROL alone takes no part in sharing.
// The 9x family opens no folders at all.
HANDLE OpenFolderUnfollowed(const char* path, DWORD access);

enum FolderTrust {
    FolderTrusted,           // owned by the administrators or the running account, writable by no one else
    FolderWritableByOthers,  // some other account may change or replace what it holds
    FolderForeignOwner,      // owned by another account, which may give itself any right
    FolderUnreadable,        // its owner and permissions could not be read
    FolderLinked             // the path holds a link, or leads to another folder
};

// The decision over a descriptor that holds an owner and a DACL. The
// trusted accounts are Administrators, SYSTEM, TrustedInstaller and
// runningUser (NULL: none); CREATOR OWNER stands for whoever makes a file,
// which is Setup itself. A NULL DACL lets everyone write.
FolderTrust JudgeFolderSecurity(PSECURITY_DESCRIPTOR descriptor, PSID runningUser);

// Reads the owner and the DACL of an open folder (a handle with
// READ_CONTROL) and judges them against the account that runs this process.
FolderTrust ReadFolderTrust(HANDLE folder);

// Both checks over an existing folder: FolderLinked when the path holds a
// link or the folder opened is another one; on the NT family, what
// ReadFolderTrust says. The 9x family has no permissions: there only the
// links count. With held, the caller gets the folder as it was checked,
// still open (OpenFolderUnfollowed), and closes it; INVALID_HANDLE_VALUE
// when it could not be opened that way (always on the 9x family).
FolderTrust CheckExistingFolder(const char* path, HANDLE* held = NULL);

// How Setup makes its folders on the NT family: a protected DACL that
// gives Administrators and SYSTEM full control and Users read and execute,
// inherited by every folder and file inside. Without it a folder takes its
// parent's permissions, and under C:\ or on a new data drive any user could
// then replace a program that an administrator later runs.
struct AdminFolderSecurity {
    SECURITY_ATTRIBUTES attributes;     // what CreateDirectoryA takes
    PSECURITY_DESCRIPTOR descriptor;    // allocated by the system; NULL when none
};

// Fills security. False on the 9x family, or where the system cannot make
// the descriptor: the attributes then carry none, and folders made with
// them inherit as before.
bool MakeAdminFolderSecurity(AdminFolderSecurity& security);
void FreeAdminFolderSecurity(AdminFolderSecurity& security);
