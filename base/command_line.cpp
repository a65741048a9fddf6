#include "base/command_line.h"
#include "base/folder_name.h"
#include "base/text.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c;
}

// A switch written either way: /s as /S.
bool IsSwitch(const char* at, const char* end, char letter, bool takesValue)
{
    if (end - at < 2 || at[0] != '/' || Upper(at[1]) != letter)
        return false;
    if (takesValue)
        return end - at >= 3 && at[2] == '=';
    return end - at == 2 || IsBlank(at[2]);
}

bool TakePath(char (&path)[PathSize], const char* from, const char* to)
{
    return CopyTextPart(path, from, (size_t)(to - from));
}

// A folder below the programs folder: no drive, no leading backslash, no
// name that climbs out of it or that Windows would change.
bool IsRelativeFolder(const char* folder)
{
    if (folder[0] == '\0' || folder[0] == '\\')
        return false;
    const char* name = folder;
    for (const char* at = folder;; ++at) {
        if (*at == '\\' || *at == '\0') {
            if (!IsValidFolderName(name, (size_t)(at - name)))
                return false;
            if (*at == '\0')
                return true;
            name = at + 1;
        }
    }
}

ArgumentsResult Refuse(SetupArguments& arguments, ArgumentsResult result)
{
    arguments.destination[0] = '\0';
    arguments.startMenuFolder[0] = '\0';
    return result;
}

} // namespace

ArgumentsResult ReadArguments(const char* line, SetupArguments& arguments)
{
    arguments.silent = false;
    arguments.destination[0] = '\0';
    arguments.startMenuFolder[0] = '\0';
    arguments.unknownSwitch[0] = '\0';

    // Nothing past the limit is looked at: a longer line is refused whole,
    // but the switches before the limit still tell whether to be silent.
    const char* end = line;
    while (end < line + CommandLineLimit && *end)
        ++end;
    bool tooLong = *end != '\0';

    ArgumentsResult result = ArgumentsRead;
    const char* at = line;
    while (result == ArgumentsRead) {
        while (at < end && IsBlank(*at))
            ++at;
        if (at == end)
            break;
        const char* tokenEnd = at;
        while (tokenEnd < end && !IsBlank(*tokenEnd))
            ++tokenEnd;
        if (IsSwitch(at, end, 'S', false)) {
            arguments.silent = true;
            at = tokenEnd;
        } else if (IsSwitch(at, end, 'D', true)) {
            const char* last = end;
            while (last > at + 3 && IsBlank(last[-1]))
                --last;
            if (last == at + 3)
                result = ArgumentsMalformed;
            else if (!TakePath(arguments.destination, at + 3, last))
                result = ArgumentsTooLong;
            at = end;
        } else if (IsSwitch(at, end, 'G', true)) {
            const char* from = at + 3;
            if (from < end && *from == '"') {
                ++from;
                tokenEnd = from;
                while (tokenEnd < end && *tokenEnd != '"')
                    ++tokenEnd;
                if (tokenEnd == end) {
                    result = ArgumentsMalformed;
                    break;
                }
                at = tokenEnd + 1;
                if (at < end && !IsBlank(*at)) {
                    result = ArgumentsMalformed;
                    break;
                }
            } else {
                at = tokenEnd;
            }
            if (!TakePath(arguments.startMenuFolder, from, tokenEnd))
                result = ArgumentsTooLong;
            else if (!IsRelativeFolder(arguments.startMenuFolder))
                result = ArgumentsMalformed;
        } else {
            if (!CopyTextPart(arguments.unknownSwitch, at, (size_t)(tokenEnd - at))) {
                CopyTextPart(arguments.unknownSwitch, at, SwitchShownSize - 4);
                AppendText(arguments.unknownSwitch, "...");
            }
            result = ArgumentsUnknown;
        }
    }
    if (tooLong && result == ArgumentsRead)
        result = ArgumentsTooLong;
    return result == ArgumentsRead ? result : Refuse(arguments, result);
}
