// The look that the four pages share: the logo picture filling a borderless
// frame, and edit boxes and labels painted green on its dark blue.
#pragma once
#include <windows.h>

// What the pages paint with, made by the first page and kept by the run's
// pages (PagesUi) until no page will paint again.
struct PageLook {
    HINSTANCE module = NULL;      // whose logos; NULL once the large one could not be had
    HBITMAP logo = NULL;          // "IDB_TORVAN"
    BITMAP logoInfo = {};         // its measurements
    HBITMAP largeLogo = NULL;     // the logo at twice the size, once a page above 150 % needs it
    BITMAP largeLogoInfo = {};
    HBRUSH brush = NULL;          // RGB(0,0,136), the background of coloured controls
    HFONT rescaledFont = NULL;    // the controls' font at a scale other than the one they were made at
};

// The logo is module's.
void LoadPageLook(PageLook& look, HINSTANCE module);
// Releases the logo, the brush and the rescaled font.
void ReleasePageLook(PageLook& look);

// The handlers below find the look through the page's dialog parameter,
// the run's pages (pages/pages.h).
LRESULT PaintLogo(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// WM_DPICHANGED: the page moves to the rectangle the system suggests, its
// controls and their font scaled with it.
LRESULT FollowDpiChange(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ColourControl(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Asks whether to cancel the setup; on Yes the page ends with 1.
void ConfirmCancel(HWND page);
