// What a second run reads from the installation that is there, and what it
// makes of it: the version, the choice between upgrade, repair and
// downgrade, and the folders it proposes.
#include "plan/destination.h"
#include "plan/previous_installation.h"
#include "plan/shortcut_folder.h"
#include "installed/folder_trust.h"
#include "installed_names.h"
#include "test_files.h"
#include <gtest/gtest.h>
#include <string.h>
#include <string>

namespace {

const char testKey[] = "Software\\Pictavo Test\\Version entry";

PreviousInstallation Found(const char* folder, const char* shortcuts, VersionState state, ProductVersion version)
{
    PreviousInstallation previous;
    previous.entry = ValueRead;
    previous.verdict = InstallationUsable;
    strcpy(previous.at.programDir, folder);
    strcpy(previous.at.shortcutDir, shortcuts);
    previous.at.versionState = state;
    previous.at.version = version;
    return previous;
}

} // namespace

TEST(SetupVersionText, ThreeNumbersWithinBoundsAreReadAndAnythingElseRefused)
{
    const struct {
        const char* text;
        bool read;
        ProductVersion version;
    } cases[] = {
        {"1.0.0", true, {1, 0, 0}},
        {"65535.65535.65535", true, {65535, 65535, 65535}},
        {"2.10.003", true, {2, 10, 3}},
        {"65536.0.0", false, {}},
        {"1.65536.0", false, {}},
        {"000001.0.0", false, {}},
        {"1.0", false, {}},
        {"1.0.0.0", false, {}},
        {"1.0.0 ", false, {}},
        {" 1.0.0", false, {}},
        {"1..0", false, {}},
        {"-1.0.0", false, {}},
        {"1.0.0x", false, {}},
        {"", false, {}},
    };
    for (const auto& c : cases) {
        ProductVersion version = {7, 7, 7};
        EXPECT_EQ(c.read, ParseVersion(c.text, version)) << c.text;
        EXPECT_EQ(c.version.major, version.major) << c.text;
        EXPECT_EQ(c.version.minor, version.minor) << c.text;
        EXPECT_EQ(c.version.patch, version.patch) << c.text;
    }
}

// Each number counts in its turn, the first most; an installation that
// fails the rules is none, and one without a readable version is older.
TEST(SecondRunChoice, NewerUpgradesTheSameRepairsOlderIsADowngradeAndNoVersionCountsAsOlder)
{
    const ProductVersion ours = {1, 2, 3};
    const struct {
        ProductVersion installed;
        SecondRun run;
    } cases[] = {
        {{1, 2, 2}, Upgrade},   {{1, 1, 9}, Upgrade},   {{0, 65535, 65535}, Upgrade},
        {{1, 2, 3}, Repair},    {{1, 2, 4}, Downgrade}, {{1, 3, 0}, Downgrade},
        {{2, 0, 0}, Downgrade},
    };
    for (const auto& c : cases) {
        PreviousInstallation previous = Found("C:\\Apps\\Pictavo", "", VersionRead, c.installed);
        EXPECT_EQ(c.run, ChooseSecondRun(previous, ours))
            << c.installed.major << "." << c.installed.minor << "." << c.installed.patch;
    }
    for (VersionState unreadable : {VersionMissing, VersionMalformed}) {
        PreviousInstallation previous = Found("C:\\Apps\\Pictavo", "", unreadable, {9, 9, 9});
        EXPECT_EQ(Upgrade, ChooseSecondRun(previous, ours)) << unreadable;
    }
    PreviousInstallation refused = Found("C:\\Apps\\Pictavo", "", VersionRead, {9, 9, 9});
    refused.verdict = InstallationUntrusted;
    EXPECT_EQ(FirstInstall, ChooseSecondRun(refused, ours));
    EXPECT_EQ(FirstInstall, ChooseSecondRun(PreviousInstallation(), ours));
}

// DisplayVersion as anybody may have written it: only a REG_SZ of three
// numbers counts, and nothing is read past the buffer.
TEST(SetupVersionText, TheEntrysDisplayVersionIsReadWithinBounds)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, testKey);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_CURRENT_USER, testKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL));
    ProductVersion version;
    EXPECT_EQ(VersionMissing, ReadVersionValue(key, version));
    const std::string longText = "1.0.0" + std::string(4000, '0');
    const struct {
        DWORD type;
        std::string data;
        VersionState state;
    } cases[] = {
        {REG_SZ, std::string("1.1.0", 6), VersionRead},
        {REG_SZ, std::string("1.1.0", 5), VersionRead},  // without its terminator
        {REG_EXPAND_SZ, std::string("1.1.0", 6), VersionMalformed},
        {REG_DWORD, std::string("\1\0\0\0", 4), VersionMalformed},
        {REG_SZ, std::string("1.1", 4), VersionMalformed},
        {REG_SZ, longText, VersionMalformed},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "DisplayVersion", 0, c.type, (const BYTE*)c.data.data(),
                                                (DWORD)c.data.size()));
        EXPECT_EQ(c.state, ReadVersionValue(key, version)) << c.data.substr(0, 12);
        if (c.state == VersionRead)
            EXPECT_EQ(1u, version.minor);
    }
    RegCloseKey(key);
    RegDeleteTreeA(HKEY_CURRENT_USER, testKey);
}

