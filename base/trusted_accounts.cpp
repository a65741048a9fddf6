#include "base/trusted_accounts.h"
#include "base/system_function.h"
#include <aclapi.h>

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

// The calls that read a descriptor, looked up together; the first that is
// missing makes the whole set unusable.
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

bool SameSid(const SecurityCalls& calls, PSID a, PSID b)
{
    return a && b && calls.isValidSid(a) && calls.isValidSid(b) && calls.equalSid(a, b);
}

} // namespace

void ReadProcessToken(ProcessToken& token)
{
    token.facts = TokenFacts();
    auto openToken = SYSTEM_FUNCTION("advapi32.dll", OpenProcessToken);
    auto getTokenInformation = SYSTEM_FUNCTION("advapi32.dll", GetTokenInformation);
    HANDLE handle = NULL;
    if (!openToken || !getTokenInformation || !openToken(GetCurrentProcess(), TOKEN_QUERY, &handle))
        return;
    DWORD size = 0;
    if (getTokenInformation(handle, TokenUser, &token.userStorage, sizeof token.userStorage, &size))
        token.facts.user = token.userStorage.user.User.Sid;
    if (getTokenInformation(handle, TokenOwner, &token.ownerStorage, sizeof token.ownerStorage, &size))
        token.facts.defaultOwner = token.ownerStorage.owner.Owner;
    CloseHandle(handle);
}

PSID TrustedRunningAccount(const TokenFacts& token)
{
    SecurityCalls calls;
    if (!calls.Load() || !token.user || !token.defaultOwner || !calls.isValidSid(token.user) ||
        !calls.isValidSid(token.defaultOwner))
        return NULL;
    return calls.equalSid(token.defaultOwner, administrators.Sid()) ? NULL : token.user;
}

bool IsTrustedAccount(PSID account, const TokenFacts& token)
{
    SecurityCalls calls;
    if (!calls.Load() || !account || !calls.isValidSid(account))
        return false;
    return calls.equalSid(account, administrators.Sid()) || calls.equalSid(account, localSystem.Sid()) ||
           calls.equalSid(account, trustedInstaller.Sid()) || SameSid(calls, account, TrustedRunningAccount(token));
}

bool GrantsOthers(const ACE_HEADER* header, ACCESS_MASK rights, const TokenFacts& token, bool inheritOnlyCounts)
{
    if (!inheritOnlyCounts && (header->AceFlags & INHERIT_ONLY_ACE))
        return false;
    switch (header->AceType) {
    case ACCESS_ALLOWED_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_ACE_TYPE:
        break;
    case ACCESS_ALLOWED_COMPOUND_ACE_TYPE:
    case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE:
        return (reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header)->Mask & rights) != 0;
    default:
        return false;
    }
    const ACCESS_ALLOWED_ACE* entry = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header);
    if (!(entry->Mask & rights))
        return false;
    SecurityCalls calls;
    if (!calls.Load())
        return true;
    PSID account = const_cast<DWORD*>(&entry->SidStart);
    return !IsTrustedAccount(account, token) && !SameSid(calls, account, creatorOwner.Sid());
}

OwnerCheck CheckOwner(PSECURITY_DESCRIPTOR descriptor, const TokenFacts& token)
{
    SecurityCalls calls;
    PSID owner = NULL;
    BOOL defaulted = FALSE;
    if (!descriptor || !calls.Load() || !calls.getOwner(descriptor, &owner, &defaulted))
        return OwnerUnreadable;
    return owner && IsTrustedAccount(owner, token) ? OwnerTrusted : OwnerForeign;
}

bool ReadDacl(PSECURITY_DESCRIPTOR descriptor, PACL& dacl)
{
    SecurityCalls calls;
    BOOL present = FALSE, defaulted = FALSE;
    dacl = NULL;
    if (!descriptor || !calls.Load() || !calls.getDacl(descriptor, &present, &dacl, &defaulted))
        return false;
    if (!present)
        dacl = NULL;
    return true;
}

const ACE_HEADER* DaclEntry(PACL dacl, DWORD index)
{
    SecurityCalls calls;
    void* entry = NULL;
    if (!dacl || !calls.Load() || !calls.getAce(dacl, index, &entry))
        return NULL;
    return static_cast<const ACE_HEADER*>(entry);
}

PSECURITY_DESCRIPTOR ReadOwnerAndDacl(HANDLE object)
{
    auto getSecurity = SYSTEM_FUNCTION("advapi32.dll", GetSecurityInfo);
    if (!getSecurity) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return NULL;
    }
    PSECURITY_DESCRIPTOR descriptor = NULL;
    DWORD status = getSecurity(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, NULL,
                               NULL, NULL, NULL, &descriptor);
    if (status != ERROR_SUCCESS) {
        SetLastError(status);
        return NULL;
    }
    return descriptor;
}

PSID AdministratorsSid()
{
    return administrators.Sid();
}

PSID LocalSystemSid()
{
    return localSystem.Sid();
}
