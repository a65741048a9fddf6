// The installer runs with administrator rights: what other programs of the
// same user can put in its way (a library beside it, a file or a link in the
// temporary folder, a registry key it cannot write) must neither run with
// those rights nor make it report a loss as success.
#include "flows.h"
#include "installation.h"
#include <gtest/gtest.h>
#include <aclapi.h>

using namespace e2e;

TEST(PlantedLibraries, LibrariesBesideTheInstallerNeverLoad)
{
    std::string folder = "C:\\planted";
    RemoveTree(folder);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    std::string planted = WindowsPath(EnvOr("PICTAVO_PLANTED_DIR", ""));
    std::string installer = folder + "\\pictavo-setup.exe";
    ASSERT_TRUE(CopyFileA(InstallerPath().c_str(), installer.c_str(), FALSE));
    for (const char* file : {"lz32.dll", "comctl32.dll", "load_by_name.exe"})
        ASSERT_TRUE(CopyFileA((planted + "\\" + file).c_str(), (folder + "\\" + file).c_str(), FALSE)) << file;
    ASSERT_NE(std::string::npos, EnvOr("WINEDLLOVERRIDES", "").find("lz32,comctl32=n,b"))
        << "Wine is told to prefer a library beside the program, for this suite only";

    // A program that loads them by their bare names takes the planted ones:
    // the markers can appear.
    for (const char* library : {"lz32.dll", "comctl32.dll"}) {
        std::string marker = folder + "\\" + library + ".loaded";
        Installer control(folder, "", folder + "\\load_by_name.exe", library);
        EXPECT_EQ(0u, control.WaitExit("the control program ends")) << library;
        EXPECT_TRUE(FileExists(marker)) << "the control program loads the planted " << library;
        DeleteFileA(marker.c_str());
    }

    RemoveDefaultInstallation();
    Installer setup("", "", installer);
    HWND page = ReachDestinationPage(setup);
    // The browser is what needs the common controls.
    setup.Click(setup.Button(page, "Browse", "browse"), "press Browse");
    HWND browser = setup.WaitWindow("Setup - directory", "directory browser");
    setup.Shot("browser-open");
    setup.Click(setup.Button(browser, "Cancel", "cancel"), "close the browser");
    setup.WaitGone(browser, "browser closes");
    setup.Click(setup.Button(page, "Next", "next"), "press Next");
    FinishAfterCopy(setup);

    for (const char* library : {"lz32.dll", "comctl32.dll"})
        EXPECT_FALSE(FileExists(folder + "\\" + library + ".loaded")) << "the planted " << library << " was loaded";
    ExpectInstalled(setup, defaultDestination, DefaultShortcutFolder());
    RemoveTree(folder);
}

// Links at the fixed names that a temporary copy could have, each pointing
// at a file outside the installation; then, while the installer holds
// inside each file, every way of swapping its copy for other content.
TEST(TemporaryCopy, NamesTakenFirstAndSwappedCopiesChangeNothing)
{
    RemoveDefaultInstallation();
    char tempBuffer[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof tempBuffer, tempBuffer), 0u);
    std::string temp = tempBuffer;
    std::string victims = "C:\\pictavo-victims";
    RemoveTree(victims);
    ASSERT_TRUE(CreateDirectoryA(victims.c_str(), NULL));

    Hold hold;
    Installer setup("", "", HoldingInstallerPath());
    // Links are made and removed on the host: Wine's DeleteFile removes
    // what a link points at, not the link.
    std::string links, unlink;
    for (const char* name : installed::compressed) {
        std::string victim = victims + "\\" + name + ".txt";
        EXPECT_TRUE(WriteAll(victim, std::string("belongs to somebody else: ") + name)) << victim;
        links += "ln -sfn " + HostPath(victim) + " " + HostPath(temp + name) + "; ";
        unlink += "rm -f " + HostPath(temp + name) + "; ";
    }
    setup.RunHost(links, "plant the links");
    std::set<std::string> before = FilesIn(temp);

    ReachCopyPage(setup);
    // An SZDD header of its own, then other content.
    static const char junkBytes[] = "SZDD\x88\xF0\x27\x33" "Ae\x05\0\0\0junk!";
    const std::string junk(junkBytes, sizeof junkBytes - 1);
    for (int row = 0; row < 5; ++row) {
        std::string step = std::string("file ") + installed::files[row];
        hold.WaitReached(setup, step);
        int copies = 0;
        for (const std::string& name : FilesIn(temp)) {
            if (before.count(name))
                continue;
            ++copies;
            std::string copy = temp + name;
            // Overwrite it, or take its name away and put other content there.
            HANDLE file = CreateFileA(copy.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
            if (file != INVALID_HANDLE_VALUE) {
                DWORD written = 0;
                WriteFile(file, junk.data(), (DWORD)junk.size(), &written, NULL);
                SetEndOfFile(file);
                CloseHandle(file);
            }
            if (MoveFileA(copy.c_str(), (copy + ".moved").c_str()) || DeleteFileA(copy.c_str())) {
                EXPECT_TRUE(WriteAll(copy, junk)) << copy;
            }
        }
        EXPECT_GT(copies, 0) << step << ": the compressed copy lies in the temporary folder while the file is held";
        hold.Release();
    }
    FinishAfterCopy(setup);

    ExpectInstalled(setup, defaultDestination, DefaultShortcutFolder());
    for (const char* name : installed::compressed)
        EXPECT_EQ(std::string("belongs to somebody else: ") + name, ReadAll(victims + "\\" + name + ".txt")) << name;
    std::set<std::string> after = FilesIn(temp);
    for (const std::string& name : after)
        EXPECT_TRUE(before.count(name)) << "left in the temporary folder: " << name;
    setup.RunHost(unlink, "remove the links");
    RemoveTree(victims);
}

