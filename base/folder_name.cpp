#include "base/folder_name.h"

namespace {

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
}

// The names Windows keeps for its devices, with or without an extension
// and blanks after them: a folder "CON" or "nul.txt" opens the device, and
// "COM¹" (in the ANSI code page) is a serial port on newer systems.
bool IsDeviceName(const char* name, size_t length)
{
    size_t stem = 0;
    while (stem < length && name[stem] != '.')
        ++stem;
    while (stem > 0 && name[stem - 1] == ' ')
        --stem;
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    for (const char* device : devices) {
        size_t i = 0;
        while (i < stem && device[i] && Upper(name[i]) == device[i])
            ++i;
        if (i == stem && device[i] == '\0')
            return true;
    }
    if (stem != 4)
        return false;
    bool port = (Upper(name[0]) == 'C' && Upper(name[1]) == 'O' && Upper(name[2]) == 'M') ||
                (Upper(name[0]) == 'L' && Upper(name[1]) == 'P' && Upper(name[2]) == 'T');
    unsigned char number = (unsigned char)name[3];
    return port && ((number >= '0' && number <= '9') || number == 0xB9 || number == 0xB2 || number == 0xB3);
}

} // namespace

bool IsValidFolderName(const char* name, size_t length)
{
    if (length == 0 || name[length - 1] == '.' || name[length - 1] == ' ')
        return false;
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = (unsigned char)name[i];
        if (c < 32 || c == '<' || c == '>' || c == ':' || c == '"' || c == '/' || c == '|' || c == '?' || c == '*')
            return false;
    }
    return !IsDeviceName(name, length);
}
