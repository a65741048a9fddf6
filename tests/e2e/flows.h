// Steps that many end-to-end tests share: reaching a page, cancelling.
#pragma once
#include "harness.h"
#include "base/exit_codes.h"

namespace e2e {

HWND WaitAgreementPage(Installer& setup);
HWND WaitDestinationPage(Installer& setup);
// From the Agreement page with "I Agree" to the Destination page.
HWND ReachDestinationPage(Installer& setup);
// Escape on a page, Yes to the question, OK on the cancel message; the
// installer must then end with 0.
void CancelSetup(Installer& setup, HWND page);
// OK on the cancel message that ends every cancelled run.
void ExpectCancelMessage(Installer& setup);
// The error box that names the file which failed, then the cancel message;
// the installer ends with the exit code of a failed file.
void ExpectFileFailure(Installer& setup, const std::string& target);
// The Shortcut page, the one with a Finish button.
HWND WaitShortcutPage(Installer& setup);
// From the start to the Shortcut page, with the default choices.
HWND ReachShortcutPage(Installer& setup);
// The success message: OK, and the installer ends with 0.
void ExpectSuccessMessage(Installer& setup);
// After the files are copied: Finish on the Shortcut page, the success
// message, and the shell's window on the shortcut folder, which is closed.
void FinishAfterCopy(Installer& setup);
// The shell's window on the shortcut folder, which Wine titles like the
// folder: "Pictavo". Closed once found.
void CloseShortcutFolderWindow(Installer& setup);

// The end of a run that must never show a window (a silent one): any
// visible window of that process, at any moment until it ends, fails the
// step. Gives the exit code.
DWORD ExitWithoutWindow(Installer& run, const std::string& step);
// A silent run of exe with these arguments, which must show no window;
// gives its exit code.
DWORD RunSilently(const std::string& arguments, const std::string& exe = InstallerPath(),
                  const std::string& startDir = "");

// The host commands (reg, ln, chmod, lnkinfo) run through an installer's
// harness: a silent run refused at once (ExitBadArguments) lends one without
// touching the machine.
struct HostCommands : Installer {
    HostCommands();
};
// A Windows path on drive C as the host names it, in quotes for the host's
// shell. Each existing part is spelled as its folder lists it: the host's
// names keep their case ("Program files" when Setup made it so).
std::string HostPath(const std::string& windowsPath);

// The bytes free on a drive, as the program that writes there sees them.
ULONGLONG FreeBytes(const char* root);

// The product file as built, which an installed one must equal.
std::string Original(const char* target);
// From the start to the Copy page, with the default choices.
HWND ReachCopyPage(Installer& setup);

// The named objects through which the installer's test build waits inside
// each file, after its compressed copy is written and before it is expanded.
struct Hold {
    HANDLE release = CreateSemaphoreA(NULL, 0, 100, "PictavoSetupHold");
    HANDLE reached = CreateEventA(NULL, FALSE, FALSE, "PictavoSetupHoldReached");
    ~Hold();
    void WaitReached(Installer& setup, const std::string& step);
    void Release() { ReleaseSemaphore(release, 1, NULL); }
};

// Lets the holding build install the first two files on E: (a small
// tmpfs), then has another program take all but less than half of the
// third file's room, in whole pages, which is all that tmpfs hands out,
// and lets the third file go on into the full disk.
void FillDiskAtTheThirdFile(Installer& setup, Hold& hold);

// The default destination and its files, removed before a run that
// installs there, so that it starts from a clean machine.
extern const char defaultDestination[];
void RemoveDefaultInstallation();
// The shortcut folder that Setup proposes: in the Start menu of the
// shell on the NT family, of the Windows folder on 9x.
std::string DefaultShortcutFolder();

// The installer's own resources, read as a data file.
class InstallerResources {
public:
    InstallerResources();
    ~InstallerResources();
    std::string String(int id) const;
    HBITMAP Bitmap(const char* name) const;

private:
    HMODULE module_;
};

// Pixels of a bitmap, top-down, as RGB COLORREFs.
std::vector<COLORREF> BitmapPixels(HBITMAP bitmap, int* width, int* height);

} // namespace e2e
