#include "shell/system_function.h"

FARPROC SystemFunction(const char* library, const char* name)
{
    // A library already in the process is not loaded again, so each one
    // is counted once and stays until the process ends.
    HMODULE module = GetModuleHandleA(library);
    if (!module)
        module = LoadLibraryA(library);
    return module ? GetProcAddress(module, name) : NULL;
}
