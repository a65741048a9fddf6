// Bad luck on the user's machine: a disk that fills up while the files are
// copied, a destination that cannot be written or is a file, and a second
// installation over the first. tests/e2e/arrange/Faults.sh lays out the
// drives: E a 1 MB disk, R a read-only one.
#include "flows.h"
#include "installation.h"
#include <gtest/gtest.h>

using namespace e2e;

namespace {

// Types a destination and presses Next.
void TypeDestinationAndNext(Installer& setup, HWND page, const std::string& destination)
{
    setup.TypeInto(page, 101, destination, "type " + destination);
    setup.Click(setup.Button(page, "Next", "next"), "press Next for " + destination);
}

// The question that a folder which cannot be made brings; No keeps the page.
void ExpectFolderQuestion(Installer& setup, HWND page, const std::string& answer, const std::string& step)
{
    MessageBoxInfo question = setup.WaitMessageBox("Pictavo - Setup", step);
    EXPECT_EQ("Directory allready exsist or disk isn't writeable.\nContinue with installation anyway", question.text)
        << step;
    setup.Shot(step);
    setup.Answer(question, answer, step + ": " + answer);
    if (answer == "No") {
        EXPECT_TRUE(IsWindowVisible(page)) << step << ": No keeps the page";
    }
}

void SetRegistryValue(Installer& setup, const std::string& key, const std::string& name, const std::string& value)
{
    setup.RunHost("\"$PICTAVO_WINE\" reg add 'HKLM\\" + key + "' " + (name.empty() ? "/ve" : "/v " + name) +
                      " /t REG_SZ /d '" + value + "' /f",
                  "reg add " + name);
}

// One whole run with the default choices, over whatever is installed;
// gives the shortcut folder that the Shortcut page proposed and used.
std::string InstallWithDefaults(Installer& setup, bool existing)
{
    HWND page = ReachDestinationPage(setup);
    setup.Click(setup.Button(page, "Next", "next"), "press Next");
    if (existing)
        ExpectFolderQuestion(setup, page, "Yes", "install over the existing folder");
    HWND shortcuts = WaitShortcutPage(setup);
    std::string folder = setup.ControlText(shortcuts, 101);
    if (!existing)
        RemoveTree(folder);
    setup.Click(setup.Button(shortcuts, "Finish", "finish"), "press Finish");
    ExpectSuccessMessage(setup);
    CloseShortcutFolderWindow(setup);
    return folder;
}

} // namespace

TEST(Faults, DiskFillingUpDuringTheThirdFileNamesItRemovesItAndExitsWithFailure)
{
    if (GetDriveTypeA("E:\\") == DRIVE_NO_ROOT_DIR)
        GTEST_SKIP() << "no 1 MB disk: mounting a tmpfs needs root";
    Hold hold;
    Installer setup("", "", HoldingInstallerPath());
    HWND page = ReachDestinationPage(setup);
    // The page demands its room up front: the disk fills up only later.
    TypeDestinationAndNext(setup, page, "E:\\Pictavo");
    FillDiskAtTheThirdFile(setup, hold);

    ExpectFileFailure(setup, std::string("E:\\Pictavo\\") + installed::files[2]);
    for (int row = 0; row < 5; ++row) {
        std::string path = std::string("E:\\Pictavo\\") + installed::files[row];
        if (row < 2)
            EXPECT_EQ(ReadAll(Original(installed::files[row])), ReadAll(path)) << installed::files[row];
        else
            EXPECT_FALSE(FileExists(path)) << installed::files[row] << ": no partial or later file stays";
    }
}

TEST(Faults, ReadOnlyDestinationIsAskedAboutAndThenFailsWithoutSuccess)
{
    if (GetDriveTypeA("R:\\") == DRIVE_NO_ROOT_DIR)
        GTEST_SKIP() << "no read-only disk: mounting a tmpfs needs root";
    Installer setup;
    HWND page = ReachDestinationPage(setup);
    TypeDestinationAndNext(setup, page, "R:\\Pictavo");
    ExpectFolderQuestion(setup, page, "No", "read-only disk");
    EXPECT_EQ("R:\\Pictavo", setup.ControlText(page, 101));
    setup.Click(setup.Button(page, "Next", "next"), "press Next again");
    ExpectFolderQuestion(setup, page, "Yes", "read-only disk, asked again");
    ExpectFileFailure(setup, "R:\\Pictavo\\pictavo.exe");
    EXPECT_TRUE(NamesIn("R:").empty()) << "nothing lands on the read-only disk";
}

