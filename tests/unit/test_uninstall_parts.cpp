// What the uninstaller accepts from its registry entry, and the batch file
// that finishes its work on the 9x family. Under Wine set to Windows 98 the
// batch file runs in cmd.exe, not in the 9x family's command.com, so its
// text is checked here for what command.com needs.
#include "uninstall/uninstall_parts.h"
#include <gtest/gtest.h>
#include <string.h>
#include <string>

namespace {

const char testKey[] = "Software\\Pictavo Test\\Uninstall entry";

class UninstallEntryValue : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, testKey);
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, testKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                                                 &key_, NULL));
    }
    void TearDown() override
    {
        RegCloseKey(key_);
        RegDeleteTreeA(HKEY_CURRENT_USER, testKey);
    }
    void Put(DWORD type, const std::string& data, size_t bytes)
    {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key_, "Progdir", 0, type, (const BYTE*)data.data(), (DWORD)bytes));
    }
    void PutText(const std::string& text) { Put(REG_SZ, text, text.size() + 1); }

    HKEY key_ = NULL;
};

// The buffer followed by guard bytes that the reader must never touch.
template <size_t N = MAX_PATH> struct Guarded {
    char text[N];
    char guard[16];
    Guarded() { memset(this, '#', sizeof *this); }
    bool GuardIntact() const { return std::string(guard, sizeof guard) == std::string(sizeof guard, '#'); }
};

} // namespace

TEST_F(UninstallEntryValue, AnAbsoluteFolderTextIsReadAndEverythingElseRefused)
{
    Guarded<> out;
    EXPECT_EQ(ValueMissing, ReadFolderValue(key_, "Progdir", out.text));

    PutText("C:\\Program files\\Pictavo");
    EXPECT_EQ(ValueRead, ReadFolderValue(key_, "Progdir", out.text));
    EXPECT_STREQ("C:\\Program files\\Pictavo", out.text);

    const struct {
        DWORD type;
        const char* text;
        const char* why;
    } refused[] = {
        {REG_EXPAND_SZ, "%SystemRoot%\\Pictavo", "expanded text names a folder chosen elsewhere"},
        {REG_EXPAND_SZ, "C:\\Program files\\Pictavo", "only REG_SZ is what Setup writes"},
        {REG_MULTI_SZ, "C:\\Pictavo", "a list of texts"},
        {REG_BINARY, "C:\\Pictavo", "bytes"},
        {REG_SZ, "Pictavo", "relative: depends on the current folder"},
        {REG_SZ, "\\Program files\\Pictavo", "no drive"},
        {REG_SZ, "C:Pictavo", "relative to the drive's current folder"},
        {REG_SZ, "C:\\Program files\\..\\windows", "climbs out"},
        {REG_SZ, "C:\\Program files\\.\\Pictavo", "a dot part"},
        {REG_SZ, "C:\\Program files\\\\Pictavo", "an empty part"},
        {REG_SZ, "C:\\Program files\\Pictavo\\", "a trailing backslash"},
        {REG_SZ, "C:\\Program files/Pictavo", "a forward slash"},
        {REG_SZ, "C:\\", "a drive's root"},
        {REG_SZ, "", "empty"},
    };
    for (const auto& row : refused) {
        Put(row.type, row.text, strlen(row.text) + 1);
        EXPECT_EQ(ValueRefused, ReadFolderValue(key_, "Progdir", out.text)) << row.text << ": " << row.why;
        EXPECT_STREQ("", out.text) << "nothing of a refused value is kept";
    }
    EXPECT_TRUE(out.GuardIntact());
}

