// Setup run again over an installation, with the next version of the same
// sources (tests/host/version_build.sh): an upgrade where the installation
// is, a repair, a refused downgrade, a move to another folder, and an
// entry that names no installation to trust. Each walk checks every point
// of the machine it leaves, the user's own pictures among them.
#include "flows.h"
#include "installation.h"
#include <gtest/gtest.h>
#include <map>

using namespace e2e;

namespace {

const char apps[] = "C:\\Apps";
const char custom[] = "C:\\Apps\\Pictavo";
const char moved[] = "C:\\Apps\\Moved Pictavo";
const char caption[] = "Pictavo - Setup";
const char picture[] = "mine.bmp";

// The shortcut folder that /G=Graphics gives.
std::string GraphicsShortcuts()
{
    return std::string(installed::ntPrograms) + "\\Graphics\\Pictavo";
}

// Nothing of the product, nor of an earlier walk, anywhere.
void StartFromNothing(Installer& host)
{
    StartClean();
    host.RunHost("rm -rf " + HostPath(apps) + " " + HostPath(std::string(installed::ntPrograms) + "\\Graphics"),
                 "remove the folders of an earlier walk");
}

// The file version of a program's version resource, "a.b.c.d".
std::string FileVersion(const std::string& program)
{
    DWORD ignored = 0, size = GetFileVersionInfoSizeA(program.c_str(), &ignored);
    std::vector<char> block(size ? size : 1);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!size || !GetFileVersionInfoA(program.c_str(), 0, size, block.data()) ||
        !VerQueryValueA(block.data(), "\\", (void**)&fixed, &length) || length < sizeof *fixed)
        return "<no version resource>";
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) +
           "." + std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

// The product files of a folder, their times and bytes, and both entries:
// a run that changed nothing leaves all of it as it was.
std::map<std::string, std::string> MachineAsItIs(Installer& host, const std::string& folder)
{
    std::map<std::string, std::string> state;
    for (const char* file : installed::files) {
        std::string path = folder + "\\" + file;
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
        state[path] = std::to_string(data.ftLastWriteTime.dwHighDateTime) + ":" +
                      std::to_string(data.ftLastWriteTime.dwLowDateTime) + ":" + ReadAll(path);
    }
    for (const std::string& key : UninstallKeys())
        for (const auto& value : RegistryValues(host, key))
            state[key + " " + value.first] = value.second;
    state["names"] = "";
    for (const std::string& name : NamesIn(folder))
        state["names"] += name + "|";
    return state;
}

bool IsAgreementPage(HWND window)
{
    return GetDlgItem(window, 199) != NULL;
}

// The box that refuses a downgrade, answered; the run ends with the
// manifest's downgrade code before any page showed.
void ExpectDowngradeRefusedWithPages(const Release& older, const std::string& newer)
{
    Installer setup("", "", older.setup);
    MessageBoxInfo box = setup.WaitMessageBox(caption, "the box that refuses the downgrade");
    setup.Shot("downgrade-refused");
    EXPECT_EQ("Pictavo " + newer + " is installed, which is newer than this Setup (" + older.version +
                  "). Setup ends without changing it.",
              box.text);
    EXPECT_TRUE(setup.FindWindowWhere(IsAgreementPage) == NULL) << "the box comes before the Agreement page";
    setup.Answer(box, "OK", "close the box");
    EXPECT_EQ((DWORD)ExitDowngrade, setup.WaitExit("Setup ends after the box"));
}

} // namespace

