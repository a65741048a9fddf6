// The product folder belongs to the administrators: the folder Setup makes
// lets no one else write, an existing folder that others may change is
// refused, and so is a destination that a link leads elsewhere. Wine keeps
// no security descriptor: it builds one from the host's mode bits (others
// may write: Everyone may modify), and a host symbolic link inside drive_c
// is what a junction is on Windows. The tests arrange both on the host.
#include "flows.h"
#include "installation.h"
#include <gtest/gtest.h>
#include <aclapi.h>
#include <sddl.h>

using namespace e2e;

namespace {

const char linkedText[] = "is reached through a link to another folder.\nPlease choose another folder.";
const char sharedText[] = "can be changed by other users of this computer.\nPlease choose another folder.";

// The host commands (reg, chmod, ln), on a registry without the product's
// entries.
struct Host : HostCommands {
    Host() { RemoveRegistration(); }
};

// A silent run of the real installer, with the test's own account.
DWORD InstallSilently(const std::string& destination)
{
    return RunSilently("/S /D=" + destination);
}

// A folder holding one file that no installer may touch.
void MakeDecoy(const std::string& folder, const std::string& content)
{
    RemoveTree(folder);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL)) << folder;
    ASSERT_TRUE(WriteAll(folder + "\\" + installed::program, content)) << folder;
}

void ExpectDecoyUnchanged(const std::string& folder, const std::string& content)
{
    EXPECT_EQ(std::set<std::string>{installed::program}, NamesIn(folder)) << folder;
    EXPECT_TRUE(ReadAll(folder + "\\" + installed::program) == content) << folder << ": its program was overwritten";
}

// The page's refusal: the message names the folder, OK keeps the page, and
// the run is then cancelled.
void ExpectRefusedOnThePage(const std::string& destination, const char* reason)
{
    Installer setup("", "", InstallerPath(), "/D=" + destination);
    HWND page = ReachDestinationPage(setup);
    setup.Click(setup.Button(page, "Next", "next"), "press Next for " + destination);
    MessageBoxInfo box = setup.WaitMessageBox("Pictavo - Setup", "refusal of " + destination);
    setup.Shot("refused");
    EXPECT_EQ("The folder\n" + destination + "\n" + reason, box.text);
    setup.Answer(box, "OK", "close the refusal");
    EXPECT_TRUE(IsWindowVisible(page)) << "the page stays for another folder";
    EXPECT_FALSE(RegistryKeyExists(setup, installed::appPaths));
    CancelSetup(setup, page);
}

bool SameAccount(PSID account, WELL_KNOWN_SID_TYPE known)
{
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof sid;
    return CreateWellKnownSid(known, NULL, sid, &size) && EqualSid(account, sid);
}

// The accounts, by entry, that may change what the folder holds.
std::vector<std::string> WritersOf(const std::string& folder, PSID runningUser)
{
    PACL dacl = NULL;
    PSECURITY_DESCRIPTOR descriptor = NULL;
    std::vector<std::string> writers;
    if (GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, NULL, NULL, &dacl, NULL,
                              &descriptor) != ERROR_SUCCESS)
        return {"(unreadable)"};
    if (!dacl)
        writers.push_back("(no DACL: everyone)");
    const ACCESS_MASK writeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                                    FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* entry = NULL;
        if (!GetAce(dacl, i, (void**)&entry) || entry->Header.AceType != ACCESS_ALLOWED_ACE_TYPE ||
            !(entry->Mask & writeRights))
            continue;
        PSID account = &entry->SidStart;
        if (SameAccount(account, WinBuiltinAdministratorsSid) || SameAccount(account, WinLocalSystemSid) ||
            EqualSid(account, runningUser))
            continue;
        char* name = NULL;
        ConvertSidToStringSidA(account, &name);
        writers.push_back(name ? name : "?");
        LocalFree(name);
    }
    LocalFree(descriptor);
    return writers;
}

} // namespace

