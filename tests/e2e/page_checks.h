// Pixel checks of the page look, shared by the page tests.
#pragma once
#include "harness.h"

namespace e2e {

// The page lies centred on the screen.
void ExpectCentred(HWND page, const Screen& screen);
// Every pixel of the page that no control covers shows the logo, placed at
// the page's top-left corner at its own size.
void ExpectLogoAtTopLeft(HWND page, const Screen& screen);
// The control's text is bright green on the logo's dark blue.
void ExpectGreenOnDarkBlue(HWND control, const Screen& screen, const char* what);
// The pixel counts of a control's inside, by colour.
int CountInside(HWND control, const Screen& screen, COLORREF colour);

} // namespace e2e