TEST_F(UninstallEntryValue, LongValuesAreRefusedWithoutWritingPastTheBuffer)
{
    std::string longest = "C:\\" + std::string(MaxFolderLength - 3, 'a');
    PutText(longest);
    Guarded<> out;
    EXPECT_EQ(ValueRead, ReadFolderValue(key_, "Progdir", out.text)) << "MaxFolderLength characters fit";
    EXPECT_EQ(longest, out.text);

    for (size_t length : {MaxFolderLength + 1, MAX_PATH - 1, MAX_PATH, MAX_PATH + 1, 4000}) {
        std::string text = "C:\\" + std::string(length - 3, 'b');
        Guarded<> fresh;
        PutText(text);
        EXPECT_EQ(ValueRefused, ReadFolderValue(key_, "Progdir", fresh.text)) << length << " characters";
        EXPECT_TRUE(fresh.GuardIntact()) << length << " characters";
        // The same text stored without its terminating zero, filling the
        // buffer to the last byte.
        Put(REG_SZ, text, text.size());
        EXPECT_EQ(ValueRefused, ReadFolderValue(key_, "Progdir", fresh.text)) << length << " unterminated";
        EXPECT_TRUE(fresh.GuardIntact()) << length << " unterminated";
    }

    // Unterminated but short: read as the text it holds.
    std::string shortText = "C:\\Pictavo";
    Put(REG_SZ, shortText, shortText.size());
    EXPECT_EQ(ValueRead, ReadFolderValue(key_, "Progdir", out.text));
    EXPECT_EQ(shortText, out.text);
}

TEST(RemovalBatch, WaitsForTheUninstallerThenRemovesItTheEmptyFolderAndItself)
{
    char text[512];
    ASSERT_TRUE(ComposeRemovalBatch(text, "C:\\PROGRA~1\\PICTAVO\\UNINST~1.EXE", "C:\\PROGRA~1\\PICTAVO",
                                    "C:\\WINDOWS\\TEMP\\PVU1A2B3.BAT"));
    EXPECT_STREQ("@echo off\r\n"
                 ":wait\r\n"
                 "del C:\\PROGRA~1\\PICTAVO\\UNINST~1.EXE >nul\r\n"
                 "if exist C:\\PROGRA~1\\PICTAVO\\UNINST~1.EXE goto wait\r\n"
                 "rmdir C:\\PROGRA~1\\PICTAVO >nul\r\n"
                 "del C:\\WINDOWS\\TEMP\\PVU1A2B3.BAT >nul\r\n",
                 text);

    // command.com would split at a blank or expand "%": such a path would
    // delete something else, so no batch is made.
    const char* unfit[] = {"C:\\Program files\\Pictavo", "C:\\100%\\Pictavo", "C:\\A&B", "C:\\A\"B", ""};
    for (const char* folder : unfit) {
        EXPECT_FALSE(ComposeRemovalBatch(text, "C:\\PICTAVO\\UNINST~1.EXE", folder, "C:\\T\\PVU1.BAT")) << folder;
        EXPECT_STREQ("", text) << folder;
    }

    Guarded<64> small;
    EXPECT_FALSE(ComposeRemovalBatch(small.text, "C:\\PROGRA~1\\PICTAVO\\UNINST~1.EXE", "C:\\PROGRA~1\\PICTAVO",
                                     "C:\\WINDOWS\\TEMP\\PVU1.BAT"));
    EXPECT_STREQ("", small.text) << "a cut batch file would run half its commands";
    EXPECT_TRUE(small.GuardIntact());
}