// The pages and a silent run propose where the installation is; one that
// fails the rules leaves the default, and /G= still names the shortcut
// folder.
TEST(SecondRunProposal, TheInstalledFoldersAreProposedUnlessTheyFailTheRulesOrTheLineNamesOthers)
{
    SetupPlan defaults;
    defaults.facts.windowsVersion = GetVersion();
    ProposeDestination(defaults);
    ProposeShortcutFolder(defaults);

    SetupPlan plan;
    plan.facts.windowsVersion = GetVersion();
    plan.facts.previous = Found("C:\\Apps\\Pictavo Two", "C:\\Menu\\Tools\\Pictavo", VersionRead, {1, 0, 0});
    ProposeDestination(plan);
    ProposeShortcutFolder(plan);
    EXPECT_STREQ("C:\\Apps\\Pictavo Two", plan.choices.destDir);
    EXPECT_STREQ("C:\\Apps", plan.choices.baseDir);
    EXPECT_STREQ("Pictavo Two", plan.choices.productFolder);
    EXPECT_STREQ("C:\\Menu\\Tools", plan.choices.programsDir);
    EXPECT_STREQ("C:\\Menu\\Tools\\Pictavo", plan.choices.shortcutDir);
    EXPECT_EQ((int)strlen("C:\\Menu\\Tools"), plan.choices.programsLimit)
        << "the browser climbs no higher than a folder outside the Start menu";

    // Below the default programs folder, the browser keeps its reach.
    SetupPlan below;
    below.facts.windowsVersion = GetVersion();
    std::string inside = std::string(defaults.choices.programsDir) + "\\Graphics\\Pictavo";
    below.facts.previous = Found("C:\\Pictavo", inside.c_str(), VersionRead, {1, 0, 0});
    ProposeDestination(below);
    ProposeShortcutFolder(below);
    EXPECT_STREQ("C:\\Pictavo", below.choices.destDir);
    EXPECT_EQ(inside, below.choices.shortcutDir);
    EXPECT_EQ(defaults.choices.programsLimit, below.choices.programsLimit);

    SetupPlan refused;
    refused.facts.windowsVersion = GetVersion();
    refused.facts.previous = plan.facts.previous;
    refused.facts.previous.verdict = InstallationIncomplete;
    ProposeDestination(refused);
    ProposeShortcutFolder(refused);
    EXPECT_STREQ(defaults.choices.destDir, refused.choices.destDir);
    EXPECT_STREQ(defaults.choices.shortcutDir, refused.choices.shortcutDir);

    // A shortcut folder not named after the product is none Setup made.
    SetupPlan strange;
    strange.facts.windowsVersion = GetVersion();
    strange.facts.previous = Found("C:\\Apps\\Pictavo", "C:\\Menu\\Tools", VersionRead, {1, 0, 0});
    ProposeShortcutFolder(strange);
    EXPECT_STREQ(defaults.choices.shortcutDir, strange.choices.shortcutDir);

    SetupPlan given;
    given.facts.windowsVersion = GetVersion();
    given.facts.previous = plan.facts.previous;
    strcpy(given.arguments.startMenuFolder, "Graphics");
    ProposeShortcutFolder(given);
    EXPECT_EQ(std::string(defaults.choices.programsDir) + "\\Graphics\\Pictavo", given.choices.shortcutDir);
}

// An entry is judged by the uninstaller's rules: both programs there, and
// a folder that only the administrators can change.
TEST(SecondRunJudgement, AnInstallationCountsOnlyWithBothProgramsInAFolderOfTheAdministrators)
{
    const std::string folder = "C:\\judge-test";
    RemoveTree(folder);
    AdminFolderSecurity security;
    MakeAdminFolderSecurity(security);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), &security.attributes));
    FreeAdminFolderSecurity(security);
    Installation at = {};
    strcpy(at.programDir, folder.c_str());
    EXPECT_EQ(InstallationValuesRefused, JudgeInstallation(ValueRefused, at));
    EXPECT_EQ(InstallationIncomplete, JudgeInstallation(ValueRead, at));
    ASSERT_TRUE(WriteAll(folder + "\\pictavo.exe", "x"));
    EXPECT_EQ(InstallationIncomplete, JudgeInstallation(ValueRead, at)) << "uninstall.exe is missing";
    ASSERT_TRUE(WriteAll(folder + "\\uninstall.exe", "x"));
    EXPECT_EQ(InstallationUsable, JudgeInstallation(ValueRead, at));
    RemoveTree(folder);
}

TEST(SecondRunJudgement, TheSameFolderIsFoundWhateverItsSpelling)
{
    const std::string folder = "C:\\Same Folder Test";
    RemoveTree(folder);
    RemoveTree("C:\\Other Folder Test");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA("C:\\Other Folder Test", NULL));
    char shortName[MAX_PATH];
    ASSERT_NE(0u, GetShortPathNameA(folder.c_str(), shortName, MAX_PATH));
    EXPECT_TRUE(SameFolder(folder.c_str(), "c:\\same folder test"));
    EXPECT_TRUE(SameFolder(folder.c_str(), shortName)) << shortName;
    EXPECT_FALSE(SameFolder(folder.c_str(), "C:\\Other Folder Test"));
    EXPECT_FALSE(SameFolder(folder.c_str(), "C:\\Missing Folder Test"));
    RemoveTree(folder);
    RemoveTree("C:\\Other Folder Test");
}
