// Folders that the installation makes, with whatever is missing above them.
#pragma once
#include <windows.h>

// Makes the folders above path that are missing; the last level is left
// to the caller, which must know whether it existed.
void CreateParentFolders(const char* path, SECURITY_ATTRIBUTES* security);

// Makes path and every missing folder above it. True when path is a folder
// at the end, whether it was made now or existed.
bool CreateFolderTree(const char* path, SECURITY_ATTRIBUTES* security);
