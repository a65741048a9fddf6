// Removes Pictavo: what Setup made and nothing else. It finds the
// installation through the Uninstall entry that Setup wrote, asks once, and
// says at the end what it removed and what it left, and why.
//
// Exit codes: 0 removed (perhaps with the user's files left), 1 the user
// said No, 2 not installed, 3 the entry does not name an installation and
// nothing was touched, 4 something could not be removed, 5 the command line
// was refused and nothing was touched.
//
// /S removes without the question and without any message: a script reads
// the outcome from the exit code alone.
#include "uninstall/uninstall_parts.h"
#include "base/base_key.h"
#include "base/command_line.h"
#include "base/product.h"
#include "base/text.h"
#include <windows.h>

namespace {

const char kCaption[] = "Pictavo - Uninstall";
// Given to the copy that finishes the removal; nobody types it.
const char kFinishSwitch[] = "/pictavo-finish";
const char kProgram[] = "pictavo.exe";
const char kUninstaller[] = "uninstall.exe";
const char kPictures[] = "PvFiles";
// The product files besides this program. pictavo.exe comes first: it is
// the one that may be running, and while it stays, nothing else goes.
const char* const kProductFiles[] = {kProgram, "pictavo.cfg", "pvhelp.hlp", "readme.wri"};
const char* const kShortcuts[] = {"Pictavo.lnk", "Uninstall.lnk", "Readme.lnk"};

enum { TextSize = 4096, PathBuffer = MAX_PATH, ListedNames = 8 };

enum ExitCode { Removed = 0, Declined = 1, NotInstalled = 2, Refused = 3, Failed = 4, BadArguments = 5 };

// /S: nobody is there to answer or to read, so nothing is asked or told.
bool silent;

struct Installation {
    char entryBase[PathBuffer]; // the base key whose Uninstall entry was read
    char programDir[PathBuffer];
    char shortcutDir[PathBuffer];
};

// What the closing message says, in three parts.
struct Report {
    char removed[TextSize];
    char left[TextSize];
    char failed[TextSize];
};

void Tell(const char* text, UINT icon)
{
    if (!silent)
        MessageBoxA(NULL, text, kCaption, MB_OK | icon | MB_SETFOREGROUND);
}

template <size_t N> bool JoinPath(char (&out)[N], const char* folder, const char* name)
{
    return FormatText(out, "%s\\%s", folder, name);
}

template <size_t N> void AddLine(char (&part)[N], const char* line)
{
    AppendText(part, "\r\n    ");
    AppendText(part, line);
}

template <size_t N> void AddFailure(char (&part)[N], const char* what, DWORD error)
{
    char line[PathBuffer + 64];
    FormatText(line, "%s (error %lu)", what, (unsigned long)error);
    AddLine(part, line);
}

bool IsFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Whether two paths name the same file, whatever their spelling (short or
// long names, case).
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

// The temporary folder without its trailing backslash. A folder inside the
// product folder (an odd TEMP) would put the helper where it must not be,
// so the Windows folder is taken then.
bool TempFolder(char (&out)[PathBuffer], const char* programDir)
{
    DWORD length = GetTempPathA(PathBuffer, out);
    if (length == 0 || length >= PathBuffer) {
        out[0] = '\0';
        return false;
    }
    if (length > 3 && out[length - 1] == '\\')
        out[length - 1] = '\0';
    size_t dirLength = TextLength(programDir);
    bool inside = programDir[0] && CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, out, (int)dirLength,
                                                  programDir, (int)dirLength) == CSTR_EQUAL &&
                  (out[dirLength] == '\\' || out[dirLength] == '\0');
    if (inside) {
        length = GetWindowsDirectoryA(out, PathBuffer);
        if (length == 0 || length >= PathBuffer) {
            out[0] = '\0';
            return false;
        }
    }
    return true;
}

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

// The entry where Setup puts it on this system; on the NT family also the
// one that the system's list of programs reads.
ValueState FindInstallation(Installation& found)
{
    DWORD version = GetVersion();
    ValueState state = ReadEntry(UsesWindowsBranch(version) ? windowsBranchKey : ntBranchKey, found);
    if (state == ValueMissing && IsNtFamily(version))
        state = ReadEntry(windowsBranchKey, found);
    return state;
}

// The names in a folder that are not in `known`, listed into `names`, and
// how many there are.
template <size_t N>
int ListOthers(const char* folder, const char* const* known, int knownCount, char (&names)[N])
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
            ours = ours || lstrcmpiA(name, known[i]) == 0;
        if (ours)
            continue;
        if (++count <= ListedNames) {
            if (count > 1)
                AppendText(names, ", ");
            AppendText(names, name);
        } else if (count == ListedNames + 1) {
            AppendText(names, ", ...");
        }
    } while (FindNextFileA(search, &item));
    FindClose(search);
    return count;
}

