#include "install/folders.h"
#include "base/limits.h"
#include "base/text.h"

bool MakeFolder(const char* path, SECURITY_ATTRIBUTES* security, const RunLog& log)
{
    if (CreateDirectoryA(path, security)) {
        LogLine(log, "Folder made: %s", path);
        return true;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        LogLine(log, "Folder not made: %s (error %lu)", path, (unsigned long)GetLastError());
    return false;
}

void CreateParentFolders(const char* path, SECURITY_ATTRIBUTES* security, const RunLog& log)
{
    char parent[PathSize];
    if (!CopyText(parent, path))
        return;
    bool driveRoot = ((parent[0] | 0x20) >= 'a' && (parent[0] | 0x20) <= 'z') && parent[1] == ':' && parent[2] == '\\';
    for (size_t i = driveRoot ? 3 : 0; parent[i]; ++i) {
        if (parent[i] != '\\')
            continue;
        parent[i] = '\0';
        // A parent that exists says so silently: most of them do.
        if (GetFileAttributesA(parent) == INVALID_FILE_ATTRIBUTES)
            MakeFolder(parent, security, log);
        parent[i] = '\\';
    }
}

bool CreateFolderTree(const char* path, SECURITY_ATTRIBUTES* security, const RunLog& log)
{
    CreateParentFolders(path, security, log);
    MakeFolder(path, security, log);
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
