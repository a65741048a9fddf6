// The product's uninstaller, driven as a user would after a real install:
// the whole round trip must leave drive C and the registry as they were,
// and the user's own files must outlive it.
#include "flows.h"
#include "installation.h"
#include "installed_names.h"
#include <gtest/gtest.h>
#include <tlhelp32.h>
#include <algorithm>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <vector>

using namespace e2e;

namespace {

const char caption[] = "Pictavo - Uninstall";
using installed::ntBranch;
using installed::windowsBranch;

std::string InDestination(const char* name)
{
    return std::string(defaultDestination) + "\\" + name;
}

// Which build and which system this run had, for the test's output.
void SayWhatRan(const char* how)
{
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
#ifdef _WIN64
    const char* build = "64-bit build in a 64-bit prefix";
#else
    const char* build = wow64 ? "32-bit build in a 64-bit prefix" : "32-bit build in a 32-bit prefix";
#endif
    std::cout << "[   INFO   ] " << build << ", " << (!installed::NtFamily() ? "set to Windows 98" : "NT family")
              << ", uninstalled through " << how << std::endl;
}

// The folder (or, were it misplaced, the file) in the temporary folder
// where the NT helper waits for the uninstaller to end: "" once it is gone.
std::string HelperInTemp()
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(temp) + "pvu*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return "";
    FindClose(search);
    return std::string(temp) + found.cFileName;
}

// The copy that finishes the removal lies in the temporary folder and is
// gone once it has done its work; until then the folder may still exist.
void WaitForTheHelper(Installer& any, bool folderGoes)
{
    for (DWORD start = GetTickCount();; Sleep(100)) {
        std::string helper = HelperInTemp();
        bool programLeft = FileExists(InDestination(installed::uninstaller));
        bool folderLeft = folderGoes && FolderExists(defaultDestination);
        if (helper.empty() && !programLeft && !folderLeft)
            return;
        if (GetTickCount() - start > 20000)
            any.Fail("the helper finishes", (helper.empty() ? "" : helper + " stays; ") +
                                                std::string(programLeft ? "uninstall.exe stays; " : "") +
                                                (folderLeft ? "the product folder stays" : ""));
    }
}

// Drive C as names, sizes, link targets and MD5 sums of contents: times
// change with every run and say nothing about what was left.
std::vector<std::string> FileTree(Installer& any, const std::string& step)
{
    const char command[] =
        "cd \"$WINEPREFIX/drive_c\" && { find . ! -type f -printf '%y %p -> %l\\n'; find . -type f -printf 'f %p "
        "%s bytes\\n'; find . -type f -print0 | xargs -0 md5sum; } | LC_ALL=C sort";
    // Once, on a loaded machine, a listing came back nearly empty: a second
    // look tells a broken listing from a changed drive.
    std::string listing = any.RunHost(command, step);
    if (listing.find("\nd ./windows -> ") == std::string::npos)
        listing = any.RunHost(command, step + " (again)");
    if (listing.find("\nd ./windows -> ") == std::string::npos)
        any.Fail(step, "the listing of drive C holds no windows folder:\n" + listing.substr(0, 2000));
    std::vector<std::string> lines;
    std::istringstream in(listing);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A hive as regedit exports it: each key with its value lines, a value
// continued over several lines joined into one. regedit runs in this
// session as a child of this program (a new Wine process started from the
// host took seconds in a 64-bit prefix), and its UTF-16 file is read here.
std::map<std::string, std::vector<std::string>> Registry(Installer& any, const char* hive, const std::string& step)
{
    std::string file = WindowsPath(EnvOr("PICTAVO_SHOTS", "/tmp") + "/export-" +
                                   std::to_string(GetCurrentProcessId()) + ".reg");
    std::string command = "regedit.exe /E \"" + file + "\" " + hive;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION regedit = {};
    if (!CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &regedit))
        any.Fail(step, "regedit does not start");
    DWORD waited = WaitForSingleObject(regedit.hProcess, 60000);
    CloseHandle(regedit.hProcess);
    CloseHandle(regedit.hThread);
    std::string raw = ReadAll(file);
    DeleteFileA(file.c_str());
    if (waited != WAIT_OBJECT_0 || raw.size() < 2 || raw == "<missing>")
        any.Fail(step, "regedit wrote no export");
    // UTF-16 with a byte order mark, as regedit writes it.
    std::wstring wide((const wchar_t*)(raw.data() + 2), (raw.size() - 2) / 2);
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), NULL, 0, NULL, NULL);
    std::string text(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), &text[0], length, NULL, NULL);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    std::map<std::string, std::vector<std::string>> keys;
    std::istringstream in(text);
    std::string key, pending;
    for (std::string line; std::getline(in, line);) {
        if (!pending.empty()) {
            size_t start = line.find_first_not_of(' ');
            line = pending + (start == std::string::npos ? "" : line.substr(start));
            pending.clear();
        }
        if (!line.empty() && line.back() == '\\' && !key.empty() && line[0] != '[') {
            pending = line.substr(0, line.size() - 1);
            continue;
        }
        if (!line.empty() && line[0] == '[') {
            key = line;
            keys[key];
        } else if (!line.empty() && !key.empty() && line[0] != '#') {
            keys[key].push_back(line);
        }
    }
    return keys;
}

