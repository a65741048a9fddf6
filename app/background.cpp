#include "app/background.h"
#include "base/dpi.h"
#include "base/product.h"
#include <string.h>

namespace {

const int paletteSize = 256;

// Builds the palette of blues and the matching colour table. Returns false
// when no palette could be made: the gradient is then not filled.
bool BuildBluePalette(Background& background, BITMAPINFO* info)
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
    background.palette = CreatePalette(palette);
    GlobalUnlock(block);
    GlobalFree(block);
    return background.palette != NULL;
}

void DrawTitle(Background& background, HDC paintContext)
{
    background.titlePending = 0;
    const int titleDpi = background.titleDpi;
    HDC memory = CreateCompatibleDC(paintContext);
    if (!memory)
        return;
    HPALETTE oldPalette = background.palette ? SelectPalette(memory, background.palette, FALSE) : NULL;
    HGDIOBJ oldBitmap = SelectObject(memory, background.bitmap);
    HGDIOBJ oldFont = SelectObject(memory, background.titleFont);
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
const BYTE* PictureRow(const Background& background, int row, int rowSize)
{
    return background.pixels + (size_t)(background.screenHeight - 1 - row) * rowSize;
}

// Whether a row holds one colour from edge to edge, as every row of the
// gradient does that the title leaves alone.
bool IsPlainRow(int screenWidth, const BYTE* pixels)
{
    return screenWidth > 0 && memcmp(pixels, pixels + 1, screenWidth - 1) == 0;
}

// Puts the picture on the screen. Rows of one blue are filled, not copied:
// copying makes the system convert every pixel of the 8-bit picture to the
// screen's format, which cost the first paint several times a fill of the
// same rows. The rows the title crosses are copied as they are.
void CopyPicture(const Background& background, HDC target, HDC memory)
{
    const int screenWidth = background.screenWidth, screenHeight = background.screenHeight;
    int rowSize = (int)((((8 * screenWidth) + 31) & ~31) / 8);
    for (int row = 0, end; row < screenHeight; row = end) {
        const BYTE* pixels = PictureRow(background, row, rowSize);
        bool plain = IsPlainRow(screenWidth, pixels);
        for (end = row + 1; end < screenHeight; ++end) {
            const BYTE* next = PictureRow(background, end, rowSize);
            if (IsPlainRow(screenWidth, next) != plain || (plain && *next != *pixels))
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

void ReleaseBackground(Background& background)
{
    if (background.bitmap)
        DeleteObject(background.bitmap);
    if (background.palette)
        DeleteObject(background.palette);
    if (background.titleFont)
        DeleteObject(background.titleFont);
    if (background.info)
        GlobalFree(background.info);
    background.bitmap = NULL;
    background.pixels = NULL;
    background.palette = NULL;
    background.titleFont = NULL;
    background.info = NULL;
}

void BuildBackground(Background& background, HWND window)
{
    // A second picture replaces the first, say after a change of screen.
    HFONT font = background.titleFont;
    background.titleFont = NULL;
    ReleaseBackground(background);
    background.titleFont = font;
    const int screenWidth = background.screenWidth, screenHeight = background.screenHeight;
    background.info = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1064);
    if (!background.info)
        return;
    BITMAPINFO* info = (BITMAPINFO*)GlobalLock(background.info);
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

    bool paletteMade = BuildBluePalette(background, info);

    HDC context = GetDC(window);
    void* pixels = NULL;
    background.bitmap = CreateDIBSection(context, info, DIB_RGB_COLORS, &pixels, NULL, 0);
    ReleaseDC(window, context);
    background.pixels = (BYTE*)pixels;

    if (!background.bitmap || !background.pixels) {
        if (background.bitmap)
            DeleteObject(background.bitmap);
        background.bitmap = NULL;
        background.pixels = NULL;
    } else if (paletteMade && screenHeight > 0) {
        FillGradient(background.pixels, screenWidth, screenHeight, (int)(header->biSizeImage / screenHeight));
    }
    GlobalUnlock(background.info);
}

HFONT CreateTitleFont(int titleDpi)
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

void PaintBackground(Background& background, HDC target)
{
    if (!background.bitmap)
        return;
    if (background.titlePending == 1)
        DrawTitle(background, target);
    BlitBackground(background, target);
}

void BlitBackground(const Background& background, HDC target)
{
    HDC memory = CreateCompatibleDC(target);
    if (!memory)
        return;
    HPALETTE oldTargetPalette = NULL;
    HPALETTE oldMemoryPalette = NULL;
    if (background.palette) {
        oldTargetPalette = SelectPalette(target, background.palette, FALSE);
        RealizePalette(target);
        oldMemoryPalette = SelectPalette(memory, background.palette, FALSE);
    }
    HGDIOBJ oldBitmap = SelectObject(memory, background.bitmap);
    CopyPicture(background, target, memory);
    if (oldTargetPalette)
        SelectPalette(target, oldTargetPalette, FALSE);
    if (oldMemoryPalette)
        SelectPalette(memory, oldMemoryPalette, FALSE);
    if (oldBitmap)
        SelectObject(memory, oldBitmap);
    DeleteDC(memory);
}
