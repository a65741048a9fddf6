#include "install/registration.h"
#include "pages/shortcut_page.h"
#include "box_answerer.h"
#include "test_files.h"
#include <gtest/gtest.h>
#include <string.h>
#include <string>

namespace {

const char windowsBase[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char ntBase[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char appPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Pictavo";

std::string Key(const char* base, const char* rest)
{
    return std::string(base) + "\\" + rest;
}

// A value as stored: its type, its size in bytes and its text.
struct Stored {
    DWORD type = 0;
    DWORD size = 0;
    std::string text;
    bool found = false;
};

Stored Read(const std::string& path, const char* name)
{
    Stored value;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    char data[1024] = "";
    value.size = sizeof data;
    value.found = RegQueryValueExA(key, name, NULL, &value.type, (BYTE*)data, &value.size) == ERROR_SUCCESS;
    value.text = data;
    RegCloseKey(key);
    return value;
}

void ExpectText(const std::string& path, const char* name, const std::string& text)
{
    Stored value = Read(path, name);
    ASSERT_TRUE(value.found) << path << " " << name;
    EXPECT_EQ((DWORD)REG_SZ, value.type) << name;
    EXPECT_EQ(text, value.text) << name;
    EXPECT_EQ(text.size() + 1, value.size) << name << ": the terminating zero is stored";
}

void ExpectUninstallEntry(const std::string& path)
{
    ExpectText(path, "DisplayName", "Pictavo");
    ExpectText(path, "UninstallString", "\"C:\\Apps\\Pictavo\\uninstall.exe\"");
    ExpectText(path, "Scdir", "C:\\windows\\Start Menu\\Programs\\Pictavo");
    ExpectText(path, "Progdir", "C:\\Apps\\Pictavo");
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* base : {windowsBase, ntBase})
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, Key(base, "Uninstall\\Pictavo").c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, appPathsKey);
        strcpy(plan.destDir, "C:\\Apps\\Pictavo");
        strcpy(plan.shortcutDir, "C:\\windows\\Start Menu\\Programs\\Pictavo");
    }

    const char* RegisterProduct(DWORD version)
    {
        plan.windowsVersion = version;
        return ::RegisterProduct(plan, paths);
    }
    bool RegisterFromPage(HWND page, DWORD version)
    {
        plan.windowsVersion = version;
        return ::RegisterFromPage(page, plan, paths);
    }

    SetupPlan plan;
    RegistryPaths paths = productKeys;
};

} // namespace

TEST_F(Registration, NineteenNinetyFiveFamilyVersionFourWritesUnderWindows)
{
    DWORD version = 0xC0000A04; // bit 31 set, major version 4
    EXPECT_EQ(nullptr, RegisterProduct(version));
    ExpectUninstallEntry(Key(windowsBase, "Uninstall\\Pictavo"));
    EXPECT_FALSE(KeyExists(Key(ntBase, "Uninstall\\Pictavo")));
    ExpectText(appPathsKey, "", "C:\\Apps\\Pictavo\\Pictavo");
    ExpectText(appPathsKey, "Path", "C:\\Apps\\Pictavo");
    EXPECT_STREQ("C:\\Apps\\Pictavo\\uninstall.exe", plan.uninstallPath);
    EXPECT_EQ(8u, Read(Key(windowsBase, "Uninstall\\Pictavo"), "DisplayName").size);
}

TEST_F(Registration, NineteenNinetyFiveFamilyVersionThreeWritesUnderWindowsNT)
{
    DWORD version = 0x80000003;
    EXPECT_EQ(nullptr, RegisterProduct(version));
    ExpectUninstallEntry(Key(ntBase, "Uninstall\\Pictavo"));
    EXPECT_FALSE(KeyExists(Key(windowsBase, "Uninstall\\Pictavo"))) << "only the NT family gets the second entry";
    ExpectText(appPathsKey, "", "C:\\Apps\\Pictavo\\Pictavo");
}

