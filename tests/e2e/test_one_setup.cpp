// Two runs started together: a second Setup, with pages or silently, and
// Setup and the uninstaller. The test build of Setup holds inside its first
// file, so "together" means the worst moment: the first run is writing.
#include "flows.h"
#include "installation.h"
#include <gtest/gtest.h>
#include <aclapi.h>

using namespace e2e;

namespace {

const char uninstallCaption[] = "Pictavo - Uninstall";

// A run that waits for another has not ended after a while and has shown
// nothing.
void ExpectWaiting(Installer& run, const std::string& step)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < 3000; Sleep(50)) {
        if (run.Ended())
            run.Fail(step, "it ended instead of waiting");
        if (HWND shown = run.FindWindowWhere([](HWND) { return true; }))
            run.Fail(step, "a window showed: \"" + Text(shown) + "\"");
    }
}

// The holding build lets every file of every run through from now on.
void ReleaseAll(Hold& hold)
{
    ReleaseSemaphore(hold.release, 50, NULL);
}

DWORD ProcessOf(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

// A visible window of the test's own, in front of everything, so that a
// window that comes to the front afterwards was brought there.
struct WindowInFront {
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "in front", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, NULL,
                                  NULL, NULL, NULL);
    WindowInFront()
    {
        SetForegroundWindow(window);
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    ~WindowInFront() { DestroyWindow(window); }
};

std::string LogPath(const char* name)
{
    return std::string("C:\\") + name;
}

// The uninstaller's helper has removed uninstall.exe and the product
// folder, and itself.
void WaitFolderGone(Installer& any, const std::string& step)
{
    for (DWORD start = GetTickCount(); FolderExists(defaultDestination); Sleep(100))
        if (GetTickCount() - start > 20000)
            any.Fail(step, "the product folder stays");
}

} // namespace

TEST(OneSetup, ASecondSetupWithPagesShowsNothingBringsTheFirstToTheFrontAndTheFirstFinishes)
{
    StartClean();
    Hold hold;
    Installer first("", "one-setup-first", HoldingInstallerPath());
    HWND copyPage = ReachCopyPage(first);
    hold.WaitReached(first, "the first Setup writes its first file");
    WindowInFront other;
    ASSERT_EQ(other.window, GetForegroundWindow()) << "the test's window is not in front";

    Installer second("", "one-setup-second");
    EXPECT_EQ((DWORD)ExitInstalled, ExitWithoutWindow(second, "the second Setup ends at once"));
    HWND front = GetForegroundWindow();
    first.Shot("first-in-front");
    EXPECT_EQ(first.ProcessId(), ProcessOf(front)) << "in front: \"" << Text(front) << "\"";
    EXPECT_EQ(copyPage, front) << "the page of the first, not only its background";
    // Raised, with its background, over the test's window; the held run
    // paints only once let go, so the screen's pixels cannot tell.
    POINT corner = {10, 50};
    EXPECT_EQ(first.ProcessId(), ProcessOf(WindowFromPoint(corner))) << "the test's window still covers the first";

    ReleaseAll(hold);
    FinishAfterCopy(first);
    ExpectInstalled(first, defaultDestination, DefaultShortcutFolder());
}

