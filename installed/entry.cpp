#include "installed/entry.h"
#include "installed/folder_trust.h"
#include "base/base_key.h"
#include "base/product.h"
#include "base/text.h"

bool IsAcceptableFolder(const char* path)
{
    size_t length = TextLength(path);
    char drive = path[0] | 0x20;
    if (length < 4 || length > MaxFolderLength || drive < 'a' || drive > 'z' || path[1] != ':' || path[2] != '\\')
        return false;
    if (path[length - 1] == '\\')
        return false;
    // Each part between backslashes must be a name: "." and ".." would let
    // a value climb out of the folder it seems to name, and an empty part
    // ("C:\a\\b") is no path Setup writes.
    const char* part = path + 3;
    for (const char* p = part;; ++p) {
        if (*p == '/' || *p == ':' || (unsigned char)*p < ' ')
            if (*p != '\0')
                return false;
        if (*p == '\\' || *p == '\0') {
            size_t partLength = (size_t)(p - part);
            bool dots = partLength > 0 && partLength <= 2 && part[0] == '.' && part[partLength - 1] == '.';
            if (partLength == 0 || dots)
                return false;
            if (*p == '\0')
                return true;
            part = p + 1;
        }
    }
}

ValueState ReadFolderValueN(HKEY key, const char* name, char* out, size_t size)
{
    out[0] = '\0';
    DWORD type = 0;
    // One byte is kept back for the terminator that the value may lack.
    DWORD bytes = (DWORD)size - 1;
    LONG status = RegQueryValueExA(key, name, NULL, &type, (BYTE*)out, &bytes);
    if (status == ERROR_FILE_NOT_FOUND)
        return ValueMissing;
    if (status != ERROR_SUCCESS || type != REG_SZ || bytes > size - 1) {
        out[0] = '\0';
        return ValueRefused;
    }
    out[bytes] = '\0';
    if (!IsAcceptableFolder(out)) {
        out[0] = '\0';
        return ValueRefused;
    }
    return ValueRead;
}

bool ParseVersion(const char* text, ProductVersion& version)
{
    version = ProductVersion{0, 0, 0};
    unsigned* parts[3] = {&version.major, &version.minor, &version.patch};
    const char* p = text;
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && *p++ != '.')
            break;
        unsigned value = 0;
        int digits = 0;
        for (; *p >= '0' && *p <= '9' && digits < 6; ++p, ++digits)
            value = value * 10 + (unsigned)(*p - '0');
        if (digits == 0 || digits > 5 || value > 65535)
            break;
        *parts[i] = value;
        if (i == 2 && *p == '\0')
            return true;
    }
    version = ProductVersion{0, 0, 0};
    return false;
}

int CompareVersions(const ProductVersion& a, const ProductVersion& b)
{
    if (a.major != b.major)
        return a.major < b.major ? -1 : 1;
    if (a.minor != b.minor)
        return a.minor < b.minor ? -1 : 1;
    if (a.patch != b.patch)
        return a.patch < b.patch ? -1 : 1;
    return 0;
}

VersionState ReadVersionValue(HKEY key, ProductVersion& version)
{
    version = ProductVersion{0, 0, 0};
    // "65535.65535.65535" and its terminator, and room to tell a longer
    // text from it.
    char text[24];
    DWORD type = 0;
    DWORD bytes = sizeof text - 1;
    LONG status = RegQueryValueExA(key, "DisplayVersion", NULL, &type, (BYTE*)text, &bytes);
    if (status == ERROR_FILE_NOT_FOUND)
        return VersionMissing;
    if (status != ERROR_SUCCESS || type != REG_SZ || bytes > sizeof text - 1)
        return VersionMalformed;
    text[bytes] = '\0';
    return ParseVersion(text, version) ? VersionRead : VersionMalformed;
}

namespace {

// The entry under one base key: ValueMissing when there is none.
ValueState ReadEntry(const char* base, Installation& found)
{
    char path[MAX_PATH];
    FormatText(path, "%s\\%s", base, uninstallEntryKey);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return ValueMissing;
    ValueState program = ReadFolderValue(key, "Progdir", found.programDir);
    ValueState shortcuts = ReadFolderValue(key, "Scdir", found.shortcutDir);
    found.versionState = ReadVersionValue(key, found.version);
    RegCloseKey(key);
    CopyText(found.entryBase, base);
    return program == ValueRead && shortcuts == ValueRead ? ValueRead : ValueRefused;
}

} // namespace

ValueState FindInstallation(Installation& found)
{
    found = Installation{};
    DWORD version = GetVersion();
    ValueState state = ReadEntry(UsesWindowsBranch(version) ? windowsBranchKey : ntBranchKey, found);
    if (state == ValueMissing && IsNtFamily(version))
        state = ReadEntry(windowsBranchKey, found);
    return state;
}

bool IsFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SameFolder(const char* a, const char* b)
{
    // The identity, where both open; the 9x family opens no folder, and
    // there the names are all there is.
    if (SameEntry(a, b))
        return true;
    if (lstrcmpiA(a, b) == 0)
        return true;
    char shortA[MAX_PATH], shortB[MAX_PATH];
    DWORD lengthA = GetShortPathNameA(a, shortA, MAX_PATH);
    DWORD lengthB = GetShortPathNameA(b, shortB, MAX_PATH);
    return lengthA && lengthA < MAX_PATH && lengthB && lengthB < MAX_PATH && lstrcmpiA(shortA, shortB) == 0;
}

InstallationVerdict JudgeInstallation(ValueState entry, const Installation& at)
{
    if (entry != ValueRead)
        return InstallationValuesRefused;
    char program[MAX_PATH], uninstaller[MAX_PATH];
    if (!FormatText(program, "%s%s", at.programDir, programFile) ||
        !FormatText(uninstaller, "%s%s", at.programDir, uninstallerFile) || !IsFile(program) || !IsFile(uninstaller))
        return InstallationIncomplete;
    switch (CheckExistingFolder(at.programDir)) {
    case FolderTrusted:
        return InstallationUsable;
    case FolderLinked:
        return InstallationLinked;
    default:
        return InstallationUntrusted;
    }
}

const char* DescribeVerdict(InstallationVerdict verdict)
{
    switch (verdict) {
    case InstallationUsable:
        return "usable";
    case InstallationValuesRefused:
        return "not usable: its folder values are no absolute paths without \".\" and \"..\"";
    case InstallationIncomplete:
        return "not usable: pictavo.exe or uninstall.exe is missing from the folder";
    case InstallationLinked:
        return "not usable: a link on the folder's path leads elsewhere";
    default:
        return "not usable: others than the administrators may change the folder, or it cannot be read";
    }
}
