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

// The switch at [from, to), written either way: /s as /S.
bool IsFlag(const char* from, const char* to, const char* name)
{
    for (; *name; ++from, ++name)
        if (from == to || Upper(*from) != *name)
            return false;
    return from == to;
}

// Where the value of a switch "name" begins, when [from, to) is that
// switch; NULL otherwise.
const char* ValueOf(const char* from, const char* to, const char* name)
{
    for (; *name; ++from, ++name)
        if (from == to || Upper(*from) != *name)
            return NULL;
    return from;
}

const char* FindQuote(const char* at, const char* end)
{
    while (at < end && *at != '"')
        ++at;
    return at;
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
    arguments.help = false;
    arguments.downgrade = false;
    arguments.logPath[0] = '\0';
    arguments.destination[0] = '\0';
    arguments.startMenuFolder[0] = '\0';
    return result;
}

} // namespace

ArgumentsResult ReadArguments(const char* line, SetupArguments& arguments)
{
    arguments.silent = false;
    arguments.help = false;
    arguments.downgrade = false;
    arguments.logPath[0] = '\0';
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
        // The argument as a program that splits its line would get it:
        // [from, to), and where the line goes on after it.
        bool wholeQuoted = *at == '"';
        const char* from = at + wholeQuoted;
        const char* to = from;
        if (wholeQuoted) {
            to = FindQuote(from, end);
            if (to == end) {
                result = ArgumentsMalformed;
                break;
            }
            at = to + 1;
        } else {
            while (to < end && !IsBlank(*to))
                ++to;
            at = to;
        }

        char (*field)[PathSize] = NULL;
        const char* value = NULL;
        if (from == to) {
            result = ArgumentsMalformed;  // "" stands for no switch at all
            break;
        } else if (IsFlag(from, to, "/S")) {
            arguments.silent = true;
        } else if (IsFlag(from, to, "/?")) {
            arguments.help = true;
        } else if (IsFlag(from, to, "/DOWNGRADE")) {
            arguments.downgrade = true;
        } else if ((value = ValueOf(from, to, "/D=")) != NULL) {
            field = &arguments.destination;
        } else if ((value = ValueOf(from, to, "/G=")) != NULL) {
            field = &arguments.startMenuFolder;
        } else if ((value = ValueOf(from, to, "/LOG=")) != NULL) {
            field = &arguments.logPath;
        } else {
            if (!CopyTextPart(arguments.unknownSwitch, from, (size_t)(to - from))) {
                CopyTextPart(arguments.unknownSwitch, from, SwitchShownSize - 4);
                AppendText(arguments.unknownSwitch, "...");
            }
            result = ArgumentsUnknown;
            break;
        }
        if (!field) {
        } else if (!wholeQuoted && value < end && *value == '"') {
            // Only the value quoted: it runs to the closing quote, blanks
            // inside included.
            ++value;
            to = FindQuote(value, end);
            if (to == end) {
                result = ArgumentsMalformed;
                break;
            }
            at = to + 1;
        } else if (!wholeQuoted && field == &arguments.destination) {
            // Unquoted, the destination is the rest of the line.
            to = at = end;
        }
        if (field == &arguments.destination) {
            // Trailing blanks are no folder name's, quoted or not.
            while (to > value && IsBlank(to[-1]))
                --to;
        }
        // A closing quote ends the argument: text right after it is refused.
        if (at < end && !IsBlank(*at)) {
            result = ArgumentsMalformed;
            break;
        }
        if (!field)
            continue;
        if (value == to || FindQuote(value, to) != to)
            result = ArgumentsMalformed;
        else if (!TakePath(*field, value, to))
            result = ArgumentsTooLong;
        else if (field == &arguments.startMenuFolder && !IsRelativeFolder(arguments.startMenuFolder))
            result = ArgumentsMalformed;
    }
    if (tooLong && result == ArgumentsRead)
        result = ArgumentsTooLong;
    return result == ArgumentsRead ? result : Refuse(arguments, result);
}
