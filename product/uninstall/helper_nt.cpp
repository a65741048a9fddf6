#include "uninstall/uninstaller.h"
#include "base/system_function.h"
#include "installed/folder_trust.h"

namespace {

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

// The helper's folder goes with it. Its file cannot be deleted while it
// runs, but it can be renamed out of the folder through the handle that
// deletes it on close: the file still goes as the helper ends (Windows
// deletes the file that handle opened, Wine the name the handle now has),
// and the folder, empty now, goes at once. Renamed, not reopened by name:
// the new name lies in the user's temporary folder.
void VacateHelperFolder(HANDLE ownFile)
{
    char self[PathBuffer], folder[PathBuffer], temp[PathBuffer];
    DWORD length = GetModuleFileNameA(NULL, self, PathBuffer);
    if (!length || length >= PathBuffer || !CopyText(folder, self))
        return;
    char* cut = folder + TextLength(folder);
    while (cut > folder && *cut != '\\')
        --cut;
    *cut = '\0';
    if (!CopyText(temp, folder))
        return;
    cut = temp + TextLength(temp);
    while (cut > temp && *cut != '\\')
        --cut;
    *cut = '\0';
    auto setInformation = SYSTEM_FUNCTION("kernel32.dll", SetFileInformationByHandle);
    if (!setInformation)
        return;
    for (DWORD attempt = 0; attempt < 20; ++attempt) {
        char target[PathBuffer];
        if (!FreshName(target, temp, ".tmp", 0xFFFFFFFFu, attempt))
            return;
        // FILE_RENAME_INFO ends in a one-character name that runs on.
        union {
            FILE_RENAME_INFO info;
            char bytes[sizeof(FILE_RENAME_INFO) + PathBuffer * sizeof(WCHAR)];
        } rename;
        ZeroMemory(&rename, sizeof rename);
        int characters = MultiByteToWideChar(CP_ACP, 0, target, -1, rename.info.FileName, PathBuffer);
        if (characters <= 1)
            return;
        rename.info.ReplaceIfExists = FALSE;
        rename.info.FileNameLength = (DWORD)(characters - 1) * sizeof(WCHAR);
        if (setInformation(ownFile, FileRenameInfo, &rename, sizeof rename)) {
            RemoveDirectoryA(folder);
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS)
            return;
    }
}

} // namespace

// Hands the removal of this program and its folder to a process outside
// the folder; true when it is on its way. NT family: a copy of this
// program in a folder of its own that only administrators may change,
// opened for deletion on close before it starts, so that it goes when its
// last handle (the copy's own) closes. Made anywhere a user may write, the
// copy could be replaced between its writing and its start, and the user's
// program would run with administrator rights.
bool StartFinisherNT(const char* self, const char* programDir, const char* temp, UninstallRun& run)
{
    char folder[PathBuffer];
    HANDLE heldFolder = CreateHelperFolder(folder, temp);
    if (heldFolder == INVALID_HANDLE_VALUE) {
        AddFailure(run, "a folder for the helper in the temporary folder", GetLastError());
        return false;
    }
    char copy[PathBuffer];
    HANDLE written = CreateFreshFile(copy, folder, ".exe", 0xFFFFFFFFu, FILE_ATTRIBUTE_TEMPORARY);
    if (written == INVALID_HANDLE_VALUE) {
        AddFailure(run, "a helper in the temporary folder", GetLastError());
        CloseHandle(heldFolder);
        RemoveDirectoryA(folder);
        return false;
    }
    bool copied = CopySelfInto(written, self);
    DWORD copyError = GetLastError();
    CloseHandle(written);
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, NULL, TRUE};
    // Reopened by name in a folder that nobody else may change.
    HANDLE held = copied ? CreateFileA(copy, GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, &inherited,
                                       OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, NULL)
                         : INVALID_HANDLE_VALUE;
    if (held == INVALID_HANDLE_VALUE) {
        AddFailure(run, copy, copied ? GetLastError() : copyError);
        DeleteFileA(copy);
        CloseHandle(heldFolder);
        RemoveDirectoryA(folder);
        return false;
    }
    HANDLE me = NULL;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &me, SYNCHRONIZE, TRUE, 0)) {
        AddFailure(run, "a handle for the helper", GetLastError());
        CloseHandle(held);
        CloseHandle(heldFolder);
        RemoveDirectoryA(folder);
        return false;
    }
    char command[PathBuffer * 2 + 64];
    // A silent removal stays silent to its end.
    ComposeFinishLine(command, copy, (ULONG_PTR)me, (ULONG_PTR)held, programDir, run.silent);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    // Started in the temporary folder: a process's current folder cannot
    // be removed.
    BOOL started = CreateProcessA(copy, command, NULL, NULL, TRUE, 0, NULL, temp, &startup, &process);
    DWORD error = GetLastError();
    // The helper holds its own inherited copies; closing ours leaves the
    // copy's file with the helper's handle as the last one.
    CloseHandle(me);
    CloseHandle(held);
    CloseHandle(heldFolder);
    if (!started) {
        AddFailure(run, copy, error);
        RemoveDirectoryA(folder);
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// The last step, in the helper: waits for the uninstaller to end, then
// removes uninstall.exe and, when nothing else is in it, the folder, and
// last its own folder.
int FinishRemoval(const UninstallArguments& line)
{
    UninstallRun run = {};
    run.Begin();
    run.silent = line.switches.silent;
    HANDLE original = (HANDLE)line.waitFor;
    HANDLE ownFile = (HANDLE)line.ownFile;
    const char* folder = line.programDir;
    // Only a folder that could have come from the entry: this copy deletes
    // no file but the one named uninstall.exe, and the folder only when it
    // is empty.
    if (!IsAcceptableFolder(folder))
        return UninstallFailed;
    if (WaitForSingleObject(original, INFINITE) != WAIT_OBJECT_0)
        return UninstallFailed;
    CloseHandle(original);
    char program[PathBuffer];
    FormatText(program, "%s%s", folder, uninstallerFile);
    // The folder was checked before; it is asked again, now that some time
    // has passed, and held while the file goes.
    HANDLE held = OpenFolderUnfollowed(folder, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES);
    DWORD error = held == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    // The system may take a moment to let go of the ended program's file.
    for (int attempt = 0; attempt < 50 && held != INVALID_HANDLE_VALUE; ++attempt) {
        EntryRemoval result = RemoveEntry(held, folder, uninstallerFile);
        error = result == EntryFailed ? GetLastError() : ERROR_SUCCESS;
        if (result != EntryFailed)
            break;
        Sleep(100);
    }
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
    if (error != ERROR_SUCCESS) {
        char text[PathBuffer + 128];
        FormatText(text, "%s could not be removed (error %lu). Delete it by hand.", program, (unsigned long)error);
        Tell(run, text, MB_ICONEXCLAMATION);
        VacateHelperFolder(ownFile);
        return UninstallFailed;
    }
    RemoveDirectoryA(folder);
    VacateHelperFolder(ownFile);
    return UninstallRemoved;
}