// A file at the destination's name is refused, not asked about: a question
// would give another user its time to put a link there. Swapped for a link
// while the refusal is up, the name is refused again as the link it has
// become, and nothing is written through it.
TEST(Faults, DestinationThatIsAFileIsRefusedAndSwappedForALinkGetsNothingWritten)
{
    const char file[] = "C:\\Occupied";
    const std::string victim = "C:\\Occupied Victim";
    const std::string content = "a file that the installer must not touch\n";
    RemoveTree(file);
    DeleteFileA(file);
    RemoveTree(victim);
    ASSERT_TRUE(WriteAll(file, content));
    ASSERT_TRUE(CreateDirectoryA(victim.c_str(), NULL));
    EXPECT_EQ((DWORD)ExitDestinationUnusable, RunSilently(std::string("/S /D=") + file)) << "a silent run refuses the file";
    EXPECT_EQ(content, ReadAll(file));

    Installer setup;
    RemoveRegistration();
    HWND page = ReachDestinationPage(setup);
    // The file in the way as the destination's parent: no folder can be made.
    TypeDestinationAndNext(setup, page, std::string(file) + "\\Pictavo");
    ExpectFolderQuestion(setup, page, "No", "file as the parent");
    TypeDestinationAndNext(setup, page, file);
    MessageBoxInfo refusal = setup.WaitMessageBox("Pictavo - Setup", "file as the destination");
    EXPECT_EQ(std::string(file) + " is a file, not a folder. Please choose another folder.", refusal.text);
    setup.Shot("file-refused");
    // Another user takes the name while the box is up.
    setup.RunHost("rm -f " + HostPath(file) + " && ln -s " + HostPath(victim) + " " + HostPath(file),
                  "swap the file for a link");
    setup.Answer(refusal, "OK", "close the refusal");
    EXPECT_TRUE(IsWindowVisible(page)) << "the page stays for another folder";
    setup.Click(setup.Button(page, "Next", "next"), "press Next on the link");
    MessageBoxInfo linked = setup.WaitMessageBox("Pictavo - Setup", "the link");
    EXPECT_EQ(std::string("The folder\n") + file + "\nis reached through a link to another folder.\n"
                                              "Please choose another folder.",
              linked.text);
    setup.Answer(linked, "OK", "close the link's refusal");
    CancelSetup(setup, page);
    EXPECT_TRUE(NamesIn(victim).empty()) << "nothing written through the link";
    EXPECT_FALSE(RegistryKeyExists(setup, installed::appPaths));
    setup.RunHost("rm -f " + HostPath(file), "remove the link");
    RemoveTree(victim);
}

TEST(Faults, InstallingAgainReplacesFilesLinksAndValuesWithoutDoubling)
{
    RemoveDefaultInstallation();
    std::string folder;
    {
        Installer first("", "first-run");
        RemoveRegistration();
        folder = InstallWithDefaults(first, false);
    }

    // What the second run must replace: stale files, broken links, old values.
    for (const char* target : installed::files)
        ASSERT_TRUE(WriteAll(std::string(defaultDestination) + "\\" + target, "old")) << target;
    for (const installed::Link& link : installed::links)
        ASSERT_TRUE(WriteAll(folder + "\\" + link.file, "old")) << link.file;

    Installer setup;
    for (const std::string& key : UninstallKeys()) {
        for (const char* name : {"DisplayName", "UninstallString", "Scdir", "Progdir"})
            SetRegistryValue(setup, key, name, "C:\\Old");
    }
    SetRegistryValue(setup, installed::appPaths, "", "C:\\Old");
    SetRegistryValue(setup, installed::appPaths, "Path", "C:\\Old");
    EXPECT_EQ(folder, InstallWithDefaults(setup, true));

    ExpectInstalled(setup, defaultDestination, folder);
}
