#include "harness.h"
#include "png.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <cstddef>
#include <sstream>
#include <stdexcept>

namespace e2e {

namespace {

const DWORD pollMs = 25;

std::string TestName()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!info)
        return "";
    // A test run on several machines is a CTest test per machine, named
    // Suite.Name/VARIANT: each keeps its screenshots apart.
    std::string variant = EnvOr("PICTAVO_MACHINE_VARIANT", "");
    return std::string(info->test_suite_name()) + "." + info->name() + (variant.empty() ? "" : "/" + variant);
}

struct WindowSearch {
    DWORD pid; // 0: any process
    const std::function<bool(HWND)>* match;
    HWND found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    WindowSearch* search = (WindowSearch*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if ((!search->pid || pid == search->pid) && IsWindowVisible(window) && (*search->match)(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Pictures of an earlier run of the same test would mislead whoever looks.
void ClearOldShots(const std::string& folder)
{
    static std::string cleared;
    if (cleared == folder)
        return;
    cleared = folder;
    WIN32_FIND_DATAA found;
    std::string pattern = WindowsPath(folder) + "\\*.png";
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do
        DeleteFileA((WindowsPath(folder) + "\\" + found.cFileName).c_str());
    while (FindNextFileA(search, &found));
    FindClose(search);
}

BOOL CALLBACK PingWindow(HWND window, LPARAM pid)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == (DWORD)pid)
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, NULL);
    return TRUE;
}

// The last lines that Wine wrote during this run (the test runner keeps
// them in a file): the only word on why a process ended that could not
// say so itself.
std::string WineOutputTail()
{
    std::string log = EnvOr("PICTAVO_WINE_LOG", "");
    FILE* in = log.empty() ? NULL : fopen(WindowsPath(log).c_str(), "rb");
    if (!in)
        return "";
    char buffer[2048];
    fseek(in, 0, SEEK_END);
    long size = ftell(in);
    fseek(in, size > (long)sizeof buffer ? size - (long)sizeof buffer : 0, SEEK_SET);
    size_t n = fread(buffer, 1, sizeof buffer, in);
    fclose(in);
    std::string tail(buffer, n);
    size_t from = tail.size();
    for (int lines = 0; lines <= 10 && from != std::string::npos && from > 0;)
        if (tail[--from] == '\n')
            ++lines;
    tail = tail.substr(from == 0 ? 0 : from + 1);
    return tail.empty() ? "; Wine wrote nothing (" + log + ")" : "; Wine's output (" + log + ") ends:\n" + tail;
}

} // namespace

COLORREF Screen::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return CLR_INVALID;
    const uint8_t* p = &rgb[((size_t)y * width + x) * 3];
    return RGB(p[0], p[1], p[2]);
}

std::string ClassName(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string InstallerPath()
{
    return WindowsPath(EnvOr("PICTAVO_SETUP_EXE", ""));
}

std::string HoldingInstallerPath()
{
    return WindowsPath(EnvOr("PICTAVO_SETUP_HOLD_EXE", ""));
}

std::string Text(HWND window)
{
    // WM_GETTEXT is marshalled across processes; GetWindowText is not for
    // controls of another process.
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length);
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, length + 1, (LPARAM)&text[0], SMTO_ABORTIFHUNG, 2000, &copied);
    text.resize(copied);
    return text;
}

Installer::Installer(const std::string& startDir, const std::string& shotFolder, const std::string& exe,
                     const std::string& arguments)
{
    std::string name = shotFolder.empty() ? TestName() : shotFolder;
    shotFolder_ = EnvOr("PICTAVO_SHOTS", "") + (name.empty() ? "" : "/" + name);
    CreateDirectoryA(WindowsPath(EnvOr("PICTAVO_SHOTS", "")).c_str(), NULL);
    if (name.find('/') != std::string::npos)
        CreateDirectoryA(WindowsPath(shotFolder_.substr(0, shotFolder_.find_last_of('/'))).c_str(), NULL);
    CreateDirectoryA(WindowsPath(shotFolder_).c_str(), NULL);
    ClearOldShots(shotFolder_);
    std::string folder = startDir;
    if (folder.empty())
        folder = exe.substr(0, exe.find_last_of('\\'));
    // A fresh Wine server lists the drives only once its mount manager has
    // started; an installer started before that sees no drive at all.
    for (DWORD start = GetTickCount(); !(GetLogicalDrives() & (1u << ('C' - 'A'))) && GetTickCount() - start < 15000;)
        Sleep(pollMs);
    std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(), &startup,
                        &process_)) {
        DWORD error = GetLastError();
        // Wine's answer when it could not set up the new process at all,
        // before any of the program's code ran (the rig's log says why).
        throw std::runtime_error("starting the installer " + exe + " failed, error " + std::to_string(error) +
                                 (error == ERROR_INTERNAL_ERROR ? ": Wine could not start the process, a failure "
                                                                  "outside the installer"
                                                                : ""));
    }
}

