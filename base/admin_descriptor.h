// The security descriptors that the programs give to what they make: a
// protected DACL, so that nothing of the parent's entries comes in, with
// the given accounts and rights. Built with the system's calls one part at
// a time rather than parsed from descriptor text: Wine posing as Windows 98
// declines the parser (ERROR_CALL_NOT_IMPLEMENTED) on an NT kernel whose
// folders still need their permissions.
#pragma once
#include <windows.h>

struct AccessGrant {
    PSID account;
    ACCESS_MASK rights;
};

// At most this many grants in one descriptor.
enum { MaxAccessGrants = 4 };

// A self-relative descriptor, in memory that the caller frees with
// LocalFree; NULL, with the last error, when it cannot be made. With
// inherited, every folder and file made inside takes the same entries.
// owner NULL leaves the owner to the token's default.
PSECURITY_DESCRIPTOR MakeProtectedDescriptor(const AccessGrant* grants, int count, bool inherited, PSID owner);
