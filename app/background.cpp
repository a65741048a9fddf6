#include "app/background.h"
#include "base/dpi.h"
#include "base/product.h"
#include <string.h>

int screenWidth;
int screenHeight;
HGLOBAL backgroundInfo;
HPALETTE backgroundPalette;
HBITMAP backgroundBitmap;
BYTE* backgroundPixels;
HFONT titleFont;
int titlePending;
int titleDpi = BaseDpi;

namespace {

const int paletteSize = 256;

// Builds the palette of blues and the matching colour table. Returns false
// when no palette could be made: the gradient is then not filled.
bool BuildBluePalette(BITMAPINFO* info)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1032);
    if (!block)
        return false;
    LOGPALETTE* palette = (LOGPALETTE*)GlobalLock(block);
    if (!palette) {
        GlobalFree(block);
        return false;
    }
    palette->palVersion = 0x300;
    palette->palNumEntries = paletteSize;
    for (int i = 0; i < paletteSize; ++i) {
        palette->palPalEntry[i].peRed = 0;
        palette->palPalEntry[i].peGreen = 0;
        palette->palPalEntry[i].peBlue = (BYTE)i;
        palette->palPalEntry[i].peFlags = PC_NOCOLLAPSE;
        info->bmiColors[i].rgbBlue = (BYTE)i;
        info->bmiColors[i].rgbGreen = 0;
        info->bmiColors[i].rgbRed = 0;
        info->bmiColors[i].rgbReserved = 0;
    }
    backgroundPalette = CreatePalette(palette);
    GlobalUnlock(block);
    GlobalFree(block);
    return backgroundPalette != NULL;
}

void DrawTitle(HDC paintContext)
{
    titlePending = 0;
    HDC memory = CreateCompatibleDC(paintContext);
    if (!memory)
        return;
    HPALETTE oldPalette = backgroundPalette ? SelectPalette(memory, backgroundPalette, FALSE) : NULL;
    HGDIOBJ oldBitmap = SelectObject(memory, backgroundBitmap);
    HGDIOBJ oldFont = SelectObject(memory, titleFont);
    SetBkMode(memory, TRANSPARENT);
    int length = (int)strlen(setupCaption);
    SetTextColor(memory, RGB(0, 0, 128));
    TextOutA(memory, ScaleToDpi(10, titleDpi), ScaleToDpi(10, titleDpi), setupCaption, length);
    SetTextColor(memory, PALETTERGB(0, 0, 255));
    TextOutA(memory, ScaleToDpi(13, titleDpi), ScaleToDpi(11, titleDpi), setupCaption, length);
    if (oldFont)
        SelectObject(memory, oldFont);
    if (oldPalette)
        SelectPalette(memory, oldPalette, FALSE);
    if (oldBitmap)
        SelectObject(memory, oldBitmap);
    DeleteDC(memory);
}

// A picture row, counted from the top.
const BYTE* PictureRow(int row, int rowSize)
{
    return backgroundPixels + (size_t)(screenHeight - 1 - row) * rowSize;
}

// Whether a row holds one colour from edge to edge, as every row of the
// gradient does that the title leaves alone.
bool IsPlainRow(const BYTE* pixels)
{
    return screenWidth > 0 && memcmp(pixels, pixels + 1, screenWidth - 1) == 0;
}

// Puts the picture on the screen. Rows of one blue are filled, not copied:
// copying makes the system convert every pixel of the 8-bit picture to the
// screen's format, which cost the first paint several times a fill of the
// same rows. The rows the title crosses are copied as they are.
void CopyPicture(HDC target, HDC memory)
{
    int rowSize = (int)((((8 * screenWidth) + 31) & ~31) / 8);
    for (int row = 0, end; row < screenHeight; row = end) {
        const BYTE* pixels = PictureRow(row, rowSize);
        bool plain = IsPlainRow(pixels);
        for (end = row + 1; end < screenHeight; ++end) {
            const BYTE* next = PictureRow(end, rowSize);
            if (IsPlainRow(next) != plain || (plain && *next != *pixels))
                break;
        }
        HBRUSH brush = plain ? CreateSolidBrush(PALETTERGB(0, 0, *pixels)) : NULL;
        if (!brush) {
            BitBlt(target, 0, row, screenWidth, end - row, memory, 0, row, SRCCOPY);
            continue;
        }
        RECT band = {0, row, screenWidth, end};
        FillRect(target, &band, brush);
        DeleteObject(brush);
    }
}

} // namespace

