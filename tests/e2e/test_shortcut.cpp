// The Shortcut page and the whole run from the agreement to the success
// message, in the default prefix (NT family), in one set to a 9x version,
// and in a 64-bit prefix.
#include "flows.h"
#include "installation.h"
#include "page_checks.h"
#include <gtest/gtest.h>

using namespace e2e;

namespace {

const char nineXPrograms[] = "C:\\windows\\Start Menu\\Programs";
const char windowsBase[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char ntBase[] = "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char appPaths[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Pictavo";

struct ShortcutRow {
    const char* file;
    const char* target;
    const char* description;
} const shortcutRows[] = {
    {"Pictavo.lnk", "pictavo.exe", "Pictavo"},
    {"Uninstall.lnk", "uninstall.exe", "Uninstall"},
    {"Readme.lnk", "Readme.wri", "Readme"},
};

// Reads "Name : value" lines, as lnkinfo prints them.
std::string Field(const std::string& report, const std::string& name)
{
    size_t at = report.find("\t" + name);
    if (at == std::string::npos)
        return "<no " + name + ">";
    size_t colon = report.find(": ", at);
    size_t end = report.find('\n', colon);
    return report.substr(colon + 2, end - colon - 2);
}

// The value as `wine reg query` prints it.
std::string RegistryValue(Installer& setup, const std::string& key, const char* name)
{
    std::string command = "\"$PICTAVO_WINE\" reg query '" + key + "' " + (*name ? "/v " + std::string(name) : "/ve");
    std::string output = setup.RunHost(command, std::string("reg query ") + name);
    size_t type = output.find("REG_SZ");
    if (type == std::string::npos)
        return "<none>";
    size_t start = output.find_first_not_of(' ', type + 6);
    size_t end = output.find_first_of("\r\n", start);
    return output.substr(start, end - start);
}

// The shortcut files, parsed by lnkinfo on the host.
void ExpectShortcuts(Installer& setup, const std::string& folder)
{
    for (const ShortcutRow& row : shortcutRows) {
        std::string link = folder + "\\" + row.file;
        ASSERT_TRUE(FileExists(link)) << link;
        std::string copy = EnvOr("PICTAVO_SHOTS", "/tmp") + "/" + row.file;
        CopyFileA(link.c_str(), WindowsPath(copy).c_str(), FALSE);
        std::string report = setup.RunHost("lnkinfo '" + copy + "'", std::string("lnkinfo ") + row.file);
        EXPECT_EQ(std::string(defaultDestination) + "\\" + row.target, Field(report, "Local path")) << row.file;
        EXPECT_EQ(row.description, Field(report, "Description")) << row.file;
        DeleteFileA(WindowsPath(copy).c_str());
    }
}

void ExpectUninstallEntry(Installer& setup, const std::string& key, const std::string& shortcutFolder)
{
    EXPECT_EQ("Pictavo", RegistryValue(setup, key, "DisplayName"));
    EXPECT_EQ("\"" + std::string(defaultDestination) + "\\uninstall.exe\"", RegistryValue(setup, key, "UninstallString"));
    EXPECT_EQ(shortcutFolder, RegistryValue(setup, key, "Scdir"));
    EXPECT_EQ(defaultDestination, RegistryValue(setup, key, "Progdir"));
}

// From the agreement to the Shortcut page with the default choices.
HWND ReachShortcutPage(Installer& setup)
{
    HWND destination = ReachDestinationPage(setup);
    setup.Click(setup.Button(destination, "Next", "next"), "press Next");
    return WaitShortcutPage(setup);
}

// The whole run with Finish, then what it left on the machine. The
// registry entries follow the version that the prefix reports, which this
// test program sees as the installer does.
void InstallAndCheck(const std::string& programs)
{
    DWORD version = GetVersion();
    bool ntFamily = (version & 0x80000000u) == 0;
    std::string uninstallBase = !ntFamily && (version & 0xFF) >= 4 ? windowsBase : ntBase;
    RemoveDefaultInstallation();
    std::string folder = programs + "\\Pictavo";
    RemoveTree(folder);
    Installer setup;
    RemoveRegistration(setup);
    HWND page = ReachShortcutPage(setup);
    HWND box = setup.Control(page, 101, "shortcut folder box");
    EXPECT_EQ(folder, Text(box)) << "the page proposes the folder as it opens";

    Screen screen;
    setup.Shot("shortcut-page", &screen);
    ExpectLogoAtTopLeft(page, screen);
    ExpectGreenOnDarkBlue(box, screen, "shortcut folder box");
    ExpectGreenOnDarkBlue(FindWindowExA(page, NULL, "Static", "Create shortcuts in"), screen, "label");

    // Typing has no effect: Finish uses the proposed folder. Enter in the
    // box acts as Finish.
    setup.TypeInto(page, 101, "C:\\Elsewhere", "type another folder");
    setup.Key(box, "Return", "Enter in the box");
    MessageBoxInfo success = setup.WaitMessageBox("Pictavo - Setup", "success message");
    EXPECT_EQ("Pictavo was successfully installed", success.text);
    setup.Answer(success, "OK", "close the success message");
    EXPECT_EQ(0u, setup.WaitExit("installer ends"));
    CloseShortcutFolderWindow(setup);

    EXPECT_FALSE(FolderExists("C:\\Elsewhere"));
    ExpectShortcuts(setup, folder);
    ExpectUninstallEntry(setup, uninstallBase + "\\Uninstall\\Pictavo", folder);
    std::string other = (uninstallBase == windowsBase ? std::string(ntBase) : std::string(windowsBase)) + "\\Uninstall\\Pictavo";
    if (ntFamily)
        ExpectUninstallEntry(setup, other, folder);
    else
        EXPECT_FALSE(RegistryKeyExists(setup, other));
    EXPECT_EQ(std::string(defaultDestination) + "\\Pictavo", RegistryValue(setup, appPaths, ""));
    EXPECT_EQ(defaultDestination, RegistryValue(setup, appPaths, "Path"));

    // The installed program starts from its shortcut. The shell's window on
    // the shortcut folder bears the same title, so the process decides.
    std::string link = folder + "\\Pictavo.lnk";
    ShellExecuteA(NULL, "open", link.c_str(), NULL, NULL, SW_SHOWNORMAL);
    HWND program = setup.WaitForeignWindow(
        [](HWND w) {
            char name[64] = "";
            GetClassNameA(w, name, sizeof name);
            return Text(w) == "Pictavo" && std::string(name) == "PictavoMain";
        },
        "pictavo.exe starts from its shortcut");
    setup.Shot("pictavo-started");
    PostMessageA(program, WM_CLOSE, 0, 0);
}

} // namespace

TEST(ShortcutPage, FinishRegistersMakesThreeShortcutsAndOpensTheirFolder)
{
    ASSERT_EQ(0u, GetVersion() & 0x80000000u) << "a new prefix reports the NT family";
    InstallAndCheck(ntProgramsFolder);
}

TEST(ShortcutPageWin98, ShortcutsGoToTheStartMenuOfTheWindowsFolder)
{
#ifdef _WIN64
    // Wine reports no 9x version to a 64-bit program. The prefix still has
    // the Windows folder's Start menu, which the NT family never shows: the
    // shortcuts go to the shell's.
    ASSERT_EQ(0u, GetVersion() & 0x80000000u);
    InstallAndCheck(ntProgramsFolder);
    EXPECT_FALSE(FolderExists(std::string(nineXPrograms) + "\\Pictavo"));
#else
    ASSERT_NE(0u, GetVersion() & 0x80000000u) << "the prefix reports the 9x family";
    InstallAndCheck(nineXPrograms);
#endif
}

// A folder named like the 9x Start menu in the Windows folder of an NT
// system (left by an old program, or made to catch the shortcuts) is not
// where the NT family's Start menu is.
TEST(StrayStartMenu, NTShortcutsGoToTheShellsStartMenu)
{
    ASSERT_EQ(0u, GetVersion() & 0x80000000u) << "a new prefix reports the NT family";
    ASSERT_TRUE(FolderExists(nineXPrograms)) << "arranged for this suite";
    InstallAndCheck(ntProgramsFolder);
    EXPECT_FALSE(FolderExists(std::string(nineXPrograms) + "\\Pictavo"));
}

TEST(ShortcutPage, CancelStillSucceedsWithoutShortcutsOrRegistration)
{
    RemoveDefaultInstallation();
    std::string folder = std::string(ntProgramsFolder) + "\\Pictavo";
    RemoveTree(folder);
    Installer setup;
    RemoveRegistration(setup);
    HWND page = ReachShortcutPage(setup);
    setup.Key(page, "Escape", "Escape on the page");
    MessageBoxInfo question = setup.WaitMessageBox("Confirmation", "cancel question");
    EXPECT_EQ("Cancel creating the shortcuts?", question.text);
    EXPECT_EQ((std::vector<std::string>{"&Yes", "&No"}), question.buttons);
    setup.Shot("cancel-shortcuts");
    setup.Answer(question, "No", "keep the page");
    EXPECT_EQ(folder, setup.ControlText(page, 101));
    setup.Click(setup.Button(page, "Cancel", "cancel"), "press Cancel");
    setup.Answer(setup.WaitMessageBox("Confirmation", "asked again"), "Yes", "cancel the shortcuts");
    ExpectSuccessMessage(setup);
    EXPECT_FALSE(FolderExists(folder));
    EXPECT_FALSE(RegistryKeyExists(setup, std::string(ntBase) + "\\Uninstall\\Pictavo"));
    EXPECT_FALSE(RegistryKeyExists(setup, appPaths));
    EXPECT_TRUE(FileExists(std::string(defaultDestination) + "\\pictavo.exe")) << "the product stays installed";
}

TEST(ShortcutPageWin64, ThirtyTwoBitKeysLandInTheThirtyTwoBitView)
{
#ifdef _WIN64
    GTEST_SKIP() << "this build of the installer is 64-bit: the host cannot run 32-bit code";
#else
    RemoveDefaultInstallation();
    Installer setup;
    RemoveRegistration(setup);
    HWND page = ReachShortcutPage(setup);
    setup.Click(setup.Button(page, "Finish", "finish"), "press Finish");
    ExpectSuccessMessage(setup);
    CloseShortcutFolderWindow(setup);
    std::string output = setup.RunHost("\"$PICTAVO_WINE\" reg query 'HKLM\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows "
                                       "NT\\CurrentVersion\\Uninstall\\Pictavo' /v DisplayName",
                                       "the 32-bit view");
    EXPECT_NE(std::string::npos, output.find("Pictavo"));
#endif
}