// The NT kernel maps ntdll.dll into every process, whatever version a
// compatibility layer reports; Wine set to Windows 98 is such a layer, so
// under Wine the 9x way is never taken. The interpreter is the Windows
// folder's own, whatever COMSPEC names, and never a cut path.
TEST(NineXWay, TheKernelChoosesItAndTheWindowsFoldersInterpreterRunsTheBatch)
{
    EXPECT_FALSE(RunsOnNineXKernel()) << "every Wine process has ntdll.dll mapped";

    SetEnvironmentVariableA("COMSPEC", "C:\\Users\\Public\\cmd.exe");
    char windows[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    ASSERT_TRUE(length > 0 && length < MAX_PATH);
    char shell[MAX_PATH];
    ASSERT_TRUE(NineXInterpreter(shell, windows));
    EXPECT_EQ(std::string(windows) + "\\COMMAND.COM", shell);

    for (const char* unfit : {"", "WINDOWS", "\\WINDOWS", "C:\\", "C:\\A\\..\\WINDOWS"}) {
        EXPECT_FALSE(NineXInterpreter(shell, unfit)) << unfit;
        EXPECT_STREQ("", shell) << unfit;
    }
    Guarded<16> small;
    EXPECT_FALSE(NineXInterpreter(small.text, "C:\\WINDOWS"));
    EXPECT_STREQ("", small.text) << "a cut path would start another program";
    EXPECT_TRUE(small.GuardIntact());
}

// The helper copy is started with a line that the uninstaller composes and
// reads back with the one reader of its command line: the handles, the
// folder with its blanks, and /S as Setup's reader reads it.
TEST(UninstallLine, TheHelpersLineReadsBackAsComposedWithItsSlashS)
{
    for (bool silent : {false, true}) {
        char line[2 * MAX_PATH];
        ASSERT_TRUE(ComposeFinishLine(line, "C:\\Temp\\pvu1a\\pvu2b.exe", 0x1a4, 0xBEEF,
                                      "C:\\Program files\\Pictavo", silent));
        const char* arguments = strstr(line, "\" ") + 2;  // as WinMain gets it, after the program
        UninstallArguments read;
        ASSERT_EQ(ArgumentsRead, ReadUninstallArguments(arguments, read)) << line;
        EXPECT_TRUE(read.finish);
        EXPECT_EQ(0x1a4u, read.waitFor);
        EXPECT_EQ(0xBEEFu, read.ownFile);
        EXPECT_STREQ("C:\\Program files\\Pictavo", read.programDir);
        EXPECT_EQ(silent, read.switches.silent) << line;
    }
    const char* refused[] = {
        "/pictavo-finish 1a4 \"C:\\Pictavo\"",         // a handle missing
        "/pictavo-finish 1 2 \"C:\\Pictavo",           // a quote that does not close
        "/pictavo-finish 1 2 \"C:\\Pictavo\"/S",       // text right after it
        "/pictavo-finish 1 2 \"C:\\Pictavo\" /LOG=x",  // a switch of the removal
        "/pictavo-finishing 1 2 \"C:\\Pictavo\"",
    };
    for (const char* line : refused) {
        UninstallArguments read;
        EXPECT_NE(ArgumentsRead, ReadUninstallArguments(line, read)) << line;
    }
}

TEST(UninstallLine, TheRemovalTakesSlashSLogAndHelpAndRefusesSetupsFolderSwitches)
{
    UninstallArguments read;
    ASSERT_EQ(ArgumentsRead, ReadUninstallArguments("/s /LOG=\"C:\\a b.log\"", read));
    EXPECT_FALSE(read.finish);
    EXPECT_TRUE(read.switches.silent);
    EXPECT_STREQ("C:\\a b.log", read.switches.logPath);
    ASSERT_EQ(ArgumentsRead, ReadUninstallArguments("/?", read));
    EXPECT_TRUE(read.switches.help);
    for (const char* line : {"/S /D=C:\\", "/S /G=Pictavo"}) {
        EXPECT_EQ(ArgumentsUnknown, ReadUninstallArguments(line, read)) << line;
        EXPECT_TRUE(read.switches.silent) << "a refused line stays silent: " << line;
        EXPECT_STREQ(line[4] == 'D' ? "/D=" : "/G=", read.switches.unknownSwitch);
    }
    EXPECT_EQ(ArgumentsUnknown, ReadUninstallArguments("/S /DOWNGRADE", read)) << "Setup's alone";
    EXPECT_STREQ("/DOWNGRADE", read.switches.unknownSwitch);
}
