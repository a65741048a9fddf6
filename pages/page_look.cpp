#include "pages/page_look.h"
#include "base/dpi.h"
#include "base/product.h"

HBITMAP logoBitmap;
BITMAP logoInfo;
HBRUSH pageBrush;
HBITMAP largeLogoBitmap;
BITMAP largeLogoInfo;

namespace {

HINSTANCE logoModule;
HFONT rescaledPageFont;

// Above 150 % the logo at its own size would be enlarged by more than half
// and look blurred beside the text: the one drawn at twice the size is
// reduced instead.
const int largeLogoFromDpi = 145;

template <typename Object> void DeleteIfMade(Object& object)
{
    if (object)
        DeleteObject(object);
    object = NULL;
}

// Loaded only when a page first needs it: at 100 % it would only cost the
// run its memory.
void PickLogo(int dpi, HBITMAP* bitmap, const BITMAP** info)
{
    *bitmap = logoBitmap;
    *info = &logoInfo;
    if (dpi < largeLogoFromDpi)
        return;
    if (!largeLogoBitmap && logoModule) {
        largeLogoBitmap = LoadBitmapA(logoModule, "IDB_TORVAN_LARGE");
        if (!largeLogoBitmap || !GetObjectA(largeLogoBitmap, sizeof largeLogoInfo, &largeLogoInfo)) {
            DeleteIfMade(largeLogoBitmap);
            logoModule = NULL; // not asked for again
        }
    }
    if (largeLogoBitmap) {
        *bitmap = largeLogoBitmap;
        *info = &largeLogoInfo;
    }
}

} // namespace

void ReleasePageLook()
{
    DeleteIfMade(logoBitmap);
    DeleteIfMade(largeLogoBitmap);
    DeleteIfMade(pageBrush);
    DeleteIfMade(rescaledPageFont);
}

void LoadPageLook(HINSTANCE module)
{
    ReleasePageLook();
    logoModule = module;
    logoBitmap = LoadBitmapA(module, "IDB_TORVAN");
    GetObjectA(logoBitmap, sizeof logoInfo, &logoInfo);
    pageBrush = CreateSolidBrush(RGB(0, 0, 136));
}

LRESULT PaintLogo(HWND page, UINT, WPARAM, LPARAM)
{
    PAINTSTRUCT paint;
    HDC context = BeginPaint(page, &paint);
    int dpi = WindowDpi(page);
    HBITMAP bitmap;
    const BITMAP* info;
    PickLogo(dpi, &bitmap, &info);
    HDC memory = CreateCompatibleDC(context);
    if (memory) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        RECT client;
        if (dpi == BaseDpi || !GetClientRect(page, &client)) {
            BitBlt(context, 0, 0, info->bmWidth, info->bmHeight, memory, 0, 0, SRCCOPY);
        } else {
            // The page grows with the scale, and its controls stand on the
            // field that the logo gives them: the logo fills the page.
            // Windows 9x knows no HALFTONE and keeps its own mode.
            SetStretchBltMode(context, HALFTONE);
            SetBrushOrgEx(context, 0, 0, NULL);
            StretchBlt(context, 0, 0, client.right, client.bottom, memory, 0, 0, info->bmWidth, info->bmHeight,
                       SRCCOPY);
        }
        if (old)
            SelectObject(memory, old);
        DeleteDC(memory);
    }
    EndPaint(page, &paint);
    return 0;
}

LRESULT FollowDpiChange(HWND page, UINT, WPARAM, LPARAM lParam)
{
    const RECT* suggested = (const RECT*)lParam;
    RECT frame;
    if (!suggested || !GetWindowRect(page, &frame) || frame.right <= frame.left || frame.bottom <= frame.top)
        return FALSE;
    int oldWidth = frame.right - frame.left, oldHeight = frame.bottom - frame.top;
    int newWidth = suggested->right - suggested->left, newHeight = suggested->bottom - suggested->top;
    // The controls' text at the new scale: their font is scaled as the frame
    // is. It is read from a control, since the dialog manager answers for
    // the page with the font it was made with, whatever it was given since.
    HWND first = GetWindow(page, GW_CHILD);
    HFONT font = (HFONT)SendMessageA(first ? first : page, WM_GETFONT, 0, 0);
    LOGFONTA description;
    HFONT scaledFont = NULL;
    if (font && GetObjectA(font, sizeof description, &description)) {
        description.lfHeight = MulDiv(description.lfHeight, newHeight, oldHeight);
        description.lfWidth = MulDiv(description.lfWidth, newWidth, oldWidth);
        scaledFont = CreateFontIndirectA(&description);
    }
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT place;
        GetWindowRect(child, &place);
        MapWindowPoints(NULL, page, (POINT*)&place, 2);
        int left = MulDiv(place.left, newWidth, oldWidth), top = MulDiv(place.top, newHeight, oldHeight);
        MoveWindow(child, left, top, MulDiv(place.right, newWidth, oldWidth) - left,
                   MulDiv(place.bottom, newHeight, oldHeight) - top, FALSE);
        if (scaledFont)
            SendMessageA(child, WM_SETFONT, (WPARAM)scaledFont, FALSE);
    }
    if (scaledFont) {
        SendMessageA(page, WM_SETFONT, (WPARAM)scaledFont, FALSE);
        // Only one page is open at a time; the font of the one before is
        // no longer drawn with.
        DeleteIfMade(rescaledPageFont);
        rescaledPageFont = scaledFont;
    }
    SetWindowPos(page, NULL, suggested->left, suggested->top, newWidth, newHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(page, NULL, TRUE);
    // Handled: the dialog manager's own rescaling would scale it twice.
    return TRUE;
}

LRESULT ColourControl(HWND, UINT, WPARAM wParam, LPARAM)
{
    HDC control = (HDC)wParam;
    SetTextColor(control, RGB(0, 255, 0));
    SetBkColor(control, RGB(0, 0, 136));
    return (LRESULT)pageBrush;
}

void ConfirmCancel(HWND page)
{
    if (MessageBoxA(page, "Are you sure you want to cancel the setup?", setupCaption,
                    MB_YESNO | MB_ICONQUESTION) == IDYES)
        EndDialog(page, 1);
}
