#include "flows.h"
#include "installed_names.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <stdexcept>

namespace e2e {

HWND WaitAgreementPage(Installer& setup)
{
    return setup.WaitDialogWith(199, "agreement page");
}

HWND WaitDestinationPage(Installer& setup)
{
    return setup.WaitDialogWith(101, "destination page");
}

HWND ReachDestinationPage(Installer& setup)
{
    HWND agreement = WaitAgreementPage(setup);
    setup.Click(setup.Button(agreement, "I Agree", "agree"), "press I Agree");
    return WaitDestinationPage(setup);
}

void ExpectCancelMessage(Installer& setup)
{
    MessageBoxInfo box = setup.WaitMessageBox("Pictavo - Setup", "cancel message");
    EXPECT_EQ(0u, box.text.find("Setup was canceled.")) << box.text;
    setup.Answer(box, "OK", "close the cancel message");
    EXPECT_EQ((DWORD)ExitInstalled, setup.WaitExit("installer ends after cancel"));
}

void ExpectFileFailure(Installer& setup, const std::string& target)
{
    MessageBoxInfo error = setup.WaitMessageBox("Error", "failure box for " + target);
    setup.Shot("failure-box");
    EXPECT_NE(std::string::npos, error.text.find("To=" + target + "\n")) << error.text;
    setup.Answer(error, "OK", "close the failure box");
    MessageBoxInfo cancel = setup.WaitMessageBox("Pictavo - Setup", "cancel message after the failure");
    EXPECT_EQ(0u, cancel.text.find("Setup was canceled.")) << cancel.text;
    setup.Answer(cancel, "OK", "close the cancel message");
    EXPECT_EQ((DWORD)ExitPayloadFailed, setup.WaitExit("installer ends after the failure"));
}

namespace {

bool HasButton(HWND dialog, const char* caption)
{
    return FindWindowExA(dialog, NULL, "Button", caption) != NULL;
}

std::string ProcessImage(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    char image[MAX_PATH] = "";
    DWORD size = sizeof image;
    if (process) {
        QueryFullProcessImageNameA(process, 0, image, &size);
        CloseHandle(process);
    }
    std::string name = image;
    return name.substr(name.find_last_of('\\') + 1);
}

} // namespace

HWND WaitShortcutPage(Installer& setup)
{
    return setup.WaitWindowWhere([](HWND w) { return HasButton(w, "Finish"); }, "shortcut page");
}

HWND ReachShortcutPage(Installer& setup)
{
    HWND page = ReachDestinationPage(setup);
    setup.Click(setup.Button(page, "Next", "next"), "press Next");
    return WaitShortcutPage(setup);
}

void ExpectSuccessMessage(Installer& setup)
{
    MessageBoxInfo success = setup.WaitMessageBox("Pictavo - Setup", "success message");
    EXPECT_EQ("Pictavo was successfully installed", success.text);
    setup.Answer(success, "OK", "close the success message");
    EXPECT_EQ((DWORD)ExitInstalled, setup.WaitExit("installer ends after success"));
}

void CloseShortcutFolderWindow(Installer& setup)
{
    HWND folder = setup.WaitForeignWindow(
        [](HWND w) { return Text(w) == "Pictavo" && _stricmp(ProcessImage(w).c_str(), "explorer.exe") == 0; },
        "the shell shows the shortcut folder");
    PostMessageA(folder, WM_CLOSE, 0, 0);
}

void FinishAfterCopy(Installer& setup)
{
    HWND page = WaitShortcutPage(setup);
    setup.Click(setup.Button(page, "Finish", "finish"), "press Finish");
    ExpectSuccessMessage(setup);
    CloseShortcutFolderWindow(setup);
}

void CancelSetup(Installer& setup, HWND page)
{
    setup.Key(page, "Escape", "Escape on the page");
    MessageBoxInfo question = setup.WaitMessageBox("Pictavo - Setup", "cancel question");
    EXPECT_EQ("Are you sure you want to cancel the setup?", question.text);
    setup.Answer(question, "Yes", "confirm cancel");
    ExpectCancelMessage(setup);
}

DWORD ExitWithoutWindow(Installer& run, const std::string& step)
{
    for (DWORD start = GetTickCount(); !run.Ended();) {
        HWND shown = run.FindWindowWhere([](HWND) { return true; });
        if (shown)
            run.Fail(step, "a window showed: \"" + Text(shown) + "\"");
        if (GetTickCount() - start > 60000)
            run.Fail(step, "the run did not end");
        Sleep(5);
    }
    return run.WaitExit(step);
}

DWORD RunSilently(const std::string& arguments, const std::string& exe, const std::string& startDir)
{
    Installer run(startDir, "", exe, arguments);
    return ExitWithoutWindow(run, "silent run " + arguments);
}

// A silent run refused at once lends the host commands (reg, lnkinfo) a
// harness without touching the machine.
HostCommands::HostCommands() : Installer("", "host", InstallerPath(), "/S /X")
{
    if (ExitWithoutWindow(*this, "the refused run") != ExitBadArguments)
        Fail("the refused run", "it did not end with exit code " + std::to_string(ExitBadArguments));
}

std::string HostPath(const std::string& windowsPath)
{
    std::string host, listed = windowsPath.substr(0, 2);
    size_t start = 3;
    while (start <= windowsPath.size()) {
        size_t end = std::min(windowsPath.find('\\', start), windowsPath.size());
        std::string part = windowsPath.substr(start, end - start);
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((listed + "\\" + part).c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            part = found.cFileName;
            FindClose(search);
        }
        listed += "\\" + part;
        host += (host.empty() ? "" : "/") + part;
        start = end + 1;
    }
    return "\"$WINEPREFIX/drive_c/\"'" + host + "'";
}

void FillDiskAtTheThirdFile(Installer& setup, Hold& hold)
{
    hold.WaitReached(setup, "first file");
    hold.Release();
    hold.WaitReached(setup, "second file");
    hold.Release();
    hold.WaitReached(setup, "third file");
    ULONGLONG third = ReadAll(Original(installed::files[2])).size();
    ULONGLONG room = third / 2 / 4096 * 4096;
    setup.RunHost("d=$(readlink -f \"$WINEPREFIX/dosdevices/e:\") && "
                  "fallocate -l $(( $(stat -f -c '%a * %S' \"$d\") - " + std::to_string(room) + " )) \"$d/filler\"",
                  "fill the disk");
    ULARGE_INTEGER available = {};
    if (!GetDiskFreeSpaceExA("E:\\", &available, NULL, NULL) || available.QuadPart >= third)
        setup.Fail("fill the disk", "the third file still fits");
    hold.Release();
}

const char defaultDestination[] = "C:\\Program files\\Pictavo";

void RemoveDefaultInstallation()
{
    RemoveTree(defaultDestination);
}

std::string DefaultShortcutFolder()
{
    return std::string(installed::NtFamily() ? installed::ntPrograms : installed::nineXPrograms) + "\\Pictavo";
}

InstallerResources::InstallerResources()
    : module_(LoadLibraryExA(InstallerPath().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE))
{
    if (!module_)
        throw std::runtime_error("cannot read the resources of " + InstallerPath());
}

InstallerResources::~InstallerResources()
{
    FreeLibrary(module_);
}

std::string InstallerResources::String(int id) const
{
    std::vector<char> text(16384);
    int n = LoadStringA(module_, id, text.data(), (int)text.size());
    return std::string(text.data(), n);
}

HBITMAP InstallerResources::Bitmap(const char* name) const
{
    return LoadBitmapA(module_, name);
}

std::vector<COLORREF> BitmapPixels(HBITMAP bitmap, int* width, int* height)
{
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    *width = info.bmWidth;
    *height = info.bmHeight;
    BITMAPINFO header = TopDown32(info.bmWidth, info.bmHeight);
    std::vector<uint32_t> bgra((size_t)info.bmWidth * info.bmHeight);
    HDC screen = GetDC(NULL);
    GetDIBits(screen, bitmap, 0, info.bmHeight, bgra.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    std::vector<COLORREF> pixels;
    for (uint32_t p : bgra)
        pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    return pixels;
}

ULONGLONG FreeBytes(const char* root)
{
    ULARGE_INTEGER free = {};
    GetDiskFreeSpaceExA(root, &free, NULL, NULL);
    return free.QuadPart;
}

std::string Original(const char* target)
{
    return WindowsPath(EnvOr("PICTAVO_PAYLOAD_DIR", "")) + "\\expanded\\" + target;
}

HWND ReachCopyPage(Installer& setup)
{
    HWND page = ReachDestinationPage(setup);
    setup.Click(setup.Button(page, "Next", "next"), "press Next");
    return setup.WaitDialogWith(214, "copy page");
}

Hold::~Hold()
{
    ReleaseSemaphore(release, 50, NULL);
    CloseHandle(release);
    CloseHandle(reached);
}

void Hold::WaitReached(Installer& setup, const std::string& step)
{
    if (WaitForSingleObject(reached, 15000) != WAIT_OBJECT_0)
        setup.Fail(step, "the installer did not reach the next file");
}

} // namespace e2e
