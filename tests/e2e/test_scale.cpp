// The installer at the display scales users run: 100, 125, 150 and 200 %.
// Each scale is a machine of its own (tests/e2e/CMakeLists.txt): a prefix
// whose LogPixels is set before any Wine program starts in it, on a screen
// that grows with the scale. One walk per scale through every page and both
// browsers, checking each screen as it goes.
#include "flows.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdlib>

using namespace e2e;

namespace {

int Scaled(int pixels, int dpi)
{
    return MulDiv(pixels, dpi, 96);
}

std::vector<HWND> VisibleControls(HWND window)
{
    std::vector<HWND> controls;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child))
            controls.push_back(child);
    return controls;
}

std::string Describe(HWND control)
{
    char kind[64] = "";
    GetClassNameA(control, kind, sizeof kind);
    return std::string(kind) + " " + std::to_string(GetDlgCtrlID(control)) + " '" + Text(control) + "'";
}

bool IsCovered(const std::vector<RECT>& covers, int x, int y)
{
    POINT at = {x, y};
    for (const RECT& r : covers)
        if (PtInRect(&r, at))
            return true;
    return false;
}

std::vector<RECT> WindowRects(const std::vector<HWND>& controls)
{
    std::vector<RECT> rects;
    for (HWND control : controls) {
        RECT r;
        GetWindowRect(control, &r);
        rects.push_back(r);
    }
    return rects;
}

// Nothing cut off, nothing overlapping: every control lies inside the
// window's client area and apart from every other.
void ExpectControlsWhole(HWND window, const std::string& screen)
{
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, NULL, (POINT*)&client, 2);
    std::vector<HWND> controls = VisibleControls(window);
    ASSERT_FALSE(controls.empty()) << screen;
    std::vector<RECT> rects = WindowRects(controls);
    for (size_t i = 0; i < controls.size(); ++i) {
        RECT inside;
        IntersectRect(&inside, &rects[i], &client);
        EXPECT_TRUE(EqualRect(&inside, &rects[i])) << screen << ": " << Describe(controls[i]) << " is cut off";
        for (size_t j = i + 1; j < controls.size(); ++j) {
            RECT both;
            EXPECT_FALSE(IntersectRect(&both, &rects[i], &rects[j]))
                << screen << ": " << Describe(controls[i]) << " overlaps " << Describe(controls[j]);
        }
    }
}

// The page look at this scale: no dialog face anywhere the controls leave
// free, and the logo's dark-blue field on either side of each button.
void ExpectPageOnItsField(HWND page, const Screen& screen, int dpi, const std::string& name)
{
    std::vector<HWND> controls = VisibleControls(page);
    std::vector<RECT> covers = WindowRects(controls);
    RECT frame;
    GetWindowRect(page, &frame);
    COLORREF face = GetSysColor(COLOR_3DFACE);
    int faced = 0;
    for (int y = frame.top; y < frame.bottom; ++y)
        for (int x = frame.left; x < frame.right; ++x)
            faced += !IsCovered(covers, x, y) && screen.At(x, y) == face;
    EXPECT_EQ(0, faced) << name << ": pixels of the grey dialog face inside the page";

    int buttons = 0;
    for (HWND control : controls) {
        char kind[16] = "";
        GetClassNameA(control, kind, sizeof kind);
        if (lstrcmpiA(kind, "Button") != 0)
            continue;
        ++buttons;
        RECT r;
        GetWindowRect(control, &r);
        int middle = (r.top + r.bottom) / 2, beside = 0, field = 0;
        for (int gap = 1; gap <= Scaled(6, dpi); ++gap) {
            for (int x : {r.left - gap, r.right - 1 + gap}) {
                if (IsCovered(covers, x, middle))
                    continue;
                ++beside;
                field += screen.Is(x, middle, 0, 0, 136);
            }
        }
        EXPECT_GT(beside, 0) << name << ": " << Describe(control) << " has room beside it";
        EXPECT_EQ(beside, field) << name << ": pixels of the dark-blue field beside " << Describe(control);
    }
    EXPECT_GT(buttons, 0) << name;
}

