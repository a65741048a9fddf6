// Installing again over an installation, and a run that never finished:
// a reinstall that fails at any file or is cancelled leaves the old
// installation whole, working and removable; a silent install killed at
// any moment leaves no product file half written, and a run after it
// finishes the installation.
#include "flows.h"
#include "installation.h"
#include <gtest/gtest.h>
#include <map>
#include <random>

using namespace e2e;

namespace {

const char work[] = "C:\\reinstall";

// Names in the product folder other than the product's own.
std::set<std::string> Strangers()
{
    std::set<std::string> names = NamesIn(defaultDestination);
    for (const char* file : installed::files)
        names.erase(file);
    names.erase(installed::picturesFolder);
    return names;
}

// The machine without the product, then a silent installation of it.
void CleanInstall(Installer& host)
{
    RemoveDefaultInstallation();
    RemoveTree(DefaultShortcutFolder());
    RemoveRegistration();
    ASSERT_EQ((DWORD)ExitInstalled, RunSilently("/S")) << "the first installation";
    ExpectInstalled(host, defaultDestination, DefaultShortcutFolder());
}

// The installed uninstaller, run silently as a deployment tool runs it:
// afterwards nothing of the product is left. It finishes through a helper
// that removes the folder once it has ended.
void ExpectRemovable(Installer& host, const std::string& step)
{
    EXPECT_EQ((DWORD)UninstallRemoved, RunSilently("/S", Installed(installed::uninstaller), defaultDestination)) << step;
    for (DWORD start = GetTickCount(); FolderExists(defaultDestination) && GetTickCount() - start < 20000;)
        Sleep(100);
    EXPECT_FALSE(FolderExists(defaultDestination)) << step << ": the product folder stays";
    EXPECT_FALSE(FolderExists(DefaultShortcutFolder())) << step << ": the shortcut folder stays";
    for (const std::string& key : UninstallKeys())
        EXPECT_FALSE(RegistryKeyExists(host, key)) << step << ": " << key;
    EXPECT_FALSE(RegistryKeyExists(host, installed::appPaths)) << step;
}

// Where the first literal byte of an SZDD stream lies: a changed literal
// keeps the expanded length and changes the expanded bytes.
size_t FirstLiteral(const std::string& szdd)
{
    for (size_t at = 14; at < szdd.size();) {
        unsigned char control = (unsigned char)szdd[at++];
        for (int bit = 0; bit < 8 && at < szdd.size(); ++bit) {
            if (control & (1 << bit))
                return at;
            at += 2;
        }
    }
    return std::string::npos;
}

} // namespace

// Five copies of the installer, each with one literal byte of one
// embedded file changed and sealed again, as a signing tool would: each
// passes the start-up check and fails only at its file, after the files
// before it were written and checked. None may touch the old installation.
TEST(Reinstall, AFailureAtAnyOfTheFiveFilesLeavesTheOldInstallationWholeAndRemovable)
{
    HostCommands host;
    RemoveTree(work);
    ASSERT_TRUE(CreateDirectoryA(work, NULL));
    std::string exe = ReadAll(InstallerPath());
    std::string folder = WindowsPath(EnvOr("PICTAVO_PAYLOAD_DIR", ""));
    std::string seal = "for copy in";
    for (int row = 0; row < 5; ++row) {
        std::string compressed = ReadAll(folder + "\\" + installed::compressed[row]);
        size_t start = exe.find(compressed);
        ASSERT_NE(std::string::npos, start) << installed::compressed[row];
        ASSERT_EQ(std::string::npos, exe.find(compressed, start + 1)) << installed::compressed[row];
        size_t literal = FirstLiteral(compressed);
        ASSERT_NE(std::string::npos, literal) << installed::compressed[row];
        std::string changed = exe;
        changed[start + literal] ^= 0x20;
        std::string name = "row" + std::to_string(row) + ".exe";
        ASSERT_TRUE(WriteAll(std::string(work) + "\\" + name, changed));
        seal += " \"$WINEPREFIX/drive_c/reinstall/" + name + "\"";
    }
    host.RunHost(seal + "; do \"$PICTAVO_SEAL_TOOL\" \"$copy\" || exit 1; done", "seal the changed copies again");

    ASSERT_NO_FATAL_FAILURE(CleanInstall(host));
    std::map<std::string, std::string> before = FilesAsTheyAre();
    std::map<std::string, std::string> entry = RegistryValues(host, UninstallKeys()[0]);
    for (int row = 0; row < 5; ++row) {
        std::string step = std::string("a reinstall that fails at ") + installed::files[row];
        EXPECT_EQ((DWORD)ExitPayloadFailed, RunSilently("/S", std::string(work) + "\\row" + std::to_string(row) + ".exe"))
            << step;
        std::map<std::string, std::string> now = FilesAsTheyAre();
        for (const char* file : installed::files)
            EXPECT_TRUE(before[file] == now[file]) << step << ": " << file << " changed or went";
        EXPECT_TRUE(Strangers().empty()) << step << ": " << *Strangers().begin() << " was left";
        EXPECT_EQ(entry, RegistryValues(host, UninstallKeys()[0])) << step;
    }
    // Whole and working: what the first run installed, still registered.
    ExpectInstalled(host, defaultDestination, DefaultShortcutFolder());
    ExpectRemovable(host, "after the failed reinstalls");
    RemoveTree(work);
}

