// Setup and its uninstaller as deployment tools and scripts start them:
// from a list of arguments, quoted as every program that builds a command
// line quotes one, the outcome read from the exit code and the log.
// tests/e2e/arrange/DeployFaults.sh lays out E, a disk that the test fills.
#include "flows.h"
#include "installation.h"
#include <gtest/gtest.h>
#include <aclapi.h>
#include <sddl.h>
#include <algorithm>
#include <vector>

using namespace e2e;

namespace {

const char deployed[] = "C:\\Deploy Here\\Pictavo";
const char logs[] = "C:\\Deploy Logs";

// The line that a program makes from a list of arguments by the C
// runtime's rules, as Python's subprocess and .NET apply them: an argument
// with a blank or a tab, or an empty one, is quoted whole; a quote inside
// is escaped, and the backslashes before a quote are doubled.
std::string ArgumentLine(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty())
            line += ' ';
        bool quoted = argument.empty() || argument.find_first_of(" \t") != std::string::npos;
        if (quoted)
            line += '"';
        size_t backslashes = 0;
        for (char c : argument) {
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
            backslashes = 0;
            line += c;
        }
        line.append(quoted ? 2 * backslashes : backslashes, '\\');
        if (quoted)
            line += '"';
    }
    return line;
}

// A run that changes nothing lends its harness to the host commands
// (reg, ln) that a test needs before the run it is about.
struct Host : Installer {
    Host() : Installer("", "host", InstallerPath(), "/S /X")
    {
        WaitExit("the refused run ends");
    }
};

// A clean machine, and no trace of a deployment: its folder, its shortcut
// folder and the logs, whose folder is made again empty.
void CleanForDeployment(const std::string& shortcuts)
{
    StartClean();
    RemoveTree("C:\\Deploy Here");
    RemoveTree(shortcuts);
    RemoveTree(logs);
    ASSERT_TRUE(CreateDirectoryA(logs, NULL));
}

// The log's lines without their time, each of which must be one.
std::vector<std::string> LogSteps(const std::string& path)
{
    std::string text = ReadAll(path);
    std::vector<std::string> steps;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find("\r\n", at);
        EXPECT_NE(std::string::npos, end) << "every line ends whole:\n" << text;
        if (end == std::string::npos)
            break;
        std::string line = text.substr(at, end - at);
        const char stamp[] = "2000-01-01 00:00:00.000  ";
        bool timed = line.size() > sizeof stamp - 1;
        for (size_t i = 0; timed && i < sizeof stamp - 1; ++i)
            timed = stamp[i] >= '0' && stamp[i] <= '9' ? line[i] >= '0' && line[i] <= '9' : line[i] == stamp[i];
        EXPECT_TRUE(timed) << "a line without its time: " << line;
        steps.push_back(timed ? line.substr(sizeof stamp - 1) : line);
        at = end + 2;
    }
    return steps;
}

size_t Count(const std::vector<std::string>& steps, const std::string& start)
{
    size_t count = 0;
    for (const std::string& step : steps)
        count += step.compare(0, start.size(), start) == 0;
    return count;
}

std::string Joined(const std::vector<std::string>& steps)
{
    std::string text;
    for (const std::string& step : steps)
        text += step + "\n";
    return text;
}

// Each step of an installation into destination and shortcuts, in its
// order, up to the files that went in, and the exit code last.
void ExpectInstallLogged(const std::vector<std::string>& steps, const std::string& arguments,
                         const std::string& destination, const std::string& shortcuts, int exitCode,
                         int filesInstalled = 5)
{
    ASSERT_GE(steps.size(), 3u) << Joined(steps);
    EXPECT_EQ("Pictavo Setup started with the arguments: " + arguments, steps[0]);
    EXPECT_EQ(0u, steps[1].find("Windows ")) << steps[1];
    EXPECT_EQ("Setup ended with exit code " + std::to_string(exitCode), steps.back());
    std::vector<std::string> expected = {"Destination chosen: " + destination};
    for (int row = 0; row < filesInstalled; ++row)
        expected.push_back("File installed: " + destination + "\\" + installed::files[row] + ", " +
                           std::to_string(ReadAll(Original(installed::files[row])).size()) + " bytes, CRC-32 ");
    if (exitCode == ExitInstalled) {
        expected.push_back("Shortcut folder chosen: " + shortcuts);
        for (const installed::Link& link : installed::links)
            expected.push_back("Link written: " + shortcuts + "\\" + link.file + " -> " + destination + "\\");
    }
    size_t at = 2;
    for (const std::string& step : expected) {
        while (at < steps.size() && steps[at].compare(0, step.size(), step) != 0)
            ++at;
        EXPECT_LT(at, steps.size()) << "not logged, or not in its order: " << step << "\n" << Joined(steps);
        at = std::min(at, steps.size() - 1);
    }
    if (exitCode != ExitInstalled)
        return;
    for (const std::string& key : UninstallKeys())
        EXPECT_EQ(1u, Count(steps, "Registry value written: HKLM\\" + key + ", UninstallString = \"" + destination +
                                       "\\" + installed::uninstaller + "\""))
            << key << "\n" << Joined(steps);
    EXPECT_EQ(1u, Count(steps, std::string("Registry value written: HKLM\\") + installed::appPaths + ", Path = " +
                                   destination))
        << Joined(steps);
}

} // namespace

