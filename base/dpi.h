// The scale a window is shown at. Pixel measures are written for 96 dots
// per inch, the scale of 100 %, and scaled to the window's own.
#pragma once
#include <windows.h>

enum { BaseDpi = 96 };

// The dots per inch of the window: its monitor's where the system knows a
// scale per monitor, else the system's; BaseDpi when neither can be read.
int WindowDpi(HWND window);
// A measure given at BaseDpi, at this scale.
inline int ScaleToDpi(int pixels, int dpi)
{
    return MulDiv(pixels, dpi, BaseDpi);
}
