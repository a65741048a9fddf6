// Which accounts an elevated program may leave its folders and files to:
// those that can change anything on the machine anyway. Setup's folder
// checks, the walk over a path's folders (base/folder_path.h) and the
// uninstaller's helper all judge owners and permissions by these.
//
// The security calls are looked up when first needed: Windows 98 lacks
// most of them, and the 9x family never comes here (base/nine_x_kernel.h).
#pragma once
#include <windows.h>

// What the token of a process says about its account, as far as the owner
// rule needs it. A fact that could not be read is NULL.
struct TokenFacts {
    PSID user = NULL;          // the account that runs the process
    PSID defaultOwner = NULL;  // the owner the token gives what the process creates
};

// The facts of this process's own token, in storage of their own: facts
// points into it, so a ProcessToken is never copied.
struct ProcessToken {
    TokenFacts facts;
    union {
        TOKEN_USER user;
        BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } userStorage;
    union {
        TOKEN_OWNER owner;
        BYTE bytes[sizeof(TOKEN_OWNER) + SECURITY_MAX_SID_SIZE];
    } ownerStorage;

    ProcessToken() = default;
    ProcessToken(const ProcessToken&) = delete;
    ProcessToken& operator=(const ProcessToken&) = delete;
};
void ReadProcessToken(ProcessToken& token);

// The running account where it may be trusted like the administrators;
// NULL where not. An owner can always change the permissions, so a folder
// that the account owns is as safe as the account's least trusted program.
// Where Windows splits an administrator's token (UAC), the elevated half
// gives what it creates to Administrators, while the unelevated half, the
// same account's everyday programs, gives it to the account: a folder that
// the account owns may be that twin's, or lie in its profile. So the
// account counts only where its token does not give its creations to
// Administrators: then it has no elevated half apart from an everyday one
// (Windows XP, where the account itself is the default owner; Wine, whose
// token names its primary group, while every file reads back as owned by
// the account).
PSID TrustedRunningAccount(const TokenFacts& token);

// Administrators, SYSTEM, TrustedInstaller and TrustedRunningAccount.
bool IsTrustedAccount(PSID account, const TokenFacts& token);

// Whether a DACL entry lets an account that is not trusted have any of
// rights. Deny entries only take rights away. CREATOR OWNER stands for
// whoever makes a file inside, never for someone else. An allowed entry of
// a kind whose account cannot be read here counts against the folder.
// Inherit-only entries count only with inheritOnlyCounts: they reach what is
// made inside, but give nothing on the object itself.
bool GrantsOthers(const ACE_HEADER* entry, ACCESS_MASK rights, const TokenFacts& token, bool inheritOnlyCounts);

// The outcome of reading a descriptor's owner and DACL.
enum OwnerCheck {
    OwnerTrusted,
    OwnerForeign,      // another account owns it, and may give itself any right
    OwnerUnreadable
};
OwnerCheck CheckOwner(PSECURITY_DESCRIPTOR descriptor, const TokenFacts& token);

// The DACL of a descriptor: false when it cannot be read; dacl NULL when
// there is none, which grants everyone everything.
bool ReadDacl(PSECURITY_DESCRIPTOR descriptor, PACL& dacl);

// The entry at index of a DACL; NULL when it cannot be read.
const ACE_HEADER* DaclEntry(PACL dacl, DWORD index);

// The owner and DACL of an open object (a handle with READ_CONTROL), in
// memory that the caller frees with LocalFree; NULL with the last error
// set when they cannot be read.
PSECURITY_DESCRIPTOR ReadOwnerAndDacl(HANDLE object);

// The well-known accounts, for the descriptors that the programs make.
PSID AdministratorsSid();
PSID LocalSystemSid();
