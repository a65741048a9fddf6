// Drives the real installer as a user would: real keystrokes and mouse
// clicks through the system's input queue, window and control texts read
// across processes, screenshots of the whole screen. Every wait polls, and
// every failure names its step and the last screenshot taken.
#pragma once
#include "test_files.h"
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

// The whole screen as captured at one moment, top-down.
struct Screen {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    COLORREF At(int x, int y) const;
    bool Is(int x, int y, int r, int g, int b) const { return At(x, y) == RGB(r, g, b); }
};

struct MessageBoxInfo {
    HWND window = NULL;
    std::string caption;
    std::string text;
    std::vector<std::string> buttons;
};

// The installer under test, as a Windows path.
std::string InstallerPath();
// Its test build that holds inside each file until released.
std::string HoldingInstallerPath();
std::string Text(HWND window);
std::string ClassName(HWND window);
// The header of a 32-bit top-down DIB, as GetDIBits and CreateDIBSection take it.
BITMAPINFO TopDown32(int width, int height);

class Installer {
public:
    // Starts the installer. startDir is its current folder (Windows path);
    // empty means the folder of the executable. Screenshots go to a folder
    // named after the running test, or after shotFolder when one is given.
    // arguments follow the program's name on its command line as they are.
    explicit Installer(const std::string& startDir = "", const std::string& shotFolder = "",
                       const std::string& exe = InstallerPath(), const std::string& arguments = "");
    ~Installer();

    DWORD ProcessId() const { return process_.dwProcessId; }

    // A visible top-level window of the installer whose title is exactly
    // title (an owned dialog, a message box or the main window).
    HWND WaitWindow(const std::string& title, const std::string& step, DWORD timeoutMs = 15000);
    HWND WaitWindowWhere(const std::function<bool(HWND)>& match, const std::string& step,
                         DWORD timeoutMs = 15000);
    // One look, no waiting: such a window of the installer, or NULL.
    HWND FindWindowWhere(const std::function<bool(HWND)>& match);
    bool Ended();
    // A visible dialog of the installer that holds a control with this id:
    // how a page without a caption is found.
    HWND WaitDialogWith(int controlId, const std::string& step, DWORD timeoutMs = 15000);
    MessageBoxInfo WaitMessageBox(const std::string& caption, const std::string& step,
                                  DWORD timeoutMs = 15000);
    // The same box of any process, such as the uninstaller that the shell
    // or the system's list of programs started.
    MessageBoxInfo WaitForeignMessageBox(const std::string& caption, const std::string& step,
                                         DWORD timeoutMs = 15000);
    // A visible top-level window of any process, such as the shell's.
    HWND WaitForeignWindow(const std::function<bool(HWND)>& match, const std::string& step,
                           DWORD timeoutMs = 15000);
    // Runs a shell command on the host (lnkinfo, wine reg query) and gives
    // its output; a non-zero exit fails the step.
    std::string RunHost(const std::string& command, const std::string& step);
    // Waits until a window is gone, e.g. a page after Next.
    void WaitGone(HWND window, const std::string& step, DWORD timeoutMs = 15000);

    std::string ControlText(HWND dialog, int id);
    HWND Control(HWND dialog, int id, const std::string& step);
    HWND Button(HWND dialog, const std::string& caption, const std::string& step);

    void Click(HWND control, const std::string& step);
    void ClickAt(int x, int y, const std::string& step);
    void DoubleClickAt(int x, int y, const std::string& step);
    // keys by name: "Return", "Escape", "shift+End", "Tab", "a"
    void Key(HWND window, const std::string& keys, const std::string& step);
    void Type(HWND window, const std::string& text, const std::string& step);
    // Clicks into an edit control, empties it and types text. Wine's edit
    // box ignores Ctrl+A, so the text is selected with Home, Shift+End.
    void TypeInto(HWND dialog, int editId, const std::string& text, const std::string& step);
    // The screen rectangle of list view item `index`, read from the
    // installer's own memory, and a real double click on its middle.
    RECT ListItemRect(HWND list, int index, const std::string& step);
    struct ListItem {
        std::string text;
        int image;
    };
    // The items of a list view in their order, read the same way.
    std::vector<ListItem> ListItems(HWND list, const std::string& step);
    // The index of the item with this text, or a failed step.
    int ListItemIndex(HWND list, const std::string& text, const std::string& step);
    void DoubleClickItem(HWND dialog, int listId, int index, const std::string& step);
    // Presses a message box button by its caption, with a real click.
    void Answer(const MessageBoxInfo& box, const std::string& button, const std::string& step);

    Screen Capture();
    // Captures the screen and saves it as PNG under the test's screenshot
    // folder; returns the PNG's path.
    std::string Shot(const std::string& name, Screen* screen = nullptr);

    DWORD WaitExit(const std::string& step, DWORD timeoutMs = 20000);

    [[noreturn]] void Fail(const std::string& step, const std::string& what);

private:
    void Settle();
    bool RemoteMessage(HWND list, UINT message, WPARAM wParam, void* data, size_t size, const std::string& step,
                       const std::function<void(char*)>& lend = nullptr);
    void Focus(HWND window, const std::string& step);
    MessageBoxInfo WaitMessageBoxOf(DWORD pid, const std::string& caption, const std::string& step, DWORD timeoutMs);
    // Polls the visible top-level windows of process pid (0: any process).
    HWND PollWindows(DWORD pid, const std::function<bool(HWND)>& match, const std::string& step, DWORD timeoutMs);

    PROCESS_INFORMATION process_ = {};
    std::string shotFolder_;
    std::string lastShot_;
    int shotCount_ = 0;
};

} // namespace e2e
