#include "base/run_log.h"
#include "base/admin_descriptor.h"
#include "base/command_line.h"
#include "base/file_write.h"
#include "base/folder_path.h"
#include "base/limits.h"
#include "base/nine_x_kernel.h"
#include "base/system_function.h"
#include "base/text.h"

namespace {

// FormatText has no field widths: the time's digits are placed by hand.
char* PutDigits(char* at, unsigned value, int count, char after)
{
    for (int i = count - 1; i >= 0; --i, value /= 10)
        at[i] = (char)('0' + value % 10);
    at[count] = after;
    return at + count + 1;
}

} // namespace

bool OpenRunLog(RunLog& log, const char* path)
{
    log.file = INVALID_HANDLE_VALUE;
    char full[PathSize];
    DWORD length = GetFullPathNameA(path, sizeof full, full, NULL);
    if (length == 0 || length >= sizeof full) {
        SetLastError(length ? ERROR_FILENAME_EXCED_RANGE : GetLastError());
        return false;
    }
    const char* name = full + length;
    while (name > full && name[-1] != '\\')
        --name;
    if (name == full || !*name) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    // CREATE_NEW fails on any name that exists, a link's included, on
    // Windows and on Wine's hosts alike: nothing is written through one at
    // the file's own place.
    if (RunsOnNineXKernel()) {
        log.file = CreateFileA(full, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        return log.file != INVALID_HANDLE_VALUE;
    }
    // Above it, any folder that another user may swap for a link, or for
    // a folder of theirs, would let that user choose where this elevated
    // program makes a file. The folders stay held until the file exists.
    char folder[PathSize];
    size_t folderLength = (size_t)(name - full);
    if (!CopyTextPart(folder, full, folderLength))
        return false;
    TrimTrailingBackslashes(folder);
    HeldPath held;
    PathVerdict verdict = HoldFolderPath(folder, held);
    if (verdict != PathSafe) {
        if (verdict == PathPartMissing)
            SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    // Its own permissions rather than its folder's, which may let any user
    // edit what was logged: the administrators and SYSTEM may change it,
    // the account that ran the program may read it.
    ProcessToken token;
    ReadProcessToken(token);
    if (!token.facts.user) {
        SetLastError(ERROR_NO_TOKEN);
        return false;
    }
    const AccessGrant grants[] = {
        {AdministratorsSid(), FILE_ALL_ACCESS},
        {LocalSystemSid(), FILE_ALL_ACCESS},
        {token.facts.user, FILE_GENERIC_READ},
    };
    PSECURITY_DESCRIPTOR descriptor = MakeProtectedDescriptor(grants, 3, false, NULL);
    if (!descriptor)
        return false;
    SECURITY_ATTRIBUTES security = {sizeof security, descriptor, FALSE};
    log.file = CreateFileA(full, GENERIC_WRITE | DELETE, FILE_SHARE_READ, &security, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           NULL);
    DWORD error = GetLastError();
    LocalFree(descriptor);
    if (log.file == INVALID_HANDLE_VALUE) {
        SetLastError(error);
        return false;
    }
    // The file the system made must be the one asked for; one made
    // elsewhere goes again.
    if (CompareFinalPath(log.file, full) == FinalPathDiffers) {
        MarkForRemoval(log.file);
        CloseRunLog(log);
        SetLastError(FolderLinkError);
        return false;
    }
    return true;
}

void LogLine(const RunLog& log, const char* format, ...)
{
    if (log.file == INVALID_HANDLE_VALUE)
        return;
    DWORD error = GetLastError();
    SYSTEMTIME now;
    GetLocalTime(&now);
    // Room for the arguments' line, the longest text logged.
    enum { Stamp = 25, Text = CommandLineLimit + 64 };
    char line[Stamp + Text + 2];
    char* at = PutDigits(line, now.wYear, 4, '-');
    at = PutDigits(at, now.wMonth, 2, '-');
    at = PutDigits(at, now.wDay, 2, ' ');
    at = PutDigits(at, now.wHour, 2, ':');
    at = PutDigits(at, now.wMinute, 2, ':');
    at = PutDigits(at, now.wSecond, 2, '.');
    at = PutDigits(at, now.wMilliseconds, 3, ' ');
    *at++ = ' ';
    va_list args;
    va_start(args, format);
    bool fit = FormatTextV(at, Text, format, args);
    va_end(args);
    if (!fit)
        CopyTextN(at + Text - 4, 4, "...");
    // One step, one line: a message's own line breaks become blanks.
    for (char* c = at; *c; ++c)
        if (*c == '\r' || *c == '\n')
            *c = ' ';
    AppendTextN(line, sizeof line, "\r\n");
    // Straight to the file, no buffer of ours that a crash would lose. A
    // log that cannot be written (its disk full) does not stop the run:
    // the exit code still tells how it ended.
    DWORD written;
    WriteFile(log.file, line, (DWORD)TextLength(line), &written, NULL);
    SetLastError(error);
}

void CloseRunLog(RunLog& log)
{
    if (log.file != INVALID_HANDLE_VALUE)
        CloseHandle(log.file);
    log.file = INVALID_HANDLE_VALUE;
}

void LogWindowsVersion(const RunLog& log)
{
    DWORD version = GetVersion();
    LogLine(log, "Windows %u.%u, build %u, %s family, on a kernel of the %s family", (unsigned)LOBYTE(LOWORD(version)),
            (unsigned)HIBYTE(LOWORD(version)), (unsigned)(HIWORD(version) & 0x7FFF),
            version & 0x80000000 ? "9x" : "NT", RunsOnNineXKernel() ? "9x" : "NT");
}