struct Snapshot {
    std::vector<std::string> files;
    std::map<std::string, std::vector<std::string>> machine;
    std::map<std::string, std::vector<std::string>> user;
};

Snapshot TakeSnapshot(Installer& any, const std::string& when)
{
    Snapshot shot;
    shot.files = FileTree(any, "files " + when);
    shot.machine = Registry(any, "HKEY_LOCAL_MACHINE", "HKEY_LOCAL_MACHINE " + when);
    shot.user = Registry(any, "HKEY_CURRENT_USER", "HKEY_CURRENT_USER " + when);
    return shot;
}

// What Wine itself changes between two looks at the same machine, whatever
// ran in between, each with the reason. Nothing else may differ: not a file
// of drive C, and not a key of either hive.
struct Allowed {
    const char* fragment;
    const char* why;
};
const std::vector<Allowed> wineChanges = {
    {"\\NetworkCards", "Wine lists the host's network cards anew whenever its services start"},
    {"\\DeviceClasses", "Wine's device manager records the host's devices at each start"},
    {"\\ServiceCurrent", "a counter that Wine's service manager raises at each start"},
    {"\\Temporary System Parameters", "Wine keeps the display's current settings there, rewritten as windows open"},
    {"\\Explorer\\Advanced]", "Wine's shell makes this key the first time it opens a folder window, as Setup's last "
                                "step does"},
    // No console key: Wine's console writes its defaults when a console
    // program first runs, and under Wine posing as Windows 98 (an NT kernel
    // still) the uninstaller starts none.
};

const Allowed* AllowedFor(const std::string& line, const std::vector<Allowed>& rows)
{
    for (const Allowed& row : rows)
        if (line.find(row.fragment) != std::string::npos)
            return &row;
    return nullptr;
}

// Lines only in `before` or only in `after`, each marked with - or +.
std::vector<std::string> Differences(std::vector<std::string> before, std::vector<std::string> after)
{
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    std::vector<std::string> gone, added, all;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(gone));
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
    for (const std::string& line : gone)
        all.push_back("- " + line);
    for (const std::string& line : added)
        all.push_back("+ " + line);
    return all;
}

std::vector<std::string> RegistryLines(const std::map<std::string, std::vector<std::string>>& keys)
{
    std::vector<std::string> lines;
    for (const auto& key : keys) {
        lines.push_back(key.first);
        for (const std::string& value : key.second)
            lines.push_back(key.first + " " + value);
    }
    return lines;
}

