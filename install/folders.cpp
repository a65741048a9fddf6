#include "install/folders.h"
#include "base/limits.h"
#include "base/text.h"

void CreateParentFolders(const char* path, SECURITY_ATTRIBUTES* security)
{
    char parent[PathSize];
    if (!CopyText(parent, path))
        return;
    bool driveRoot = ((parent[0] | 0x20) >= 'a' && (parent[0] | 0x20) <= 'z') && parent[1] == ':' && parent[2] == '\\';
    for (size_t i = driveRoot ? 3 : 0; parent[i]; ++i) {
        if (parent[i] != '\\')
            continue;
        parent[i] = '\0';
        CreateDirectoryA(parent, security);
        parent[i] = '\\';
    }
}

bool CreateFolderTree(const char* path, SECURITY_ATTRIBUTES* security)
{
    CreateParentFolders(path, security);
    CreateDirectoryA(path, security);
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
