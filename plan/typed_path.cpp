#include "plan/typed_path.h"
#include "base/folder_name.h"
#include "base/text.h"
#include <string.h>

namespace {

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

TypedDestination ParseTypedDestination(const char* typed, char (&base)[PathSize], char (&product)[PathSize])
{
    char path[PathSize];
    if (!CopyText(path, typed))
        return TypedTooLong;
    size_t length = TrimTrailingBackslashes(path);
    if (length < 3 || !IsLetter(path[0]) || path[1] != ':' || path[2] != '\\')
        return TypedNotAbsolute;
    if (length == 3)
        return TypedInvalid;
    for (const char* name = path + 3; *name;) {
        const char* end = strchr(name, '\\');
        size_t nameLength = end ? (size_t)(end - name) : TextLength(name);
        if (!IsValidFolderName(name, nameLength))
            return TypedInvalid;
        name += nameLength + (end ? 1 : 0);
    }

    // A root keeps its backslash: D:\Pictavo, never the drive-relative D:Pictavo.
    char* last = strrchr(path, '\\');
    CopyText(product, last + 1);
    last[last == path + 2 ? 1 : 0] = '\0';
    CopyText(base, path);
    return TypedTaken;
}
