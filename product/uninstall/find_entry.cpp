#include "uninstall/uninstaller.h"
#include "base/base_key.h"

namespace {

// The entry under one base key: ValueMissing when there is none.
ValueState ReadEntry(const char* base, Installation& found)
{
    char path[PathBuffer];
    FormatText(path, "%s\\%s", base, uninstallEntryKey);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return ValueMissing;
    ValueState program = ReadFolderValue(key, "Progdir", found.programDir);
    ValueState shortcuts = ReadFolderValue(key, "Scdir", found.shortcutDir);
    RegCloseKey(key);
    CopyText(found.entryBase, base);
    return program == ValueRead && shortcuts == ValueRead ? ValueRead : ValueRefused;
}

} // namespace

ValueState FindInstallation(Installation& found)
{
    DWORD version = GetVersion();
    ValueState state = ReadEntry(UsesWindowsBranch(version) ? windowsBranchKey : ntBranchKey, found);
    if (state == ValueMissing && IsNtFamily(version))
        state = ReadEntry(windowsBranchKey, found);
    return state;
}
