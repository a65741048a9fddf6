#include "base/router.h"
#include "pages/pages.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

const MessageEntry scaledPageEntries[] = {
    {WM_DPICHANGED, FollowDpiChange},
};
const MessageTable scaledPageMessages = MakeMessageTable(scaledPageEntries, NoDefault);

struct Layout {
    RECT frame;
    std::vector<RECT> controls;  // in the page's client coordinates
    LONG fontHeight;         // the controls' font
    bool controlsShareFont;
};

Layout Measure(HWND page)
{
    Layout layout = {};
    GetWindowRect(page, &layout.frame);
    HFONT font = (HFONT)SendMessageA(GetWindow(page, GW_CHILD), WM_GETFONT, 0, 0);
    LOGFONTA description = {};
    layout.fontHeight = GetObjectA(font, sizeof description, &description) ? description.lfHeight : 0;
    layout.controlsShareFont = true;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(NULL, page, (POINT*)&r, 2);
        layout.controls.push_back(r);
        layout.controlsShareFont = layout.controlsShareFont && (HFONT)SendMessageA(child, WM_GETFONT, 0, 0) == font;
    }
    return layout;
}

void ChangeDpi(HWND page, int dpi, const RECT& suggested)
{
    SendMessageA(page, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), (LPARAM)&suggested);
}

} // namespace

// The tests' one virtual screen never changes its scale, so the change is
// sent here as the system sends it: the page takes the suggested rectangle, its controls
// keep their places in proportion, and its text is drawn in a font scaled
// alike. Going back restores the layout, with a font that is still alive.
TEST(PageLook, PageFollowsAScaleChangeAndComesBack)
{
    SetupPlan plan;
    PagesUi ui(NULL, plan);
    HWND page = CreateDialogParamA(GetModuleHandleA(NULL), "IDD_DIR", NULL,
                                   RoutedDialogProc<&scaledPageMessages>, (LPARAM)&ui);
    ASSERT_TRUE(page != NULL);
    Layout before = Measure(page);
    ASSERT_GE(before.controls.size(), 5u);
    ASSERT_LT(before.fontHeight, 0) << "the dialog font, by its character height";
    ASSERT_TRUE(before.controlsShareFont);
    int width = before.frame.right - before.frame.left, height = before.frame.bottom - before.frame.top;

    RECT larger = {10, 20, 10 + width * 3 / 2, 20 + height * 3 / 2};
    ChangeDpi(page, 144, larger);
    Layout after = Measure(page);
    EXPECT_TRUE(EqualRect(&larger, &after.frame)) << "the suggested rectangle";
    ASSERT_EQ(before.controls.size(), after.controls.size());
    for (size_t i = 0; i < before.controls.size(); ++i) {
        EXPECT_NEAR(before.controls[i].left * 3 / 2, after.controls[i].left, 1) << "control " << i;
        EXPECT_NEAR(before.controls[i].top * 3 / 2, after.controls[i].top, 1) << "control " << i;
        EXPECT_NEAR(before.controls[i].right * 3 / 2, after.controls[i].right, 1) << "control " << i;
        EXPECT_NEAR(before.controls[i].bottom * 3 / 2, after.controls[i].bottom, 1) << "control " << i;
    }
    EXPECT_NEAR(before.fontHeight * 3 / 2, after.fontHeight, 1);
    EXPECT_TRUE(after.controlsShareFont);

    ChangeDpi(page, 96, before.frame);
    Layout back = Measure(page);
    EXPECT_TRUE(EqualRect(&before.frame, &back.frame));
    for (size_t i = 0; i < before.controls.size(); ++i)
        EXPECT_NEAR(before.controls[i].right, back.controls[i].right, 1) << "control " << i;
    EXPECT_NEAR(before.fontHeight, back.fontHeight, 1) << "a font that still exists";
    EXPECT_TRUE(back.controlsShareFont);
    DestroyWindow(page);
}