// Every difference must be one that Wine makes by itself; those are
// printed with their reason, the rest fail the test.
void ExpectSame(const std::vector<std::string>& before, const std::vector<std::string>& after, const char* what,
                const std::vector<Allowed>& allowed = {})
{
    std::string unexpected;
    std::map<const Allowed*, int> seen;
    for (const std::string& line : Differences(before, after)) {
        if (const Allowed* row = AllowedFor(line, allowed))
            ++seen[row];
        else
            unexpected += line + "\n";
    }
    for (const auto& row : seen)
        std::cout << "[   INFO   ] " << what << ": " << row.second << " lines differ under '" << row.first->fragment
                  << "': " << row.first->why << std::endl;
    EXPECT_EQ("", unexpected) << what << " differs after the uninstall";
}
bool ShellRuns()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
        found = _stricmp(entry.szExeFile, "explorer.exe") == 0;
    CloseHandle(snapshot);
    return found;
}

enum class Via { Shortcut, SystemList };

void RoundTrip(Via via)
{
    StartClean();
    Installer setup;
    Snapshot before = TakeSnapshot(setup, "before the install");
    // Setup ends by opening the shell on the shortcut folder. Its window
    // stays open while the uninstaller runs: when Wine's shell process
    // ended during the uninstaller's run, the uninstaller died of an X
    // error (BadWindow on a window of the shell) as its question closed.
    setup.Click(setup.Button(ReachShortcutPage(setup), "Finish", "finish"), "press Finish");
    ExpectSuccessMessage(setup);
    HWND shell = setup.WaitForeignWindow([](HWND w) { return Text(w) == "Pictavo" && ClassName(w) != "PictavoMain"; },
                                         "the shell shows the shortcut folder");
    // The comparison must see what an install changes, or it proves nothing.
    Snapshot installed = TakeSnapshot(setup, "after the install");
    std::string files, machine;
    for (const std::string& line : Differences(before.files, installed.files))
        files += line + "\n";
    for (char& c : files)
        c = (char)tolower((unsigned char)c); // Wine's folder is "Program Files"
    for (const std::string& line : Differences(RegistryLines(before.machine), RegistryLines(installed.machine)))
        machine += line + "\n";
    EXPECT_NE(std::string::npos, files.find("+ f ./program files/pictavo/uninstall.exe")) << files;
    EXPECT_NE(std::string::npos, files.find("/start menu/programs/pictavo/uninstall.lnk")) << files;
    EXPECT_NE(std::string::npos, machine.find("\\CurrentVersion\\App Paths\\Pictavo]")) << machine;
#ifndef _WIN64
    // The 64-bit prefix: a 32-bit Setup's keys land in the 32-bit view.
    if (via == Via::SystemList) {
        EXPECT_NE(std::string::npos, setup.RunHost("\"$PICTAVO_WINE\" reg query 'HKLM\\SOFTWARE\\Wow6432Node\\Microsoft\\"
                                                   "Windows NT\\CurrentVersion\\Uninstall\\Pictavo' /v DisplayName",
                                                   "the 32-bit view")
                                          .find("Pictavo"));
    }
#endif

    PROCESS_INFORMATION list = {};
    if (via == Via::Shortcut) {
        std::string link = DefaultShortcutFolder() + "\\Uninstall.lnk";
        ASSERT_GT((INT_PTR)ShellExecuteA(NULL, "open", link.c_str(), NULL, NULL, SW_SHOWNORMAL), 32) << link;
    } else {
        // Wine's own list of removable programs ("wine uninstaller") runs
        // the entry's UninstallString. Started through a host shell, its
        // boxes were at times never found by EnumWindows here, though on
        // the screen; started from this program they always are.
        char command[] = "uninstaller.exe --remove Pictavo";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, "C:\\", &startup, &list))
            << GetLastError();
    }
    MessageBoxInfo question = setup.WaitForeignMessageBox(caption, "the question", 30000);
    EXPECT_EQ("Remove Pictavo and all of its components?", question.text);
    setup.Shot("question");
    setup.Answer(question, "Yes", "remove");
    MessageBoxInfo report = setup.WaitForeignMessageBox(caption, "the closing report", 30000);
    setup.Shot("report");
    // The helper waits in a folder of its own that lets no one but the
    // administrators in, under Wine posing as Windows 98 too: its kernel is
    // NT's, and the user's temporary folder has permissions to inherit.
    std::string helper = HelperInTemp();
    EXPECT_TRUE(FolderExists(helper)) << "no helper's folder in the temporary folder: " << helper;
    if (FolderExists(helper)) {
        std::string mode = setup.RunHost("stat -c %a " + HostPath(helper), "the helper's folder");
        EXPECT_EQ('0', mode.at(mode.find_last_not_of("\r\n"))) << "mode " << mode;
    }
    // One sentence for a person: counts and key paths are the log's.
    EXPECT_EQ("Pictavo was removed from this computer.", report.text);
    setup.Answer(report, "OK", "close the report");
    if (list.hProcess) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(list.hProcess, 20000)) << "the system's list waits for it";
        CloseHandle(list.hProcess);
        CloseHandle(list.hThread);
    }
    WaitForTheHelper(setup, true);
    PostMessageA(shell, WM_CLOSE, 0, 0);
    for (DWORD start = GetTickCount(); ShellRuns() && GetTickCount() - start < 15000;)
        Sleep(100);

    Snapshot after = TakeSnapshot(setup, "after the uninstall");
    ExpectSame(before.files, after.files, "drive C");
    ExpectSame(RegistryLines(before.machine), RegistryLines(after.machine), "HKEY_LOCAL_MACHINE", wineChanges);
    ExpectSame(RegistryLines(before.user), RegistryLines(after.user), "HKEY_CURRENT_USER", wineChanges);
    SayWhatRan(via == Via::Shortcut ? "the Uninstall shortcut" : "wine uninstaller --remove Pictavo");
}

