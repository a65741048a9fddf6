// The rest of the main window's set-up (covering the screen, its picture and
// title, the start of the pages) shows in the Shell_* end-to-end tests.
#include "app/main_window.h"
#include "base/exit_codes.h"
#include "box_answerer.h"
#include "product_facts.h"
#include "resources/resource_ids.h"
#include <gtest/gtest.h>
#include <string.h>
#include <string>

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

// A newer installation is told before the Agreement page, with both
// versions, and the run ends with the downgrade code, the window gone and
// nothing asked. (Without the refusal the Agreement page would open, and
// no box answerer closes it.)
TEST(MainWindowPages, ANewerInstallationIsToldBeforeTheAgreementAndEndsWithTheDowngradeCode)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    SetupPlan plan;
    PreviousInstallation& previous = plan.facts.previous;
    previous.entry = ValueRead;
    previous.verdict = InstallationUsable;
    strcpy(previous.at.programDir, "C:\\Apps\\Pictavo");
    previous.at.versionState = VersionRead;
    previous.at.version = {PRODUCT_VERSION_MAJOR, PRODUCT_VERSION_MINOR, PRODUCT_VERSION_PATCH + 1};
    MainWindowState state = {plan, {}};
    SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)&state);
    std::vector<BoxAnswerer::Box> boxes;
    {
        BoxAnswerer answerer;
        RunPageSequence(window, IDM_START_SETUP, 0, 0);
        boxes = answerer.Boxes();
    }
    char expected[256];
    snprintf(expected, sizeof expected,
             "Pictavo %d.%d.%d is installed, which is newer than this Setup (%s). Setup ends without changing it.",
             PRODUCT_VERSION_MAJOR, PRODUCT_VERSION_MINOR, PRODUCT_VERSION_PATCH + 1, PRODUCT_VERSION_TEXT);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(expected, boxes[0].text);
    EXPECT_EQ("Pictavo - Setup", boxes[0].caption);
    EXPECT_EQ(ExitDowngrade, plan.exitCode);
    EXPECT_FALSE(IsWindow(window));
}