// A folder that is left because something not made by Setup is in it.
template <size_t N> void LeaveFolder(Report& report, const char* folder, int count, const char (&names)[N])
{
    char line[PathBuffer + N + 64];
    if (count == 1)
        FormatText(line, "%s holds 1 file: %s", folder, names);
    else
        FormatText(line, "%s holds %d files: %s", folder, count, names);
    AddLine(report.left, line);
}

void RemoveShortcuts(const Installation& at, Report& report)
{
    int removed = 0;
    for (const char* name : kShortcuts) {
        char path[PathBuffer];
        JoinPath(path, at.shortcutDir, name);
        if (DeleteFileA(path))
            ++removed;
        else if (GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND)
            AddFailure(report.failed, path, GetLastError());
    }
    if (removed) {
        char line[PathBuffer + 32];
        FormatText(line, "%d shortcuts in %s", removed, at.shortcutDir);
        AddLine(report.removed, line);
    }
    if (GetFileAttributesA(at.shortcutDir) == INVALID_FILE_ATTRIBUTES)
        return;
    if (RemoveDirectoryA(at.shortcutDir)) {
        AddLine(report.removed, at.shortcutDir);
        return;
    }
    char names[PathBuffer];
    int others = ListOthers(at.shortcutDir, kShortcuts, 3, names);
    if (others)
        LeaveFolder(report, at.shortcutDir, others, names);
    else
        AddFailure(report.failed, at.shortcutDir, GetLastError());
}

// Deletes a key that Setup made; a missing key is no failure.
void RemoveKey(const char* path, Report& report)
{
    LONG status = RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
    char line[PathBuffer + 32];
    FormatText(line, "HKEY_LOCAL_MACHINE\\%s", path);
    if (status == ERROR_SUCCESS)
        AddLine(report.removed, line);
    else if (status != ERROR_FILE_NOT_FOUND)
        AddFailure(report.failed, line, (DWORD)status);
}

void RemoveRegistration(Report& report)
{
    char path[PathBuffer];
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

// A new file in the temporary folder under a name that no file has yet,
// open for writing and shared with nobody. The folder is the user's: a
// name chosen there by another program, or a file reopened by name, could
// be a link that makes this elevated program write elsewhere. mask keeps
// the name short where it must be.
HANDLE CreateFreshFile(char (&path)[PathBuffer], const char* temp, const char* extension, DWORD mask,
                       DWORD attributes)
{
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        DWORD unique = (GetTickCount() ^ (GetCurrentProcessId() << 16) ^ (attempt * 0x9E3779B1u)) & mask;
        if (!FormatText(path, "%s\\pvu%x%s", temp, (unsigned)unique, extension))
            break;
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, attributes, NULL);
        if (file != INVALID_HANDLE_VALUE)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const void* data, DWORD length)
{
    DWORD written = 0;
    return WriteFile(file, data, length, &written, NULL) && written == length;
}

