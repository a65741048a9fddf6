#include "uninstall/uninstaller.h"
#include "base/base_key.h"
#include "install/folder_trust.h"

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

bool FindInstallationHere(Installation& found)
{
    found.entryBase[0] = found.shortcutDir[0] = '\0';
    char self[PathBuffer];
    DWORD length = GetModuleFileNameA(NULL, self, PathBuffer);
    if (!length || length >= PathBuffer)
        return false;
    char* cut = self + length;
    while (cut > self && *cut != '\\')
        --cut;
    *cut = '\0';
    char program[PathBuffer];
    // Anybody may start a copy of this program from a folder of their own:
    // only a folder that no one but the administrators can change, reached
    // without a link, is taken for an installation.
    return CopyText(found.programDir, self) && IsAcceptableFolder(found.programDir) &&
           FormatText(program, "%s%s", found.programDir, programFile) && IsFile(program) &&
           CheckExistingFolder(found.programDir) == FolderTrusted;
}