// Whole-argument quotes from an argument list, the value in quotes as
// people type it, and no quotes at all: the same installation, and switch
// letters in either case.
TEST(Deploy, ArgumentListsAndTypedLinesInstallIntoAPathWithBlanksInEveryForm)
{
    const std::string tools = std::string(installed::ntPrograms) + "\\Deploy Tools";
    if (!installed::NtFamily())
        GTEST_SKIP() << "the shortcut folders are checked where the NT family puts them";
    const std::string log = std::string(logs) + "\\setup one.log";
    struct Run {
        std::string line;
        std::string shortcuts;
    } runs[] = {
        {ArgumentLine({"/S", "/LOG=" + log, std::string("/D=") + deployed}), DefaultShortcutFolder()},
        {ArgumentLine({"/s", "/g=Deploy Tools", std::string("/d=") + deployed}), tools + "\\Pictavo"},
        {std::string("/s /G=\"Deploy Tools\" /D=\"") + deployed + "\"", tools + "\\Pictavo"},
        {std::string("/S /g=Tools /D=") + deployed, std::string(installed::ntPrograms) + "\\Tools\\Pictavo"},
    };
    EXPECT_EQ(std::string("/S \"/LOG=C:\\Deploy Logs\\setup one.log\" \"/D=") + deployed + "\"", runs[0].line);
    for (const Run& run : runs) {
        SCOPED_TRACE(run.line);
        CleanForDeployment(run.shortcuts);
        Installer setup("", "", InstallerPath(), run.line);
        EXPECT_EQ((DWORD)ExitInstalled, ExitWithoutWindow(setup, "silent install"));
        ExpectInstalled(setup, deployed, run.shortcuts);
        RemoveTree(tools);
        RemoveTree(std::string(installed::ntPrograms) + "\\Tools");
        if (&run != runs)
            continue;
        std::vector<std::string> steps = LogSteps(log);
        ExpectInstallLogged(steps, run.line, deployed, run.shortcuts, ExitInstalled);
        std::printf("The log of a silent install:\n%s", ReadAll(log).c_str());
    }
    RemoveTree("C:\\Deploy Here");
}

// A quote that does not close, or text right after one, is refused whole:
// nothing guessed, nothing made, not even the log. /? only tells.
TEST(Deploy, QuotesOutOfPlaceExitWithTwoAndQuestionMarkWithZeroChangingNothing)
{
    CleanForDeployment(DefaultShortcutFolder());
    const std::string log = std::string(logs) + "\\refused.log";
    const std::string lines[] = {
        "/S \"/D=C:\\Deploy Here\\Pictavo",
        "/S /D=\"C:\\Deploy Here\"\\Pictavo",
        "/S \"/LOG=" + log + "\"x /D=C:\\Deploy Here\\Pictavo",
        "/S /LOG=\"" + log + " /D=C:\\Deploy Here\\Pictavo",
        "/S \"/LOG=" + log + "\" /D=\"C:\\Deploy Here\\Pictavo",
    };
    for (const std::string& line : lines) {
        Installer setup("", "", InstallerPath(), line);
        EXPECT_EQ((DWORD)ExitBadArguments, ExitWithoutWindow(setup, "refused line")) << line;
    }
    {
        Installer setup("", "", InstallerPath(), ArgumentLine({"/s", "/?", "/LOG=" + log}));
        EXPECT_EQ((DWORD)ExitInstalled, ExitWithoutWindow(setup, "silent /?"));
    }
    Installer setup("", "", InstallerPath(), "/?");
    MessageBoxInfo box = setup.WaitMessageBox("Pictavo - Setup", "the accepted switches");
    setup.Shot("usage");
    for (const char* accepted : {"/S\t", "/LOG=file\t", "/G=folder\t", "/D=path\t", "/?\t"})
        EXPECT_NE(std::string::npos, box.text.find(accepted)) << box.text;
    EXPECT_EQ(std::string::npos, box.text.find("Unknown")) << box.text;
    EXPECT_EQ(NULL, setup.FindWindowWhere([&](HWND w) { return w != box.window; })) << "no page, no main window";
    setup.Answer(box, "OK", "close the box");
    EXPECT_EQ((DWORD)ExitInstalled, setup.WaitExit("the installer ends"));

    EXPECT_FALSE(FileExists("C:\\Deploy Here")) << "no folder made";
    EXPECT_FALSE(FileExists(defaultDestination));
    EXPECT_TRUE(NamesIn(logs).empty()) << "no log of a refused line";
    for (const std::string& key : UninstallKeys())
        EXPECT_FALSE(RegistryKeyExists(setup, key)) << key;
}