// A folder that inherits its parent's permissions is as open as the parent:
// the suite's Wine server runs with umask 0 (tests/wine/run-e2e.sh), which
// plays a drive root on which every user may write. The running account
// stays among the writers: Wine gives it the owner's mode bits, and Setup
// runs as that administrator.
TEST(DestinationUnderOpenRoot, TheFolderSetupMakesLetsOnlyAdministratorsWriteAndIsInstalledOverAgain)
{
    const std::string destination = "C:\\Guarded Pictavo";
    Host host;
    RemoveTree(destination);
    ASSERT_EQ((DWORD)ExitInstalled, InstallSilently(destination));

    BYTE token[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    HANDLE process = NULL;
    DWORD size = 0;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &process));
    ASSERT_TRUE(GetTokenInformation(process, TokenUser, token, sizeof token, &size));
    CloseHandle(process);
    PSID runningUser = ((TOKEN_USER*)token)->User.Sid;
    EXPECT_EQ(std::vector<std::string>{}, WritersOf(destination, runningUser));
    std::string mode = host.RunHost("stat -c %a " + HostPath(destination), "mode of the folder");
    EXPECT_EQ(0, std::stoi(mode, nullptr, 8) & 02) << "others may write: " << mode;

    // Setup's own folder passes its own check.
    EXPECT_EQ((DWORD)ExitInstalled, InstallSilently(destination)) << "installing again over Setup's own folder";
    EXPECT_EQ(ReadAll(Original(installed::program)), ReadAll(destination + "\\" + installed::program));
    RemoveTree(destination);
    RemoveRegistration();
}

// An existing folder that everyone may change, and a link at the
// destination's place or further up its path that leads to folders of
// other programs: each is refused, silently and on the page, and nothing
// in them changes.
TEST(DestinationTrust, AFolderThatOthersMayChangeOrThatALinkLeadsElsewhereIsRefusedAndLeftAsItWas)
{
    const std::string shared = "C:\\Shared Pictavo", decoy = "C:\\Decoy", decoyTree = "C:\\Decoy Tree";
    const std::string content = "another program's file\n";
    Host host;
    RemoveTree(shared);
    ASSERT_TRUE(CreateDirectoryA(shared.c_str(), NULL));
    host.RunHost("chmod o+w " + HostPath(shared), "let others write");
    host.RunHost("rm -f " + HostPath("C:\\Linked") + " " + HostPath("C:\\Linked Tree"), "remove old links");
    MakeDecoy(decoy, content);
    MakeDecoy(decoyTree, content);
    host.RunHost("ln -s " + HostPath(decoy) + " " + HostPath("C:\\Linked") + " && ln -s " + HostPath(decoyTree) +
                     " " + HostPath("C:\\Linked Tree"),
                 "make the links");

    const struct {
        std::string destination;
        const char* reason;
    } refused[] = {
        {shared, sharedText},
        {"C:\\Linked", linkedText},
        {"C:\\Linked Tree\\Pictavo", linkedText},
    };
    for (const auto& row : refused)
        EXPECT_EQ((DWORD)ExitDestinationUnusable, InstallSilently(row.destination)) << row.destination;
    EXPECT_FALSE(RegistryKeyExists(host, installed::appPaths));
    for (const auto& row : refused)
        ExpectRefusedOnThePage(row.destination, row.reason);
    EXPECT_TRUE(NamesIn(shared).empty()) << "nothing written";
    ExpectDecoyUnchanged(decoy, content);
    ExpectDecoyUnchanged(decoyTree, content);

    host.RunHost("rm -f " + HostPath("C:\\Linked") + " " + HostPath("C:\\Linked Tree"), "remove the links");
    RemoveTree(shared);
    RemoveTree(decoy);
    RemoveTree(decoyTree);
}

// Between the checks and the last file, the folder that was checked is the
// one written into: it cannot be renamed away and a link put in its place.
TEST(DestinationTrust, TheCheckedFolderCannotBeMovedAsideWhileTheFilesAreWritten)
{
    const std::string destination = "C:\\Held Pictavo", aside = "C:\\Held Pictavo aside";
    Host host;
    RemoveTree(destination);
    RemoveTree(aside);
    Hold hold;
    Installer setup("", "", HoldingInstallerPath(), "/S /D=" + destination);
    hold.WaitReached(setup, "first file");
    EXPECT_FALSE(MoveFileA(destination.c_str(), aside.c_str())) << "the folder was moved aside";
    MoveFileA(aside.c_str(), destination.c_str());
    for (int file = 1; file < 5; ++file) {
        hold.Release();
        hold.WaitReached(setup, "file " + std::to_string(file + 1));
    }
    hold.Release();
    EXPECT_EQ((DWORD)ExitInstalled, setup.WaitExit("the silent run ends"));
    EXPECT_EQ(ReadAll(Original(installed::readme)), ReadAll(destination + "\\" + installed::readme));
    RemoveTree(destination);
    RemoveRegistration();
}