Installer::~Installer()
{
    if (process_.hProcess) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}

void Installer::Fail(const std::string& step, const std::string& what)
{
    std::string shot;
    try {
        shot = Shot("failure");
    } catch (...) {
        shot = lastShot_;
    }
    throw std::runtime_error("step '" + step + "': " + what + " (screenshot: " + shot + ")");
}

HWND Installer::WaitForeignWindow(const std::function<bool(HWND)>& match, const std::string& step, DWORD timeoutMs)
{
    return PollWindows(0, match, step, timeoutMs);
}

std::string Installer::RunHost(const std::string& command, const std::string& step)
{
    // Wine starts a host program by its Unix path but gives no handle to
    // wait on and splits its arguments at every blank: the command goes
    // into a script, whose exit status lands in a file. Each command gets
    // a folder that this call made. Every test starts a fresh Wine server,
    // which gives its first process the same pid each time: a name made of
    // pid and count would be the same in every test, and a command that
    // outlived its test (a time-out) would hand its status to the next.
    static int count = 0;
    std::string folder;
    for (;;) {
        folder = EnvOr("PICTAVO_SHOTS", "/tmp") + "/host-" + std::to_string(GetCurrentProcessId()) + "-" +
                 std::to_string(++count);
        if (CreateDirectoryA(WindowsPath(folder).c_str(), NULL))
            break;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            Fail(step, "cannot make " + folder);
    }
    std::string script = folder + "/run.sh", output = folder + "/out", status = folder + "/status";
    FILE* file = fopen(WindowsPath(script).c_str(), "wb");
    if (!file)
        Fail(step, "cannot write " + script);
    fprintf(file, "( %s ) >'%s' 2>&1\necho $? >'%s.tmp'\nmv '%s.tmp' '%s'\n", command.c_str(), output.c_str(),
            status.c_str(), status.c_str(), status.c_str());
    fclose(file);
    std::string line = "/bin/sh " + script;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION host = {};
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &host))
        Fail(step, "cannot run " + command);
    CloseHandle(host.hThread);
    CloseHandle(host.hProcess);
    // A command that reads the whole of drive C (a snapshot) takes many
    // seconds on a loaded machine; the limit only guards against a hang.
    for (DWORD start = GetTickCount(); !FileExists(WindowsPath(status)); Sleep(pollMs))
        if (GetTickCount() - start > 120000)
            Fail(step, command + " did not finish");
    std::string text = ReadAll(WindowsPath(output)), code = ReadAll(WindowsPath(status));
    for (const std::string& name : {script, output, status})
        DeleteFileA(WindowsPath(name).c_str());
    RemoveDirectoryA(WindowsPath(folder).c_str());
    if (atoi(code.c_str()) != 0)
        Fail(step, command + " failed: " + text);
    return text;
}

HWND Installer::WaitWindowWhere(const std::function<bool(HWND)>& match, const std::string& step, DWORD timeoutMs)
{
    return PollWindows(process_.dwProcessId, match, step, timeoutMs);
}

HWND Installer::FindWindowWhere(const std::function<bool(HWND)>& match)
{
    WindowSearch search = {process_.dwProcessId, &match, NULL};
    EnumWindows(CollectWindow, (LPARAM)&search);
    return search.found;
}

bool Installer::Ended()
{
    return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
}

