#include "uninstall/uninstaller.h"

// The 9x family cannot delete a file on close: a batch file does the last
// step there, with short names, since command.com reads 8.3 names only.
// The 9x family has no permissions on files: the temporary folder is as
// good a place for it as any.
bool StartFinisher9x(const char* self, const char* programDir, const char* temp, UninstallRun& run)
{
    char shortSelf[PathBuffer], shortDir[PathBuffer], batch[PathBuffer], text[3 * PathBuffer + 128];
    DWORD a = GetShortPathNameA(self, shortSelf, PathBuffer);
    DWORD b = GetShortPathNameA(programDir, shortDir, PathBuffer);
    // Five hex digits at most: the batch file's own name must be short.
    HANDLE file = CreateFreshFile(batch, temp, ".bat", 0xFFFFF, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE) {
        AddFailure(run, "a batch file in the temporary folder", GetLastError());
        return false;
    }
    char shortBatch[PathBuffer];
    DWORD c = GetShortPathNameA(batch, shortBatch, PathBuffer);
    if (!a || a >= PathBuffer || !b || b >= PathBuffer || !c || c >= PathBuffer ||
        !ComposeRemovalBatch(text, shortSelf, shortDir, shortBatch)) {
        AddFailed(run, "the batch file that removes uninstall.exe (its paths cannot be written in it)");
        CloseHandle(file);
        DeleteFileA(batch);
        return false;
    }
    bool ok = WriteAll(file, text, (DWORD)TextLength(text));
    DWORD error = GetLastError();
    CloseHandle(file);
    char windows[PathBuffer], shell[PathBuffer], command[2 * PathBuffer];
    UINT length = GetWindowsDirectoryA(windows, PathBuffer);
    ok = ok && length && length < PathBuffer && NineXInterpreter(shell, windows);
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
        AddFailure(run, batch, error);
        DeleteFileA(batch);
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