TEST_F(Registration, NTFamilyWritesBothUninstallEntries)
{
    DWORD version = 0x23F00206; // bit 31 clear
    EXPECT_EQ(nullptr, RegisterProduct(version));
    ExpectUninstallEntry(Key(ntBase, "Uninstall\\Pictavo"));
    ExpectUninstallEntry(Key(windowsBase, "Uninstall\\Pictavo"));
    ExpectText(appPathsKey, "", "C:\\Apps\\Pictavo\\Pictavo");
    ExpectText(appPathsKey, "Path", "C:\\Apps\\Pictavo");
}

TEST_F(Registration, ASecondRunOverwritesWithoutDuplicating)
{
    DWORD version = 0x23F00206;
    EXPECT_EQ(nullptr, RegisterProduct(version));
    strcpy(plan.destDir, "D:\\Other\\Pictavo");
    EXPECT_EQ(nullptr, RegisterProduct(version));
    std::string entry = Key(ntBase, "Uninstall\\Pictavo");
    ExpectText(entry, "Progdir", "D:\\Other\\Pictavo");
    ExpectText(entry, "UninstallString", "\"D:\\Other\\Pictavo\\uninstall.exe\"");
    HKEY uninstall;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, Key(ntBase, "Uninstall").c_str(), 0, KEY_READ, &uninstall));
    int named = 0;
    char name[256];
    for (DWORD i = 0; RegEnumKeyA(uninstall, i, name, sizeof name) == ERROR_SUCCESS; ++i)
        named += _stricmp(name, "Pictavo") == 0;
    RegCloseKey(uninstall);
    EXPECT_EQ(1, named);
    DWORD values = 0;
    HKEY key;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, entry.c_str(), 0, KEY_READ, &key);
    RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    EXPECT_EQ(12u, values) << "four values for the uninstaller, eight for the system's list and deployment tools";
}

TEST_F(Registration, ABaseKeyThatCannotBeOpenedIsReportedAndNothingIsWritten)
{
    paths.baseNT = "SOFTWARE\\Pictavo Test\\No Such Key";
    DWORD version = 0x23F00206;
    // The page that runs the registration owns the box, so that it stays
    // disabled, and its Finish unclickable, while the box is up.
    HWND page = CreateWindowExA(0, "STATIC", "page", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    BoxAnswerer answerer;
    // Alone, the registration tells only its caller: a silent run stays silent.
    EXPECT_STREQ("SOFTWARE\\Pictavo Test\\No Such Key", RegisterProduct(version));
    EXPECT_TRUE(answerer.Boxes().empty());
    EXPECT_FALSE(RegisterFromPage(page, version));
    std::vector<BoxAnswerer::Box> boxes = answerer.Boxes();
    DestroyWindow(page);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(page, boxes[0].owner);
    EXPECT_EQ("Couldn't create key in registry\nSOFTWARE\\Pictavo Test\\No Such Key", boxes[0].text);
    EXPECT_EQ("Error", boxes[0].caption) << "the platform's default caption";
    EXPECT_FALSE(KeyExists(appPathsKey));
    EXPECT_FALSE(KeyExists(Key(windowsBase, "Uninstall\\Pictavo")));
    EXPECT_STREQ("", plan.uninstallPath);
}

TEST_F(Registration, ADestinationTooLongToRecordWholeWritesNothing)
{
    // Quoted, the uninstaller's path no longer fits: a cut command line
    // would name a program that is not there.
    strcpy(plan.destDir, ("C:\\" + std::string(494, 'p')).c_str());
    EXPECT_STREQ(ChooseBaseKey(0x23F00206), RegisterProduct(0x23F00206));
    EXPECT_FALSE(KeyExists(Key(ntBase, "Uninstall\\Pictavo")));
    EXPECT_FALSE(KeyExists(appPathsKey));
}

TEST(RegistrationBase, FollowsTheVersionValue)
{
    EXPECT_STREQ(windowsBase, ChooseBaseKey(0xC0000A04));
    EXPECT_STREQ(windowsBase, ChooseBaseKey(0x80000005));
    EXPECT_STREQ(ntBase, ChooseBaseKey(0x80000003));
    EXPECT_STREQ(ntBase, ChooseBaseKey(0x0A280105));
    EXPECT_STREQ(ntBase, ChooseBaseKey(0x00000004)) << "NT 4";
}
