// ReadArguments on any command line: it reads nothing past its bound or the
// line's end, keeps every field terminated, keeps nothing of a refused
// line, keeps no quote in a value, and what it reads is what a line written
// from it reads again, in every quoted form a script or a person writes.
#include "base/command_line.h"
#include "base/folder_name.h"
#include "contract.h"
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>

namespace {

bool Terminated(const char* field, size_t size)
{
    return memchr(field, '\0', size) != nullptr;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = (char)((c >= 'A' && c <= 'Z') ? c | 0x20 : c);
    return text;
}

// Whether value stands in text right after the switch name, quoted in
// either form or not.
bool FollowsSwitch(const std::string& text, const std::string& value, const std::string& name)
{
    std::string lower = Lower(text);
    for (size_t at = text.find(value); at != std::string::npos; at = text.find(value, at + 1)) {
        std::string before = lower.substr(0, at);
        if (before.size() >= name.size() &&
            (before.compare(before.size() - name.size(), name.size(), name) == 0 ||
             (before.back() == '"' && before.size() > name.size() &&
              before.compare(before.size() - name.size() - 1, name.size(), name) == 0)))
            return true;
    }
    return false;
}

bool ReadsAs(const std::string& line, const SetupArguments& expected)
{
    SetupArguments* reread = (SetupArguments*)malloc(sizeof(SetupArguments));
    bool same = ReadArguments(line.c_str(), *reread) == ArgumentsRead && reread->silent == expected.silent &&
                reread->help == expected.help && strcmp(reread->destination, expected.destination) == 0 &&
                strcmp(reread->startMenuFolder, expected.startMenuFolder) == 0 &&
                strcmp(reread->logPath, expected.logPath) == 0;
    free(reread);
    return same;
}

bool IsRelativeFolder(const std::string& folder)
{
    size_t at = 0;
    for (;;) {
        size_t end = folder.find('\\', at);
        std::string name = folder.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (!IsValidFolderName(name.c_str(), name.size()))
            return false;
        if (end == std::string::npos)
            return true;
        at = end + 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A line longer than the bound comes without a terminator at all, in an
    // allocation that ends one byte past the bound: reading further is a
    // finding. A shorter one ends exactly at its terminator.
    bool unterminated = size > CommandLineLimit;
    size_t length = unterminated ? CommandLineLimit + 1 : size;
    char* line = (char*)malloc(unterminated ? length : length + 1);
    memcpy(line, data, length);
    if (!unterminated)
        line[length] = '\0';

    SetupArguments* arguments = (SetupArguments*)malloc(sizeof(SetupArguments));
    memset(arguments, 'q', sizeof *arguments);
    ArgumentsResult result = ReadArguments(line, *arguments);
    CONTRACT(result == ArgumentsRead || result == ArgumentsUnknown || result == ArgumentsTooLong ||
             result == ArgumentsMalformed);
    CONTRACT(Terminated(arguments->destination, sizeof arguments->destination));
    CONTRACT(Terminated(arguments->startMenuFolder, sizeof arguments->startMenuFolder));
    CONTRACT(Terminated(arguments->unknownSwitch, sizeof arguments->unknownSwitch));
    CONTRACT(Terminated(arguments->logPath, sizeof arguments->logPath));
    CONTRACT((result == ArgumentsUnknown) == (arguments->unknownSwitch[0] != '\0'));

    if (result != ArgumentsRead) {
        CONTRACT(arguments->destination[0] == '\0' && arguments->startMenuFolder[0] == '\0' &&
                 arguments->logPath[0] == '\0' && !arguments->help);
    } else {
        std::string text(line, strnlen(line, length));
        CONTRACT(!unterminated || text.size() < length);
        std::string destination = arguments->destination, folder = arguments->startMenuFolder,
                    log = arguments->logPath;
        for (const std::string* value : {&destination, &folder, &log})
            CONTRACT(value->find('"') == std::string::npos && (value->empty() || FollowsSwitch(text, *value,
                     value == &destination ? "/d=" : value == &folder ? "/g=" : "/log=")));
        if (!destination.empty())
            CONTRACT(destination.back() != ' ' && destination.back() != '\t');
        if (!folder.empty())
            CONTRACT(IsRelativeFolder(folder));

        // Written out again in the plainest form and in both quoted ones,
        // the line reads the same.
        for (int form = 0; form < 3; ++form) {
            auto quoted = [form](const char* name, const std::string& value) {
                return form == 0 ? std::string(name) + "\"" + value + "\" "
                                 : form == 1 ? "\"" + std::string(name) + value + "\" "
                                             : " " + std::string(name) + "\"" + value + "\"\t";
            };
            std::string again = arguments->silent ? "/S " : "";
            if (arguments->help)
                again += form == 1 ? "\"/?\" " : "/? ";
            if (!log.empty())
                again += quoted("/LOG=", log);
            if (!folder.empty())
                again += quoted("/G=", folder);
            if (!destination.empty())
                again += form == 0 ? "/D=" + destination : quoted("/D=", destination);
            CONTRACT(ReadsAs(again, *arguments));
        }
    }
    free(arguments);
    free(line);
    return 0;
}
