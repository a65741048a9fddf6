// Setup started by a script or a deployment tool: /S installs with no
// window and tells the outcome in its exit code; /D= and /G= choose the
// folders, with or without pages; a line it cannot take changes nothing.
// tests/e2e/arrange/SilentSmallDisk.sh lays out E, a disk too small.
#include "flows.h"
#include "installation.h"
#include <gtest/gtest.h>

using namespace e2e;

namespace {

// Nor does the shell open the shortcut folder for nobody to close.
void ExpectNoShellWindow()
{
    Sleep(2000);
    HWND folder = FindWindowA(NULL, "Pictavo");
    EXPECT_TRUE(folder == NULL || !IsWindowVisible(folder)) << "a window on the shortcut folder";
}

// What a run may change: the folders that receive the product and its
// shortcuts, and the registry entries.
struct Machine {
    std::set<std::string> drive, programFiles, programs;
    bool registered;

    explicit Machine(Installer& setup)
        : drive(NamesIn("C:\\")), programFiles(NamesIn("C:\\Program files")), programs(NamesIn(installed::ntPrograms)),
          registered(RegistryKeyExists(setup, installed::appPaths))
    {
        for (const std::string& key : UninstallKeys())
            registered = registered || RegistryKeyExists(setup, key);
    }
    bool operator==(const Machine& other) const
    {
        return drive == other.drive && programFiles == other.programFiles && programs == other.programs &&
               registered == other.registered;
    }
};

void InstallSilently(const std::string& arguments, const std::string& destination, const std::string& shortcuts)
{
    HostCommands host;
    RemoveTree(destination);
    RemoveTree(shortcuts);
    RemoveRegistration();
    EXPECT_EQ((DWORD)ExitInstalled, RunSilently(arguments));
    ExpectNoShellWindow();
    ExpectInstalled(host, destination, shortcuts);
}

} // namespace

// Into the proposed folders, then into a destination with blanks and a
// Start-menu folder from the line.
TEST(Silent, InstallsIntoTheProposedFoldersOrThoseFromTheLineWithoutAWindow)
{
    InstallSilently("/S", defaultDestination, DefaultShortcutFolder());
    const std::string destination = "C:\\Silent Install\\Pictavo Editor";
    const std::string shortcuts = std::string(installed::ntPrograms) + "\\Pictavo Apps\\Graphics\\Pictavo";
    InstallSilently("/S /G=\"Pictavo Apps\\Graphics\" /D=" + destination, destination, shortcuts);
    RemoveTree("C:\\Silent Install");
    RemoveTree(std::string(installed::ntPrograms) + "\\Pictavo Apps");
}

// The product is installed, but without its links the run has not done
// what the script asked: the exit code says so.
TEST(Silent, LinksThatCannotBeMadeExitWithFive)
{
    const std::string blocked = std::string(installed::ntPrograms) + "\\Blocked";
    RemoveTree(blocked);
    ASSERT_TRUE(CreateDirectoryA(blocked.c_str(), NULL));
    ASSERT_TRUE(WriteAll(blocked + "\\Pictavo", ""));
    RemoveDefaultInstallation();
    EXPECT_EQ((DWORD)ExitShortcutsFailed, RunSilently("/S /G=Blocked")) << "the shortcut folder is blocked";
    EXPECT_EQ(ReadAll(Original(installed::program)), ReadAll(std::string(defaultDestination) + "\\" + installed::program));
    EXPECT_EQ(std::set<std::string>{"Pictavo"}, NamesIn(blocked));
    RemoveTree(blocked);
}

TEST(Silent, RefusedLinesExitWithTwoAndChangeNothing)
{
    RemoveDefaultInstallation();
    RemoveTree(DefaultShortcutFolder());
    const std::string lines[] = {
        "/S /Quiet",
        "/S /D=Pictavo",                                 // not a full path
        "/S /D=C:\\Pictavo|Editor",                      // no folder can have that name
        "/S /G=..\\..\\Elsewhere",                       // out of the programs folder
        "/S /D=C:\\" + std::string(600, 'a'),            // past the path's buffer
        "/S /G=" + std::string(300, 'g'),                // fits the buffer, not under the programs folder
        "/S" + std::string(5000, ' ') + "/D=C:\\Pictavo" // past the line's bound
    };
    HostCommands host; // itself refused at once, with ExitBadArguments
    Machine before(host);
    for (const std::string& line : lines) {
        EXPECT_EQ((DWORD)ExitBadArguments, RunSilently(line)) << line.substr(0, 40);
        EXPECT_TRUE(before == Machine(host)) << line.substr(0, 40);
    }
}

TEST(SilentSmallDisk, TooLittleRoomExitsWithThreeAndWritesNothing)
{
    if (GetDriveTypeA("E:\\") == DRIVE_NO_ROOT_DIR)
        GTEST_SKIP() << "no 512 KB disk: mounting a tmpfs needs root";
    HostCommands host;
    Machine before(host);
    EXPECT_EQ((DWORD)ExitDestinationUnusable, RunSilently("/S /D=E:\\Pictavo")) << "onto a small disk";
    EXPECT_TRUE(NamesIn("E:\\").empty());
    EXPECT_TRUE(before == Machine(host));
}

// With pages, a destination from the line stands in the box as if typed,
// and Next installs there.
TEST(CommandLinePages, DestinationFromTheLineIsShownAndUsed)
{
    const std::string destination = "C:\\From The Line\\Pictavo";
    RemoveTree("C:\\From The Line");
    Installer setup("", "", InstallerPath(), "/D=" + destination);
    RemoveRegistration();
    HWND page = ReachDestinationPage(setup);
    EXPECT_EQ(destination, setup.ControlText(page, 101));
    setup.Shot("destination-from-the-line");
    setup.Click(setup.Button(page, "Next", "next"), "press Next");
    HWND shortcuts = WaitShortcutPage(setup);
    std::string folder = setup.ControlText(shortcuts, 101);
    RemoveTree(folder);
    FinishAfterCopy(setup);
    ExpectInstalled(setup, destination, folder);
    RemoveTree("C:\\From The Line");
}

TEST(CommandLinePages, AnUnknownSwitchIsNamedWithTheAcceptedOnesAndNothingRuns)
{
    HostCommands host;
    Machine before(host);
    Installer setup("", "", InstallerPath(), "/X /D=C:\\Pictavo");
    MessageBoxInfo box = setup.WaitMessageBox("Pictavo - Setup", "message on the switch");
    setup.Shot("unknown-switch");
    EXPECT_EQ(0u, box.text.find("Unknown switch: /X\n")) << box.text;
    for (const char* accepted : {"/S\t", "/G=folder\t", "/D=path\t"})
        EXPECT_NE(std::string::npos, box.text.find(accepted)) << box.text;
    EXPECT_EQ(NULL, setup.FindWindowWhere([&](HWND w) { return w != box.window; })) << "no page, no main window";
    setup.Answer(box, "OK", "close the message");
    EXPECT_EQ((DWORD)ExitBadArguments, setup.WaitExit("installer ends"));
    EXPECT_TRUE(before == Machine(setup));
}
