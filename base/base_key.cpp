#include "base/base_key.h"

bool IsNtFamily(DWORD version)
{
    return (version & 0x80000000u) == 0;
}

bool UsesWindowsBranch(DWORD version)
{
    return !IsNtFamily(version) && (version & 0xFF) >= 4;
}
