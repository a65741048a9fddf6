#include "app/background.h"
#include "app/main_window.h"
#include "resources/resource_ids.h"
#include <gtest/gtest.h>
#include <string.h>

TEST(StartDir, DriveRootIsCutToTheDriveAndFoldersStayAsRead)
{
    // An empty text is the current folder that could not be read.
    const char* cases[][2] = {{"C:\\", "C:"}, {"d:\\", "d:"}, {"C:\\a", "C:\\a"}, {"Z:\\work\\setup", "Z:\\work\\setup"}, {"", ""}};
    for (auto& c : cases) {
        char dir[PathSize] = {};
        strcpy(dir, c[0]);
        TrimStartDir(dir);
        EXPECT_STREQ(c[1], dir) << c[0];
    }
}

// WM_CREATE as the main window gets it: the plan is its creation parameter.
TEST(MainWindowSetUp, CoversTheScreenRecordsTheStartFolderAndPostsTheStart)
{
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(window != NULL);
    SetupPlan plan;
    CREATESTRUCTA creation = {};
    creation.lpCreateParams = &plan;
    EXPECT_EQ(0, SetUpMainWindow(window, WM_CREATE, 0, (LPARAM)&creation));
    SetCurrentDirectoryA(saved);

    EXPECT_STREQ("C:", plan.startDir);
    RECT r;
    GetWindowRect(window, &r);
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    EXPECT_TRUE(EqualRect(&screen, &r));
    EXPECT_EQ(r.right, screenWidth);
    EXPECT_EQ(r.bottom, screenHeight);
    EXPECT_TRUE(backgroundBitmap != NULL && titleFont != NULL);
    EXPECT_EQ(1, titlePending);

    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, window, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(WPARAM(IDM_START_SETUP), message.wParam);
    EXPECT_EQ(LPARAM(0), message.lParam);
    DestroyWindow(window);
}