// The uninstaller, started from its folder as the shortcut starts it.
const std::string uninstaller = InDestination(installed::uninstaller);

// A silent removal by the installed uninstaller, which must leave the
// machine as it was before the install.
void RemoveSilentlyAndCompare(Installer& host, const Snapshot& before, const std::string& what)
{
    EXPECT_EQ((DWORD)UninstallRemoved, RunSilently("/S", uninstaller, defaultDestination)) << what;
    WaitForTheHelper(host, true);
    EXPECT_EQ(NULL, FindWindowA(NULL, caption)) << "no box of the helper either";
    Snapshot after = TakeSnapshot(host, "after the uninstall " + what);
    ExpectSame(before.files, after.files, "drive C");
    ExpectSame(RegistryLines(before.machine), RegistryLines(after.machine), "HKEY_LOCAL_MACHINE", wineChanges);
}

// Still installed after a run that removed nothing. Not the exact check
// of installation.h: these tests put the user's own files and links into
// the product folder, and change the entry's values, on purpose.
void ExpectStillInstalled(const char* when)
{
    for (const char* name : installed::files)
        EXPECT_TRUE(FileExists(InDestination(name))) << name << " " << when;
    EXPECT_TRUE(FileExists(DefaultShortcutFolder() + "\\" + installed::links[1].file)) << when;
    EXPECT_TRUE(KeyExists(installed::UninstallEntry(windowsBranch))) << when;
    EXPECT_TRUE(KeyExists(installed::appPaths)) << when;
}

// Saves a drawing with pictavo.exe where its Save dialog starts: PvFiles.
void SavePicture(const char* name)
{
    Installer pictavo("", "", InDestination(installed::program));
    HWND main = pictavo.WaitWindowWhere([](HWND w) { return ClassName(w) == "PictavoMain"; }, "pictavo.exe opens");
    pictavo.Key(main, "ctrl+s", "save");
    HWND dialog = pictavo.WaitWindow("Save as BMP", "the Save dialog");
    // The dialog opens with its proposed name selected: typing replaces it.
    pictavo.Type(dialog, name, "type the name");
    pictavo.Key(dialog, "Return", "save it");
    pictavo.WaitGone(dialog, "the Save dialog closes");
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, pictavo.WaitExit("pictavo.exe ends"));
}

// The entry's Progdir, as another program might have written it.
void SetProgdir(DWORD type, const std::string& progdir)
{
    for (const char* base : {ntBranch, windowsBranch}) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, installed::UninstallEntry(base).c_str(), 0,
                                               KEY_SET_VALUE, &key));
        RegSetValueExA(key, "Progdir", 0, type, (const BYTE*)progdir.c_str(), (DWORD)progdir.size() + 1);
        RegCloseKey(key);
    }
}

