// Which branch of HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft holds the product's
// Uninstall entry. Setup writes it there and the uninstaller looks for it
// there, so both take the answer from this one rule.
#pragma once
#include <windows.h>

// GetVersion's bit 31 is clear on the NT family.
bool IsNtFamily(DWORD version);
// True when the entry belongs under "Windows\CurrentVersion" (the 9x
// family from version 4 on); false for "Windows NT\CurrentVersion".
bool UsesWindowsBranch(DWORD version);
