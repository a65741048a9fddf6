// The installation that is there, as its Uninstall entry names it: what
// Setup and the uninstaller both read from the registry, with the same
// bounds, and how they judge the folder it names before acting on it.
// Both programs run with administrator rights, and anybody who could
// write the entry or plant a folder would choose what they delete or
// install over.
#pragma once
#include "base/limits.h"
#include <windows.h>
#include <stddef.h>

// The longest folder accepted: room is left for "\PvFiles" and the longest
// product file name, so every path made from it fits in MAX_PATH.
enum { MaxFolderLength = MAX_PATH - 16 };

enum ValueState { ValueMissing, ValueRefused, ValueRead };

// Reads a folder path written by Setup. Anything but a REG_SZ value that
// holds an absolute "X:\..." path of at most MaxFolderLength characters,
// without "." or ".." parts and without a trailing backslash, is refused.
ValueState ReadFolderValueN(HKEY key, const char* name, char* out, size_t size);
template <size_t N> inline ValueState ReadFolderValue(HKEY key, const char* name, char (&out)[N])
{
    return ReadFolderValueN(key, name, out, N);
}
bool IsAcceptableFolder(const char* path);

// A version as DisplayVersion writes it: three numbers of at most 65535.
struct ProductVersion {
    unsigned major, minor, patch;
};
// "a.b.c", decimal digits only, each number at most 65535 and at most five
// digits; nothing before or after. False, with version zero, otherwise.
bool ParseVersion(const char* text, ProductVersion& version);
// Below zero when a is older than b, zero when equal, above zero when newer.
int CompareVersions(const ProductVersion& a, const ProductVersion& b);

enum VersionState {
    VersionMissing,    // no DisplayVersion: an installation made before there was one
    VersionMalformed,  // not a REG_SZ of three numbers within bounds
    VersionRead
};
// DisplayVersion of the entry open as key, read within bounds.
VersionState ReadVersionValue(HKEY key, ProductVersion& version);

struct Installation {
    char entryBase[MAX_PATH];    // the base key whose Uninstall entry was read
    char programDir[MAX_PATH];
    char shortcutDir[MAX_PATH];
    VersionState versionState;   // how DisplayVersion read
    ProductVersion version;      // zero unless VersionRead
};

// The entry where Setup puts it on this system; on the NT family, when
// there is none, also the one that the system's list of programs reads.
// ValueMissing when neither exists; ValueRefused when a folder value is
// refused (the folders are then empty).
ValueState FindInstallation(Installation& found);

bool IsFile(const char* path);
// Whether two paths name the same folder, whatever their spelling (case,
// short names): the identity the system gives each folder where both can
// be opened, the full and short names otherwise.
bool SameFolder(const char* a, const char* b);

// Whether the folders an entry names hold an installation that Setup may
// install over or remove, by the rules the uninstaller keeps.
enum InstallationVerdict {
    InstallationUsable,
    InstallationValuesRefused,  // a folder value is no absolute path Setup would write
    InstallationIncomplete,     // pictavo.exe or uninstall.exe is not in the folder
    InstallationLinked,         // a link on the folder's path leads elsewhere
    InstallationUntrusted       // others than the administrators may change the folder, or it cannot be read
};
InstallationVerdict JudgeInstallation(ValueState entry, const Installation& at);
// The verdict as the log says it.
const char* DescribeVerdict(InstallationVerdict verdict);