// A host symbolic link, which Wine shows as a junction or a directory link
// (its own mklink makes nothing).
void HostLink(Installer& host, const std::string& target, const std::string& link)
{
    host.RunHost("ln -s " + HostPath(target) + " " + HostPath(link), "link " + link + " to " + target);
}

void HostRemove(Installer& host, const std::string& path)
{
    host.RunHost("rm -rf " + HostPath(path), "remove " + path + " on the host");
}

// Files with texts of their own, which must come through unchanged.
void WriteFiles(const std::string& folder, const std::vector<std::string>& names, const std::string& text)
{
    CreateDirectoryA(folder.c_str(), NULL);
    for (const std::string& name : names)
        ASSERT_TRUE(WriteAll(folder + "\\" + name, text + " " + name)) << name;
}

void ExpectFiles(const std::string& folder, const std::vector<std::string>& names, const std::string& text)
{
    for (const std::string& name : names)
        EXPECT_EQ(text + " " + name, ReadAll(folder + "\\" + name)) << folder << "\\" << name;
}

} // namespace

// Both silent, as a deployment tool runs them: no window of either, not
// even the helper's, and the machine as it was. Then a confirmed Cancel on
// the Shortcut page leaves the files but no entry; the uninstaller beside
// them still removes them, and the machine is again as it was.
TEST(Uninstall, SilentRemovalAfterASilentInstallOrCancelledShortcutsLeavesTheMachineAsItWas)
{
    StartClean();
    HostCommands host;
    Snapshot before = TakeSnapshot(host, "before the install");
    ASSERT_EQ((DWORD)ExitInstalled, RunSilently("/S"));
    Snapshot installed = TakeSnapshot(host, "after the install");
    ASSERT_FALSE(Differences(before.files, installed.files).empty()) << "the install changed nothing";
    // A switch the uninstaller does not take ends it before it touches anything.
    EXPECT_EQ((DWORD)UninstallBadArguments, RunSilently("/S /D=C:\\", uninstaller, defaultDestination));
    ExpectSame(installed.files, TakeSnapshot(host, "after the refused line").files, "drive C");
    RemoveSilentlyAndCompare(host, before, "after the silent install");

    {
        Installer setup;
        HWND shortcuts = ReachShortcutPage(setup);
        setup.Click(setup.Button(shortcuts, "Cancel", "cancel"), "press Cancel");
        setup.Answer(setup.WaitMessageBox("Confirmation", "the cancel question"), "Yes", "cancel the shortcuts");
        ExpectSuccessMessage(setup);
    }
    ASSERT_TRUE(FileExists(InDestination(installed::program))) << "the product stays installed";
    ASSERT_FALSE(KeyExists(installed::UninstallEntry(windowsBranch)));
    ASSERT_FALSE(KeyExists(installed::UninstallEntry(ntBranch)));
    RemoveSilentlyAndCompare(host, before, "without an entry");
}

TEST(Uninstall, InstallThenUninstallThroughTheShortcutLeavesTheMachineAsItWas)
{
    RoundTrip(Via::Shortcut);
}

TEST(UninstallWin64, InstallThenUninstallThroughTheSystemsListLeavesTheMachineAsItWas)
{
    RoundTrip(Via::SystemList);
}