// The first silent Setup is held in its first file. One that may wait 1.5
// seconds gives up with 10; one that may wait the full time waits, then
// installs after it. Then a first one killed in its first file: the one
// waiting takes the lock it left and installs.
TEST(OneSetup, ASecondSilentSetupWaitsForTheFirstGivesUpWithTenOnlyWhenItsTimeRunsOutAndGoesOnAfterAKill)
{
    StartClean();
    HostCommands host;
    {
        Hold hold;
        Installer first("", "one-setup-first", HoldingInstallerPath(), "/S");
        hold.WaitReached(first, "the first Setup writes its first file");

        const std::string impatientLog = LogPath("impatient.log");
        DeleteFileA(impatientLog.c_str());
        SetEnvironmentVariableA("PICTAVO_LOCK_WAIT_MS", "1500");
        Installer impatient("", "one-setup-impatient", HoldingInstallerPath(), "/S /LOG=" + impatientLog);
        SetEnvironmentVariableA("PICTAVO_LOCK_WAIT_MS", NULL);
        EXPECT_EQ((DWORD)ExitInstallInProgress, ExitWithoutWindow(impatient, "a Setup that waits 1.5 s"));
        std::string log = ReadAll(impatientLog);
        EXPECT_NE(std::string::npos, log.find("waiting up to 1 seconds")) << log;
        EXPECT_NE(std::string::npos, log.find("is still running: nothing was changed")) << log;
        EXPECT_NE(std::string::npos, log.find("Setup ended with exit code 10")) << log;
        DeleteFileA(impatientLog.c_str());

        Installer second("", "one-setup-second", InstallerPath(), "/S");
        ExpectWaiting(second, "the second Setup waits");
        EXPECT_NE(WAIT_OBJECT_0, WaitForSingleObject(hold.reached, 0)) << "the first went on to its second file";
        ReleaseAll(hold);
        EXPECT_EQ((DWORD)ExitInstalled, ExitWithoutWindow(first, "the first Setup"));
        EXPECT_EQ((DWORD)ExitInstalled, ExitWithoutWindow(second, "the second Setup"));
    }
    ExpectInstalled(host, defaultDestination, DefaultShortcutFolder());

    StartClean();
    const std::string secondLog = LogPath("after-kill.log");
    DeleteFileA(secondLog.c_str());
    {
        Hold hold;
        Installer first("", "one-setup-killed", HoldingInstallerPath(), "/S");
        hold.WaitReached(first, "the first Setup writes its first file");
        Installer second("", "one-setup-after-kill", InstallerPath(), "/S /LOG=" + secondLog);
        ExpectWaiting(second, "the second Setup waits");
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, first.ProcessId());
        ASSERT_TRUE(process != NULL);
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
        EXPECT_EQ((DWORD)ExitInstalled, ExitWithoutWindow(second, "the second Setup after the kill"));
    }
    std::string log = ReadAll(secondLog);
    EXPECT_NE(std::string::npos, log.find("ended without letting go of the lock")) << log;
    ExpectInstalled(host, defaultDestination, DefaultShortcutFolder());
    DeleteFileA(secondLog.c_str());
}

// The uninstaller started while Setup writes waits for it and then removes
// everything; Setup started while the uninstaller asks waits for it and for
// its helper, then installs: each time one whole state, never a mix.
TEST(OneSetup, SetupAndTheUninstallerStartedTogetherWaitForEachOther)
{
    StartClean();
    HostCommands host;
    ASSERT_EQ((DWORD)ExitInstalled, RunSilently("/S")) << "the first installation";
    const std::string uninstaller = Installed(installed::uninstaller);
    // Setup holds every product file open while it writes, so the
    // uninstaller starts from a copy elsewhere, as a deployment tool's
    // copy would; it finds the installation through the entry.
    const std::string aside = "C:\\aside";
    RemoveTree(aside);
    ASSERT_TRUE(CreateDirectoryA(aside.c_str(), NULL));
    ASSERT_TRUE(CopyFileA(uninstaller.c_str(), (aside + "\\uninstall.exe").c_str(), FALSE));
    {
        Hold hold;
        Installer setup("", "one-setup-setup-first", HoldingInstallerPath(), "/S");
        hold.WaitReached(setup, "Setup writes its first file");
        {
            // With its question, the uninstaller tells and ends at once.
            Installer asking(aside, "one-setup-removal-told", aside + "\\uninstall.exe");
            MessageBoxInfo told = asking.WaitMessageBox(uninstallCaption, "the uninstaller tells");
            EXPECT_EQ("Pictavo Setup or another uninstaller is running. Remove Pictavo when it has ended.\r\n\r\n"
                      "Nothing was removed.",
                      told.text);
            asking.Answer(told, "OK", "close");
            EXPECT_EQ((DWORD)UninstallInProgress, asking.WaitExit("the uninstaller ends"));
        }
        Installer removal(aside, "one-setup-removal-second", aside + "\\uninstall.exe", "/S");
        ExpectWaiting(removal, "the uninstaller waits");
        EXPECT_TRUE(FileExists(Installed(installed::program)));
        ReleaseAll(hold);
        EXPECT_EQ((DWORD)ExitInstalled, ExitWithoutWindow(setup, "Setup"));
        EXPECT_EQ((DWORD)UninstallRemoved, ExitWithoutWindow(removal, "the uninstaller after Setup"));
        WaitFolderGone(removal, "the helper finishes");
    }
    RemoveTree(aside);
    EXPECT_FALSE(FolderExists(DefaultShortcutFolder()));
    for (const std::string& key : UninstallKeys())
        EXPECT_FALSE(RegistryKeyExists(host, key)) << key;

    ASSERT_EQ((DWORD)ExitInstalled, RunSilently("/S")) << "installed again";
    const std::string removalLog = LogPath("removal.log");
    DeleteFileA(removalLog.c_str());
    {
        Installer removal(defaultDestination, "one-setup-removal-first", uninstaller, "/LOG=" + removalLog);
        MessageBoxInfo question = removal.WaitMessageBox(uninstallCaption, "the question");
        {
            // A Setup with pages finds no Setup window to bring forward: it
            // says why it ends, and ends with 0.
            Installer told("", "one-setup-setup-told");
            MessageBoxInfo box = told.WaitMessageBox("Pictavo - Setup", "Setup tells", 15000);
            EXPECT_EQ("Another Setup of Pictavo, or its uninstaller, is running. Start Setup again when it has ended.",
                      box.text);
            EXPECT_FALSE(told.FindWindowWhere([](HWND w) { return ClassName(w) == "SETUP"; })) << "its own window";
            told.Answer(box, "OK", "close");
            EXPECT_EQ((DWORD)ExitInstalled, told.WaitExit("Setup ends"));
        }
        Installer setup("", "one-setup-setup-second", InstallerPath(), "/S");
        ExpectWaiting(setup, "Setup waits while the uninstaller asks");
        removal.Answer(question, "Yes", "remove");
        MessageBoxInfo report = removal.WaitMessageBox(uninstallCaption, "the closing report");
        ExpectWaiting(setup, "Setup waits while the report is shown");
        removal.Answer(report, "OK", "close the report");
        EXPECT_EQ((DWORD)UninstallRemoved, removal.WaitExit("the uninstaller ends"));
        // Setup goes on only once the helper has removed uninstall.exe and
        // the folder: what it installs stays whole.
        EXPECT_EQ((DWORD)ExitInstalled, ExitWithoutWindow(setup, "Setup after the uninstaller"));
    }
    std::string log = ReadAll(removalLog);
    EXPECT_NE(std::string::npos,
              log.find("The helper holds the finish lock until uninstall.exe and its folder are gone"))
        << log;
    DeleteFileA(removalLog.c_str());
    // A helper still at work would take uninstall.exe or the folder within
    // this second.
    Sleep(1000);
    ExpectInstalled(host, defaultDestination, DefaultShortcutFolder());
}