// A run with pages logs the same steps as a silent one.
TEST(DeployLog, ARunWithPagesLogsEachStepAndItsExitCode)
{
    CleanForDeployment(DefaultShortcutFolder());
    const std::string log = std::string(logs) + "\\pages.log";
    const std::string arguments = ArgumentLine({"/LOG=" + log});
    Installer setup("", "", InstallerPath(), arguments);
    ReachShortcutPage(setup);
    FinishAfterCopy(setup);
    ExpectInstalled(setup, defaultDestination, DefaultShortcutFolder());
    ExpectInstallLogged(LogSteps(log), arguments, defaultDestination, DefaultShortcutFolder(), ExitInstalled);
}

// The removal, started as a deployment tool starts it, leaves its steps in
// its own log: each file and key that went, and its exit code.
TEST(DeployLog, ASilentRemovalLogsWhatWentAndItsExitCode)
{
    {
        CleanForDeployment(DefaultShortcutFolder());
        Installer setup("", "", InstallerPath(), "/S");
        ASSERT_EQ((DWORD)ExitInstalled, ExitWithoutWindow(setup, "silent install"));
    }
    const std::string log = std::string(logs) + "\\removal.log";
    const std::string uninstaller = std::string(defaultDestination) + "\\" + installed::uninstaller;
    Installer removal("", "", uninstaller, ArgumentLine({"/S", "/LOG=" + log}));
    EXPECT_EQ((DWORD)UninstallRemoved, ExitWithoutWindow(removal, "silent removal"));
    // Its helper removes uninstall.exe and the folder, then its own copy in
    // a pvu* folder of the temporary folder: a run cut short here would
    // leave that copy to the next test.
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    auto helperLeft = [&temp] {
        for (const std::string& name : NamesIn(temp))
            if (name.compare(0, 3, "pvu") == 0)
                return true;
        return FileExists(defaultDestination);
    };
    for (DWORD start = GetTickCount(); helperLeft(); Sleep(100))
        if (GetTickCount() - start > 20000)
            removal.Fail("the helper finishes", "the product folder or the helper's copy stays");
    std::vector<std::string> steps = LogSteps(log);
    ASSERT_GE(steps.size(), 3u) << Joined(steps);
    EXPECT_EQ("Pictavo's uninstaller started with the arguments: " + ArgumentLine({"/S", "/LOG=" + log}), steps[0]);
    EXPECT_EQ("The uninstaller ended with exit code " + std::to_string(UninstallRemoved), steps.back());
    for (const char* file : installed::files) {
        if (std::string(file) == installed::uninstaller)
            continue;  // its helper removes it once this program has ended
        EXPECT_EQ(1u, Count(steps, std::string("Removed: ") + defaultDestination + "\\" + file)) << file;
    }
    for (const std::string& key : UninstallKeys())
        EXPECT_EQ(1u, Count(steps, "Removed: HKEY_LOCAL_MACHINE\\" + key)) << Joined(steps);
    EXPECT_EQ(1u, Count(steps, std::string("Removed: 5 program files in ") + defaultDestination)) << Joined(steps);
    EXPECT_EQ(0u, Count(steps, "Not removed")) << Joined(steps);
    std::printf("The log of a silent removal:\n%s", ReadAll(log).c_str());
}

