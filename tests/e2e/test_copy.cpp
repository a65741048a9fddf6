// The Copy page: the real installer copies the product; its test build,
// which holds inside each file until released, shows each step.
#include "flows.h"
#include "installation.h"
#include "page_checks.h"
#include <gtest/gtest.h>

using namespace e2e;

using installed::compressed;
const auto& targets = installed::files;

TEST(CopyPage, FullRunInstallsTheFiveFilesByteForByte)
{
    RemoveDefaultInstallation();
    RemoveTree(DefaultShortcutFolder());
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    Installer setup;
    HWND page = ReachDestinationPage(setup);
    // The shipped payload expands in milliseconds: the Copy page comes
    // and goes before anyone could look at it.
    setup.Click(setup.Button(page, "Next", "next"), "press Next");
    FinishAfterCopy(setup);

    ExpectInstalled(setup, defaultDestination, DefaultShortcutFolder());
    for (const char* name : compressed)
        EXPECT_FALSE(FileExists(std::string(temp) + name)) << "temporary " << name << " left behind";
}

TEST(CopyPage, StatusLineBarAndPercentageAtEachStep)
{
    RemoveDefaultInstallation();
    Hold hold;
    Installer setup("", "", HoldingInstallerPath());
    HWND page = ReachCopyPage(setup);
    HWND bar = setup.Control(page, 214, "progress bar");
    HWND status = setup.Control(page, 101, "status line");
    RECT area;
    GetClientRect(bar, &area);
    ASSERT_EQ(438, area.right) << "292 dialog units";
    POINT origin = {0, 0};
    ClientToScreen(bar, &origin);
    const int edges[] = {0, 110, 219, 329, 438};
    const char* percents[] = {"20", "40", "60", "80", "100"};
    for (int row = 0; row < 5; ++row) {
        std::string step = std::string("file ") + targets[row];
        hold.WaitReached(setup, step);
        EXPECT_EQ(std::string("FROM: ") + compressed[row] + "  TO: \\" + targets[row], Text(status)) << step;
        Screen screen;
        setup.Shot(std::string("step-") + percents[row], &screen);
        int y = origin.y + 16; // below the percentage
        for (int x = 0; x < area.right; ++x) {
            bool blue = screen.Is(origin.x + x, y, 0, 0, 255);
            ASSERT_EQ(x < edges[row], blue) << step << ": x " << x;
        }
        int white = 0;
        for (int dy = 2; dy < 15; ++dy)
            for (int dx = -20; dx < 20; ++dx)
                white += screen.Is(origin.x + area.right / 2 + dx, origin.y + dy, 255, 255, 255);
        EXPECT_GT(white, 10) << step << ": the percentage " << percents[row] << " shows";
        hold.Release();
    }
    FinishAfterCopy(setup);
}

TEST(CopyPage, CancelDuringAFileFinishesThatFileAndStops)
{
    RemoveDefaultInstallation();
    Hold hold;
    Installer setup("", "", HoldingInstallerPath());
    HWND page = ReachCopyPage(setup);
    hold.WaitReached(setup, "first file");
    hold.Release();
    hold.WaitReached(setup, "second file");
    // The installer is busy with the second file: the click waits in its queue.
    setup.Click(setup.Button(page, "Cancel", "cancel"), "press Cancel during the second file");
    hold.Release();
    ExpectCancelMessage(setup);
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(row < 2, FileExists(std::string(defaultDestination) + "\\" + targets[row])) << targets[row];
}
