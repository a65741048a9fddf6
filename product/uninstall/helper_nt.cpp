#include "uninstall/uninstaller.h"

const char finishSwitch[] = "/pictavo-finish";

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

} // namespace

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
    FormatText(command, "\"%s\" %s %lx \"%s\"%s", copy, finishSwitch, (unsigned long)(ULONG_PTR)me, programDir,
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

// The last step, in the helper: waits for the uninstaller to end, then
// removes uninstall.exe and, when nothing else is in it, the folder.
int FinishRemoval(const char* arguments)
{
    const char* p = arguments + TextLength(finishSwitch);
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
    FormatText(program, "%s%s", folder, uninstallerFile);
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
