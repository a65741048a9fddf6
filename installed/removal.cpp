#include "installed/removal.h"
#include "installed/folder_trust.h"
#include "base/product.h"
#include "base/base_key.h"
#include "base/file_write.h"
#include "base/folder_path.h"
#include "base/nine_x_kernel.h"
#include "base/system_function.h"
#include <string.h>

const char* const installedFiles[PAYLOAD_ROW_COUNT] = {PAYLOAD_TARGET_NAMES};

int ListOthersN(const char* folder, const char* const* known, int knownCount, char* names, size_t size)
{
    names[0] = '\0';
    char pattern[MAX_PATH];
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

int ListOthersThanProductN(const char* programDir, char* names, size_t size)
{
    const char* productNames[PAYLOAD_ROW_COUNT + 1];
    for (int i = 0; i < PAYLOAD_ROW_COUNT; ++i)
        productNames[i] = installedFiles[i];
    productNames[PAYLOAD_ROW_COUNT] = picturesFolder;
    return ListOthersN(programDir, productNames, PAYLOAD_ROW_COUNT + 1, names, size);
}

namespace {

void RemoveShortcuts(const char* shortcutDir, RemovalReport& report)
{
    int removed = 0;
    const char* names[productLinkCount];
    for (int i = 0; i < productLinkCount; ++i) {
        names[i] = productLinks[i].file;
        char path[MAX_PATH];
        FormatText(path, "%s%s", shortcutDir, productLinks[i].file);
        if (DeleteFileA(path))
            ++removed;
        else if (GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND)
            AddFailure(report, path, GetLastError());
    }
    if (removed) {
        char line[MAX_PATH + 32];
        FormatText(line, "%d shortcuts in %s", removed, shortcutDir);
        AddRemoved(report, line);
    }
    if (GetFileAttributesA(shortcutDir) == INVALID_FILE_ATTRIBUTES)
        return;
    if (RemoveDirectoryA(shortcutDir)) {
        AddRemoved(report, shortcutDir);
        return;
    }
    char others[MAX_PATH];
    int count = ListOthers(shortcutDir, names, productLinkCount, others);
    if (count)
        LeaveFolder(report, shortcutDir, count, others);
    else
        AddFailure(report, shortcutDir, GetLastError());
}

} // namespace

void RemoveShortcutFolder(const char* shortcutDir, RemovalReport& report)
{
    if (!shortcutDir[0])
        return; // found without an entry: Setup made no shortcuts
    if (PathHasLink(shortcutDir)) {
        char text[MAX_PATH + 64];
        FormatText(text, "the shortcuts in %s, a link to another place", shortcutDir);
        AddFailed(report, text);
        return;
    }
    RemoveShortcuts(shortcutDir, report);
}

EntryRemoval RemoveEntry(HANDLE folder, const char* folderPath, const char* file)
{
    char path[MAX_PATH];
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
void RemoveKey(const char* path, RemovalReport& report)
{
    LONG status = RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
    char line[MAX_PATH + 32];
    FormatText(line, "HKEY_LOCAL_MACHINE\\%s", path);
    if (status == ERROR_SUCCESS)
        AddRemoved(report, line);
    else if (status != ERROR_FILE_NOT_FOUND)
        AddFailure(report, line, (DWORD)status);
}

} // namespace

void RemoveRegistration(RemovalReport& report)
{
    char path[MAX_PATH];
    static const char* const bases[] = {ntBranchKey, windowsBranchKey};
    for (const char* base : bases) {
        FormatText(path, "%s\\%s", base, uninstallEntryKey);
        RemoveKey(path, report);
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
            RemoveKey(path, report);
    }
    FormatText(path, "%s\\%s", appPathsKey, productName);
    RemoveKey(path, report);
}

namespace {

void CloseFolder(HANDLE& folder)
{
    if (folder)
        CloseHandle(folder);
    folder = NULL;
}

// The path of a product file in folder.
template <size_t N> bool InFolder(char (&out)[N], const char* folder, const char* file)
{
    return FormatText(out, "%s%s", folder, file);
}

// A product file that is a link which only its target's deletion would
// remove: it stays, and the report says why.
void LeaveLink(RemovalReport& report, const char* folder, const char* file)
{
    char line[MAX_PATH + 96];
    FormatText(line, "%s%s is a link to another place; it was left, and what it points to", folder, file);
    AddLeft(report, line);
}

} // namespace

bool HoldProductFolders(Removal& removal)
{
    const char* programDir = removal.at.programDir;
    JoinPath(removal.picturesPath, programDir, picturesFolder);
    InFolder(removal.uninstaller, programDir, uninstallerFile);
    HANDLE& folder = removal.folder;
    HANDLE& pictures = removal.pictures;
    folder = pictures = NULL;
    bool picturesThere = GetFileAttributesA(removal.picturesPath) != INVALID_FILE_ATTRIBUTES;
    if (PathHasLink(programDir) || (picturesThere && PathHasLink(removal.picturesPath))) {
        SetLastError(FolderLinkError);
        return false;
    }
    if (RunsOnNineXKernel())
        return true;
    const DWORD access = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES;
    folder = OpenFolderUnfollowed(programDir, access);
    if (folder == INVALID_HANDLE_VALUE) {
        folder = NULL;
        return false;
    }
    if (!picturesThere)
        return true;
    pictures = OpenFolderUnfollowed(removal.picturesPath, access);
    if (pictures != INVALID_HANDLE_VALUE)
        return true;
    pictures = NULL;
    CloseFolder(folder);
    return false;
}

void ReleaseProductFolders(Removal& removal)
{
    CloseFolder(removal.pictures);
    CloseFolder(removal.folder);
}

bool RemoveProgramFirst(Removal& removal)
{
    removal.program = RemoveEntry(removal.folder, removal.at.programDir, programFile);
    if (removal.program != EntryFailed)
        return true;
    DWORD error = GetLastError();
    ReleaseProductFolders(removal);
    SetLastError(error);
    return false;
}

void RemoveOtherFiles(Removal& removal, RemovalReport& report)
{
    const char* programDir = removal.at.programDir;
    for (const char* name : installedFiles) {
        if (lstrcmpiA(name, uninstallerFile) == 0)
            continue;
        EntryRemoval result =
            lstrcmpiA(name, programFile) == 0 ? removal.program : RemoveEntry(removal.folder, programDir, name);
        char path[MAX_PATH];
        InFolder(path, programDir, name);
        if (result == EntryRemoved)
            ++removal.filesRemoved, AddRemoved(report, path);
        else if (result == EntryIsLink)
            ++removal.linksLeft, LeaveLink(report, programDir, name);
        else if (result == EntryFailed)
            AddFailure(report, path, GetLastError());
    }
}

void RemovePicturesFolder(Removal& removal, RemovalReport& report)
{
    CloseFolder(removal.pictures);
    if (RemoveDirectoryA(removal.picturesPath)) {
        AddRemoved(report, removal.picturesPath);
        return;
    }
    if (GetFileAttributesA(removal.picturesPath) == INVALID_FILE_ATTRIBUTES)
        return;
    removal.picturesStay = true;
    char names[MAX_PATH];
    int count = ListOthers(removal.picturesPath, NULL, 0, names);
    if (count)
        LeaveFolder(report, removal.picturesPath, count, names);
    else
        AddFailure(report, removal.picturesPath, GetLastError());
}

bool RemoveMovedInstallation(Removal& removal, bool shortcutsToo, RemovalReport& report)
{
    const char* programDir = removal.at.programDir;
    if (!HoldProductFolders(removal)) {
        AddFailure(report, programDir, GetLastError());
        return false;
    }
    if (!RemoveProgramFirst(removal)) {
        char path[MAX_PATH];
        InFolder(path, programDir, programFile);
        AddFailure(report, path, GetLastError());
        return false;
    }
    RemoveOtherFiles(removal, report);
    // No program of this one runs from the old folder: its uninstaller goes
    // like any other file.
    EntryRemoval result = RemoveEntry(removal.folder, programDir, uninstallerFile);
    if (result == EntryRemoved)
        ++removal.filesRemoved, AddRemoved(report, removal.uninstaller);
    else if (result == EntryIsLink)
        ++removal.linksLeft, LeaveLink(report, programDir, uninstallerFile);
    else if (result == EntryFailed)
        AddFailure(report, removal.uninstaller, GetLastError());
    RemovePicturesFolder(removal, report);
    if (shortcutsToo)
        RemoveShortcutFolder(removal.at.shortcutDir, report);
    CloseFolder(removal.folder);
    if (RemoveDirectoryA(programDir)) {
        AddRemoved(report, programDir);
    } else if (GetFileAttributesA(programDir) != INVALID_FILE_ATTRIBUTES) {
        char names[MAX_PATH];
        int others = ListOthersThanProduct(programDir, names);
        if (others)
            LeaveFolder(report, programDir, others, names);
        else if (!removal.picturesStay && !removal.linksLeft)
            AddFailure(report, programDir, GetLastError());
    }
    return !report.failed[0];
}
