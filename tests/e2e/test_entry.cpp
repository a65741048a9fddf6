// The Uninstall entry as the tools that install on many machines read it:
// the system's list of programs shows it, and a deployment tool runs the
// quiet command that it finds there, as that tool would, from elsewhere.
#include "flows.h"
#include "installation.h"
#include <gtest/gtest.h>

using namespace e2e;

namespace {

const char destination[] = "C:\\Deploy Here\\Pictavo";

// A value of the entry that the system's list reads, read as a tool reads
// it: through the registry's own API, within a bound.
std::string EntryText(const char* name)
{
    std::string key = installed::UninstallEntry(installed::windowsBranch);
    HKEY entry;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &entry) != ERROR_SUCCESS)
        return "<no " + key + ">";
    char text[1024] = "";
    DWORD type = 0, size = sizeof text - 1;
    LONG status = RegQueryValueExA(entry, name, NULL, &type, (BYTE*)text, &size);
    RegCloseKey(entry);
    return status == ERROR_SUCCESS && type == REG_SZ ? std::string(text) : "<no " + std::string(name) + ">";
}

struct WindowOf {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindVisibleWindowOf(HWND window, LPARAM search)
{
    WindowOf& of = *(WindowOf*)search;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != of.pid || !IsWindowVisible(window))
        return TRUE;
    of.found = window;
    return FALSE;
}

} // namespace

TEST(Entry, TheSystemsListShowsItAndItsQuietCommandRemovesEverythingWithoutAWindow)
{
    // A refused run lends its harness to the host commands.
    Installer host("", "host", InstallerPath(), "/S /X");
    ASSERT_EQ((DWORD)ExitBadArguments, ExitWithoutWindow(host, "the refused run"));
    RemoveRegistration();
    RemoveTree(destination);
    RemoveTree(DefaultShortcutFolder());
    {
        Installer setup("", "silent-install", InstallerPath(), std::string("/S /D=") + destination);
        ASSERT_EQ((DWORD)ExitInstalled, ExitWithoutWindow(setup, "silent install"));
    }
    ExpectInstalled(host, destination, DefaultShortcutFolder());
    const char listed[] = "Pictavo|||Pictavo";
    EXPECT_NE(std::string::npos, host.RunHost("\"$PICTAVO_WINE\" uninstaller --list", "the list").find(listed));

    std::string command = EntryText("QuietUninstallString");
    ASSERT_EQ(std::string("\"") + destination + "\\uninstall.exe\" /S", command);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION removal = {};
    ASSERT_TRUE(CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, "C:\\", &startup, &removal))
        << GetLastError();
    WindowOf shown = {removal.dwProcessId, NULL};
    DWORD start = GetTickCount();
    while (WaitForSingleObject(removal.hProcess, 5) == WAIT_TIMEOUT && !shown.found && GetTickCount() - start < 60000)
        EnumWindows(FindVisibleWindowOf, (LPARAM)&shown);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(removal.hProcess, &exitCode);
    if (exitCode == STILL_ACTIVE)
        TerminateProcess(removal.hProcess, 99);
    CloseHandle(removal.hProcess);
    CloseHandle(removal.hThread);
    ASSERT_EQ(NULL, shown.found) << "a window showed: \"" << Text(shown.found) << "\"";
    ASSERT_EQ((DWORD)UninstallRemoved, exitCode);

    // uninstall.exe and the product folder go a moment later, with the
    // helper that waited for the uninstaller to end; it shows nothing either.
    HWND box = NULL;
    for (start = GetTickCount(); FolderExists(destination) && !box && GetTickCount() - start < 20000; Sleep(50))
        box = FindWindowA(NULL, "Pictavo - Uninstall");
    EXPECT_EQ(NULL, box) << "no box of the helper";
    EXPECT_FALSE(FolderExists(destination));
    EXPECT_FALSE(FolderExists(DefaultShortcutFolder()));
    for (const std::string& key : UninstallKeys())
        EXPECT_FALSE(KeyExists(key)) << key;
    EXPECT_FALSE(KeyExists(installed::appPaths));
    EXPECT_EQ(std::string::npos, host.RunHost("\"$PICTAVO_WINE\" uninstaller --list", "the list").find(listed));
    RemoveTree("C:\\Deploy Here");
}
