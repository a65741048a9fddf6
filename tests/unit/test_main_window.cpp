// The rest of the main window's set-up (covering the screen, its picture and
// title, the start of the pages) shows in the Shell_* end-to-end tests.
#include "app/main_window.h"
#include <gtest/gtest.h>
#include <string.h>

TEST(StartDir, DriveRootIsCutToTheDriveAndFoldersStayAsRead)
{
    // An empty text is the current folder that could not be read.
    const char* cases[][2] = {
        {"C:\\", "C:"}, {"d:\\", "d:"}, {"C:\\a", "C:\\a"}, {"Z:\\work\\setup", "Z:\\work\\setup"}, {"", ""}};
    for (auto& c : cases) {
        char dir[PathSize] = {};
        strcpy(dir, c[0]);
        TrimStartDir(dir);
        EXPECT_STREQ(c[1], dir) << c[0];
    }
}

// WM_CREATE as the main window gets it: its state is its creation parameter.
TEST(MainWindowSetUp, RecordsTheCurrentFolderTrimmedAsTheStartFolder)
{
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    SetupPlan plan;
    MainWindowState state = {plan, {}};
    CREATESTRUCTA creation = {};
    creation.lpCreateParams = &state;
    EXPECT_EQ(0, SetUpMainWindow(window, WM_CREATE, 0, (LPARAM)&creation));
    SetCurrentDirectoryA(saved);
    EXPECT_STREQ("C:", plan.facts.startDir);
    DestroyWindow(window);
    ReleaseBackground(state.background);
}