TEST(UninstallWin98, InstallThenUninstallOnTheNineXFamilyLeavesTheMachineAsItWas)
{
#ifdef _WIN64
    GTEST_SKIP() << "a 64-bit program cannot pose as Windows 98: the 32-bit build runs this case";
#else
    ASSERT_FALSE(installed::NtFamily()) << "the prefix reports the 9x family";
    // COMSPEC names a program that is no command interpreter: had the
    // uninstaller taken the 9x way (the version says 9x, the kernel is NT's),
    // or run its batch through COMSPEC, uninstall.exe would stay.
    const std::string planted = "C:\\Planted";
    RemoveTree(planted);
    ASSERT_TRUE(CreateDirectoryA(planted.c_str(), NULL));
    // Not one of Wine's own programs: Wine would run its built-in cmd.exe
    // for any of those copied under that name.
    std::string stranger = WindowsPath(EnvOr("PICTAVO_PLANTED_DIR", "")) + "\\load_by_name.exe";
    ASSERT_TRUE(CopyFileA(stranger.c_str(), (planted + "\\cmd.exe").c_str(), FALSE)) << stranger;
    SetEnvironmentVariableA("COMSPEC", (planted + "\\cmd.exe").c_str());
    RoundTrip(Via::Shortcut);
    RemoveTree(planted);
#endif
}

namespace {

// Found without an entry, the folder the uninstaller runs from is taken
// for an installation only when no one but the administrators can change
// it: one that others may change, holding the product's files, is left
// whole, as an installation that is not there.
void ExpectAFolderOthersMayChangeIsNoInstallation()
{
    StartClean();
    HostCommands host;
    const std::string shared = "C:\\Shared Pictavo";
    HostRemove(host, shared);
    ASSERT_TRUE(CreateDirectoryA(shared.c_str(), NULL));
    for (const char* name : {installed::program, installed::uninstaller})
        ASSERT_TRUE(CopyFileA(Original(name).c_str(), (shared + "\\" + name).c_str(), FALSE)) << name;
    host.RunHost("chmod o+w " + HostPath(shared), "let others write");
    EXPECT_EQ((DWORD)UninstallNotInstalled, RunSilently("/S", shared + "\\" + installed::uninstaller, shared)) << "not installed";
    EXPECT_EQ(std::set<std::string>({installed::program, installed::uninstaller}), NamesIn(shared));
    EXPECT_EQ("", HelperInTemp()) << "no helper started";
    HostRemove(host, shared);
}

} // namespace

TEST(Uninstall, AFolderThatOthersMayChangeIsNoInstallationToRemove)
{
    ExpectAFolderOthersMayChangeIsNoInstallation();
}

// The same on Wine posing as Windows 98: the kernel, not the version,
// decides that folders have permissions.
TEST(UninstallWin98, AFolderThatOthersMayChangeIsNoInstallationToRemove)
{
    ASSERT_FALSE(installed::NtFamily()) << "the prefix reports the 9x family";
    ExpectAFolderOthersMayChangeIsNoInstallation();
}

