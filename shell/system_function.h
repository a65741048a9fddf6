// System functions looked up when first needed. Linked at start-up, the
// shell, COM and the common controls would slow every run's start, and
// some functions are missing from the oldest systems the installer serves.
#pragma once
#include <windows.h>

// The function, loading its library once for the rest of the run; NULL
// when the library or the function is missing.
FARPROC SystemFunction(const char* library, const char* name);
