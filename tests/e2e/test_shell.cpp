// The main window, its picture and the closing message, on two screens.
#include "harness.h"
#include <gtest/gtest.h>
#include <algorithm>

using namespace e2e;

namespace {

// The blue that the picture row `top` (counted from the top) must show on a
// screen `height` pixels high: 255 at the bottom, one step darker every
// height / 255 + 1 rows upwards.
int ExpectedBlue(int top, int height)
{
    int fromBottom = height - 1 - top;
    return std::max(0, 255 - fromBottom / (height / 255 + 1));
}

struct Box {
    int left = 1 << 30, top = 1 << 30, count = 0;
    void Add(int x, int y)
    {
        left = std::min(left, x);
        top = std::min(top, y);
        ++count;
    }
};

void CheckRunEndsWithCancelMessage(int width, int height)
{
    Installer setup;
    HWND main = setup.WaitWindow("SETUP", "main window");
    RECT frame;
    GetWindowRect(main, &frame);
    EXPECT_EQ(0, frame.left);
    EXPECT_EQ(0, frame.top);
    EXPECT_EQ(width, frame.right);
    EXPECT_EQ(height, frame.bottom);
    EXPECT_TRUE(GetMenu(main) == NULL) << "the main window has no menu bar";

    HWND agreement = setup.WaitDialogWith(199, "agreement page");
    setup.Click(setup.Button(agreement, "Cancel", "cancel"), "press Cancel");
    setup.Answer(setup.WaitMessageBox("Pictavo - Setup", "cancel question"), "Yes", "confirm cancel");

    MessageBoxInfo box = setup.WaitMessageBox("Pictavo - Setup", "cancel message");
    EXPECT_EQ("Setup was canceled. Any notes or errors you can send on my email: setup@pictavo.example", box.text);
    EXPECT_EQ(std::vector<std::string>{"OK"}, box.buttons);

    // Taken while the box is up: the picture stays painted behind it.
    Screen screen;
    setup.Shot("cancel-message", &screen);
    POINT client = {0, 0};
    ClientToScreen(main, &client);
    RECT area;
    GetClientRect(main, &area);
    ASSERT_LT(area.bottom, height) << "the caption takes part of the screen";
    for (int y = 0; y < area.bottom; ++y) {
        int blue = ExpectedBlue(y, height);
        ASSERT_TRUE(screen.Is(client.x + 2, client.y + y, 0, 0, blue)) << "left edge, picture row " << y;
        ASSERT_TRUE(screen.Is(client.x + area.right - 3, client.y + y, 0, 0, blue)) << "right edge, row " << y;
    }

    Box face, shadow;
    int misplaced = 0;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 420; ++x) {
            if (screen.Is(client.x + x, client.y + y, 0, 0, 255))
                face.Add(x, y);
            else if (screen.Is(client.x + x, client.y + y, 0, 0, 128))
                shadow.Add(x, y);
        }
    }
    for (int y = 1; y < 80; ++y) {
        for (int x = 3; x < 420; ++x) {
            if (screen.Is(client.x + x, client.y + y, 0, 0, 255) &&
                !screen.Is(client.x + x - 3, client.y + y - 1, 0, 0, 255) &&
                !screen.Is(client.x + x - 3, client.y + y - 1, 0, 0, 128))
                ++misplaced;
        }
    }
    EXPECT_GT(face.count, 1000) << "the title's face is drawn in blue 255";
    EXPECT_GT(shadow.count, 100) << "its shadow shows in blue 128";
    EXPECT_EQ(3, face.left - shadow.left) << "the shadow lies 3 pixels to the left";
    EXPECT_EQ(1, face.top - shadow.top) << "and 1 pixel above";
    EXPECT_GE(face.left, 13);
    EXPECT_GE(face.top, 11);
    EXPECT_EQ(0, misplaced) << "every face pixel has its shadow 3 left, 1 up";

    setup.Answer(box, "OK", "close the cancel message");
    EXPECT_EQ(0u, setup.WaitExit("installer ends"));
}

} // namespace

TEST(Shell_1024x768, MainWindowPaintsGradientAndTitleThenCancelEndsWithZero)
{
    CheckRunEndsWithCancelMessage(1024, 768);
}

TEST(Shell_640x480, MainWindowPaintsGradientAndTitleThenCancelEndsWithZero)
{
    CheckRunEndsWithCancelMessage(640, 480);
}
