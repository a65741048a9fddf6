// The canvas: a bottom-up 24-bit DIB section, so its bits already have the
// layout of a BMP file and painting never has to redraw the strokes, and
// the view of it in a window that scrolls when the canvas is larger.
#pragma once
#include "pictavo/picture_file.h"
#include <windows.h>

// What pictavo.cfg beside the program may change.
struct CanvasSettings {
    int width = 640;
    int height = 480;
    COLORREF penColor = RGB(0, 0, 136);
    int penWidth = 3;
};

struct Canvas {
    int width, height, penWidth;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ originalBitmap;
    BYTE* bits;
    HPEN pen;
    HGDIOBJ originalPen;
    // The view: the canvas point at the window's top left corner, and the
    // stroke under way.
    int scrollX, scrollY;
    bool drawing;
    POINT lastPoint;
};

// The settings of the file at path; a missing file or key, or a value out
// of range, keeps the default.
void ReadCanvasSettings(const char* path, CanvasSettings& settings);
// "R,G,B" with each part 0..255; anything else gives fallback.
COLORREF ParseColor(const char* text, COLORREF fallback);

// False when there is not memory enough; DestroyCanvas then releases what
// was made.
bool CreateCanvas(Canvas& canvas, const CanvasSettings& settings);
void DestroyCanvas(Canvas& canvas);
void ClearCanvas(Canvas& canvas);
PictureBits CanvasPicture(const Canvas& canvas);

// The window's view of the canvas.
void UpdateScrollBars(HWND window, Canvas& canvas);
void ScrollCanvas(HWND window, Canvas& canvas, int bar, int code);
// Three lines a notch of the wheel.
void WheelCanvas(HWND window, Canvas& canvas, int wheelDelta);
// A stroke from the last point to the mouse's (lParam of a mouse message).
void StrokeTo(HWND window, Canvas& canvas, LPARAM mouse);
void BeginStroke(HWND window, Canvas& canvas, LPARAM mouse);
void PaintCanvas(HWND window, const Canvas& canvas);
