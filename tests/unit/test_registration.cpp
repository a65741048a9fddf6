#include "install/registration.h"
#include "pages/pages.h"
#include "box_answerer.h"
#include "installed_names.h"
#include "test_files.h"
#include <gtest/gtest.h>
#include <string.h>
#include <string>

namespace {

using installed::appPaths;
const std::string windowsEntry = installed::UninstallEntry(installed::windowsBranch);
const std::string ntEntry = installed::UninstallEntry(installed::ntBranch);

// A value as stored: REG_SZ, its terminating zero counted in its size.
void ExpectText(const std::string& path, const char* name, const std::string& text)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key)) << path;
    char data[1024] = "";
    DWORD type = 0, size = sizeof data;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, name, NULL, &type, (BYTE*)data, &size)) << path << " " << name;
    RegCloseKey(key);
    EXPECT_EQ((DWORD)REG_SZ, type) << name;
    EXPECT_EQ(text, data) << name;
    EXPECT_EQ(text.size() + 1, size) << name << ": the terminating zero is stored";
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const std::string& key : {windowsEntry, ntEntry, std::string(appPaths)})
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
        strcpy(plan.choices.destDir, "C:\\Apps\\Pictavo");
        strcpy(plan.choices.shortcutDir, "C:\\windows\\Start Menu\\Programs\\Pictavo");
    }
    const char* RegisterProduct(DWORD version)
    {
        plan.facts.windowsVersion = version;
        return ::RegisterProduct(plan, 0, paths);
    }

    SetupPlan plan;
    RegistryPaths paths = productKeys;
};

} // namespace

// The 9x family (bit 31 set) from version 4 on writes under Windows, before
// it under Windows NT; the NT family writes both entries.
TEST_F(Registration, TheVersionValueChoosesTheBaseKeyAndTheEntriesWritten)
{
    const struct {
        DWORD version;
        bool underWindows, underNT;
    } cases[] = {
        {0xC0000A04, true, false}, {0x80000005, true, false}, {0x80000003, false, true},
        {0x23F00206, true, true},  {0x0A280105, true, true},  {0x00000004, true, true}, // NT 4
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.version);
        SetUp();
        EXPECT_STREQ(c.underNT ? installed::ntBranch : installed::windowsBranch, ChooseBaseKey(c.version));
        EXPECT_EQ(nullptr, RegisterProduct(c.version));
        for (const std::string& entry : {windowsEntry, ntEntry}) {
            if (!(entry == ntEntry ? c.underNT : c.underWindows)) {
                EXPECT_FALSE(KeyExists(entry)) << entry;
                continue;
            }
            ExpectText(entry, "DisplayName", "Pictavo");
            ExpectText(entry, "UninstallString", "\"C:\\Apps\\Pictavo\\uninstall.exe\"");
            ExpectText(entry, "Scdir", "C:\\windows\\Start Menu\\Programs\\Pictavo");
            ExpectText(entry, "Progdir", "C:\\Apps\\Pictavo");
        }
        ExpectText(appPaths, "", "C:\\Apps\\Pictavo\\Pictavo");
        ExpectText(appPaths, "Path", "C:\\Apps\\Pictavo");
    }
}

TEST_F(Registration, ABaseKeyThatCannotBeOpenedIsReportedAndNothingIsWritten)
{
    paths.baseNT = "SOFTWARE\\Pictavo Test\\No Such Key";
    // The page that runs the registration owns the box, so that it stays
    // disabled, and its Finish unclickable, while the box is up.
    HWND page = CreateWindowExA(0, "STATIC", "page", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    BoxAnswerer answerer;
    // Alone, the registration tells only its caller: a silent run stays silent.
    EXPECT_STREQ("SOFTWARE\\Pictavo Test\\No Such Key", RegisterProduct(0x23F00206));
    EXPECT_TRUE(answerer.Boxes().empty());
    PagesUi ui(NULL, plan);
    ui.page = page;
    ui.ReportRegistrationFailure(RegisterProduct(0x23F00206));
    std::vector<BoxAnswerer::Box> boxes = answerer.Boxes();
    DestroyWindow(page);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(page, boxes[0].owner);
    EXPECT_EQ("Couldn't create key in registry\nSOFTWARE\\Pictavo Test\\No Such Key", boxes[0].text);
    EXPECT_EQ("Error", boxes[0].caption) << "the platform's default caption";
    EXPECT_FALSE(KeyExists(appPaths));
    EXPECT_FALSE(KeyExists(windowsEntry));
}

TEST_F(Registration, ADestinationTooLongToRecordWholeWritesNothing)
{
    // Quoted, the uninstaller's path no longer fits: a cut command line
    // would name a program that is not there.
    strcpy(plan.choices.destDir, ("C:\\" + std::string(494, 'p')).c_str());
    EXPECT_STREQ(ChooseBaseKey(0x23F00206), RegisterProduct(0x23F00206));
    EXPECT_FALSE(KeyExists(ntEntry));
    EXPECT_FALSE(KeyExists(appPaths));
}
