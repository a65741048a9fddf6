#include "base/run_log.h"
#include "base/command_line.h"
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
    // CREATE_NEW fails on any name that exists, a link's included, on
    // Windows and on Wine's hosts alike: nothing is written through one.
    log.file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    return log.file != INVALID_HANDLE_VALUE;
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
    LogLine(log, "Windows %u.%u, build %u, %s family", (unsigned)LOBYTE(LOWORD(version)),
            (unsigned)HIBYTE(LOWORD(version)), (unsigned)(HIWORD(version) & 0x7FFF),
            version & 0x80000000 ? "9x" : "NT");
}
