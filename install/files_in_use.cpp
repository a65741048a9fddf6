#include "install/files_in_use.h"
#include "install/payload.h"
#include "install/staged_file.h"
#include "base/system_function.h"
#include "base/text.h"
#include <restartmanager.h>
#include <string.h>

namespace {

bool ProductFilePath(const char* destDir, int row, char (&path)[PathSize])
{
    return CopyText(path, destDir) && AppendText(path, targetNames[row]);
}

// The manager takes wide names; a path that does not convert is left out.
bool WidePath(const char* destDir, int row, WCHAR (&wide)[PathSize])
{
    char path[PathSize];
    return ProductFilePath(destDir, row, path) && MultiByteToWideChar(CP_ACP, 0, path, -1, wide, PathSize) > 0;
}

// Adds name on a line of its own unless it is there already.
void AddProgramName(char (&programs)[PathSize], const WCHAR* wideName)
{
    char name[PathSize];
    if (!WideCharToMultiByte(CP_ACP, 0, wideName, -1, name, sizeof name, NULL, NULL) || !name[0])
        return;
    for (const char* line = programs; *line;) {
        size_t length = strcspn(line, "\n");
        if (length == strlen(name) && strncmp(line, name, length) == 0)
            return;
        line += length + (line[length] == '\n');
    }
    // A name that does not fit is left out whole, never cut.
    char joined[PathSize];
    if (CopyText(joined, programs) && (!programs[0] || AppendText(joined, "\n")) && AppendText(joined, name))
        CopyText(programs, joined);
}

} // namespace

void HeldProductFiles::Release()
{
    for (HANDLE& held : files) {
        if (held)
            CloseHandle(held);
        held = NULL;
    }
}

bool HoldProductFiles(const char* destDir, const RunLog& log, HeldProductFiles& held, char (&inUse)[PathSize])
{
    held.Release();
    inUse[0] = '\0';
    for (int row = 0; row < PayloadRows; ++row) {
        char path[PathSize];
        if (!ProductFilePath(destDir, row, path))
            continue;
        // Write access: any open handle elsewhere that reads, writes or runs
        // the file, whatever it shares, refuses it. Shared for deletion only,
        // so that no program can open it until the new file's rename
        // replaces it.
        HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE | DELETE, DeleteSharingOnly(), NULL,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            held.files[row] = file;
            continue;
        }
        DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION) {
            LogLine(log, "File in use by another program: %s (error %lu)", path, (unsigned long)error);
            CopyText(inUse, path);
            held.Release();
            return false;
        }
    }
    return true;
}

void NameProgramsUsingProductFiles(const char* destDir, const RunLog& log, char (&programs)[PathSize])
{
    programs[0] = '\0';
    // Missing before Windows Vista.
    auto startSession = SYSTEM_FUNCTION("rstrtmgr.dll", RmStartSession);
    auto registerResources = SYSTEM_FUNCTION("rstrtmgr.dll", RmRegisterResources);
    auto getList = SYSTEM_FUNCTION("rstrtmgr.dll", RmGetList);
    auto endSession = SYSTEM_FUNCTION("rstrtmgr.dll", RmEndSession);
    if (!startSession || !registerResources || !getList || !endSession)
        return;

    static WCHAR paths[PayloadRows][PathSize];
    LPCWSTR names[PayloadRows];
    UINT count = 0;
    for (int row = 0; row < PayloadRows; ++row) {
        if (WidePath(destDir, row, paths[row]))
            names[count++] = paths[row];
    }
    DWORD session = 0;
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    if (startSession(&session, 0, key) != ERROR_SUCCESS)
        return;
    // More holders than this are past what one message can name anyway.
    static RM_PROCESS_INFO holders[8];
    UINT needed = 0, listed = sizeof holders / sizeof holders[0];
    DWORD reasons = 0;
    if (registerResources(session, count, names, 0, NULL, 0, NULL) == ERROR_SUCCESS
        && getList(session, &needed, &listed, holders, &reasons) == ERROR_SUCCESS) {
        for (UINT i = 0; i < listed && i < sizeof holders / sizeof holders[0]; ++i)
            AddProgramName(programs, holders[i].strAppName);
    }
    endSession(session);
    if (programs[0])
        LogLine(log, "Programs using the files, named by the system: %s", programs);
}
