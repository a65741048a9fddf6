#include "app/background.h"
#include "app/main_window.h"
#include "resources/resource_ids.h"
#include <gtest/gtest.h>
#include <string.h>

TEST(StartDir, DriveRootIsCutToTheDriveAndFoldersStayAsRead)
{
    char dir[PathSize];
    strcpy(dir, "C:\\");
    TrimStartDir(dir);
    EXPECT_STREQ("C:", dir);
    strcpy(dir, "d:\\");
    TrimStartDir(dir);
    EXPECT_STREQ("d:", dir);
    strcpy(dir, "C:\\a");
    TrimStartDir(dir);
    EXPECT_STREQ("C:\\a", dir);
    strcpy(dir, "Z:\\work\\setup");
    TrimStartDir(dir);
    EXPECT_STREQ("Z:\\work\\setup", dir);
    memset(dir, 0, sizeof dir); // the current folder could not be read
    TrimStartDir(dir);
    EXPECT_STREQ("", dir);
}

namespace {

HWND CreateTestWindow()
{
    return CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
}

// WM_CREATE as the main window gets it: the plan is its creation parameter.
LRESULT SetUpMainWindow(HWND window, SetupPlan& plan)
{
    CREATESTRUCTA creation = {};
    creation.lpCreateParams = &plan;
    return SetUpMainWindow(window, WM_CREATE, 0, (LPARAM)&creation);
}

} // namespace

TEST(MainWindowSetUp, CoversTheScreenRecordsTheStartFolderAndPostsTheStart)
{
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    HWND window = CreateTestWindow();
    ASSERT_TRUE(window != NULL);
    SetupPlan plan;
    EXPECT_EQ(0, SetUpMainWindow(window, plan));
    SetCurrentDirectoryA(saved);

    EXPECT_STREQ("C:", plan.startDir);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), screenWidth);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), screenHeight);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(screenWidth, r.right);
    EXPECT_EQ(screenHeight, r.bottom);
    EXPECT_TRUE(backgroundBitmap != NULL);
    EXPECT_TRUE(titleFont != NULL);
    EXPECT_EQ(1, titlePending);

    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, window, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(WPARAM(IDM_START_SETUP), message.wParam);
    EXPECT_EQ(LPARAM(0), message.lParam);
    DestroyWindow(window);
}

TEST(MainWindowSetUp, SubFolderIsKeptWhole)
{
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\windows"));
    HWND window = CreateTestWindow();
    SetupPlan plan;
    SetUpMainWindow(window, plan);
    SetCurrentDirectoryA(saved);
    EXPECT_STREQ("C:\\windows", plan.startDir);
    DestroyWindow(window);
}