// Wine posing as Windows 98 changes the version that programs read, not
// the kernel underneath: folders still have owners, permissions and links.
// A folder that others may change is refused as on the NT family, and the
// folder that Setup makes still lets no one else in (others get no mode
// bits; made without permissions of its own, it would let them read).
TEST(DestinationTrustWin98, AFolderThatOthersMayChangeIsRefusedAndSetupsOwnLetsNoOneElseIn)
{
    ASSERT_FALSE(installed::NtFamily()) << "the prefix reports the 9x family";
    const std::string shared = "C:\\Shared Pictavo", guarded = "C:\\Guarded Pictavo";
    Host host;
    RemoveTree(shared);
    RemoveTree(guarded);
    RemoveTree(DefaultShortcutFolder());
    ASSERT_TRUE(CreateDirectoryA(shared.c_str(), NULL));
    host.RunHost("chmod o+w " + HostPath(shared), "let others write");
    EXPECT_EQ((DWORD)ExitDestinationUnusable, InstallSilently(shared));
    EXPECT_TRUE(NamesIn(shared).empty()) << "nothing written";
    EXPECT_FALSE(RegistryKeyExists(host, installed::appPaths));

    ASSERT_EQ((DWORD)ExitInstalled, InstallSilently(guarded));
    std::string mode = host.RunHost("stat -c %a " + HostPath(guarded), "mode of the folder");
    EXPECT_EQ(0, std::stoi(mode, nullptr, 8) & 07) << "others may read or write: " << mode;
    EXPECT_EQ((DWORD)ExitInstalled, InstallSilently(guarded)) << "installing again over Setup's own folder";

    RemoveTree(shared);
    RemoveTree(guarded);
    RemoveTree(DefaultShortcutFolder());
    RemoveRegistration();
}

// An existing folder is asked about, and the folder that was checked stays
// held while the question is up: no other program can move it aside and
// put a link at its name, and Yes installs into that very folder.
TEST(DestinationTrust, AnExistingFolderCannotBeSwappedForALinkWhileItsQuestionIsUp)
{
    const std::string destination = "C:\\Asked Pictavo", aside = "C:\\Asked Pictavo aside";
    const std::string victim = "C:\\Asked Victim", content = "another program's file\n";
    Host host;
    RemoveTree(destination);
    RemoveTree(aside);
    MakeDecoy(victim, content);
    ASSERT_TRUE(CreateDirectoryA(destination.c_str(), NULL));

    Installer setup("", "", InstallerPath(), "/D=" + destination);
    HWND page = ReachDestinationPage(setup);
    setup.Click(setup.Button(page, "Next", "next"), "press Next");
    MessageBoxInfo question = setup.WaitMessageBox("Pictavo - Setup", "existing folder question");
    bool moved = MoveFileA(destination.c_str(), aside.c_str()) != FALSE;
    EXPECT_FALSE(moved) << "the asked-about folder was moved aside";
    if (moved)
        host.RunHost("ln -s " + HostPath(victim) + " " + HostPath(destination), "put a link in its place");
    setup.Answer(question, "Yes", "install there");
    setup.WaitGone(page, "destination page closes");
    FinishAfterCopy(setup);

    ExpectDecoyUnchanged(victim, content);
    EXPECT_EQ(ReadAll(Original(installed::program)), ReadAll(destination + "\\" + installed::program));
    if (moved)
        host.RunHost("rm -f " + HostPath(destination), "remove the link");
    RemoveTree(destination);
    RemoveTree(aside);
    RemoveTree(victim);
    RemoveRegistration();
}
