// The look that the four pages share: the logo picture filling a borderless
// frame, and edit boxes and labels painted green on its dark blue.
#pragma once
#include <windows.h>

extern HBITMAP logoBitmap;   // "IDB_TORVAN", kept to the end of the run
extern BITMAP logoInfo;      // its measurements
extern HBRUSH pageBrush;     // RGB(0,0,136), the background of coloured controls
extern HBITMAP largeLogoBitmap;  // the logo at twice the size, once a page above 150 % needs it
extern BITMAP largeLogoInfo;

// The logo is module's.
void LoadPageLook(HINSTANCE module);
// Releases the logo and the brush once no page will paint again.
void ReleasePageLook();
LRESULT PaintLogo(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// WM_DPICHANGED: the page moves to the rectangle the system suggests, its
// controls and their font scaled with it.
LRESULT FollowDpiChange(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ColourControl(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Asks whether to cancel the setup; on Yes the page ends with 1.
void ConfirmCancel(HWND page);