namespace {

// Takes away every right but reading from a key under HKEY_LOCAL_MACHINE
// for as long as it lives, as an administrator's policy might; the owner
// can always put the old rights back.
class WriteDenied {
public:
    explicit WriteDenied(const char* path)
    {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, READ_CONTROL | WRITE_DAC, &key_) != ERROR_SUCCESS)
            return;
        DWORD size = 0;
        RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, NULL, &size);
        saved_.resize(size);
        if (!size || RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data(), &size) != ERROR_SUCCESS)
            return;
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        PSID everyone = NULL;
        AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
        EXPLICIT_ACCESSA read = {};
        read.grfAccessPermissions = KEY_READ;
        read.grfAccessMode = SET_ACCESS;
        read.grfInheritance = NO_INHERITANCE;
        read.Trustee.TrusteeForm = TRUSTEE_IS_SID;
        read.Trustee.ptstrName = (LPSTR)everyone;
        PACL readOnly = NULL;
        SECURITY_DESCRIPTOR descriptor;
        if (SetEntriesInAclA(1, &read, NULL, &readOnly) == ERROR_SUCCESS &&
            InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
            SetSecurityDescriptorDacl(&descriptor, TRUE, readOnly, FALSE))
            denied_ = RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
        LocalFree(readOnly);
        FreeSid(everyone);
    }
    ~WriteDenied()
    {
        if (denied_)
            RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data());
        if (key_)
            RegCloseKey(key_);
    }
    bool Denied() const { return denied_; }

private:
    HKEY key_ = NULL;
    std::vector<BYTE> saved_;
    bool denied_ = false;
};

} // namespace

TEST(FinishOnce, ASecondFinishWhileTheRegistryErrorIsUpIsIgnored)
{
    ASSERT_TRUE(installed::NtFamily()) << "a new prefix reports the NT family";
    const char* base = installed::ntBranch;
    std::string folder = std::string(installed::ntPrograms) + "\\Pictavo";
    RemoveDefaultInstallation();
    RemoveTree(folder);
    Installer setup;
    HWND page = ReachShortcutPage(setup);
    HWND finish = setup.Button(page, "Finish", "finish");
    int errors = 0;
    {
        WriteDenied denied(base);
        ASSERT_TRUE(denied.Denied()) << "the base key's rights could not be changed";
        setup.Click(finish, "press Finish");
        MessageBoxInfo error = setup.WaitMessageBox("Error", "the registry error");
        EXPECT_EQ(std::string("Couldn't create key in registry\n") + base, error.text);
        // The user, impatient, clicks Finish again while the box is up.
        RECT r;
        GetWindowRect(finish, &r);
        setup.ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, "press Finish again");
        Sleep(1000);
        setup.Shot("second-finish");
        while (HWND box = setup.FindWindowWhere([](HWND w) { return Text(w) == "Error"; })) {
            ++errors;
            setup.Key(box, "Return", "close the registry error");
            setup.WaitGone(box, "the registry error closes");
            Sleep(500);
        }
    }
    EXPECT_EQ(1, errors) << "one Finish, one registration";
    ExpectSuccessMessage(setup);
    CloseShortcutFolderWindow(setup);
    for (const installed::Link& link : installed::links)
        EXPECT_TRUE(FileExists(folder + "\\" + link.file)) << link.file;
    EXPECT_FALSE(FolderExists(folder + "\\Pictavo")) << "the shortcut folder was extended twice";
}

// Where the system would ask for a disk in its own box, the installer asks
// the system not to, and tells what it found in its own words.
TEST(EmptyDrive, ADriveWithoutADiskBringsNoSystemBox)
{
    ASSERT_EQ((UINT)DRIVE_REMOVABLE, GetDriveTypeA("R:\\")) << "arranged as a floppy drive without a disk";
    Installer setup;
    HWND page = ReachDestinationPage(setup);
    setup.TypeInto(page, 101, "R:\\Pictavo", "type a destination on the empty drive");
    setup.Click(setup.Button(page, "Next", "next"), "press Next");
    MessageBoxInfo box = setup.WaitMessageBox("Pictavo - Setup", "the page's own message");
    setup.Shot("empty-drive");
    EXPECT_NE(std::string::npos, box.text.find("enough Free disk space")) << box.text;
    HWND mainWindow = GetWindow(page, GW_OWNER);
    HWND other = setup.FindWindowWhere([&](HWND w) { return w != box.window && w != page && w != mainWindow; });
    EXPECT_TRUE(other == NULL) << "another window: " << Text(other);
    setup.Answer(box, "No", "answer No");
    CancelSetup(setup, page);
}
