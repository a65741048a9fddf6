// Where under HKEY_LOCAL_MACHINE the product's entries lie, and which
// branch holds its Uninstall entry. Setup writes them there and the
// uninstaller looks for them there, so both take them from this one place.
#pragma once
#include "product_facts.h"
#include <windows.h>

constexpr char windowsBranchKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr char ntBranchKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr char appPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
// Below a branch. The NT family refuses a subkey name that begins with a
// backslash, and the failure would go unreported. A package manager finds
// the installation by the key's name.
constexpr char uninstallEntryKey[] = "Uninstall\\" PRODUCT_UNINSTALL_KEY;

// GetVersion's bit 31 is clear on the NT family.
bool IsNtFamily(DWORD version);
// True when the entry belongs under "Windows\CurrentVersion" (the 9x
// family from version 4 on); false for "Windows NT\CurrentVersion".
bool UsesWindowsBranch(DWORD version);