// A link that another program put at the log's name, to a file of
// somebody else's or to a name not yet taken, is never written through.
TEST(DeployLog, ALinkAtTheLogsNameIsNotFollowed)
{
    Host host;
    CleanForDeployment(DefaultShortcutFolder());
    const std::string victim = std::string(logs) + "\\victim.txt";
    const std::string unborn = std::string(logs) + "\\unborn.txt";
    ASSERT_TRUE(WriteAll(victim, "somebody else's"));
    const std::string planted = std::string(logs) + "\\planted.log", dangling = std::string(logs) + "\\dangling.log";
    host.RunHost("cd " + HostPath(logs) + " && ln -s victim.txt planted.log && ln -s unborn.txt dangling.log",
                 "plant the links");
    for (const std::string& log : {planted, dangling}) {
        Installer setup("", "", InstallerPath(), ArgumentLine({"/S", "/LOG=" + log}));
        EXPECT_EQ((DWORD)ExitBadArguments, ExitWithoutWindow(setup, "silent install, log name taken")) << log;
    }
    EXPECT_EQ("somebody else's", ReadAll(victim));
    EXPECT_FALSE(FileExists(unborn)) << "nothing made through a link that leads nowhere";
    EXPECT_EQ("victim.txt\nunborn.txt\n",
              host.RunHost("cd " + HostPath(logs) + " && readlink planted.log dangling.log",
                           "the links stay links"));
    EXPECT_FALSE(FileExists(defaultDestination)) << "a log that cannot be made ends the run before anything";
    // On the host: Wine's DeleteFile would remove what the links lead to.
    host.RunHost("rm -r " + HostPath(logs), "remove the links");
}

namespace {

// The accounts other than the administrators, SYSTEM and the running one
// that have any entry in a file's DACL. Wine builds the DACL from the
// host's mode bits: others may read, and Everyone gets a read entry.
std::vector<std::string> OthersWithEntries(const std::string& path)
{
    PACL dacl = NULL;
    PSECURITY_DESCRIPTOR descriptor = NULL;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, NULL, NULL, &dacl, NULL,
                              &descriptor) != ERROR_SUCCESS)
        return {"(unreadable)"};
    BYTE token[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    HANDLE process = NULL;
    DWORD size = 0;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &process);
    GetTokenInformation(process, TokenUser, token, sizeof token, &size);
    CloseHandle(process);
    std::vector<std::string> others;
    if (!dacl)
        others.push_back("(no DACL: everyone)");
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* entry = NULL;
        if (!GetAce(dacl, i, (void**)&entry) || entry->Header.AceType != ACCESS_ALLOWED_ACE_TYPE)
            continue;
        char* name = NULL;
        ConvertSidToStringSidA(&entry->SidStart, &name);
        std::string account = name ? name : "?";
        LocalFree(name);
        if (account != "S-1-5-32-544" && account != "S-1-5-18" && !EqualSid(&entry->SidStart, ((TOKEN_USER*)token)->User.Sid))
            others.push_back(account);
    }
    LocalFree(descriptor);
    return others;
}

} // namespace

