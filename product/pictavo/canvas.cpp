#include "pictavo/canvas.h"
#include <windowsx.h>

namespace {

const int scrollLine = 16;

int Clamp(int value, int low, int high)
{
    return value < low ? low : value > high ? high : value;
}

// A value out of range is a mistake in the file, not a wish for the
// nearest allowed size, so it gives the default like a missing key.
int ReadNumber(const char* section, const char* key, int fallback, int low, int high, const char* path)
{
    // GetPrivateProfileInt returns "-1" as a huge unsigned value and text
    // as 0: both fall outside every range below once cast back to int.
    int value = (int)GetPrivateProfileIntA(section, key, fallback, path);
    return value < low || value > high ? fallback : value;
}

bool ReadScrollBar(HWND window, int bar, SCROLLINFO& info)
{
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    return GetScrollInfo(window, bar, &info) != FALSE;
}

// Points arrive in window coordinates; strokes live in canvas coordinates.
POINT CanvasPoint(const Canvas& canvas, LPARAM lParam)
{
    POINT point = {GET_X_LPARAM(lParam) + canvas.scrollX, GET_Y_LPARAM(lParam) + canvas.scrollY};
    return point;
}

} // namespace

COLORREF ParseColor(const char* text, COLORREF fallback)
{
    int parts[3];
    const char* p = text;
    for (int i = 0; i < 3; i++) {
        while (*p == ' ' || *p == '\t')
            p++;
        if (*p < '0' || *p > '9')
            return fallback;
        int value = 0;
        while (*p >= '0' && *p <= '9') {
            value = value * 10 + (*p++ - '0');
            if (value > 255)
                return fallback;
        }
        parts[i] = value;
        while (*p == ' ' || *p == '\t')
            p++;
        if (i < 2 && *p++ != ',')
            return fallback;
    }
    return RGB(parts[0], parts[1], parts[2]);
}

void ReadCanvasSettings(const char* path, CanvasSettings& settings)
{
    settings.width = ReadNumber("Canvas", "Width", settings.width, 16, 4096, path);
    settings.height = ReadNumber("Canvas", "Height", settings.height, 16, 4096, path);
    settings.penWidth = ReadNumber("Pen", "Width", settings.penWidth, 1, 64, path);
    char color[32];
    GetPrivateProfileStringA("Pen", "Color", "", color, sizeof color, path);
    settings.penColor = ParseColor(color, settings.penColor);
}

bool CreateCanvas(Canvas& canvas, const CanvasSettings& settings)
{
    ZeroMemory(&canvas, sizeof canvas);
    canvas.width = settings.width;
    canvas.height = settings.height;
    canvas.penWidth = settings.penWidth;
    BITMAPINFO info;
    FillPictureHeader(info.bmiHeader, canvas.width, canvas.height);
    HDC screen = GetDC(NULL);
    canvas.dc = CreateCompatibleDC(screen);
    void* bits = NULL;
    canvas.bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    ReleaseDC(NULL, screen);
    if (!canvas.dc || !canvas.bitmap)
        return false;
    canvas.bits = (BYTE*)bits;
    canvas.originalBitmap = SelectObject(canvas.dc, canvas.bitmap);
    canvas.pen = CreatePen(PS_SOLID, settings.penWidth, settings.penColor);
    canvas.originalPen = SelectObject(canvas.dc, canvas.pen);
    ClearCanvas(canvas);
    return true;
}

void DestroyCanvas(Canvas& canvas)
{
    if (canvas.dc) {
        SelectObject(canvas.dc, canvas.originalPen);
        SelectObject(canvas.dc, canvas.originalBitmap);
        DeleteDC(canvas.dc);
    }
    if (canvas.pen)
        DeleteObject(canvas.pen);
    if (canvas.bitmap)
        DeleteObject(canvas.bitmap);
    ZeroMemory(&canvas, sizeof canvas);
}

