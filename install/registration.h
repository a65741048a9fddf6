// The product's entries in the registry: the Uninstall entry and the
// application path.
#pragma once
#include <windows.h>

// The keys under HKEY_LOCAL_MACHINE. Tests point the base keys at keys that
// cannot be opened, which no prefix can arrange for real.
struct RegistryPaths {
    const char* base9x;       // 9x family, version 4 or later
    const char* baseNT;       // NT family, and 9x before version 4
    const char* windowsList;  // what the NT family's list of removable programs reads
    const char* appPaths;
};
extern RegistryPaths registryPaths;

// The base key for a GetVersion value.
const char* ChooseBaseKey(DWORD version);
extern char uninstallPath[512];  // destDir + "\uninstall.exe", once registered

// Records destDir and shortcutDir under the keys that version (a GetVersion
// value) calls for. NULL when every entry is written; otherwise the key,
// under HKEY_LOCAL_MACHINE, in which an entry could not be made. Nothing is
// written when the base key cannot be opened. The caller tells whoever it
// serves: a page in a box, a silent run in its exit code.
const char* RegisterProduct(DWORD version);
