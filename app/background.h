// The full-screen picture behind the pages: a vertical gradient of blues
// with the title drawn into it once.
#pragma once
#include <windows.h>

extern int screenWidth;               // screen size in pixels; SetUpMainWindow
extern int screenHeight;
extern HGLOBAL backgroundInfo;      // bitmap header and colour table, kept for the whole run
extern HPALETTE backgroundPalette;  // 256 blues, or null when it could not be made
extern HBITMAP backgroundBitmap;    // the picture, or null
extern BYTE* backgroundPixels;      // the picture's pixel memory
extern HFONT titleFont;             // the title font, or null
extern int titlePending;            // 1 until the title is drawn into the picture
extern int titleDpi;                // the scale the title font and its place are made for; SetUpMainWindow

// Fills a bottom-up 8-bit picture: blue 255 at the bottom, one step darker
// every height / 255 + 1 rows. Only the first width bytes of a row are set.
void FillGradient(BYTE* pixels, int width, int height, int rowSize);

// Makes the picture for the screen's size; one made before is released.
void BuildBackground(HWND window);
// Releases the picture, its palette and the title font, once the main
// window that paints them is gone.
void ReleaseBackground();
HFONT CreateTitleFont();
LRESULT PaintMainWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT BlitBackground(HDC target);
