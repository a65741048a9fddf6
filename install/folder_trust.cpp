#include "install/folder_trust.h"
#include "base/base_key.h"
#include "base/limits.h"
#include "base/system_function.h"
#include "base/text.h"
#include <aclapi.h>
#include <sddl.h>
#include <string.h>

namespace {

// The well-known accounts, laid out as the system lays out a SID, so that
// no call is needed to make them.
template <int Count> struct KnownSid {
    BYTE revision;
    BYTE subAuthorityCount;
    SID_IDENTIFIER_AUTHORITY authority;
    DWORD subAuthorities[Count];

    PSID Sid() const
    {
        return const_cast<KnownSid*>(this);
    }
};

const KnownSid<2> administrators = {SID_REVISION, 2, {SECURITY_NT_AUTHORITY}, {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS}};
const KnownSid<1> localSystem = {SID_REVISION, 1, {SECURITY_NT_AUTHORITY}, {SECURITY_LOCAL_SYSTEM_RID}};
const KnownSid<6> trustedInstaller = {SID_REVISION, 6, {SECURITY_NT_AUTHORITY},
                                      {80, 956008885u, 3418522649u, 1831038044u, 1853292631u, 2271478464u}};
const KnownSid<1> creatorOwner = {SID_REVISION, 1, {SECURITY_CREATOR_SID_AUTHORITY}, {SECURITY_CREATOR_OWNER_RID}};

// Every right that lets an account change what the folder holds, or the
// folder's own permissions: to add, change or remove a file is enough to
// swap a program that an administrator runs later.
const ACCESS_MASK writeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                                FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

// The security calls Windows 98 lacks, looked up together; the first call
// that is missing makes the whole set unusable.
struct SecurityCalls {
    decltype(&::GetSecurityDescriptorOwner) getOwner;
    decltype(&::GetSecurityDescriptorDacl) getDacl;
    decltype(&::GetAce) getAce;
    decltype(&::EqualSid) equalSid;
    decltype(&::IsValidSid) isValidSid;

    bool Load()
    {
        getOwner = SYSTEM_FUNCTION("advapi32.dll", GetSecurityDescriptorOwner);
        getDacl = SYSTEM_FUNCTION("advapi32.dll", GetSecurityDescriptorDacl);
        getAce = SYSTEM_FUNCTION("advapi32.dll", GetAce);
        equalSid = SYSTEM_FUNCTION("advapi32.dll", EqualSid);
        isValidSid = SYSTEM_FUNCTION("advapi32.dll", IsValidSid);
        return getOwner && getDacl && getAce && equalSid && isValidSid;
    }
};

bool IsTrustedAccount(const SecurityCalls& calls, PSID account, PSID runningUser)
{
    if (!calls.isValidSid(account))
        return false;
    return calls.equalSid(account, administrators.Sid()) || calls.equalSid(account, localSystem.Sid()) ||
           calls.equalSid(account, trustedInstaller.Sid()) ||
           (runningUser && calls.equalSid(account, runningUser));
}

// True when the entry lets someone outside the trusted accounts write.
// Deny entries only take rights away. An allowed entry of a kind whose
// account cannot be read here counts against the folder when it grants a
// write right.
bool GrantsOthersWrite(const SecurityCalls& calls, const ACE_HEADER* header, PSID runningUser)
{
    switch (header->AceType) {
    case ACCESS_ALLOWED_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_ACE_TYPE:
        break;
    case ACCESS_ALLOWED_COMPOUND_ACE_TYPE:
    case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE:
        return (reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header)->Mask & writeRights) != 0;
    default:
        return false;
    }
    const ACCESS_ALLOWED_ACE* entry = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header);
    if (!(entry->Mask & writeRights))
        return false;
    PSID account = const_cast<DWORD*>(&entry->SidStart);
    return !IsTrustedAccount(calls, account, runningUser) && !calls.equalSid(account, creatorOwner.Sid());
}

// The path as the system names it: full, without a trailing backslash
// past a root.
bool FullFolderPath(char (&full)[PathSize], const char* path)
{
    DWORD length = GetFullPathNameA(path, sizeof full, full, NULL);
    if (length == 0 || length >= sizeof full)
        return false;
    TrimTrailingBackslashes(full);
    return true;
}