// Another user who may change the log's folder, or one above it, could put
// a link there and have the elevated run make its file wherever that user
// wants. Both programs refuse such a folder before they do anything else,
// and the folder a link leads to stays empty. The system's shared folders,
// where users may only add files of their own, still take a log, which
// gets permissions of its own.
TEST(DeployLog, ALogFolderThatALinkLeadsElsewhereOrOthersMayChangeIsRefusedBeforeAnythingElse)
{
    Host host;
    CleanForDeployment(DefaultShortcutFolder());
    const std::string elsewhere = std::string(logs) + "\\elsewhere", linked = std::string(logs) + "\\linked",
                      open = std::string(logs) + "\\open", aside = std::string(logs) + "\\aside";
    for (const std::string& folder : {elsewhere, open, aside})
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL)) << folder;
    // The uninstaller alone, without the product beside it: found nowhere,
    // it removes nothing once its log is made.
    const std::string uninstaller = aside + "\\" + installed::uninstaller;
    ASSERT_TRUE(CopyFileA(Original(installed::uninstaller).c_str(), uninstaller.c_str(), FALSE));
    host.RunHost("ln -s elsewhere " + HostPath(linked) + " && chmod o+w " + HostPath(open),
                 "link a folder to another, and let others change one");
    ASSERT_NE(0u, GetFileAttributesA(linked.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) << "Wine shows the link";

    for (const std::string& folder : {linked, open}) {
        SCOPED_TRACE(folder);
        const std::string setupLog = folder + "\\setup.log", removalLog = folder + "\\removal.log";
        EXPECT_EQ((DWORD)ExitBadArguments, RunSilently(ArgumentLine({"/S", "/LOG=" + setupLog})));
        EXPECT_FALSE(FileExists(defaultDestination)) << "a log that cannot be made ends the run before anything";
        EXPECT_EQ((DWORD)UninstallBadArguments, RunSilently(ArgumentLine({"/S", "/LOG=" + removalLog}), uninstaller, aside));
    }
    EXPECT_EQ(std::set<std::string>{}, NamesIn(elsewhere)) << "made through the link";
    EXPECT_EQ(std::set<std::string>{}, NamesIn(open)) << "made where others may change the folder";

    char windows[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    ASSERT_TRUE(length > 0 && length < MAX_PATH);
    for (const std::string& folder : {std::string(windows) + "\\Temp", std::string("C:\\ProgramData")}) {
        SCOPED_TRACE(folder);
        const std::string setupLog = folder + "\\pictavo-setup-test.log", removalLog = folder + "\\pictavo-removal-test.log";
        DeleteFileA(setupLog.c_str());
        DeleteFileA(removalLog.c_str());
        // A destination others may change ends Setup early, its log written.
        EXPECT_EQ((DWORD)ExitDestinationUnusable, RunSilently(ArgumentLine({"/S", "/LOG=" + setupLog, "/D=" + open})));
        EXPECT_EQ((DWORD)UninstallNotInstalled, RunSilently(ArgumentLine({"/S", "/LOG=" + removalLog}), uninstaller, aside)) << "not installed";
        std::vector<std::string> setupSteps = LogSteps(setupLog), removalSteps = LogSteps(removalLog);
        EXPECT_EQ("Setup ended with exit code 3", setupSteps.empty() ? "" : setupSteps.back()) << Joined(setupSteps);
        EXPECT_EQ("The uninstaller ended with exit code 2", removalSteps.empty() ? "" : removalSteps.back())
            << Joined(removalSteps);
        for (const std::string& log : {setupLog, removalLog}) {
            EXPECT_EQ(std::vector<std::string>{}, OthersWithEntries(log)) << log << ": others may read or edit it";
            DeleteFileA(log.c_str());
        }
    }
    EXPECT_EQ(std::set<std::string>{}, NamesIn(open));
    // On the host: Wine's DeleteFile would remove what the link leads to.
    host.RunHost("rm -r " + HostPath(logs), "remove the link and the logs' folder");
}

// The log of a run that failed names the file, the system's error and the
// exit code, and ends there.
TEST(DeployFaults, ADiskFillingUpIsLoggedWithItsErrorAndTheExitCode)
{
    if (GetDriveTypeA("E:\\") == DRIVE_NO_ROOT_DIR)
        GTEST_SKIP() << "no 1 MB disk: mounting a tmpfs needs root";
    CleanForDeployment(DefaultShortcutFolder());
    const std::string log = std::string(logs) + "\\full.log";
    const std::string arguments = ArgumentLine({"/S", "/LOG=" + log, "/D=E:\\Pictavo"});
    Hold hold;
    Installer setup("", "", HoldingInstallerPath(), arguments);
    FillDiskAtTheThirdFile(setup, hold);
    EXPECT_EQ((DWORD)ExitPayloadFailed, ExitWithoutWindow(setup, "silent install onto a disk that fills up"));

    std::vector<std::string> steps = LogSteps(log);
    ExpectInstallLogged(steps, arguments, "E:\\Pictavo", "", ExitPayloadFailed, 2);
    EXPECT_EQ(2u, Count(steps, "File installed: ")) << Joined(steps);
    std::string failed = std::string("File failed: E:\\Pictavo\\") + installed::files[2];
    ASSERT_EQ(1u, Count(steps, failed)) << Joined(steps);
    ASSERT_GE(steps.size(), 2u);
    EXPECT_EQ(0u, steps[steps.size() - 2].find(failed)) << "the failure is the last step";
    EXPECT_NE(std::string::npos, steps[steps.size() - 2].find("(error 112)")) << "the disk is full";
    std::printf("The log of a failed run:\n%s", ReadAll(log).c_str());
}