void FillGradient(BYTE* pixels, int width, int height, int rowSize)
{
    int band = height / 255;
    int value = 255;
    int run = 0;
    for (int row = 0; row < height; ++row) {
        memset(pixels + (size_t)row * rowSize, value, width);
        if (run >= band) {
            if (value > 0)
                --value;
            run = 0;
        } else {
            ++run;
        }
    }
}

void ReleaseBackground()
{
    if (backgroundBitmap)
        DeleteObject(backgroundBitmap);
    if (backgroundPalette)
        DeleteObject(backgroundPalette);
    if (titleFont)
        DeleteObject(titleFont);
    if (backgroundInfo)
        GlobalFree(backgroundInfo);
    backgroundBitmap = NULL;
    backgroundPixels = NULL;
    backgroundPalette = NULL;
    titleFont = NULL;
    backgroundInfo = NULL;
}

void BuildBackground(HWND window)
{
    // A second picture replaces the first, say after a change of screen.
    HFONT font = titleFont;
    titleFont = NULL;
    ReleaseBackground();
    titleFont = font;
    backgroundInfo = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1064);
    if (!backgroundInfo)
        return;
    BITMAPINFO* info = (BITMAPINFO*)GlobalLock(backgroundInfo);
    if (!info)
        return;
    BITMAPINFOHEADER* header = &info->bmiHeader;
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = screenWidth;
    header->biHeight = screenHeight;
    header->biPlanes = 1;
    header->biBitCount = 8;
    header->biCompression = BI_RGB;
    header->biSizeImage = (DWORD)((((8 * screenWidth) + 31) & ~31) / 8) * (DWORD)screenHeight;
    header->biClrUsed = paletteSize;

    bool paletteMade = BuildBluePalette(info);

    HDC context = GetDC(window);
    void* pixels = NULL;
    backgroundBitmap = CreateDIBSection(context, info, DIB_RGB_COLORS, &pixels, NULL, 0);
    ReleaseDC(window, context);
    backgroundPixels = (BYTE*)pixels;

    if (!backgroundBitmap || !backgroundPixels) {
        if (backgroundBitmap)
            DeleteObject(backgroundBitmap);
        backgroundBitmap = NULL;
        backgroundPixels = NULL;
    } else if (paletteMade && screenHeight > 0) {
        FillGradient(backgroundPixels, screenWidth, screenHeight, (int)(header->biSizeImage / screenHeight));
    }
    GlobalUnlock(backgroundInfo);
}

HFONT CreateTitleFont()
{
    LOGFONTA font;
    memset(&font, 0, sizeof font);
    font.lfHeight = ScaleToDpi(42, titleDpi);
    font.lfWidth = ScaleToDpi(20, titleDpi);
    font.lfWeight = 900;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = FF_ROMAN | DEFAULT_PITCH;
    return CreateFontIndirectA(&font);
}

LRESULT PaintMainWindow(HWND window, UINT, WPARAM, LPARAM)
{
    PAINTSTRUCT paint;
    HDC context = BeginPaint(window, &paint);
    if (backgroundBitmap) {
        if (titlePending == 1)
            DrawTitle(context);
        BlitBackground(context);
    }
    EndPaint(window, &paint);
    return 0;
}

LRESULT BlitBackground(HDC target)
{
    HDC memory = CreateCompatibleDC(target);
    if (!memory)
        return 0;
    HPALETTE oldTargetPalette = NULL;
    HPALETTE oldMemoryPalette = NULL;
    if (backgroundPalette) {
        oldTargetPalette = SelectPalette(target, backgroundPalette, FALSE);
        RealizePalette(target);
        oldMemoryPalette = SelectPalette(memory, backgroundPalette, FALSE);
    }
    HGDIOBJ oldBitmap = SelectObject(memory, backgroundBitmap);
    CopyPicture(target, memory);
    if (oldTargetPalette)
        SelectPalette(target, oldTargetPalette, FALSE);
    if (oldMemoryPalette)
        SelectPalette(memory, oldMemoryPalette, FALSE);
    if (oldBitmap)
        SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    return 0;
}
