// ReadArguments on any command line: it reads nothing past its bound or the
// line's end, keeps every field terminated, keeps nothing of a refused
// line, and what it reads is what a line written from it reads again.
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
    CONTRACT((result == ArgumentsUnknown) == (arguments->unknownSwitch[0] != '\0'));

    if (result != ArgumentsRead) {
        CONTRACT(arguments->destination[0] == '\0' && arguments->startMenuFolder[0] == '\0');
    } else {
        std::string text(line, strnlen(line, length));
        CONTRACT(!unterminated || text.size() < length);
        std::string destination = arguments->destination, folder = arguments->startMenuFolder;
        if (!destination.empty()) {
            CONTRACT(destination.back() != ' ' && destination.back() != '\t');
            size_t at = text.rfind(destination);
            CONTRACT(at != std::string::npos && at >= 3);
            CONTRACT(text[at - 3] == '/' && (text[at - 2] | 0x20) == 'd' && text[at - 1] == '=');
            CONTRACT(text.find_first_not_of(" \t", at + destination.size()) == std::string::npos);
        }
        if (!folder.empty())
            CONTRACT(IsRelativeFolder(folder) && folder.find('"') == std::string::npos);

        // Written out again in the plainest form, the line reads the same.
        std::string again = arguments->silent ? "/S " : "";
        if (!folder.empty())
            again += "/G=\"" + folder + "\" ";
        if (!destination.empty())
            again += "/D=" + destination;
        SetupArguments* reread = (SetupArguments*)malloc(sizeof(SetupArguments));
        CONTRACT(ReadArguments(again.c_str(), *reread) == ArgumentsRead);
        CONTRACT(reread->silent == arguments->silent);
        CONTRACT(destination == reread->destination && folder == reread->startMenuFolder);
        free(reread);
    }
    free(arguments);
    free(line);
    return 0;
}