void ClearCanvas(Canvas& canvas)
{
    RECT all = {0, 0, canvas.width, canvas.height};
    FillRect(canvas.dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
}

PictureBits CanvasPicture(const Canvas& canvas)
{
    PictureBits picture = {canvas.width, canvas.height, canvas.bits};
    return picture;
}

// The canvas may be larger than the window (640x480 screens are common),
// so the window scrolls over it. Whether a bar is needed is judged from
// the size the client area would have without bars: judged from the
// current client area, a bar once shown would keep itself needed.
void UpdateScrollBars(HWND window, Canvas& canvas)
{
    RECT client;
    GetClientRect(window, &client);
    int barWidth = GetSystemMetrics(SM_CXVSCROLL);
    int barHeight = GetSystemMetrics(SM_CYHSCROLL);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    int fullWidth = client.right + (style & WS_VSCROLL ? barWidth : 0);
    int fullHeight = client.bottom + (style & WS_HSCROLL ? barHeight : 0);
    bool horizontal = false, vertical = false;
    // Twice, since each bar takes room that may make the other one needed.
    for (int i = 0; i < 2; i++) {
        horizontal = canvas.width > fullWidth - (vertical ? barWidth : 0);
        vertical = canvas.height > fullHeight - (horizontal ? barHeight : 0);
    }
    int pageWidth = fullWidth - (vertical ? barWidth : 0);
    int pageHeight = fullHeight - (horizontal ? barHeight : 0);
    pageWidth = pageWidth > 0 ? pageWidth : 0;
    pageHeight = pageHeight > 0 ? pageHeight : 0;

    int oldX = canvas.scrollX, oldY = canvas.scrollY;
    canvas.scrollX = Clamp(canvas.scrollX, 0, canvas.width > pageWidth ? canvas.width - pageWidth : 0);
    canvas.scrollY = Clamp(canvas.scrollY, 0, canvas.height > pageHeight ? canvas.height - pageHeight : 0);
    SCROLLINFO info;
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = canvas.width - 1;
    info.nPage = pageWidth;
    info.nPos = canvas.scrollX;
    SetScrollInfo(window, SB_HORZ, &info, TRUE);
    info.nMax = canvas.height - 1;
    info.nPage = pageHeight;
    info.nPos = canvas.scrollY;
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    if (oldX != canvas.scrollX || oldY != canvas.scrollY)
        InvalidateRect(window, NULL, FALSE);
}

static void ScrollCanvasTo(HWND window, Canvas& canvas, int bar, int position)
{
    SCROLLINFO info;
    if (!ReadScrollBar(window, bar, info))
        return;
    int last = info.nMax - (int)info.nPage + 1;
    position = Clamp(position, 0, last > 0 ? last : 0);
    int& current = bar == SB_HORZ ? canvas.scrollX : canvas.scrollY;
    if (position == current)
        return;
    current = position;
    SetScrollPos(window, bar, position, TRUE);
    InvalidateRect(window, NULL, FALSE);
}

void ScrollCanvas(HWND window, Canvas& canvas, int bar, int code)
{
    SCROLLINFO info;
    if (!ReadScrollBar(window, bar, info))
        return;
    int position = info.nPos;
    switch (code) {
    case SB_LINEUP: position -= scrollLine; break;
    case SB_LINEDOWN: position += scrollLine; break;
    case SB_PAGEUP: position -= (int)info.nPage; break;
    case SB_PAGEDOWN: position += (int)info.nPage; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = info.nMax; break;
    default: return;
    }
    ScrollCanvasTo(window, canvas, bar, position);
}

void WheelCanvas(HWND window, Canvas& canvas, int wheelDelta)
{
    ScrollCanvasTo(window, canvas, SB_VERT, canvas.scrollY - wheelDelta * 3 * scrollLine / WHEEL_DELTA);
}

void BeginStroke(HWND window, Canvas& canvas, LPARAM mouse)
{
    SetCapture(window);
    canvas.drawing = true;
    canvas.lastPoint = CanvasPoint(canvas, mouse);
    StrokeTo(window, canvas, mouse);
}

void StrokeTo(HWND window, Canvas& canvas, LPARAM mouse)
{
    POINT to = CanvasPoint(canvas, mouse);
    POINT from = canvas.lastPoint;
    MoveToEx(canvas.dc, from.x, from.y, NULL);
    // A zero-length line draws nothing, yet a click should leave a dot.
    LineTo(canvas.dc, to.x + (to.x == from.x && to.y == from.y), to.y);
    int margin = canvas.penWidth / 2 + 2;
    RECT changed = {
        (from.x < to.x ? from.x : to.x) - margin - canvas.scrollX,
        (from.y < to.y ? from.y : to.y) - margin - canvas.scrollY,
        (from.x > to.x ? from.x : to.x) + margin + 1 - canvas.scrollX,
        (from.y > to.y ? from.y : to.y) + margin + 1 - canvas.scrollY,
    };
    InvalidateRect(window, &changed, FALSE);
    canvas.lastPoint = to;
}

void PaintCanvas(HWND window, const Canvas& canvas)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    int right = canvas.width - canvas.scrollX;
    int bottom = canvas.height - canvas.scrollY;
    BitBlt(dc, 0, 0, right, bottom, canvas.dc, canvas.scrollX, canvas.scrollY, SRCCOPY);
    HBRUSH outside = GetSysColorBrush(COLOR_APPWORKSPACE);
    RECT beside = {right, 0, client.right, client.bottom};
    RECT below = {0, bottom, right, client.bottom};
    FillRect(dc, &beside, outside);
    FillRect(dc, &below, outside);
    EndPaint(window, &paint);
}
