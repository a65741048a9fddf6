#include "uninstall/uninstaller.h"
#include "installed/folder_trust.h"

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