// No, and an entry that names no installation of the product, remove
// nothing; Yes then removes the product, and the user's own files outlive
// it.
TEST(Uninstall, NoOrAStrangeEntryRemoveNothingThenUserFilesOutliveTheRemovalAndASecondRunFindsNothing)
{
    StartClean();
    {
        Installer setup;
        setup.Click(setup.Button(ReachDestinationPage(setup), "Next", "next"), "press Next");
        FinishAfterCopy(setup);
    }
    SavePicture("mine.bmp");
    std::string picture = InDestination("PvFiles\\mine.bmp");
    ASSERT_TRUE(FileExists(picture)) << "the Save dialog starts in PvFiles";
    std::string notes = InDestination("notes.txt");
    ASSERT_TRUE(WriteAll(notes, "the user's own"));
    std::string aside = WindowsPath(EnvOr("PICTAVO_SHOTS", "/tmp") + "/uninstall-aside.exe");
    ASSERT_TRUE(CopyFileA(InDestination(installed::uninstaller).c_str(), aside.c_str(), FALSE));

    {
        Installer first(defaultDestination, "", uninstaller);
        MessageBoxInfo question = first.WaitMessageBox(caption, "the question");
        EXPECT_EQ((std::vector<std::string>{"&Yes", "&No"}), question.buttons);
        first.Answer(question, "No", "keep Pictavo");
        EXPECT_EQ((DWORD)UninstallDeclined, first.WaitExit("No ends the uninstaller"));
    }
    ExpectStillInstalled("after No");

    // A folder with a program of that name and the user's files, but no
    // uninstaller: not an installation of the product.
    const std::string elsewhere = "C:\\Pictavo elsewhere";
    RemoveTree(elsewhere);
    ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), NULL));
    ASSERT_TRUE(WriteAll(elsewhere + "\\pictavo.exe", "someone else's"));
    ASSERT_TRUE(WriteAll(elsewhere + "\\readme.wri", "someone else's"));
    const struct {
        DWORD type;
        std::string progdir;
        const char* message;
    } strangeEntries[] = {
        {REG_SZ, elsewhere, "does not hold an installation of it (pictavo.exe and uninstall.exe)"},
        {REG_EXPAND_SZ, defaultDestination, "does not name its folders in a form this program accepts"},
        {REG_SZ, "Program files\\Pictavo", "does not name its folders in a form this program accepts"},
    };
    for (const auto& row : strangeEntries) {
        SetProgdir(row.type, row.progdir);
        Installer run(defaultDestination, "", uninstaller);
        MessageBoxInfo box = run.WaitMessageBox(caption, "the refusal");
        run.Shot("refusal");
        EXPECT_NE(std::string::npos, box.text.find(row.message)) << box.text;
        EXPECT_NE(std::string::npos, box.text.find("Nothing was removed.")) << box.text;
        run.Answer(box, "OK", "close");
        EXPECT_EQ((DWORD)UninstallRefused, run.WaitExit("the uninstaller ends")) << row.progdir;
        ExpectStillInstalled(row.progdir.c_str());
        EXPECT_EQ("someone else's", ReadAll(elsewhere + "\\pictavo.exe"));
        EXPECT_EQ("someone else's", ReadAll(elsewhere + "\\readme.wri"));
    }
    SetProgdir(REG_SZ, defaultDestination); // as Setup wrote it
    RemoveTree(elsewhere);

    {
        Installer second(defaultDestination, "", uninstaller);
        second.Answer(second.WaitMessageBox(caption, "the question"), "Yes", "remove");
        MessageBoxInfo report = second.WaitMessageBox(caption, "the closing report");
        second.Shot("report");
        // It must let no one but the administrators in: Wine turns the DACL
        // given at its making into mode bits, none for others.
        std::string helper = HelperInTemp();
        ASSERT_TRUE(FolderExists(helper)) << "the helper lies in the temporary folder itself, where any user may "
                                             "replace it: "
                                          << helper;
        std::string mode = second.RunHost("stat -c %a " + HostPath(helper), "the helper's folder");
        EXPECT_EQ('0', mode.at(mode.find_last_not_of("\r\n"))) << "mode " << mode;
        EXPECT_NE(std::string::npos, report.text.find("Pictavo\\PvFiles, with 1 file of yours: mine.bmp")) << report.text;
        EXPECT_NE(std::string::npos, report.text.find("Program files\\Pictavo, with 1 file of yours: notes.txt"))
            << report.text;
        EXPECT_EQ(std::string::npos, report.text.find("Could not")) << report.text;
        second.Answer(report, "OK", "close the report");
        EXPECT_EQ((DWORD)UninstallRemoved, second.WaitExit("the uninstaller ends"));
        WaitForTheHelper(second, false);
    }
    EXPECT_TRUE(FileExists(picture));
    EXPECT_EQ("the user's own", ReadAll(notes));
    for (const char* name : installed::files)
        EXPECT_FALSE(FileExists(InDestination(name))) << name;
    EXPECT_FALSE(FolderExists(DefaultShortcutFolder()));
    EXPECT_FALSE(KeyExists(installed::UninstallEntry(windowsBranch)));
    EXPECT_FALSE(KeyExists(installed::UninstallEntry(ntBranch)));
    EXPECT_FALSE(KeyExists(installed::appPaths));

    {
        Installer again("C:\\", "", aside);
        MessageBoxInfo box = again.WaitMessageBox(caption, "the second run");
        EXPECT_EQ("Pictavo is not installed on this computer.", box.text);
        again.Answer(box, "OK", "close");
        EXPECT_EQ((DWORD)UninstallNotInstalled, again.WaitExit("the second run ends"));
    }
    EXPECT_TRUE(FileExists(picture));
    EXPECT_TRUE(FileExists(notes));
    DeleteFileA(aside.c_str());
    RemoveDefaultInstallation();
}

