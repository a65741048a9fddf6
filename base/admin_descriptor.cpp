#include "base/admin_descriptor.h"
#include "base/system_function.h"

PSECURITY_DESCRIPTOR MakeProtectedDescriptor(const AccessGrant* grants, int count, bool inherited, PSID owner)
{
    auto initializeDescriptor = SYSTEM_FUNCTION("advapi32.dll", InitializeSecurityDescriptor);
    auto initializeAcl = SYSTEM_FUNCTION("advapi32.dll", InitializeAcl);
    auto addAllowed = SYSTEM_FUNCTION("advapi32.dll", AddAccessAllowedAceEx);
    auto setOwner = SYSTEM_FUNCTION("advapi32.dll", SetSecurityDescriptorOwner);
    auto setDacl = SYSTEM_FUNCTION("advapi32.dll", SetSecurityDescriptorDacl);
    auto setControl = SYSTEM_FUNCTION("advapi32.dll", SetSecurityDescriptorControl);
    auto makeSelfRelative = SYSTEM_FUNCTION("advapi32.dll", MakeSelfRelativeSD);
    if (!initializeDescriptor || !initializeAcl || !addAllowed || !setOwner || !setDacl || !setControl ||
        !makeSelfRelative) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return NULL;
    }
    if (count < 0 || count > MaxAccessGrants) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    // Room for the largest SID in every entry.
    union {
        ACL acl;
        BYTE bytes[sizeof(ACL) + MaxAccessGrants * (sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE)];
    } dacl;
    SECURITY_DESCRIPTOR absolute;
    const DWORD flags = inherited ? OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE : 0;
    if (!initializeDescriptor(&absolute, SECURITY_DESCRIPTOR_REVISION) ||
        !initializeAcl(&dacl.acl, sizeof dacl, ACL_REVISION))
        return NULL;
    for (int i = 0; i < count; ++i)
        if (!addAllowed(&dacl.acl, ACL_REVISION, flags, grants[i].rights, grants[i].account))
            return NULL;
    if ((owner && !setOwner(&absolute, owner, FALSE)) || !setDacl(&absolute, TRUE, &dacl.acl, FALSE) ||
        !setControl(&absolute, SE_DACL_PROTECTED, SE_DACL_PROTECTED))
        return NULL;
    DWORD size = 0;
    makeSelfRelative(&absolute, NULL, &size);
    if (size == 0)
        return NULL;
    PSECURITY_DESCRIPTOR made = LocalAlloc(LMEM_FIXED, size);
    if (!made)
        return NULL;
    if (!makeSelfRelative(&absolute, made, &size)) {
        DWORD error = GetLastError();
        LocalFree(made);
        SetLastError(error);
        return NULL;
    }
    return made;
}
