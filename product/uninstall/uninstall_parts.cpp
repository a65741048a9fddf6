#include "uninstall/uninstall_parts.h"
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

namespace {

bool SafeForBatch(const char* path)
{
    for (const char* p = path; *p; ++p)
        if (*p <= ' ' || *p == '"' || *p == '%' || *p == '&' || *p == '|' || *p == '<' || *p == '>' || *p == '^')
            return false;
    return path[0] != '\0';
}

} // namespace

bool ComposeRemovalBatchN(char* out, size_t size, const char* program, const char* folder, const char* batch)
{
    if (size == 0)
        return false;
    out[0] = '\0';
    if (!SafeForBatch(program) || !SafeForBatch(folder) || !SafeForBatch(batch))
        return false;
    // "del" fails while the uninstaller still runs, so the loop also waits
    // for it to end. The folder goes only when it is empty: rmdir removes
    // nothing else. Deleting the running batch file last is what command.com
    // allows; it then stops with nothing left to read.
    if (FormatTextN(out, size,
                   "@echo off\r\n"
                   ":wait\r\n"
                   "del %s >nul\r\n"
                   "if exist %s goto wait\r\n"
                   "rmdir %s >nul\r\n"
                   "del %s >nul\r\n",
                   program, program, folder, batch))
        return true;
    out[0] = '\0';
    return false;
}

bool NineXInterpreterN(char* out, size_t size, const char* windowsDir)
{
    if (size == 0)
        return false;
    out[0] = '\0';
    if (IsAcceptableFolder(windowsDir) && FormatTextN(out, size, "%s\\COMMAND.COM", windowsDir))
        return true;
    out[0] = '\0';
    return false;
}
