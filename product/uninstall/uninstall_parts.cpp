#include "uninstall/uninstall_parts.h"
#include "base/text.h"

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

const char finishSwitch[] = "/pictavo-finish";

namespace {

// A number written in hex, at least one digit; p moves past it and the
// blanks after it.
bool ReadHex(const char*& p, ULONG_PTR& value)
{
    value = 0;
    const char* start = p;
    for (; (*p >= '0' && *p <= '9') || ((*p | 0x20) >= 'a' && (*p | 0x20) <= 'f'); ++p)
        value = value * 16 + (ULONG_PTR)(*p <= '9' ? *p - '0' : (*p | 0x20) - 'a' + 10);
    bool read = p != start && p - start <= (ptrdiff_t)(2 * sizeof value);
    while (*p == ' ')
        ++p;
    return read;
}

// The helper's part of its line: the two handles and the quoted folder.
// rest is what follows, for the switches.
ArgumentsResult ReadFinishPart(const char* line, UninstallArguments& read, const char*& rest)
{
    const char* p = line + TextLength(finishSwitch);
    if (*p != ' ')
        return ArgumentsMalformed;
    while (*p == ' ')
        ++p;
    if (!ReadHex(p, read.waitFor) || !ReadHex(p, read.ownFile) || *p++ != '"')
        return ArgumentsMalformed;
    const char* end = p;
    while (*end && *end != '"')
        ++end;
    if (*end != '"' || (end[1] != '\0' && end[1] != ' '))
        return ArgumentsMalformed;
    if (!CopyTextPart(read.programDir, p, (size_t)(end - p)))
        return ArgumentsTooLong;
    rest = end + 1;
    return ArgumentsRead;
}

ArgumentsResult RefuseSwitch(UninstallArguments& read, const char* shown)
{
    CopyText(read.switches.unknownSwitch, shown);
    read.switches.help = false;
    read.switches.logPath[0] = '\0';
    return ArgumentsUnknown;
}

} // namespace

ArgumentsResult ReadUninstallArguments(const char* line, UninstallArguments& read)
{
    read.finish = false;
    read.waitFor = read.ownFile = 0;
    read.programDir[0] = '\0';
    const char* rest = line;
    size_t length = 0;
    while (finishSwitch[length] && line[length] == finishSwitch[length])
        ++length;
    if (!finishSwitch[length]) {
        read.finish = true;
        ArgumentsResult part = ReadFinishPart(line, read, rest);
        if (part != ArgumentsRead) {
            ReadArguments("", read.switches);
            return part;
        }
    }
    ArgumentsResult result = ReadArguments(rest, read.switches);
    if (result != ArgumentsRead)
        return result;
    if (read.switches.destination[0])
        return RefuseSwitch(read, "/D=");
    if (read.switches.startMenuFolder[0])
        return RefuseSwitch(read, "/G=");
    if (read.switches.downgrade)
        return RefuseSwitch(read, "/DOWNGRADE");
    if (read.finish && read.switches.logPath[0])
        return RefuseSwitch(read, "/LOG=");
    if (read.finish && read.switches.help)
        return RefuseSwitch(read, "/?");
    return ArgumentsRead;
}

bool ComposeFinishLineN(char* out, size_t size, const char* helper, ULONG_PTR waitFor, ULONG_PTR ownFile,
                        const char* programDir, bool silent)
{
    return FormatTextN(out, size, "\"%s\" %s %lx %lx \"%s\"%s", helper, finishSwitch, (unsigned long)waitFor,
                       (unsigned long)ownFile, programDir, silent ? " /S" : "");
}
