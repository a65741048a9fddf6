// The Destination page, on drives that tests/e2e/arrange/DestinationPage.sh
// lays out: A and D folders, E a 512 KB disk, the run started from D:.
#include "flows.h"
#include "page_checks.h"
#include <gtest/gtest.h>

using namespace e2e;

namespace {

// Moves "C:\Program files" aside for one test and back afterwards.
class ProgramFilesAway {
public:
    ProgramFilesAway() { moved_ = MoveFileA("C:\\Program files", "C:\\Program files.away") != FALSE; }
    ~ProgramFilesAway()
    {
        if (moved_)
            MoveFileA("C:\\Program files.away", "C:\\Program files");
    }
    bool Moved() const { return moved_; }

private:
    bool moved_;
};

} // namespace

TEST(DestinationPage, ProposesProgramFilesOnDriveCInGreenOnTheLogo)
{
    RemoveTree(defaultDestination);
    Installer setup("D:\\");
    HWND page = ReachDestinationPage(setup);
    HWND box = setup.Control(page, 101, "destination box");
    EXPECT_EQ(defaultDestination, Text(box));

    Screen screen;
    setup.Shot("destination-page", &screen);
    ExpectCentred(page, screen);
    ExpectLogoAtTopLeft(page, screen);
    ExpectGreenOnDarkBlue(box, screen, "destination box");
    HWND label = FindWindowExA(page, NULL, "Static", "Install in directory");
    ASSERT_TRUE(label != NULL);
    ExpectGreenOnDarkBlue(label, screen, "label");
    CancelSetup(setup, page);
    EXPECT_FALSE(FolderExists(defaultDestination)) << "nothing is made before Next";
}

TEST(DestinationPage, ProposesTheRootOfCWithoutProgramFiles)
{
    ProgramFilesAway away;
    ASSERT_TRUE(away.Moved());
    Installer setup("D:\\");
    HWND page = ReachDestinationPage(setup);
    EXPECT_EQ("C:\\Pictavo", setup.ControlText(page, 101));
    CancelSetup(setup, page);
}

TEST(DestinationPage, ExistingFolderAsksNoKeepsThePageYesGoesOn)
{
    CreateDirectoryA(defaultDestination, NULL);
    Installer setup("D:\\");
    HWND page = ReachDestinationPage(setup);
    setup.Click(setup.Button(page, "Next", "next"), "press Next");
    MessageBoxInfo question = setup.WaitMessageBox("Pictavo - Setup", "existing folder question");
    EXPECT_EQ("Directory allready exsist or disk isn't writeable.\nContinue with installation anyway", question.text);
    EXPECT_EQ((std::vector<std::string>{"&Yes", "&No"}), question.buttons);
    setup.Shot("existing-folder");
    setup.Answer(question, "No", "keep the page");
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_EQ(defaultDestination, setup.ControlText(page, 101)) << "not composed twice";

    setup.Key(setup.Control(page, 101, "box"), "Return", "Enter in the box acts as Next");
    setup.Answer(setup.WaitMessageBox("Pictavo - Setup", "asked again"), "Yes", "go on");
    setup.WaitGone(page, "destination page closes");
    FinishAfterCopy(setup);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("C:\\Program files\\Pictavo\\pictavo.exe"));
}

TEST(DestinationPage, TypedDestinationOnASmallDiskBringsTheLowSpaceError)
{
    if (GetDriveTypeA("E:\\") == DRIVE_NO_ROOT_DIR)
        GTEST_SKIP() << "no 512 KB disk: mounting a tmpfs needs root";
    Installer setup("D:\\");
    HWND page = ReachDestinationPage(setup);
    setup.TypeInto(page, 101, "E:\\Pictavo", "type a destination on E:");
    setup.Click(setup.Button(page, "Next", "next"), "press Next");
    MessageBoxInfo error = setup.WaitMessageBox("Pictavo - Setup", "low space error");
    EXPECT_EQ("You do not have enough Free disk space on this drive for installation. Change the drive or remove "
              "some other program-s to free more disk space.",
              error.text);
    EXPECT_EQ((std::vector<std::string>{"&Yes", "&No"}), error.buttons);
    setup.Shot("low-space");
    setup.Answer(error, "Yes", "answer Yes");
    EXPECT_TRUE(IsWindowVisible(page)) << "Yes keeps the page";
    setup.Click(setup.Button(page, "Next", "next"), "press Next again");
    setup.Answer(setup.WaitMessageBox("Pictavo - Setup", "low space again"), "No", "answer No");
    EXPECT_TRUE(IsWindowVisible(page)) << "No keeps the page";
    EXPECT_FALSE(FolderExists("E:\\Pictavo"));
    CancelSetup(setup, page);
}

// A relative or invalid typed path is refused with a warning; a full one
// on another drive is made with its parents, its trailing backslash
// dropped.
TEST(DestinationPage, TypedPathsAreRefusedUnlessFullAndAFullOneIsMadeWithItsParents)
{
    RemoveTree("D:\\Apps");
    Installer setup("D:\\");
    HWND page = ReachDestinationPage(setup);
    setup.TypeInto(page, 101, "Pictavo", "type a bare name");
    setup.Key(setup.Control(page, 101, "box"), "Return", "Enter");
    MessageBoxInfo warning = setup.WaitMessageBox("Pictavo - Setup", "not absolute");
    EXPECT_EQ("Please type the full path of the destination folder,\nfor example C:\\Program files\\Pictavo", warning.text);
    setup.Answer(warning, "OK", "close the warning");

    setup.TypeInto(page, 101, "D:\\what?", "type a name no folder can have");
    setup.Key(setup.Control(page, 101, "box"), "Return", "Enter");
    warning = setup.WaitMessageBox("Pictavo - Setup", "invalid name");
    EXPECT_EQ(0u, warning.text.find("This is not a valid folder name.")) << warning.text;
    setup.Answer(warning, "OK", "close the warning");
    EXPECT_TRUE(IsWindowVisible(page));

    setup.TypeInto(page, 101, "D:\\Apps\\Tools\\Pictavo\\", "type a destination on D:");
    setup.Shot("typed-destination");
    setup.Click(setup.Button(page, "Next", "next"), "press Next");
    setup.WaitGone(page, "destination page closes");
    FinishAfterCopy(setup);
    EXPECT_TRUE(FileExists("D:\\Apps\\Tools\\Pictavo\\pictavo.exe"));
}