// Whether the open folder is the one asked for. GetFinalPathNameByHandle
// names the folder a handle really reached, whatever link on the way led
// there; before Vista it is missing, and the attributes are all there is.
bool IsFolderAsked(HANDLE folder, const char* path)
{
    auto finalPath = SYSTEM_FUNCTION("kernel32.dll", GetFinalPathNameByHandleA);
    if (!finalPath)
        return true;
    char named[PathSize];
    DWORD length = finalPath(folder, named, sizeof named, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= sizeof named)
        return false;
    const char* reached = strncmp(named, "\\\\?\\", 4) == 0 ? named + 4 : named;
    char asked[PathSize];
    if (!FullFolderPath(asked, path))
        return false;
    if (lstrcmpiA(reached, asked) == 0)
        return true;
    // A short (8.3) name names the same folder by another spelling.
    auto longName = SYSTEM_FUNCTION("kernel32.dll", GetLongPathNameA);
    char longAsked[PathSize];
    DWORD longLength = longName ? longName(asked, longAsked, sizeof longAsked) : 0;
    return longLength > 0 && longLength < sizeof longAsked && lstrcmpiA(reached, longAsked) == 0;
}

bool IsNtSystem()
{
    return IsNtFamily(GetVersion());
}

} // namespace

bool PathHasLink(const char* path)
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
        DWORD attributes = GetFileAttributesA(part);
        part[i] = kept;
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return false;
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return true;
    }
    return false;
}

HANDLE OpenFolderUnfollowed(const char* path, DWORD access)
{
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
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || !IsFolderAsked(folder, path)) {
        CloseHandle(folder);
        SetLastError(FolderLinkError);
        return INVALID_HANDLE_VALUE;
    }
    return folder;
}

FolderTrust JudgeFolderSecurity(PSECURITY_DESCRIPTOR descriptor, PSID runningUser)
{
    SecurityCalls calls;
    if (!descriptor || !calls.Load())
        return FolderUnreadable;
    PSID owner = NULL;
    BOOL ownerDefaulted = FALSE;
    if (!calls.getOwner(descriptor, &owner, &ownerDefaulted))
        return FolderUnreadable;
    if (!owner || !IsTrustedAccount(calls, owner, runningUser))
        return FolderForeignOwner;

    BOOL present = FALSE, daclDefaulted = FALSE;
    PACL dacl = NULL;
    if (!calls.getDacl(descriptor, &present, &dacl, &daclDefaulted))
        return FolderUnreadable;
    // No DACL at all grants everyone every right.
    if (!present || !dacl)
        return FolderWritableByOthers;
    // Inherit-only entries count as well: they reach every file Setup puts
    // into the folder.
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* entry = NULL;
        if (!calls.getAce(dacl, i, &entry) || !entry)
            return FolderUnreadable;
        if (GrantsOthersWrite(calls, static_cast<const ACE_HEADER*>(entry), runningUser))
            return FolderWritableByOthers;
    }
    return FolderTrusted;
}

FolderTrust ReadFolderTrust(HANDLE folder)
{
    auto getSecurity = SYSTEM_FUNCTION("advapi32.dll", GetSecurityInfo);
    auto openToken = SYSTEM_FUNCTION("advapi32.dll", OpenProcessToken);
    auto getTokenInformation = SYSTEM_FUNCTION("advapi32.dll", GetTokenInformation);
    if (!getSecurity || !openToken || !getTokenInformation)
        return FolderUnreadable;

    // The account that runs Setup may own the folders it made: on the NT
    // family an administrator's new folders belong to the administrator
    // rather than to the group on some versions.
    union {
        TOKEN_USER user;
        BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } token;
    PSID runningUser = NULL;
    HANDLE tokenHandle = NULL;
    if (openToken(GetCurrentProcess(), TOKEN_QUERY, &tokenHandle)) {
        DWORD size = 0;
        if (getTokenInformation(tokenHandle, TokenUser, &token, sizeof token, &size))
            runningUser = token.user.User.Sid;
        CloseHandle(tokenHandle);
    }

    PSECURITY_DESCRIPTOR descriptor = NULL;
    if (getSecurity(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, NULL, NULL, NULL,
                    NULL, &descriptor) != ERROR_SUCCESS)
        return FolderUnreadable;
    FolderTrust trust = JudgeFolderSecurity(descriptor, runningUser);
    LocalFree(descriptor);
    return trust;
}

FolderTrust CheckExistingFolder(const char* path, HANDLE* held)
{
    if (held)
        *held = INVALID_HANDLE_VALUE;
    if (PathHasLink(path))
        return FolderLinked;
    if (!IsNtSystem())
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
    if (!IsNtSystem())
        return false;
    auto convert = SYSTEM_FUNCTION("advapi32.dll", ConvertStringSecurityDescriptorToSecurityDescriptorA);
    // P: protected, so nothing of the parent's entries comes in. OICI: every
    // folder and file inside takes the same entries. 0x1200a9 is read and
    // execute.
    if (!convert || !convert("D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)", SDDL_REVISION_1,
                             &security.descriptor, NULL))
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
