#include "page_checks.h"
#include "flows.h"
#include <gtest/gtest.h>

namespace e2e {

namespace {

BOOL CALLBACK CollectChild(HWND child, LPARAM rects)
{
    RECT r;
    if (IsWindowVisible(child) && GetWindowRect(child, &r))
        ((std::vector<RECT>*)rects)->push_back(r);
    return TRUE;
}

RECT Inside(HWND control)
{
    RECT r;
    GetClientRect(control, &r);
    MapWindowPoints(control, NULL, (POINT*)&r, 2);
    return r;
}

} // namespace

void ExpectCentred(HWND page, const Screen& screen)
{
    RECT r;
    GetWindowRect(page, &r);
    EXPECT_NEAR(screen.width, r.left + r.right, 2) << "centred across";
    EXPECT_NEAR(screen.height, r.top + r.bottom, 2) << "centred down";
}

void ExpectLogoAtTopLeft(HWND page, const Screen& screen)
{
    InstallerResources resources;
    int width = 0, height = 0;
    HBITMAP logo = resources.Bitmap("IDB_TORVAN");
    ASSERT_TRUE(logo != NULL);
    std::vector<COLORREF> pixels = BitmapPixels(logo, &width, &height);
    DeleteObject(logo);
    ASSERT_EQ(556, width);
    ASSERT_EQ(384, height);

    RECT frame;
    GetWindowRect(page, &frame);
    std::vector<RECT> controls;
    EnumChildWindows(page, CollectChild, (LPARAM)&controls);
    int compared = 0, equal = 0;
    for (int y = 0; y < height && frame.top + y < frame.bottom; ++y) {
        for (int x = 0; x < width && frame.left + x < frame.right; ++x) {
            POINT at = {frame.left + x, frame.top + y};
            bool covered = false;
            for (const RECT& r : controls)
                covered = covered || PtInRect(&r, at);
            if (covered)
                continue;
            ++compared;
            equal += screen.At(at.x, at.y) == pixels[(size_t)y * width + x];
        }
    }
    EXPECT_GT(compared, 10000) << "enough of the logo is uncovered to judge";
    EXPECT_EQ(compared, equal) << "pixels that differ from the logo";
}

int CountInside(HWND control, const Screen& screen, COLORREF colour)
{
    RECT r = Inside(control);
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            count += screen.At(x, y) == colour;
    return count;
}

void ExpectGreenOnDarkBlue(HWND control, const Screen& screen, const char* what)
{
    RECT r = Inside(control);
    int area = (r.right - r.left) * (r.bottom - r.top);
    int green = CountInside(control, screen, RGB(0, 255, 0));
    int blue = CountInside(control, screen, RGB(0, 0, 136));
    EXPECT_GT(green, 20) << what << ": green text";
    EXPECT_GT(blue, area / 2) << what << ": dark blue background";
    EXPECT_EQ(area, green + blue) << what << ": nothing but green and dark blue";
}

} // namespace e2e