HWND Installer::PollWindows(DWORD pid, const std::function<bool(HWND)>& match, const std::string& step,
                            DWORD timeoutMs)
{
    WindowSearch search = {pid, &match, NULL};
    DWORD start = GetTickCount();
    for (;;) {
        search.found = NULL;
        EnumWindows(CollectWindow, (LPARAM)&search);
        if (search.found)
            return search.found;
        if (GetTickCount() - start > timeoutMs)
            Fail(step, "no such window appeared within " + std::to_string(timeoutMs) + " ms");
        // A window of the installer will never come once it has ended.
        if (pid && WaitForSingleObject(process_.hProcess, pollMs) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process_.hProcess, &code);
            Fail(step, "the installer ended (exit code " + std::to_string(code) + ") before the window appeared" +
                           WineOutputTail());
        }
        if (!pid)
            Sleep(pollMs);
    }
}

HWND Installer::WaitWindow(const std::string& title, const std::string& step, DWORD timeoutMs)
{
    return WaitWindowWhere([&](HWND w) { return Text(w) == title; }, step + " [window '" + title + "']", timeoutMs);
}

HWND Installer::WaitDialogWith(int controlId, const std::string& step, DWORD timeoutMs)
{
    return WaitWindowWhere(
        [&](HWND w) { return ClassName(w) == "#32770" && GetDlgItem(w, controlId) != NULL; },
        step + " [dialog with control " + std::to_string(controlId) + "]", timeoutMs);
}

MessageBoxInfo Installer::WaitMessageBox(const std::string& caption, const std::string& step, DWORD timeoutMs)
{
    return WaitMessageBoxOf(process_.dwProcessId, caption, step, timeoutMs);
}

MessageBoxInfo Installer::WaitForeignMessageBox(const std::string& caption, const std::string& step, DWORD timeoutMs)
{
    return WaitMessageBoxOf(0, caption, step, timeoutMs);
}

MessageBoxInfo Installer::WaitMessageBoxOf(DWORD pid, const std::string& caption, const std::string& step,
                                           DWORD timeoutMs)
{
    MessageBoxInfo box;
    box.window = PollWindows(
        pid, [&](HWND w) { return ClassName(w) == "#32770" && Text(w) == caption && GetDlgItem(w, 0xFFFF); },
        step + " [message box '" + caption + "']", timeoutMs);
    box.caption = caption;
    box.text = Text(GetDlgItem(box.window, 0xFFFF));
    for (HWND child = FindWindowExA(box.window, NULL, "Button", NULL); child;
         child = FindWindowExA(box.window, child, "Button", NULL)) {
        if (IsWindowVisible(child))
            box.buttons.push_back(Text(child));
    }
    return box;
}

void Installer::WaitGone(HWND window, const std::string& step, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount() - start > timeoutMs)
            Fail(step, "the window did not close");
        Sleep(pollMs);
    }
}

HWND Installer::Control(HWND dialog, int id, const std::string& step)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        Fail(step, "the dialog has no control " + std::to_string(id));
    return control;
}

std::string Installer::ControlText(HWND dialog, int id)
{
    return Text(Control(dialog, id, "read control " + std::to_string(id)));
}

HWND Installer::Button(HWND dialog, const std::string& caption, const std::string& step)
{
    for (HWND child = FindWindowExA(dialog, NULL, "Button", NULL); child;
         child = FindWindowExA(dialog, child, "Button", NULL)) {
        std::string text = Text(child);
        std::string plain;
        for (char c : text)
            if (c != '&')
                plain += c;
        if (text == caption || plain == caption)
            return child;
    }
    Fail(step, "no button '" + caption + "'");
}

namespace {

void SendKey(WORD vk, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = (WORD)MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    switch (vk) {
    case VK_HOME: case VK_END: case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_DELETE: case VK_INSERT: case VK_PRIOR: case VK_NEXT:
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        break;
    }
    SendInput(1, &input, sizeof input);
}

WORD KeyByName(const std::string& name)
{
    static const struct {
        const char* name;
        WORD vk;
    } keys[] = {
        {"Return", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Tab", VK_TAB}, {"space", VK_SPACE},
        {"BackSpace", VK_BACK}, {"Delete", VK_DELETE}, {"Home", VK_HOME}, {"End", VK_END},
        {"Left", VK_LEFT}, {"Right", VK_RIGHT}, {"Up", VK_UP}, {"Down", VK_DOWN},
        {"Prior", VK_PRIOR}, {"Next", VK_NEXT}, {"shift", VK_SHIFT}, {"ctrl", VK_CONTROL},
        {"alt", VK_MENU},
    };
    for (const auto& key : keys)
        if (name == key.name)
            return key.vk;
    if (name.size() == 1)
        return LOBYTE(VkKeyScanA(name[0]));
    return 0;
}

void SendMouse(DWORD flags, int x, int y)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
}

} // namespace