// The elevated uninstaller must not delete through a link: the product
// folder, or PvFiles, replaced by a link to another folder that holds files
// of the product's names is refused, with nothing touched anywhere. A link
// among the product's files, or among the user's, goes at most itself:
// what it points to outside the folder stays.
TEST(Uninstall, LinksNeverLeadTheRemovalToWhatTheyPointTo)
{
    StartClean();
    HostCommands host;
    ASSERT_EQ((DWORD)ExitInstalled, RunSilently("/S"));
    const std::string aside = "C:\\Pictavo aside", decoy = "C:\\Decoy", real = "C:\\Program files\\Pictavo real",
                      outside = "C:\\Outside";
    for (const std::string& folder : {aside, decoy, real, outside})
        HostRemove(host, folder);
    ASSERT_TRUE(CreateDirectoryA(aside.c_str(), NULL));
    ASSERT_TRUE(CopyFileA(uninstaller.c_str(), (aside + "\\uninstall.exe").c_str(), FALSE));
    const std::vector<std::string> decoyFiles = {"pictavo.exe", "uninstall.exe", "readme.wri", "pictavo.cfg"};
    WriteFiles(decoy, decoyFiles, "the decoy's own");

    // The product folder itself: the entry still names it.
    ASSERT_TRUE(MoveFileA(defaultDestination, real.c_str()));
    HostLink(host, decoy, std::string(defaultDestination));
    ASSERT_NE(0u, GetFileAttributesA(defaultDestination) & FILE_ATTRIBUTE_REPARSE_POINT) << "Wine shows the link";
    EXPECT_EQ((DWORD)UninstallRefused, RunSilently("/S", aside + "\\uninstall.exe", aside)) << "removal through a linked product folder";
    ExpectFiles(decoy, decoyFiles, "the decoy's own");
    EXPECT_TRUE(KeyExists(installed::UninstallEntry(windowsBranch))) << "nothing touched";
    HostRemove(host, defaultDestination);
    ASSERT_TRUE(MoveFileA(real.c_str(), defaultDestination));

    // PvFiles: the product folder is real, its pictures folder a link.
    std::string pictures = InDestination("PvFiles");
    ASSERT_TRUE(RemoveDirectoryA(pictures.c_str()));
    HostLink(host, decoy, pictures);
    EXPECT_EQ((DWORD)UninstallRefused, RunSilently("/S", aside + "\\uninstall.exe", aside)) << "removal with a linked PvFiles";
    ExpectFiles(decoy, decoyFiles, "the decoy's own");
    ExpectStillInstalled("after the refusal");
    HostRemove(host, pictures);
    ASSERT_TRUE(CreateDirectoryA(pictures.c_str(), NULL));

    // Links among the files: one in a product file's place, one among the
    // user's files, one to a folder in PvFiles.
    const std::vector<std::string> outsideFiles = {"letter.wri", "notes.txt"};
    WriteFiles(outside, outsideFiles, "the user's");
    ASSERT_TRUE(DeleteFileA(InDestination(installed::readme).c_str()));
    HostLink(host, outside + "\\letter.wri", InDestination(installed::readme));
    HostLink(host, outside + "\\notes.txt", InDestination("notes.txt"));
    HostLink(host, outside, InDestination("PvFiles\\Outside"));
    EXPECT_EQ((DWORD)UninstallRemoved, RunSilently("/S", uninstaller, defaultDestination)) << "silent removal";
    WaitForTheHelper(host, false);
    ExpectFiles(outside, outsideFiles, "the user's");
    for (const char* name : installed::files) {
        if (name != installed::readme) { // the link, which may stay or go
            EXPECT_FALSE(FileExists(InDestination(name))) << name;
        }
    }
    EXPECT_FALSE(KeyExists(installed::UninstallEntry(windowsBranch)));

    for (const std::string& folder : {std::string(defaultDestination), aside, decoy, outside})
        HostRemove(host, folder);
    StartClean();
}