// A standard user may make a mutex of the lock's name before any Setup
// runs, and hold it. Setup must not wait for it: a silent run installs at
// once, and the log names the object it left out.
TEST(OneSetup, ALockMadeFirstByAnotherAccountIsLoggedAndDoesNotStopSetup)
{
    StartClean();
    HostCommands host;
    // BUILTIN\Users as owner, everyone allowed everything.
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID users = NULL;
    ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS, 0, 0, 0, 0, 0,
                                         0, &users));
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorOwner(&descriptor, users, FALSE);
    SetSecurityDescriptorDacl(&descriptor, TRUE, NULL, FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, &descriptor, FALSE};
    HANDLE planted = CreateMutexA(&attributes, TRUE, "Global\\PictavoSetupRun");
    ASSERT_TRUE(planted != NULL) << GetLastError();
    ASSERT_NE((DWORD)ERROR_ALREADY_EXISTS, GetLastError());
    // Only where the system keeps the owner given does this test say anything.
    PSECURITY_DESCRIPTOR read = NULL;
    PSID owner = NULL;
    DWORD status = GetSecurityInfo(planted, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, NULL, NULL, NULL,
                                   &read);
    bool kept = status == ERROR_SUCCESS && owner && EqualSid(owner, users);
    if (read)
        LocalFree(read);
    FreeSid(users);
    if (!kept) {
        CloseHandle(planted);
        GTEST_SKIP() << "this system does not keep Users as the owner of a mutex made here (status " << status
                     << "), so no object of another account can be planted";
    }

    const std::string log = LogPath("planted.log");
    DeleteFileA(log.c_str());
    EXPECT_EQ((DWORD)ExitInstalled, RunSilently("/S /LOG=" + log)) << "Setup waited for the planted lock";
    ReleaseMutex(planted);
    CloseHandle(planted);
    std::string text = ReadAll(log);
    EXPECT_NE(std::string::npos,
              text.find("The lock Global\\PictavoSetupRun exists and is owned by an account that is not an "
                        "administrator: Setup goes on without it"))
        << text;
    EXPECT_EQ(std::string::npos, text.find("waiting up to")) << text;
    DeleteFileA(log.c_str());
    ExpectInstalled(host, defaultDestination, DefaultShortcutFolder());
}