// 1.0.0 in a folder and a shortcut folder of the admin's choosing, a
// picture of the user's in its PvFiles, then 1.1.0 with pages: the pages
// propose both folders, the existing folder is asked about, and one
// installation is left there at 1.1.0 with the picture. Then 1.0.0 again,
// with pages and silently, changes nothing and ends with the downgrade
// code; with /DOWNGRADE it goes ahead. Last, 1.1.0 with another folder
// typed on the page moves it there and leaves the picture where it was.
TEST(Upgrade, WithPagesFromACustomFolderThenTheDowngradeRefusedUnlessTheSwitchSaysSoThenAMove)
{
    HostCommands host;
    StartFromNothing(host);
    const Release first = ThisRelease(), next = NextRelease();
    ASSERT_EQ((DWORD)ExitInstalled, RunSilently(std::string("/S /G=Graphics /D=") + custom, first.setup));
    ASSERT_NO_FATAL_FAILURE(ExpectInstalled(host, custom, GraphicsShortcuts(), first));
    ASSERT_TRUE(WriteUsersPicture(custom, picture));

    {
        Installer setup("", "", next.setup);
        HWND destination = ReachDestinationPage(setup);
        EXPECT_EQ(custom, setup.ControlText(destination, 101)) << "the installed folder is proposed";
        setup.Shot("destination-proposes-the-installed-folder");
        setup.Click(setup.Button(destination, "Next", "next"), "press Next");
        MessageBoxInfo question = setup.WaitMessageBox(caption, "the existing folder");
        EXPECT_EQ("Directory allready exsist or disk isn't writeable.\nContinue with installation anyway", question.text);
        setup.Answer(question, "Yes", "install over it");
        HWND shortcuts = WaitShortcutPage(setup);
        EXPECT_EQ(GraphicsShortcuts(), setup.ControlText(shortcuts, 101)) << "the installed shortcut folder is proposed";
        setup.Shot("shortcuts-propose-the-installed-folder");
        setup.Click(setup.Button(shortcuts, "Finish", "finish"), "press Finish");
        ExpectSuccessMessage(setup);
        CloseShortcutFolderWindow(setup);
    }
    ExpectInstalled(host, custom, GraphicsShortcuts(), next, {picture});
    EXPECT_EQ("1.1.0.0", FileVersion(std::string(custom) + "\\" + installed::program));
    EXPECT_FALSE(FolderExists(defaultDestination)) << "no second installation";
    EXPECT_FALSE(FolderExists(DefaultShortcutFolder())) << "no second shortcut folder";

    std::map<std::string, std::string> upgraded = MachineAsItIs(host, custom);
    ExpectDowngradeRefusedWithPages(first, next.version);
    EXPECT_EQ(upgraded, MachineAsItIs(host, custom)) << "the refused downgrade with pages changed nothing";
    EXPECT_EQ((DWORD)ExitDowngrade, RunSilently("/S", first.setup)) << "the silent downgrade";
    EXPECT_EQ(upgraded, MachineAsItIs(host, custom)) << "the refused silent downgrade changed nothing";
    EXPECT_FALSE(FolderExists(defaultDestination));

    EXPECT_EQ((DWORD)ExitInstalled, RunSilently("/S /DOWNGRADE", first.setup)) << "the downgrade the admin means";
    ExpectInstalled(host, custom, GraphicsShortcuts(), first, {picture});
    EXPECT_EQ("1.0.0.0", FileVersion(std::string(custom) + "\\" + installed::program));
    EXPECT_FALSE(FolderExists(defaultDestination));

    // Another folder typed on the page moves the installation: the closing
    // message names the folder where the user's picture stays.
    {
        Installer setup("", "", next.setup);
        HWND destination = ReachDestinationPage(setup);
        setup.TypeInto(destination, 101, moved, "type another folder");
        setup.Click(setup.Button(destination, "Next", "next"), "press Next");
        HWND shortcuts = WaitShortcutPage(setup);
        setup.Click(setup.Button(shortcuts, "Finish", "finish"), "press Finish");
        // The success message, and the folder of the user's files in it or
        // in a message of its own right after it.
        const std::string pictures = std::string(custom) + "\\" + installed::picturesFolder;
        MessageBoxInfo success = setup.WaitMessageBox(caption, "the success message");
        EXPECT_EQ(0u, success.text.find("Pictavo was successfully installed")) << success.text;
        std::string told = success.text;
        setup.Answer(success, "OK", "close the success message");
        if (told.find(pictures) == std::string::npos) {
            MessageBoxInfo closing = setup.WaitMessageBox(caption, "the message on the user's files");
            setup.Shot("users-files");
            told = closing.text;
            setup.Answer(closing, "OK", "close the message on the user's files");
        }
        EXPECT_NE(std::string::npos, told.find(pictures)) << told;
        EXPECT_EQ((DWORD)ExitInstalled, setup.WaitExit("Setup ends after the move"));
        CloseShortcutFolderWindow(setup);
    }
    ExpectInstalled(host, moved, GraphicsShortcuts(), next);
    for (const char* file : installed::files)
        EXPECT_FALSE(FileExists(std::string(custom) + "\\" + file)) << file << " of the old folder stays";
    EXPECT_EQ("the user's " + std::string(picture),
              ReadAll(std::string(custom) + "\\" + installed::picturesFolder + "\\" + picture));
    StartFromNothing(host);
}

