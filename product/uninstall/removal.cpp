#include "uninstall/uninstaller.h"
#include "base/base_key.h"
#include "base/file_write.h"
#include "base/folder_path.h"
#include "base/system_function.h"
#include <string.h>

const char* const installedFiles[PAYLOAD_ROW_COUNT] = {PAYLOAD_TARGET_NAMES};

bool IsFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Short or long names, case: only the file's identity counts.
bool SameFile(const char* a, const char* b)
{
    BY_HANDLE_FILE_INFORMATION info[2];
    const char* paths[2] = {a, b};
    for (int i = 0; i < 2; ++i) {
        HANDLE file = CreateFileA(paths[i], 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                  OPEN_EXISTING, 0, NULL);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        BOOL ok = GetFileInformationByHandle(file, &info[i]);
        CloseHandle(file);
        if (!ok)
            return false;
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

int ListOthersN(const char* folder, const char* const* known, int knownCount, char* names, size_t size)
{
    names[0] = '\0';
    char pattern[PathBuffer];
    if (!JoinPath(pattern, folder, "*"))
        return 0;
    WIN32_FIND_DATAA item;
    HANDLE search = FindFirstFileA(pattern, &item);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do {
        const char* name = item.cFileName;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        bool ours = false;
        for (int i = 0; i < knownCount; ++i)
            ours = ours || lstrcmpiA(name, known[i] + (known[i][0] == '\\')) == 0;
        if (ours)
            continue;
        if (++count <= ListedNames) {
            if (count > 1)
                AppendTextN(names, size, ", ");
            AppendTextN(names, size, name);
        } else if (count == ListedNames + 1) {
            AppendTextN(names, size, ", ...");
        }
    } while (FindNextFileA(search, &item));
    FindClose(search);
    return count;
}

void RemoveShortcuts(const Installation& at, UninstallRun& run)
{
    int removed = 0;
    const char* names[productLinkCount];
    for (int i = 0; i < productLinkCount; ++i) {
        names[i] = productLinks[i].file;
        char path[PathBuffer];
        FormatText(path, "%s%s", at.shortcutDir, productLinks[i].file);
        if (DeleteFileA(path))
            ++removed;
        else if (GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND)
            AddFailure(run, path, GetLastError());
    }
    if (removed) {
        char line[PathBuffer + 32];
        FormatText(line, "%d shortcuts in %s", removed, at.shortcutDir);
        AddRemoved(run, line);
    }
    if (GetFileAttributesA(at.shortcutDir) == INVALID_FILE_ATTRIBUTES)
        return;
    if (RemoveDirectoryA(at.shortcutDir)) {
        AddRemoved(run, at.shortcutDir);
        return;
    }
    char others[PathBuffer];
    int count = ListOthers(at.shortcutDir, names, productLinkCount, others);
    if (count)
        LeaveFolder(run, at.shortcutDir, count, others);
    else
        AddFailure(run, at.shortcutDir, GetLastError());
}

EntryRemoval RemoveEntry(HANDLE folder, const char* folderPath, const char* file)
{
    char path[PathBuffer];
    if (!FormatText(path, "%s%s", folderPath, file)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return EntryFailed;
    }
    if (!folder) {
        if (DeleteFileA(path))
            return EntryRemoved;
        return GetLastError() == ERROR_FILE_NOT_FOUND ? EntryMissing : EntryFailed;
    }
    // The link itself is opened where the system knows links; the same
    // handle then deletes what it opened.
    HANDLE entry = CreateFileA(path, DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (entry == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? EntryMissing : EntryFailed;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(entry, &info)) {
        DWORD error = GetLastError();
        CloseHandle(entry);
        SetLastError(error);
        return EntryFailed;
    }
    // Windows opens the link itself here, and its name is the one asked
    // for. Wine opens what a host link points to, folder or file, and
    // would delete that.
    bool link = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (!IsEntryReached(entry, folder, file)) {
        CloseHandle(entry);
        return EntryIsLink;
    }
    if (!link && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(entry);
        SetLastError(ERROR_ACCESS_DENIED);
        return EntryFailed;
    }
    if (SYSTEM_FUNCTION("kernel32.dll", SetFileInformationByHandle)) {
        bool deleted = MarkForRemoval(entry);
        DWORD error = GetLastError();
        CloseHandle(entry);
        SetLastError(error);
        return deleted ? EntryRemoved : EntryFailed;
    }
    // Before Vista there is no deleting through a handle, and no link to a
    // file either: a junction is a folder, which DeleteFileA refuses.
    CloseHandle(entry);
    if (link)
        return EntryIsLink;
    return DeleteFileA(path) ? EntryRemoved : EntryFailed;
}

namespace {

// Deletes a key that Setup made; a missing key is no failure.
void RemoveKey(const char* path, UninstallRun& run)
{
    LONG status = RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
    char line[PathBuffer + 32];
    FormatText(line, "HKEY_LOCAL_MACHINE\\%s", path);
    if (status == ERROR_SUCCESS)
        AddRemoved(run, line);
    else if (status != ERROR_FILE_NOT_FOUND)
        AddFailure(run, line, (DWORD)status);
}

} // namespace

void RemoveRegistration(UninstallRun& run)
{
    char path[PathBuffer];
    static const char* const bases[] = {ntBranchKey, windowsBranchKey};
    for (const char* base : bases) {
        FormatText(path, "%s\\%s", base, uninstallEntryKey);
        RemoveKey(path, run);
    }
    // A new system has no Uninstall key under "Windows NT" until Setup
    // makes it; one that is left empty goes with the entry. The one under
    // "Windows" is the system's own list of programs and stays.
    FormatText(path, "%s\\Uninstall", ntBranchKey);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD subkeys = 1, values = 1;
        LONG status = RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, NULL, NULL, &values, NULL, NULL, NULL, NULL);
        RegCloseKey(key);
        if (status == ERROR_SUCCESS && subkeys == 0 && values == 0)
            RemoveKey(path, run);
    }
    FormatText(path, "%s\\%s", appPathsKey, productName);
    RemoveKey(path, run);
}
