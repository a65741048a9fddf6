#include "base/nine_x_kernel.h"
#include <windows.h>

bool RunsOnNineXKernel()
{
    // Asked by name among the loaded modules only, so nothing is loaded
    // from anywhere.
    return GetModuleHandleA("ntdll.dll") == NULL;
}
