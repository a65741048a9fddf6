#include "base/system_function.h"
#include "base/text.h"

namespace {

// The system folder followed by the library's name; false when it does not
// fit, and then nothing is loaded.
bool SystemLibraryPath(char (&path)[MAX_PATH], const char* library)
{
    UINT length = GetSystemDirectoryA(path, sizeof path);
    return length > 0 && length < sizeof path && AppendText(path, "\\") && AppendText(path, library);
}

} // namespace

FARPROC SystemFunction(const char* library, const char* name)
{
    char path[MAX_PATH];
    if (!SystemLibraryPath(path, library))
        return NULL;
    // Asked by full path, so that a module of the same name from elsewhere
    // is never taken for it. A library already in the process is not loaded
    // again; each one is counted once and stays until the process ends.
    HMODULE module = GetModuleHandleA(path);
    if (!module)
        module = LoadLibraryExA(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
    return module ? GetProcAddress(module, name) : NULL;
}

void RestrictProcess()
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // Neither call exists on the oldest systems.
    auto setDefault = SYSTEM_FUNCTION("kernel32.dll", SetDefaultDllDirectories);
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    // Takes the current folder out of the search, at least.
    auto setDirectory = SYSTEM_FUNCTION("kernel32.dll", SetDllDirectoryA);
    if (setDirectory)
        setDirectory("");
}