// Copies this program into the open file, through that handle.
bool CopySelfInto(HANDLE copy, const char* self)
{
    HANDLE source = CreateFileA(self, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (source == INVALID_HANDLE_VALUE)
        return false;
    static char block[16384];
    DWORD read = 0;
    bool ok = true;
    while (ok && ReadFile(source, block, sizeof block, &read, NULL) && read > 0)
        ok = WriteAll(copy, block, read);
    ok = ok && read == 0;
    CloseHandle(source);
    return ok;
}

// Hands the removal of this program and its folder to a process outside
// the folder; true when it is on its way. NT family: a copy of this
// program in the temporary folder, opened for deletion on close before it
// starts, so that it goes when its last handle (the copy's own) closes.
bool StartFinisherNT(const char* self, const char* programDir, const char* temp, Report& report)
{
    char copy[PathBuffer];
    HANDLE written = CreateFreshFile(copy, temp, ".exe", 0xFFFFFFFFu, FILE_ATTRIBUTE_TEMPORARY);
    if (written == INVALID_HANDLE_VALUE) {
        AddFailure(report.failed, "a helper in the temporary folder", GetLastError());
        return false;
    }
    bool copied = CopySelfInto(written, self);
    DWORD copyError = GetLastError();
    CloseHandle(written);
    if (!copied) {
        AddFailure(report.failed, copy, copyError);
        DeleteFileA(copy);
        return false;
    }
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, NULL, TRUE};
    HANDLE held = CreateFileA(copy, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, &inherited, OPEN_EXISTING,
                              FILE_FLAG_DELETE_ON_CLOSE, NULL);
    if (held == INVALID_HANDLE_VALUE) {
        AddFailure(report.failed, copy, GetLastError());
        DeleteFileA(copy);
        return false;
    }
    HANDLE me = NULL;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &me, SYNCHRONIZE, TRUE, 0)) {
        AddFailure(report.failed, "a handle for the helper", GetLastError());
        CloseHandle(held);
        return false;
    }
    char command[PathBuffer * 2 + 64];
    // A silent removal stays silent to its end.
    FormatText(command, "\"%s\" %s %lx \"%s\"%s", copy, kFinishSwitch, (unsigned long)(ULONG_PTR)me, programDir,
               silent ? " /S" : "");
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    BOOL started = CreateProcessA(copy, command, NULL, NULL, TRUE, 0, NULL, temp, &startup, &process);
    DWORD error = GetLastError();
    // The helper holds its own inherited copies; closing ours leaves the
    // copy's file with the helper's handle as the last one.
    CloseHandle(me);
    CloseHandle(held);
    if (!started) {
        AddFailure(report.failed, copy, error);
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// The 9x family cannot delete a file on close: a batch file does the last
// step there, with short names, since command.com reads 8.3 names only.
bool StartFinisher9x(const char* self, const char* programDir, const char* temp, Report& report)
{
    char shortSelf[PathBuffer], shortDir[PathBuffer], batch[PathBuffer], text[3 * PathBuffer + 128];
    DWORD a = GetShortPathNameA(self, shortSelf, PathBuffer);
    DWORD b = GetShortPathNameA(programDir, shortDir, PathBuffer);
    // Five hex digits at most: the batch file's own name must be short.
    HANDLE file = CreateFreshFile(batch, temp, ".bat", 0xFFFFF, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE) {
        AddFailure(report.failed, "a batch file in the temporary folder", GetLastError());
        return false;
    }
    char shortBatch[PathBuffer];
    DWORD c = GetShortPathNameA(batch, shortBatch, PathBuffer);
    if (!a || a >= PathBuffer || !b || b >= PathBuffer || !c || c >= PathBuffer ||
        !ComposeRemovalBatch(text, shortSelf, shortDir, shortBatch)) {
        AddLine(report.failed, "the batch file that removes uninstall.exe (its paths cannot be written in it)");
        CloseHandle(file);
        DeleteFileA(batch);
        return false;
    }
    bool ok = WriteAll(file, text, (DWORD)TextLength(text));
    DWORD error = GetLastError();
    CloseHandle(file);
    // The system's command interpreter: COMSPEC names it, and it lies in
    // the Windows folder when COMSPEC is unusable.
    char shell[PathBuffer], command[2 * PathBuffer];
    DWORD named = GetEnvironmentVariableA("COMSPEC", shell, PathBuffer);
    if (!named || named >= PathBuffer || !IsAcceptableFolder(shell)) {
        UINT windows = GetWindowsDirectoryA(shell, PathBuffer);
        ok = ok && windows && windows < PathBuffer && AppendText(shell, "\\COMMAND.COM");
    }
    ok = ok && FormatText(command, "\"%s\" /c %s", shell, shortBatch);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process;
    if (ok) {
        ok = CreateProcessA(shell, command, NULL, NULL, FALSE, 0, NULL, temp, &startup, &process) != FALSE;
        error = GetLastError();
    }
    if (!ok) {
        AddFailure(report.failed, batch, error);
        DeleteFileA(batch);
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// The last step, in the helper: waits for the uninstaller to end, then
// removes uninstall.exe and, when nothing else is in it, the folder.
int FinishRemoval(const char* arguments)
{
    const char* p = arguments + TextLength(kFinishSwitch);
    while (*p == ' ')
        ++p;
    ULONG_PTR value = 0;
    for (; (*p >= '0' && *p <= '9') || ((*p | 0x20) >= 'a' && (*p | 0x20) <= 'f'); ++p)
        value = value * 16 + (ULONG_PTR)(*p <= '9' ? *p - '0' : (*p | 0x20) - 'a' + 10);
    while (*p == ' ')
        ++p;
    char folder[PathBuffer];
    if (*p++ != '"' || !CopyText(folder, p))
        return Failed;
    char* end = folder;
    while (*end && *end != '"')
        ++end;
    const char* after = p + (end - folder);
    silent = *after == '"' && after[1] == ' ' && after[2] == '/' && after[3] == 'S' && after[4] == '\0';
    *end = '\0';
    // Only a folder that could have come from the entry: this copy deletes
    // no file but the one named uninstall.exe, and the folder only when it
    // is empty.
    if (!IsAcceptableFolder(folder))
        return Failed;
    HANDLE original = (HANDLE)value;
    if (WaitForSingleObject(original, INFINITE) != WAIT_OBJECT_0)
        return Failed;
    CloseHandle(original);
    char program[PathBuffer];
    JoinPath(program, folder, kUninstaller);
    // The system may take a moment to let go of the ended program's file.
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (DeleteFileA(program) || GetLastError() == ERROR_FILE_NOT_FOUND) {
            error = ERROR_SUCCESS;
            break;
        }
        error = GetLastError();
        Sleep(100);
    }
    if (error != ERROR_SUCCESS) {
        char text[PathBuffer + 128];
        FormatText(text, "%s could not be removed (error %lu). Delete it by hand.", program, (unsigned long)error);
        Tell(text, MB_ICONEXCLAMATION);
        return Failed;
    }
    RemoveDirectoryA(folder);
    return Removed;
}

bool StartsWith(const char* text, const char* prefix)
{
    while (*prefix)
        if (*text++ != *prefix++)
            return false;
    return true;
}

int Uninstall()
{
    Installation at;
    ValueState state = FindInstallation(at);
    if (state == ValueMissing) {
        Tell("Pictavo is not installed on this computer.", MB_ICONINFORMATION);
        return NotInstalled;
    }
    char text[TextSize];
    if (state == ValueRefused) {
        FormatText(text,
                   "The registry entry of Pictavo under\r\nHKEY_LOCAL_MACHINE\\%s\\Uninstall\\Pictavo\r\n"
                   "does not name its folders in a form this program accepts.\r\n\r\nNothing was removed.",
                   at.entryBase);
        Tell(text, MB_ICONSTOP);
        return Refused;
    }
    char program[PathBuffer], self[PathBuffer], path[PathBuffer];
    JoinPath(program, at.programDir, kUninstaller);
    JoinPath(path, at.programDir, kProgram);
    if (!IsFile(program) || !IsFile(path)) {
        FormatText(text,
                   "The folder\r\n%s\r\nthat the registry names for Pictavo does not hold an installation of it "
                   "(pictavo.exe and uninstall.exe).\r\n\r\nNothing was removed.",
                   at.programDir);
        Tell(text, MB_ICONSTOP);
        return Refused;
    }
    if (!silent && MessageBoxA(NULL, "Remove Pictavo and all of its components?", kCaption,
                    MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) != IDYES)
        return Declined;

    Report report = {};
    if (!DeleteFileA(path) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        FormatText(text,
                   "%s cannot be removed (error %lu). Pictavo may be running: close it and start the "
                   "uninstaller again.\r\n\r\nNothing was removed.",
                   path, (unsigned long)GetLastError());
        Tell(text, MB_ICONSTOP);
        return Failed;
    }
    int filesRemoved = 1;
    for (const char* name : kProductFiles) {
        if (name == kProgram)
            continue;
        JoinPath(path, at.programDir, name);
        if (DeleteFileA(path))
            ++filesRemoved;
        else if (GetLastError() != ERROR_FILE_NOT_FOUND)
            AddFailure(report.failed, path, GetLastError());
    }

    char names[PathBuffer];
    JoinPath(path, at.programDir, kPictures);
    bool picturesStay = false;
    if (RemoveDirectoryA(path)) {
        AddLine(report.removed, path);
    } else if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
        picturesStay = true;
        int pictures = ListOthers(path, NULL, 0, names);
        if (pictures)
            LeaveFolder(report, path, pictures, names);
        else
            AddFailure(report.failed, path, GetLastError());
    }

    RemoveShortcuts(at, report);
    RemoveRegistration(report);

    // This program is uninstall.exe in the folder (as a rule) or a copy of
    // it elsewhere; only in the first case must another process finish.
    DWORD length = GetModuleFileNameA(NULL, self, PathBuffer);
    bool running = length && length < PathBuffer && SameFile(self, program);
    static const char* const productNames[] = {kProgram, "pictavo.cfg", "pvhelp.hlp", "readme.wri", kUninstaller,
                                               kPictures};
    int others = ListOthers(at.programDir, productNames, 6, names);
    bool folderGoes = !others && !picturesStay;
    bool handedOver = false;
    if (!running) {
        if (DeleteFileA(program))
            ++filesRemoved;
        else
            AddFailure(report.failed, program, GetLastError());
        if (folderGoes && RemoveDirectoryA(at.programDir))
            AddLine(report.removed, at.programDir);
    } else {
        char temp[PathBuffer];
        if (!TempFolder(temp, at.programDir))
            AddFailure(report.failed, "the temporary folder", GetLastError());
        else if (IsNtFamily(GetVersion()))
            handedOver = StartFinisherNT(self, at.programDir, temp, report);
        else
            handedOver = StartFinisher9x(self, at.programDir, temp, report);
        if (handedOver)
            ++filesRemoved;
    }
    char line[PathBuffer + 64];
    FormatText(line, "%d program files in %s%s", filesRemoved, at.programDir,
               handedOver ? " (uninstall.exe as this window closes)" : "");
    // The file count comes first: it is what the user looks for.
    char removed[TextSize];
    CopyText(removed, "");
    AddLine(removed, line);
    AppendText(removed, report.removed);
    if (handedOver && folderGoes)
        AddLine(removed, at.programDir);
    if (others)
        LeaveFolder(report, at.programDir, others, names);

    FormatText(text, "%s\r\n\r\nRemoved:%s", report.failed[0] ? "Pictavo was removed, but not completely."
                                                              : "Pictavo was removed from this computer.",
               removed);
    if (report.left[0]) {
        AppendText(text, "\r\n\r\nLeft in place, since they hold files that are not Pictavo's:");
        AppendText(text, report.left);
    }
    if (report.failed[0]) {
        AppendText(text, "\r\n\r\nCould not be removed:");
        AppendText(text, report.failed);
    }
    Tell(text, report.failed[0] ? MB_ICONEXCLAMATION : MB_ICONINFORMATION);
    return report.failed[0] ? Failed : Removed;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int)
{
    // A folder cannot be removed while it is any process's current folder,
    // and the shortcut starts this program in the product folder.
    char windows[PathBuffer];
    UINT length = GetWindowsDirectoryA(windows, PathBuffer);
    if (length && length < PathBuffer)
        SetCurrentDirectoryA(windows);
    if (StartsWith(arguments, kFinishSwitch))
        return FinishRemoval(arguments);
    // Read as Setup reads its own line, within the same bounds; /S is the
    // only switch that means anything here.
    static SetupArguments read;
    ArgumentsResult result = ReadArguments(arguments, read);
    silent = read.silent;
    if (result != ArgumentsRead || read.destination[0] || read.startMenuFolder[0]) {
        char text[PathBuffer];
        FormatText(text, "%s%s%sThe uninstaller accepts one switch:\r\n/S\tremove without the question and "
                         "without the closing report.\r\n\r\nNothing was removed.",
                   read.unknownSwitch[0] ? "Unknown switch: " : "", read.unknownSwitch,
                   read.unknownSwitch[0] ? "\r\n\r\n" : "");
        Tell(text, MB_ICONSTOP);
        return BadArguments;
    }
    return Uninstall();
}