// Silently, as a package manager upgrades: 1.1.0 without /D= goes where
// 1.0.0 is; the same version again repairs what was damaged; an explicit
// /D= and /G= then move the installation, and the old product files and
// shortcut folder go while the user's picture stays, named in the log.
TEST(Upgrade, SilentlyWhereItIsThenARepairThenAMoveKeepOneInstallationAndTheUsersPicture)
{
    HostCommands host;
    StartFromNothing(host);
    const Release first = ThisRelease(), next = NextRelease();
    ASSERT_EQ((DWORD)ExitInstalled, RunSilently(std::string("/S /D=") + custom, first.setup));
    ASSERT_TRUE(WriteUsersPicture(custom, picture));

    EXPECT_EQ((DWORD)ExitInstalled, RunSilently("/S", next.setup)) << "the upgrade";
    ExpectInstalled(host, custom, DefaultShortcutFolder(), next, {picture});
    EXPECT_EQ("1.1.0.0", FileVersion(std::string(custom) + "\\" + installed::program));
    EXPECT_FALSE(FolderExists(defaultDestination)) << "no second installation";

    // A file gone and one overwritten, as a user's clean-up or a disk fault
    // would leave them.
    ASSERT_TRUE(DeleteFileA((std::string(custom) + "\\" + installed::readme).c_str()));
    ASSERT_TRUE(WriteAll(std::string(custom) + "\\" + installed::program, "damaged"));
    EXPECT_EQ((DWORD)ExitInstalled, RunSilently("/S", next.setup)) << "the repair";
    ExpectInstalled(host, custom, DefaultShortcutFolder(), next, {picture});

    const std::string log = std::string(apps) + "\\move.log";
    EXPECT_EQ((DWORD)ExitInstalled,
              RunSilently("/S \"/LOG=" + log + "\" /G=Graphics /D=" + moved, next.setup)) << "the move";
    ExpectInstalled(host, moved, GraphicsShortcuts(), next);
    for (const char* file : installed::files)
        EXPECT_FALSE(FileExists(std::string(custom) + "\\" + file)) << file << " of the old folder stays";
    EXPECT_FALSE(FolderExists(DefaultShortcutFolder())) << "the old shortcut folder stays";
    std::string pictures = std::string(custom) + "\\" + installed::picturesFolder;
    EXPECT_EQ("the user's " + std::string(picture), ReadAll(pictures + "\\" + picture));
    std::string said = ReadAll(log);
    EXPECT_NE(std::string::npos, said.find(pictures)) << "the log names the folder of the user's files:\n" << said;
    StartFromNothing(host);
}

// An entry whose folder lacks the uninstaller, then one whose folder others
// may change: neither is an installation to upgrade. With pages a box names
// the folder and says it will no longer be registered, and the default
// folder is proposed; silently the log says so and the default folder gets
// the installation. The files in the untrusted folder are left alone.
TEST(Upgrade, AnEntryThatFailsTheRulesIsToldAndTheDefaultFolderTakesItsPlace)
{
    HostCommands host;
    StartFromNothing(host);
    const Release first = ThisRelease(), next = NextRelease();
    ASSERT_EQ((DWORD)ExitInstalled, RunSilently(std::string("/S /D=") + custom, first.setup));
    const std::string uninstaller = std::string(custom) + "\\" + installed::uninstaller;
    ASSERT_TRUE(DeleteFileA(uninstaller.c_str()));

    {
        Installer setup("", "", next.setup);
        MessageBoxInfo box = setup.WaitMessageBox(caption, "the box on the entry");
        setup.Shot("entry-not-trusted");
        EXPECT_NE(std::string::npos, box.text.find(custom)) << box.text;
        EXPECT_NE(std::string::npos, box.text.find("no longer be registered")) << box.text;
        setup.Answer(box, "OK", "close the box");
        HWND destination = ReachDestinationPage(setup);
        EXPECT_EQ(defaultDestination, setup.ControlText(destination, 101)) << "the default folder is proposed";
        CancelSetup(setup, destination);
    }

    ASSERT_TRUE(CopyFileA(OriginalOf(first, installed::uninstaller).c_str(), uninstaller.c_str(), FALSE));
    host.RunHost("chmod o+w " + HostPath(custom), "let others change the installed folder");
    const std::string log = std::string(apps) + "\\entry.log";
    EXPECT_EQ((DWORD)ExitInstalled, RunSilently("/S \"/LOG=" + log + "\"", next.setup));
    std::string said = ReadAll(log);
    EXPECT_NE(std::string::npos, said.find(custom)) << said;
    EXPECT_NE(std::string::npos, said.find("no longer be registered")) << said;
    ExpectInstalled(host, defaultDestination, DefaultShortcutFolder(), next);
    for (const char* file : installed::files)
        EXPECT_TRUE(ReadAll(OriginalOf(first, file)) == ReadAll(std::string(custom) + "\\" + file))
            << file << " in the folder that is no installation changed";
    StartFromNothing(host);
}
