#include "installed/folder_trust.h"
#include "base/admin_descriptor.h"
#include "base/nine_x_kernel.h"

namespace {

// Every right that lets an account change what the folder holds, or the
// folder's own permissions: to add, change or remove a file is enough to
// swap a program that an administrator runs later.
const ACCESS_MASK writeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                                FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

// The builtin Users group: read and execute on Setup's folders.
const struct {
    BYTE revision;
    BYTE subAuthorityCount;
    SID_IDENTIFIER_AUTHORITY authority;
    DWORD subAuthorities[2];
} users = {SID_REVISION, 2, {SECURITY_NT_AUTHORITY}, {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS}};

} // namespace

FolderTrust JudgeFolderSecurity(PSECURITY_DESCRIPTOR descriptor, const TokenFacts& token)
{
    switch (CheckOwner(descriptor, token)) {
    case OwnerTrusted:
        break;
    case OwnerForeign:
        return FolderForeignOwner;
    default:
        return FolderUnreadable;
    }
    PACL dacl = NULL;
    if (!ReadDacl(descriptor, dacl))
        return FolderUnreadable;
    // No DACL at all grants everyone every right.
    if (!dacl)
        return FolderWritableByOthers;
    // Inherit-only entries count as well: they reach every file Setup puts
    // into the folder.
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        const ACE_HEADER* entry = DaclEntry(dacl, i);
        if (!entry)
            return FolderUnreadable;
        if (GrantsOthers(entry, writeRights, token, true))
            return FolderWritableByOthers;
    }
    return FolderTrusted;
}

FolderTrust ReadFolderTrust(HANDLE folder)
{
    PSECURITY_DESCRIPTOR descriptor = ReadOwnerAndDacl(folder);
    if (!descriptor)
        return FolderUnreadable;
    ProcessToken token;
    ReadProcessToken(token);
    FolderTrust trust = JudgeFolderSecurity(descriptor, token.facts);
    LocalFree(descriptor);
    return trust;
}

FolderTrust CheckExistingFolder(const char* path, HANDLE* held)
{
    if (held)
        *held = INVALID_HANDLE_VALUE;
    if (PathHasLink(path))
        return FolderLinked;
    if (RunsOnNineXKernel())
        return FolderTrusted;
    // Listing is a data right: only a handle with one holds the folder
    // against renaming; one with READ_CONTROL alone takes no part in sharing.
    HANDLE folder = OpenFolderUnfollowed(path, READ_CONTROL | FILE_LIST_DIRECTORY);
    if (folder == INVALID_HANDLE_VALUE)
        return GetLastError() == FolderLinkError ? FolderLinked : FolderUnreadable;
    FolderTrust trust = ReadFolderTrust(folder);
    if (held)
        *held = folder;
    else
        CloseHandle(folder);
    return trust;
}

bool MakeAdminFolderSecurity(AdminFolderSecurity& security)
{
    security.attributes.nLength = sizeof security.attributes;
    security.attributes.lpSecurityDescriptor = NULL;
    security.attributes.bInheritHandle = FALSE;
    security.descriptor = NULL;
    if (RunsOnNineXKernel())
        return false;
    // 0x1200a9 is read and execute.
    const AccessGrant grants[] = {
        {AdministratorsSid(), FILE_ALL_ACCESS},
        {LocalSystemSid(), FILE_ALL_ACCESS},
        {(PSID)&users, 0x1200a9},
    };
    security.descriptor = MakeProtectedDescriptor(grants, 3, true, AdministratorsSid());
    if (!security.descriptor)
        return false;
    security.attributes.lpSecurityDescriptor = security.descriptor;
    return true;
}

void FreeAdminFolderSecurity(AdminFolderSecurity& security)
{
    if (security.descriptor)
        LocalFree(security.descriptor);
    security.descriptor = NULL;
    security.attributes.lpSecurityDescriptor = NULL;
}
