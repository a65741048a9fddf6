#include "base/folder_name.h"

bool IsValidFolderName(const char* name, size_t length)
{
    if (length == 0 || name[length - 1] == '.' || name[length - 1] == ' ')
        return false;
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = (unsigned char)name[i];
        if (c < 32 || c == '<' || c == '>' || c == ':' || c == '"' || c == '/' || c == '|' || c == '?' || c == '*')
            return false;
    }
    return true;
}