// Input goes through SendInput: the system's hardware input queue, the
// same road a physical keyboard and mouse take. It reaches whichever
// window is in front, so each step first brings its window to the front.
void Installer::Focus(HWND window, const std::string& step)
{
    HWND top = GetAncestor(window, GA_ROOT);
    DWORD start = GetTickCount();
    while (GetForegroundWindow() != top) {
        SetForegroundWindow(top);
        if (GetTickCount() - start > 3000)
            Fail(step, "the window cannot be brought to the front");
        Sleep(pollMs);
    }
}

void Installer::Key(HWND window, const std::string& keys, const std::string& step)
{
    Focus(window, step);
    // "shift+End": modifiers held while the last key is pressed.
    std::vector<WORD> chord;
    std::istringstream names(keys);
    for (std::string name; std::getline(names, name, '+');) {
        chord.push_back(KeyByName(name));
        if (!chord.back())
            Fail(step, "unknown key '" + name + "'");
    }
    for (WORD vk : chord)
        SendKey(vk, false);
    for (auto it = chord.rbegin(); it != chord.rend(); ++it)
        SendKey(*it, true);
    Settle();
}

void Installer::Type(HWND window, const std::string& text, const std::string& step)
{
    Focus(window, step);
    int typed = 0;
    for (char c : text) {
        // Paced: a burst of a hundred keys loses some on the way.
        if (++typed % 8 == 0)
            Settle();
        SHORT scan = VkKeyScanA(c);
        if (scan == -1)
            Fail(step, std::string("no key types '") + c + "'");
        bool shift = (scan & 0x100) != 0;
        if (shift)
            SendKey(VK_SHIFT, false);
        SendKey(LOBYTE(scan), false);
        SendKey(LOBYTE(scan), true);
        if (shift)
            SendKey(VK_SHIFT, true);
    }
    Settle();
}

void Installer::ClickAt(int x, int y, const std::string&)
{
    SendMouse(0, x, y);
    SendMouse(MOUSEEVENTF_LEFTDOWN, x, y);
    SendMouse(MOUSEEVENTF_LEFTUP, x, y);
    Settle();
}

void Installer::DoubleClickAt(int x, int y, const std::string& step)
{
    ClickAt(x, y, step);
    Sleep(80);
    ClickAt(x, y, step);
}

// Lets the installer take the input before the next step looks at it.
void Installer::Settle()
{
    // A message answered by every window means the input before it was
    // read, unless the installer was too slow to reach it: see TypeInto.
    EnumWindows(PingWindow, (LPARAM)process_.dwProcessId);
    Sleep(30);
}

void Installer::Click(HWND control, const std::string& step)
{
    RECT r;
    if (!GetWindowRect(control, &r))
        Fail(step, "the control is gone");
    Focus(control, step);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, step);
}

void Installer::TypeInto(HWND dialog, int editId, const std::string& text, const std::string& step)
{
    HWND edit = Control(dialog, editId, step);
    Click(edit, step + " [click into " + std::to_string(editId) + "]");
    Key(edit, "Home", step);
    Key(edit, "shift+End", step);
    Key(edit, "Delete", step);
    Type(edit, text, step);
    // A message sent to the installer is answered ahead of the keys still
    // in its queue: on a loaded machine the last keys can arrive after
    // Settle. Waits until the box shows what was typed; whether it must is
    // the caller's to judge.
    for (DWORD start = GetTickCount(); Text(edit) != text && GetTickCount() - start < 5000;)
        Sleep(pollMs);
}

// A list view message whose answer lands in memory lent in the list's own
// process: `size` bytes of data copied there (after `lend` has seen the
// lent address), sent as lParam, and copied back.
bool Installer::RemoteMessage(HWND list, UINT message, WPARAM wParam, void* data, size_t size,
                              const std::string& step, const std::function<void(char*)>& lend)
{
    HANDLE target = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                process_.dwProcessId);
    if (!target)
        Fail(step, "cannot open the installer's memory");
    char* remote = (char*)VirtualAllocEx(target, NULL, size, MEM_COMMIT, PAGE_READWRITE);
    if (remote && lend)
        lend(remote);
    SIZE_T moved = 0;
    bool ok = remote && WriteProcessMemory(target, remote, data, size, &moved) &&
              SendMessageA(list, message, wParam, (LPARAM)remote) &&
              ReadProcessMemory(target, remote, data, size, &moved);
    if (remote)
        VirtualFreeEx(target, remote, 0, MEM_RELEASE);
    CloseHandle(target);
    return ok;
}

