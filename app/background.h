// The full-screen picture behind the pages: a vertical gradient of blues
// with the title drawn into it once.
#pragma once
#include "base/dpi.h"
#include <windows.h>

// The picture and what it is made of, kept by the main window.
struct Background {
    int screenWidth = 0;              // screen size in pixels; SetUpMainWindow
    int screenHeight = 0;
    HGLOBAL info = NULL;              // bitmap header and colour table, kept for the whole run
    HPALETTE palette = NULL;          // 256 blues, or null when it could not be made
    HBITMAP bitmap = NULL;            // the picture, or null
    BYTE* pixels = NULL;              // the picture's pixel memory
    HFONT titleFont = NULL;           // the title font, or null
    int titlePending = 0;             // 1 until the title is drawn into the picture
    int titleDpi = BaseDpi;           // the scale the title font and its place are made for; SetUpMainWindow
};

// Fills a bottom-up 8-bit picture: blue 255 at the bottom, one step darker
// every height / 255 + 1 rows. Only the first width bytes of a row are set.
void FillGradient(BYTE* pixels, int width, int height, int rowSize);

// Makes the picture for the screen's size; one made before is released.
void BuildBackground(Background& background, HWND window);
// Releases the picture, its palette and the title font, once the main
// window that paints them is gone.
void ReleaseBackground(Background& background);
HFONT CreateTitleFont(int dpi);
// The title drawn into the picture once, then the picture on target.
void PaintBackground(Background& background, HDC target);
void BlitBackground(const Background& background, HDC target);
