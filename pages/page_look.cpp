#include "pages/page_look.h"
#include "pages/pages.h"
#include "base/dpi.h"
#include "base/product.h"

namespace {

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
void PickLogo(PageLook& look, int dpi, HBITMAP* bitmap, const BITMAP** info)
{
    *bitmap = look.logo;
    *info = &look.logoInfo;
    if (dpi < largeLogoFromDpi)
        return;
    if (!look.largeLogo && look.module) {
        look.largeLogo = LoadBitmapA(look.module, "IDB_TORVAN_LARGE");
        if (!look.largeLogo || !GetObjectA(look.largeLogo, sizeof look.largeLogoInfo, &look.largeLogoInfo)) {
            DeleteIfMade(look.largeLogo);
            look.module = NULL; // not asked for again
        }
    }
    if (look.largeLogo) {
        *bitmap = look.largeLogo;
        *info = &look.largeLogoInfo;
    }
}

PageLook& LookOf(HWND page)
{
    return PageUi(page).look;
}

} // namespace

void ReleasePageLook(PageLook& look)
{
    DeleteIfMade(look.logo);
    DeleteIfMade(look.largeLogo);
    DeleteIfMade(look.brush);
    DeleteIfMade(look.rescaledFont);
}

void LoadPageLook(PageLook& look, HINSTANCE module)
{
    ReleasePageLook(look);
    look.module = module;
    look.logo = LoadBitmapA(module, "IDB_TORVAN");
    GetObjectA(look.logo, sizeof look.logoInfo, &look.logoInfo);
    look.brush = CreateSolidBrush(RGB(0, 0, 136));
}

LRESULT PaintLogo(HWND page, UINT, WPARAM, LPARAM)
{
    PAINTSTRUCT paint;
    HDC context = BeginPaint(page, &paint);
    int dpi = WindowDpi(page);
    HBITMAP bitmap;
    const BITMAP* info;
    PickLogo(LookOf(page), dpi, &bitmap, &info);
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
        PageLook& look = LookOf(page);
        DeleteIfMade(look.rescaledFont);
        look.rescaledFont = scaledFont;
    }
    SetWindowPos(page, NULL, suggested->left, suggested->top, newWidth, newHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(page, NULL, TRUE);
    // Handled: the dialog manager's own rescaling would scale it twice.
    return TRUE;
}

LRESULT ColourControl(HWND page, UINT, WPARAM wParam, LPARAM)
{
    HDC control = (HDC)wParam;
    SetTextColor(control, RGB(0, 255, 0));
    SetBkColor(control, RGB(0, 0, 136));
    return (LRESULT)LookOf(page).brush;
}

void ConfirmCancel(HWND page)
{
    if (MessageBoxA(page, "Are you sure you want to cancel the setup?", setupCaption,
                    MB_YESNO | MB_ICONQUESTION) == IDYES)
        EndDialog(page, 1);
}
