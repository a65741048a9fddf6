// pictavo.exe's menu, which comes from its resources (its shortcuts are
// used by PictureSave), and its help window, whose handle the main window
// keeps and forgets again.
#include "flows.h"
#include <gtest/gtest.h>

using namespace e2e;

namespace {

const char folder[] = "C:\\Editor";
const char helpTitle[] = "Pictavo Help";

std::string InstallEditor()
{
    CreateDirectoryA(folder, NULL);
    for (const char* name : {"pictavo.exe", "pvhelp.hlp"})
        EXPECT_TRUE(CopyFileA(Original(name).c_str(), (std::string(folder) + "\\" + name).c_str(), FALSE)) << name;
    return std::string(folder) + "\\pictavo.exe";
}

// Help, then Help in the Help menu, by their letters.
void OpenHelp(Installer& pictavo, HWND main, const std::string& step)
{
    pictavo.Key(main, "alt+h", step + ": the Help menu");
    pictavo.Key(main, "h", step + ": Help");
}

struct HelpCount {
    DWORD pid;
    int windows;
};

BOOL CALLBACK CountHelpWindow(HWND window, LPARAM lParam)
{
    HelpCount& count = *(HelpCount*)lParam;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == count.pid && IsWindowVisible(window) && Text(window) == helpTitle)
        ++count.windows;
    return TRUE;
}

int HelpWindows(DWORD pid)
{
    HelpCount count = {pid, 0};
    EnumWindows(CountHelpWindow, (LPARAM)&count);
    return count.windows;
}

} // namespace

TEST(Editor, ItsMenuOpensTheHelpOnceAndAgainAfterItClosedAndEndsTheProgram)
{
    Installer pictavo("", "", InstallEditor());
    HWND main = pictavo.WaitWindow("Pictavo", "pictavo.exe opens");
    OpenHelp(pictavo, main, "help");
    HWND help = pictavo.WaitWindow(helpTitle, "the help window");
    EXPECT_EQ(0u, Text(GetWindow(help, GW_CHILD)).find("PICTAVO HELP\r\n\r\nPictavo is")) << "pvhelp.hlp in CR LF lines";
    OpenHelp(pictavo, main, "help while it is open");
    Sleep(500);
    EXPECT_EQ(1, HelpWindows(pictavo.ProcessId())) << "the open one comes to the front";
    PostMessageA(help, WM_CLOSE, 0, 0);
    pictavo.WaitGone(help, "the help closes");
    OpenHelp(pictavo, main, "help once it closed");
    pictavo.WaitWindow(helpTitle, "the help window again");
    pictavo.Shot("help");
    pictavo.Key(main, "alt+f", "the File menu");
    pictavo.Key(main, "x", "Exit");
    EXPECT_EQ(0u, pictavo.WaitExit("pictavo.exe ends from its menu, with nothing drawn to ask about"));
}
