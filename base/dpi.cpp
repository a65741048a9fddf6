#include "base/dpi.h"
#include "base/system_function.h"

int WindowDpi(HWND window)
{
    // Missing before Windows 10; the system's scale is then the only one.
    auto dpiForWindow = SYSTEM_FUNCTION("user32.dll", GetDpiForWindow);
    if (dpiForWindow && window) {
        UINT dpi = dpiForWindow(window);
        if (dpi)
            return (int)dpi;
    }
    HDC context = GetDC(window);
    int dpi = context ? GetDeviceCaps(context, LOGPIXELSY) : 0;
    if (context)
        ReleaseDC(window, context);
    return dpi > 0 ? dpi : BaseDpi;
}
