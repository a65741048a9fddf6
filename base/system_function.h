// System functions looked up when first needed. Linked at start-up, the
// shell, COM and the common controls would slow every run's start, and
// some functions are missing from the oldest systems the installer serves.
//
// Setup runs with administrator rights, and a library loaded by its bare
// name is searched for in the installer's own folder first: a download
// folder, where anybody may have left a DLL of that name. So libraries are
// only ever loaded from the system folder, by their full path.
#pragma once
#include <windows.h>

// The function, loading its library from the system folder once for the
// rest of the run; NULL when the library or the function is missing.
FARPROC SystemFunction(const char* library, const char* name);

template <typename Function> Function* SystemFunctionAs(const char* library, const char* name)
{
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(SystemFunction(library, name)));
}

// The same, typed as the SDK declares the function, so that a calling
// convention or a parameter cannot drift from the real one. Only the
// declaration's type is taken: the function itself is never referenced,
// so no static import of it (or of its library) is made.
//     auto copy = SYSTEM_FUNCTION("lz32.dll", LZCopy);
#define SYSTEM_FUNCTION(library, name) SystemFunctionAs<decltype(::name)>(library, #name)

// What the process needs before it loads anything: no DLL search outside
// the system folder (where the system can restrict it), and no system
// "no disk" boxes from drives that a folder browser touches.
void RestrictProcess();