RECT Installer::ListItemRect(HWND list, int index, const std::string& step)
{
    RECT r = {LVIR_LABEL, 0, 0, 0};
    if (!RemoteMessage(list, LVM_GETITEMRECT, index, &r, sizeof r, step))
        Fail(step, "list item " + std::to_string(index) + " has no rectangle");
    MapWindowPoints(list, NULL, (POINT*)&r, 2);
    return r;
}

std::vector<Installer::ListItem> Installer::ListItems(HWND list, const std::string& step)
{
    // The item and its text buffer, lent together.
    struct Lent {
        LVITEMA item;
        char text[260];
    };
    std::vector<ListItem> items;
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        Lent local = {};
        local.item.mask = LVIF_TEXT | LVIF_IMAGE;
        local.item.iItem = i;
        local.item.cchTextMax = sizeof local.text;
        auto lend = [&](char* remote) { local.item.pszText = remote + offsetof(Lent, text); };
        if (!RemoteMessage(list, LVM_GETITEMA, 0, &local, sizeof local, step, lend))
            Fail(step, "list item " + std::to_string(i) + " cannot be read");
        local.text[sizeof local.text - 1] = '\0';
        items.push_back({local.text, local.item.iImage});
    }
    return items;
}

int Installer::ListItemIndex(HWND list, const std::string& text, const std::string& step)
{
    std::vector<ListItem> items = ListItems(list, step);
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].text == text)
            return (int)i;
    Fail(step, "the list has no item '" + text + "'");
}

void Installer::DoubleClickItem(HWND dialog, int listId, int index, const std::string& step)
{
    HWND list = Control(dialog, listId, step);
    RECT r = ListItemRect(list, index, step);
    Focus(list, step);
    DoubleClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, step);
}

void Installer::Answer(const MessageBoxInfo& box, const std::string& button, const std::string& step)
{
    Click(Button(box.window, button, step), step + " [press '" + button + "']");
    WaitGone(box.window, step + " [box closes]");
}

BITMAPINFO TopDown32(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return info;
}

Screen Installer::Capture()
{
    Screen screen;
    HDC desktop = GetDC(NULL);
    screen.width = GetDeviceCaps(desktop, HORZRES);
    screen.height = GetDeviceCaps(desktop, VERTRES);
    BITMAPINFO info = TopDown32(screen.width, screen.height);
    void* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(desktop, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HDC memory = CreateCompatibleDC(desktop);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, screen.width, screen.height, desktop, 0, 0, SRCCOPY);
    GdiFlush();
    screen.rgb.resize((size_t)screen.width * screen.height * 3);
    const uint8_t* source = (const uint8_t*)bits;
    for (size_t i = 0; i < (size_t)screen.width * screen.height; ++i) {
        screen.rgb[i * 3] = source[i * 4 + 2];
        screen.rgb[i * 3 + 1] = source[i * 4 + 1];
        screen.rgb[i * 3 + 2] = source[i * 4];
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(NULL, desktop);
    return screen;
}

std::string Installer::Shot(const std::string& name, Screen* out)
{
    // Controls paint after their dialog, when its queue runs empty: wait
    // until two captures in a row agree.
    Settle();
    Screen screen = Capture();
    for (int i = 0; i < 40; ++i) {
        Sleep(50);
        Screen again = Capture();
        bool same = again.rgb == screen.rgb;
        screen = std::move(again);
        if (same)
            break;
    }
    char number[8];
    snprintf(number, sizeof number, "%02d-", ++shotCount_);
    std::string path = shotFolder_ + "/" + number + name + ".png";
    if (!WritePng(WindowsPath(path), screen.width, screen.height, screen.rgb))
        throw std::runtime_error("cannot write screenshot " + path);
    lastShot_ = path;
    if (out)
        *out = std::move(screen);
    return path;
}

DWORD Installer::WaitExit(const std::string& step, DWORD timeoutMs)
{
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        Fail(step, "the installer did not end within " + std::to_string(timeoutMs) + " ms");
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

} // namespace e2e
