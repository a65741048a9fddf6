#include "pages/page_look.h"
#include "base/product.h"

HBITMAP logoBitmap;
BITMAP logoInfo;
HBRUSH pageBrush;

void ReleasePageLook()
{
    if (logoBitmap)
        DeleteObject(logoBitmap);
    if (pageBrush)
        DeleteObject(pageBrush);
    logoBitmap = NULL;
    pageBrush = NULL;
}

void LoadPageLook(HINSTANCE module)
{
    ReleasePageLook();
    logoBitmap = LoadBitmapA(module, "IDB_TORVAN");
    GetObjectA(logoBitmap, sizeof logoInfo, &logoInfo);
    pageBrush = CreateSolidBrush(RGB(0, 0, 136));
}

LRESULT PaintLogo(HWND page, UINT, WPARAM, LPARAM)
{
    PAINTSTRUCT paint;
    HDC context = BeginPaint(page, &paint);
    HDC memory = CreateCompatibleDC(context);
    if (memory) {
        HGDIOBJ old = SelectObject(memory, logoBitmap);
        BitBlt(context, 0, 0, logoInfo.bmWidth, logoInfo.bmHeight, memory, 0, 0, SRCCOPY);
        if (old)
            SelectObject(memory, old);
        DeleteDC(memory);
    }
    EndPaint(page, &paint);
    return 0;
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
