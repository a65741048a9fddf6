// The product's entries in the registry: the Uninstall entry and the
// application path.
#pragma once
#include "plan/setup_plan.h"
#include <windows.h>

// The keys under HKEY_LOCAL_MACHINE. Tests pass base keys that cannot be
// opened, which no prefix can arrange for real.
struct RegistryPaths {
    const char* base9x;       // 9x family, version 4 or later
    const char* baseNT;       // NT family, and 9x before version 4
    const char* windowsList;  // what the NT family's list of removable programs reads
    const char* appPaths;
};
extern const RegistryPaths productKeys;

// The base key for a GetVersion value.
const char* ChooseBaseKey(DWORD version, const RegistryPaths& paths = productKeys);

// Records the plan's destDir and shortcutDir under the keys that its
// windowsVersion (a GetVersion value) calls for, with what the system's
// list and deployment tools read: the quiet command, the icon, the
// product's version and publisher, and installedBytes as the size. Only
// once every file is in place: the entry is what removes the product.
// NULL when every entry is written; otherwise the key,
// under HKEY_LOCAL_MACHINE, in which an entry could not be made. Nothing is
// written when the base key cannot be opened. The caller tells whoever it
// serves: a page in a box, a silent run in its exit code.
const char* RegisterProduct(const SetupPlan& plan, uint64_t installedBytes, const RegistryPaths& paths = productKeys);