// Cancel while the third file is written, over an installation: none of
// the old files changes, and nothing of the new ones stays.
TEST(Reinstall, CancelWhileTheFilesAreWrittenLeavesTheOldInstallation)
{
    HostCommands host;
    ASSERT_NO_FATAL_FAILURE(CleanInstall(host));
    std::map<std::string, std::string> before = FilesAsTheyAre();
    {
        Hold hold;
        Installer setup("", "", HoldingInstallerPath());
        HWND destination = ReachDestinationPage(setup);
        setup.Click(setup.Button(destination, "Next", "next"), "press Next");
        MessageBoxInfo over = setup.WaitMessageBox("Pictavo - Setup", "the existing folder");
        setup.Answer(over, "Yes", "install over it");
        HWND page = setup.WaitDialogWith(214, "copy page");
        hold.WaitReached(setup, "first file");
        hold.Release();
        hold.WaitReached(setup, "second file");
        hold.Release();
        hold.WaitReached(setup, "third file");
        setup.Click(setup.Button(page, "Cancel", "cancel"), "press Cancel during the third file");
        hold.Release();
        ExpectCancelMessage(setup);
    }
    std::map<std::string, std::string> now = FilesAsTheyAre();
    for (const char* file : installed::files)
        EXPECT_TRUE(before[file] == now[file]) << file << " changed or went";
    EXPECT_TRUE(Strangers().empty()) << *Strangers().begin() << " was left";
    ExpectInstalled(host, defaultDestination, DefaultShortcutFolder());
    ExpectRemovable(host, "after the cancelled reinstall");
}

// A silent install killed again and again: while a file is being written
// (the holding build, let go and killed within three milliseconds, about
// as long as a file takes here) or at any moment of a whole run; first each time from an empty product folder,
// then each run over what the runs before it left. No product file may
// ever be there half written; the run after the last kill ends with 0 and
// installs every file as built, and the uninstaller then leaves nothing.
TEST(Reinstall, ASilentInstallKilledAtRandomMomentsThenRunAgainEndsWhole)
{
    HostCommands host;
    RemoveTree(DefaultShortcutFolder());
    RemoveRegistration();
    std::mt19937 random(24);
    for (int kill = 0; kill < 16; ++kill) {
        bool fresh = kill < 8;
        if (fresh)
            RemoveDefaultInstallation();
        std::string step = "kill " + std::to_string(kill) + (fresh ? " of a fresh install" : " over the last");
        bool whileWriting = kill % 4 != 3;
        Hold hold;
        Installer run("", "", whileWriting ? HoldingInstallerPath() : InstallerPath(), "/S");
        if (whileWriting) {
            // The two large files take longest to write: most kills land there.
            const int rows[] = {0, 2, 0, 2, 1, 3, 4};
            int row = rows[random() % 7];
            for (int before = 0; before < row; ++before) {
                hold.WaitReached(run, step + ": file " + std::to_string(before));
                hold.Release();
            }
            hold.WaitReached(run, step + ": file " + std::to_string(row));
            hold.Release();
            // Sleep is too coarse for a file written in a few milliseconds.
            LARGE_INTEGER frequency, now, until;
            QueryPerformanceFrequency(&frequency);
            QueryPerformanceCounter(&until);
            int micro = random() % 3000;
            until.QuadPart += frequency.QuadPart * micro / 1000000;
            do
                QueryPerformanceCounter(&now);
            while (now.QuadPart < until.QuadPart);
            step += ", " + std::to_string(micro) + " us into file " + std::to_string(row);
        } else {
            DWORD after = random() % 600;
            step += ", " + std::to_string(after) + " ms after the start";
            Sleep(after);
        }
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, run.ProcessId());
        ASSERT_TRUE(process != NULL) << step;
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
        int inPlace = 0;
        for (const char* file : installed::files) {
            if (!FileExists(Installed(file)))
                continue;
            ++inPlace;
            EXPECT_TRUE(ReadAll(Installed(file)) == ReadAll(Original(file))) << step << ": " << file
                                                                            << " is there half written";
        }
        printf("%s: %d product files in place, %d other names\n", step.c_str(), inPlace,
               FolderExists(defaultDestination) ? (int)Strangers().size() : 0);
    }
    EXPECT_EQ((DWORD)ExitInstalled, RunSilently("/S")) << "the run after the kills";
    ExpectInstalled(host, defaultDestination, DefaultShortcutFolder());
    EXPECT_TRUE(Strangers().empty()) << *Strangers().begin() << " was left";
    ExpectRemovable(host, "after the run that finished");
}

// What a killed run left in the product folder goes with the next run:
// a staged file cut short. A link of the same pattern, to a file of the
// user's elsewhere, is never followed: that file stays as it was.
TEST(Reinstall, ARunRemovesTheStagedFilesLeftBeforeItButNeverFollowsALink)
{
    HostCommands host;
    ASSERT_NO_FATAL_FAILURE(CleanInstall(host));
    RemoveTree(work);
    ASSERT_TRUE(CreateDirectoryA(work, NULL));
    const std::string victim = std::string(work) + "\\victim.txt";
    ASSERT_TRUE(WriteAll(victim, "the user's own file"));
    ASSERT_TRUE(WriteAll(Installed("~pv0.new"), std::string(1000, 'x')));
    host.RunHost("ln -s " + HostPath(victim) + " " + HostPath(defaultDestination) + "/~pv1.new",
                 "link ~pv1.new to the user's file");

    EXPECT_EQ((DWORD)ExitInstalled, RunSilently("/S")) << "the run over the leftovers";
    EXPECT_FALSE(FileExists(Installed("~pv0.new"))) << "the leftover stays";
    EXPECT_EQ("the user's own file", ReadAll(victim));
    host.RunHost("rm -f " + HostPath(defaultDestination) + "/~pv1.new", "remove the link");
    ExpectInstalled(host, defaultDestination, DefaultShortcutFolder());
    ExpectRemovable(host, "after the run over the leftovers");
    RemoveTree(work);
}