// The page shows the logo stretched to fill it as this process draws it
// with the same system: from the one at twice the size above 150 %, from
// the one at its own size up to 150 %; at 100 % the logo 1:1. A page drawn
// from the other logo differs along every edge of its artwork.
void ExpectLogoFillsPage(HWND page, const Screen& screen, int dpi, const std::string& name)
{
    InstallerResources resources;
    HBITMAP logo = resources.Bitmap(dpi > 144 ? "IDB_TORVAN_LARGE" : "IDB_TORVAN");
    ASSERT_TRUE(logo != NULL) << name;
    BITMAP info = {};
    GetObjectA(logo, sizeof info, &info);
    RECT client;
    GetClientRect(page, &client);
    POINT origin = {0, 0};
    ClientToScreen(page, &origin);
    BITMAPINFO header = TopDown32(client.right, client.bottom);
    void* bits = NULL;
    HDC source = CreateCompatibleDC(NULL), target = CreateCompatibleDC(NULL);
    HBITMAP expected = CreateDIBSection(target, &header, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ oldSource = SelectObject(source, logo), oldTarget = SelectObject(target, expected);
    SetStretchBltMode(target, HALFTONE);
    SetBrushOrgEx(target, 0, 0, NULL);
    if (dpi == 96)
        BitBlt(target, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    else
        StretchBlt(target, 0, 0, client.right, client.bottom, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    GdiFlush();
    std::vector<RECT> covers = WindowRects(VisibleControls(page));
    int compared = 0, equal = 0;
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            if (IsCovered(covers, origin.x + x, origin.y + y))
                continue;
            const uint8_t* bgr = (const uint8_t*)bits + ((size_t)y * client.right + x) * 4;
            ++compared;
            equal += screen.At(origin.x + x, origin.y + y) == RGB(bgr[2], bgr[1], bgr[0]);
        }
    }
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    DeleteObject(expected);
    DeleteObject(logo);
    DeleteDC(source);
    DeleteDC(target);
    EXPECT_GT(compared, client.right * client.bottom / 8) << name << ": enough of the page uncovered to judge";
    EXPECT_EQ(compared, equal) << name << ": pixels that differ from the logo filling the page";
}

void CheckPage(Installer& setup, HWND page, int dpi, const std::string& name)
{
    SCOPED_TRACE(name);
    Screen screen;
    setup.Shot(name, &screen);
    ExpectControlsWhole(page, name);
    ExpectPageOnItsField(page, screen, dpi, name);
    ExpectLogoFillsPage(page, screen, dpi, name);
}

// The title's rows on the gradient, between the main window's caption and
// the page: those in which a pixel differs from the row's last one, which
// only the gradient reaches. Above the page the rows are whole.
int TitleRows(const Screen& screen, HWND main, HWND page)
{
    RECT frame, client;
    GetWindowRect(page, &frame);
    GetClientRect(main, &client);
    MapWindowPoints(main, NULL, (POINT*)&client, 2);
    int first = -1, last = -1;
    for (int y = client.top; y < frame.top; ++y) {
        COLORREF gradient = screen.At(client.right - 1, y);
        for (int x = client.left; x < client.right; ++x) {
            if (screen.At(x, y) != gradient) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
        }
    }
    return first < 0 ? 0 : last - first + 1;
}

// The longest run of black pixels on one row of an item's icon: the folder
// icon's bottom edge, 14 of its 16 cells wide at 100 %.
int IconEdgeRun(const Screen& screen, const RECT& item)
{
    int longest = 0;
    for (int y = item.top; y < item.bottom; ++y) {
        int run = 0;
        for (int x = item.left; x < item.right; ++x) {
            run = screen.At(x, y) == RGB(0, 0, 0) ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

// The folder list shows its icons at the size the scale asks for: the
// bottom edge of an unselected item's folder icon, left of its text.
void ExpectIconsForScale(Installer& setup, HWND list, int dpi, const std::string& name)
{
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    int item = -1;
    for (int i = count - 1; i >= 0 && item < 0; --i)
        if (!(SendMessageA(list, LVM_GETITEMSTATE, i, LVIS_SELECTED | LVIS_FOCUSED) & (LVIS_SELECTED | LVIS_FOCUSED)))
            item = i;
    ASSERT_GE(item, 0) << name << ": an unselected item";
    RECT label = setup.ListItemRect(list, item, name + ": item rectangle");
    // The icon stands left of the label, as high as the item.
    RECT icon = {label.left - Scaled(24, dpi), label.top, label.left, label.bottom};
    Screen screen = setup.Capture();
    EXPECT_NEAR(Scaled(14, dpi), IconEdgeRun(screen, icon), 1) << name << ": the icon's width";
}

void Walk(int dpi)
{
    RemoveDefaultInstallation();
    Hold hold;
    Installer setup("", "", HoldingInstallerPath());
    std::string at = std::to_string(dpi) + "dpi-";

    DWORD prefixDpi = 0, size = sizeof prefixDpi;
    RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", RRF_RT_REG_DWORD, NULL, &prefixDpi, &size);
    ASSERT_EQ((DWORD)dpi, prefixDpi) << "the prefix's scale";
    HWND page = WaitAgreementPage(setup);
    // The dialog font comes in a few sizes only: the page grows with the
    // scale, but not in proportion (833 pixels wide at 144 and 192 dpi).
    RECT frame;
    GetWindowRect(page, &frame);
    if (dpi > 96) {
        ASSERT_GT(frame.right - frame.left, 600) << "the page at " << dpi << " dpi";
    }
    CheckPage(setup, page, dpi, at + "agreement");
    {
        HWND main = setup.WaitWindow("SETUP", "main window");
        Screen screen = setup.Capture();
        // Measured at 100 %: the face and its shadow one row above it. A
        // font's rows do not grow exactly with its height: a tenth either way.
        const int rowsAt96 = 35;
        int rows = TitleRows(screen, main, page);
        EXPECT_NEAR(Scaled(rowsAt96, dpi), rows, std::max(2, Scaled(rowsAt96, dpi) / 10))
            << "the title's height on the gradient";
    }
    setup.Click(setup.Button(page, "I Agree", "agree"), "press I Agree");
    page = WaitDestinationPage(setup);
    CheckPage(setup, page, dpi, at + "destination");

    setup.Click(setup.Button(page, "Browse", "browse"), "press Browse");
    HWND browser = setup.WaitWindow("Setup - directory", "directory browser");
    setup.Shot(at + "directory-browser");
    ExpectControlsWhole(browser, at + "directory browser");
    ExpectIconsForScale(setup, setup.Control(browser, 107, "folder list"), dpi, at + "directory browser");
    setup.Click(setup.Button(browser, "Cancel", "cancel"), "close the directory browser");
    setup.WaitGone(browser, "directory browser closes");

    setup.Click(setup.Button(page, "Next", "next"), "press Next");
    page = setup.WaitDialogWith(214, "copy page");
    // After the first file the bar shows its first part: a bar that keeps
    // its 100 % rows fills only the top of a taller control.
    hold.WaitReached(setup, "first file");
    hold.Release();
    hold.WaitReached(setup, "second file");
    {
        CheckPage(setup, page, dpi, at + "copy");
        Screen screen = setup.Capture();
        HWND bar = setup.Control(page, 214, "progress bar");
        RECT inside;
        GetClientRect(bar, &inside);
        POINT origin = {0, 0};
        ClientToScreen(bar, &origin);
        int blue = 0;
        for (int y = 0; y < inside.bottom; ++y)
            blue += screen.Is(origin.x + 1, origin.y + y, 0, 0, 255);
        EXPECT_GE(blue * 100, inside.bottom * 80) << "the bar fills most of its height: " << blue << " of "
                                                  << inside.bottom << " rows";
    }
    for (int file = 2; file <= 5; ++file) {
        hold.Release();
        if (file < 5)
            hold.WaitReached(setup, "file " + std::to_string(file + 1));
    }

    page = WaitShortcutPage(setup);
    CheckPage(setup, page, dpi, at + "shortcut");
    setup.Click(setup.Button(page, "Browse", "browse"), "press Browse");
    browser = setup.WaitDialogWith(212, "shortcut browser");
    setup.Shot(at + "shortcut-browser");
    ExpectControlsWhole(browser, at + "shortcut browser");
    ExpectIconsForScale(setup, setup.Control(browser, 212, "folder list"), dpi, at + "shortcut browser");
    setup.Click(setup.Button(browser, "Cancel", "cancel"), "close the shortcut browser");
    setup.WaitGone(browser, "shortcut browser closes");
    FinishAfterCopy(setup);
}

} // namespace

// One walk, run on each machine that tests/e2e/CMakeLists.txt declares for
// it: the scale is the machine's, and the prefix must have been made at it.
TEST(ScaleWalk, EveryScreenWholeOnItsFieldWithTitleAndIconsToScale)
{
    int dpi = atoi(EnvOr("PICTAVO_MACHINE_SCALE", "0").c_str());
    ASSERT_GT(dpi, 0) << "the machine declares no scale (PICTAVO_MACHINE_SCALE)";
    Walk(dpi);
}
