// Folders that the installation makes, with whatever is missing above them.
#pragma once
#include "base/run_log.h"
#include <windows.h>

// CreateDirectoryA, with what came of it in the log: made, there already,
// or not made and the system's reason. The last error stays the call's.
bool MakeFolder(const char* path, SECURITY_ATTRIBUTES* security, const RunLog& log);

// Makes the folders above path that are missing; the last level is left
// to the caller, which must know whether it existed.
void CreateParentFolders(const char* path, SECURITY_ATTRIBUTES* security, const RunLog& log = RunLog());

// Makes path and every missing folder above it. True when path is a folder
// at the end, whether it was made now or existed.
bool CreateFolderTree(const char* path, SECURITY_ATTRIBUTES* security, const RunLog& log = RunLog());
