// The Shortcut page and the whole run from the agreement to the success
// message, in the default prefix (NT family) and in one set to a 9x
// version (the 64-bit prefix's run is UninstallWin64's).
#include "flows.h"
#include "installation.h"
#include "page_checks.h"
#include <gtest/gtest.h>

using namespace e2e;

namespace {

// The whole run with Finish, then what it left on the machine. The
// registry entries follow the version that the prefix reports.
void InstallAndCheck(const std::string& programs)
{
    RemoveDefaultInstallation();
    std::string folder = programs + "\\Pictavo";
    RemoveTree(folder);
    Installer setup;
    RemoveRegistration();
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
    ExpectSuccessMessage(setup);
    CloseShortcutFolderWindow(setup);

    EXPECT_FALSE(FolderExists("C:\\Elsewhere"));
    ExpectInstalled(setup, defaultDestination, folder);

    // The installed program starts from its shortcut. The shell's window on
    // the shortcut folder bears the same title, so the process decides.
    std::string link = folder + "\\" + installed::links[0].file;
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
    ASSERT_TRUE(installed::NtFamily()) << "a new prefix reports the NT family";
    InstallAndCheck(installed::ntPrograms);
}

TEST(ShortcutPageWin98, ShortcutsGoToTheStartMenuOfTheWindowsFolder)
{
#ifdef _WIN64
    // Wine reports no 9x version to a 64-bit program. The prefix still has
    // the Windows folder's Start menu, which the NT family never shows: the
    // shortcuts go to the shell's.
    ASSERT_TRUE(installed::NtFamily());
    InstallAndCheck(installed::ntPrograms);
    EXPECT_FALSE(FolderExists(std::string(installed::nineXPrograms) + "\\Pictavo"));
#else
    ASSERT_FALSE(installed::NtFamily()) << "the prefix reports the 9x family";
    InstallAndCheck(installed::nineXPrograms);
#endif
}

// A folder named like the 9x Start menu in the Windows folder of an NT
// system (left by an old program, or made to catch the shortcuts) is not
// where the NT family's Start menu is.
TEST(StrayStartMenu, NTShortcutsGoToTheShellsStartMenu)
{
    ASSERT_TRUE(installed::NtFamily()) << "a new prefix reports the NT family";
    ASSERT_TRUE(FolderExists(installed::nineXPrograms)) << "arranged for this suite";
    InstallAndCheck(installed::ntPrograms);
    EXPECT_FALSE(FolderExists(std::string(installed::nineXPrograms) + "\\Pictavo"));
}

TEST(ShortcutPage, CancelStillSucceedsWithoutShortcutsOrRegistration)
{
    RemoveDefaultInstallation();
    std::string folder = std::string(installed::ntPrograms) + "\\Pictavo";
    RemoveTree(folder);
    Installer setup;
    RemoveRegistration();
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
    for (const std::string& key : UninstallKeys())
        EXPECT_FALSE(RegistryKeyExists(setup, key)) << key;
    EXPECT_FALSE(RegistryKeyExists(setup, installed::appPaths));
    EXPECT_TRUE(FileExists(std::string(defaultDestination) + "\\" + installed::files[0])) << "the product stays installed";
}
