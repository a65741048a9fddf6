// Installing again while a product file is in use: pictavo.exe running
// from the product folder, or a file another program holds open. Wine's
// Restart Manager names no program even for the running pictavo.exe, so
// each question here names the file; the manager's names are not shown.
#include "flows.h"
#include "installation.h"
#include <gtest/gtest.h>
#include <map>

using namespace e2e;

namespace {

// A silent installation from scratch, then an older readme in it and no
// PvFiles, so that any write of a run over it shows.
void InstallOlderCopy()
{
    RemoveDefaultInstallation();
    RemoveTree(DefaultShortcutFolder());
    Installer first("", "first-run", InstallerPath(), "/S");
    RemoveRegistration();
    ASSERT_EQ((DWORD)ExitInstalled, ExitWithoutWindow(first, "silent installation"));
    ASSERT_TRUE(WriteAll(Installed(installed::readme), "the readme of an older version"));
    ASSERT_TRUE(RemoveDirectoryA(Installed(installed::picturesFolder).c_str()));
}

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

HWND WaitProgramWindow(Installer& pictavo)
{
    return pictavo.WaitWindowWhere([](HWND w) { return ClassOf(w) == "PictavoMain"; }, "pictavo.exe runs");
}

// From the start, with the default destination, which exists: Next, and
// Yes to installing over it.
void ReachCopyPageOverTheInstallation(Installer& setup)
{
    HWND page = ReachDestinationPage(setup);
    setup.Click(setup.Button(page, "Next", "next"), "press Next");
    MessageBoxInfo over = setup.WaitMessageBox("Pictavo - Setup", "the existing folder");
    setup.Answer(over, "Yes", "install over it");
}

MessageBoxInfo ExpectQuestionNaming(Installer& setup, const char* file, const std::string& step)
{
    MessageBoxInfo question = setup.WaitMessageBox("Pictavo - Setup", step);
    setup.Shot(step);
    EXPECT_EQ("Setup cannot replace " + Installed(file) +
                  " while another program uses it.\n\n"
                  "Close that program, then choose Retry. Cancel ends Setup and leaves Pictavo as it is.",
              question.text)
        << step;
    EXPECT_EQ((std::vector<std::string>{"&Retry", "Cancel"}), question.buttons) << step;
    return question;
}

} // namespace

TEST(InUse, WhilePictavoRunsItIsNamedCancelWritesNothingAndRetryAfterClosingItInstalls)
{
    ASSERT_NO_FATAL_FAILURE(InstallOlderCopy());
    std::map<std::string, std::string> before = FilesAsTheyAre();
    Installer pictavo("", "", Installed(installed::program));
    HWND program = WaitProgramWindow(pictavo);
    {
        Installer setup;
        ReachCopyPageOverTheInstallation(setup);
        MessageBoxInfo question = ExpectQuestionNaming(setup, installed::program, "pictavo-exe-in-use");
        setup.Answer(question, "Cancel", "cancel");
        ExpectCancelMessage(setup);
    }
    EXPECT_EQ(before, FilesAsTheyAre()) << "no file was written";
    EXPECT_FALSE(FolderExists(Installed(installed::picturesFolder))) << "not even PvFiles";

    Installer setup("", "second-run");
    ReachCopyPageOverTheInstallation(setup);
    MessageBoxInfo question = ExpectQuestionNaming(setup, installed::program, "asked again");
    PostMessageA(program, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, pictavo.WaitExit("pictavo.exe closes"));
    setup.Answer(question, "Retry", "retry once it is closed");
    FinishAfterCopy(setup);
    ExpectInstalled(setup, defaultDestination, DefaultShortcutFolder());
}

TEST(InUse, AFileHeldWithoutSharingIsNamedAndAskedForAgainUntilCancelled)
{
    ASSERT_NO_FATAL_FAILURE(InstallOlderCopy());
    std::map<std::string, std::string> before = FilesAsTheyAre();
    // As an editor holds a document: no other program may open it at all.
    HANDLE held = CreateFileA(Installed(installed::readme).c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    Installer setup;
    ReachCopyPageOverTheInstallation(setup);
    MessageBoxInfo question = ExpectQuestionNaming(setup, installed::readme, "readme-in-use");
    setup.Answer(question, "Retry", "retry while it is still held");
    question = ExpectQuestionNaming(setup, installed::readme, "asked again");
    setup.Answer(question, "Cancel", "cancel");
    ExpectCancelMessage(setup);
    CloseHandle(held);
    EXPECT_EQ(before, FilesAsTheyAre()) << "no file was written, not even the four that were free";
    EXPECT_FALSE(FolderExists(Installed(installed::picturesFolder)));
}

TEST(InUse, ASilentRunWhilePictavoRunsEndsWithEightAndWritesNothing)
{
    ASSERT_NO_FATAL_FAILURE(InstallOlderCopy());
    RemoveTree(DefaultShortcutFolder());
    std::map<std::string, std::string> before = FilesAsTheyAre();
    Installer pictavo("", "", Installed(installed::program));
    RemoveRegistration();
    WaitProgramWindow(pictavo);

    Installer run("", "", InstallerPath(), "/S");
    EXPECT_EQ((DWORD)ExitFilesInUse, ExitWithoutWindow(run, "silent run over the running program"));
    EXPECT_EQ(before, FilesAsTheyAre());
    EXPECT_FALSE(FolderExists(Installed(installed::picturesFolder)));
    EXPECT_FALSE(FolderExists(DefaultShortcutFolder())) << "no links";
    for (const std::string& key : UninstallKeys())
        EXPECT_FALSE(KeyExists(key)) << key;
    EXPECT_FALSE(KeyExists(installed::appPaths));
}
