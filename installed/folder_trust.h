// What an elevated program asks of a folder before it writes into it or
// deletes from it: that no link leads it elsewhere (base/folder_path.h),
// and that no one but the administrators can change what it holds. No
// window code: Setup and the uninstaller both decide with these and tell
// the user themselves.
#pragma once
#include "base/folder_path.h"
#include "base/trusted_accounts.h"
#include <windows.h>

enum FolderTrust {
    FolderTrusted,           // owned by a trusted account (base/trusted_accounts.h), writable by no one else
    FolderWritableByOthers,  // some other account may change or replace what it holds
    FolderForeignOwner,      // owned by another account, which may give itself any right
    FolderUnreadable,        // its owner and permissions could not be read
    FolderLinked             // the path holds a link, or leads to another folder
};

// The decision over a descriptor that holds an owner and a DACL, for a
// process whose token has these facts. CREATOR OWNER stands for whoever
// makes a file, which is Setup itself. A NULL DACL lets everyone write.
FolderTrust JudgeFolderSecurity(PSECURITY_DESCRIPTOR descriptor, const TokenFacts& token);

// Reads the owner and the DACL of an open folder (a handle with
// READ_CONTROL) and judges them for this process's token.
FolderTrust ReadFolderTrust(HANDLE folder);

// Both checks over an existing folder: FolderLinked when the path holds a
// link or the folder opened is another one; on an NT kernel, what
// ReadFolderTrust says. The 9x family has no permissions: there only the
// links count. With held, the caller gets the folder as it was checked,
// still open (OpenFolderUnfollowed), and closes it; INVALID_HANDLE_VALUE
// when it could not be opened that way (always on the 9x family).
FolderTrust CheckExistingFolder(const char* path, HANDLE* held = NULL);

// How Setup makes its folders on an NT kernel: owned by Administrators,
// with a protected DACL that gives Administrators and SYSTEM full control
// and Users read and execute, inherited by every folder and file inside.
// Without it a folder takes its parent's permissions, and under C:\ or on
// a new data drive any user could then replace a program that an
// administrator later runs; and its owner would be the token's default,
// which may be an account that others run programs as.
struct AdminFolderSecurity {
    SECURITY_ATTRIBUTES attributes;     // what CreateDirectoryA takes
    PSECURITY_DESCRIPTOR descriptor;    // allocated by the system; NULL when none
};

// Fills security. False on the 9x family, or where the system cannot make
// the descriptor: the attributes then carry none, and folders made with
// them inherit as before.
bool MakeAdminFolderSecurity(AdminFolderSecurity& security);
void FreeAdminFolderSecurity(AdminFolderSecurity& security);
