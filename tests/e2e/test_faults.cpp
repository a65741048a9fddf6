// Bad luck on the user's machine: a disk that fills up while the files are
// copied, a destination that cannot be written or is a file, and a second
// installation over the first. tests/e2e/arrange/Faults.sh lays out the
// drives: E a 1 MB disk, R a read-only one.
#include "flows.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <sstream>

using namespace e2e;

namespace {

const char* const targets[] = {"pictavo.exe", "pictavo.cfg", "pvhelp.hlp", "uninstall.exe", "readme.wri"};
const char* const links[] = {"Pictavo.lnk", "Readme.lnk", "Uninstall.lnk"};
const char ntBase[] = "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char windowsBase[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char appPaths[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Pictavo";
enum { PayloadFailedExit = 4 };

ULONGLONG FreeBytes(const char* root)
{
    ULARGE_INTEGER free = {};
    GetDiskFreeSpaceExA(root, &free, NULL, NULL);
    return free.QuadPart;
}

// Types a destination and presses Next.
void TypeDestinationAndNext(Installer& setup, HWND page, const std::string& destination)
{
    setup.TypeInto(page, 101, destination, "type " + destination);
    setup.Click(setup.Button(page, "Next", "next"), "press Next for " + destination);
}

// The question that a folder which cannot be made brings; No keeps the page.
void ExpectFolderQuestion(Installer& setup, HWND page, const std::string& answer, const std::string& step)
{
    MessageBoxInfo question = setup.WaitMessageBox("Pictavo - Setup", step);
    EXPECT_EQ("Directory allready exsist or disk isn't writeable.\nContinue with installation anyway", question.text)
        << step;
    setup.Shot(step);
    setup.Answer(question, answer, step + ": " + answer);
    if (answer == "No") {
        EXPECT_TRUE(IsWindowVisible(page)) << step << ": No keeps the page";
    }
}

// The error box that names the file which failed, then the cancel message;
// the installer ends with the exit code of a failed file.
void ExpectFileFailure(Installer& setup, const std::string& target)
{
    MessageBoxInfo error = setup.WaitMessageBox("Error", "failure box for " + target);
    setup.Shot("failure-box");
    EXPECT_NE(std::string::npos, error.text.find("To=" + target + "\n")) << error.text;
    setup.Answer(error, "OK", "close the failure box");
    MessageBoxInfo cancel = setup.WaitMessageBox("Pictavo - Setup", "cancel message after the failure");
    EXPECT_EQ(0u, cancel.text.find("Setup was canceled.")) << cancel.text;
    setup.Answer(cancel, "OK", "close the cancel message");
    EXPECT_EQ((DWORD)PayloadFailedExit, setup.WaitExit("installer ends after the failure"));
}

// Every value of a registry key, as `wine reg query` lists them.
std::map<std::string, std::string> RegistryValues(Installer& setup, const std::string& key)
{
    std::istringstream lines(setup.RunHost("\"$PICTAVO_WINE\" reg query '" + key + "'", "reg query " + key));
    std::map<std::string, std::string> values;
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t type = line.find("    REG_");
        if (type == std::string::npos)
            continue;
        size_t nameStart = line.find_first_not_of(' ');
        size_t valueStart = line.find_first_not_of(' ', line.find(' ', type + 4));
        values[line.substr(nameStart, type - nameStart)] = valueStart == std::string::npos ? "" : line.substr(valueStart);
    }
    return values;
}

void SetRegistryValue(Installer& setup, const std::string& key, const std::string& name, const std::string& value)
{
    setup.RunHost("\"$PICTAVO_WINE\" reg add '" + key + "' " + (name.empty() ? "/ve" : "/v " + name) +
                      " /t REG_SZ /d '" + value + "' /f",
                  "reg add " + name);
}

// The keys of the uninstall entry: the NT family lists removable programs
// from the other base key, and gets the entry under both.
std::vector<std::string> UninstallKeys()
{
    bool ntFamily = (GetVersion() & 0x80000000u) == 0;
    if (ntFamily)
        return {std::string(ntBase) + "\\Uninstall\\Pictavo", std::string(windowsBase) + "\\Uninstall\\Pictavo"};
    return {std::string(windowsBase) + "\\Uninstall\\Pictavo"};
}

// The target of a shortcut file, as lnkinfo reads it on the host.
std::string LinkTarget(Installer& setup, const std::string& link)
{
    std::string copy = EnvOr("PICTAVO_SHOTS", "/tmp") + "/faults-link.lnk";
    CopyFileA(link.c_str(), WindowsPath(copy).c_str(), FALSE);
    std::string report = setup.RunHost("lnkinfo '" + copy + "' || true", "lnkinfo " + link);
    DeleteFileA(WindowsPath(copy).c_str());
    size_t at = report.find("\tLocal path");
    if (at == std::string::npos)
        return "<no target>";
    size_t colon = report.find(": ", at);
    return report.substr(colon + 2, report.find('\n', colon) - colon - 2);
}

// One whole run with the default choices, over whatever is installed;
// gives the shortcut folder that the Shortcut page proposed and used.
std::string InstallWithDefaults(Installer& setup, bool existing)
{
    HWND page = ReachDestinationPage(setup);
    setup.Click(setup.Button(page, "Next", "next"), "press Next");
    if (existing)
        ExpectFolderQuestion(setup, page, "Yes", "install over the existing folder");
    HWND shortcuts = WaitShortcutPage(setup);
    std::string folder = setup.ControlText(shortcuts, 101);
    if (!existing)
        RemoveTree(folder);
    setup.Click(setup.Button(shortcuts, "Finish", "finish"), "press Finish");
    ExpectSuccessMessage(setup);
    CloseShortcutFolderWindow(setup);
    return folder;
}

} // namespace

TEST(Faults, DiskFillingUpDuringTheThirdFileNamesItRemovesItAndExitsWithFailure)
{
    if (GetDriveTypeA("E:\\") == DRIVE_NO_ROOT_DIR)
        GTEST_SKIP() << "no 1 MB disk: mounting a tmpfs needs root";
    Hold hold;
    Installer setup("", "", HoldingInstallerPath());
    HWND page = ReachDestinationPage(setup);
    // The page demands its room up front: the disk fills up only later.
    TypeDestinationAndNext(setup, page, "E:\\Pictavo");
    hold.WaitReached(setup, "first file");
    hold.Release();
    hold.WaitReached(setup, "second file");
    hold.Release();
    hold.WaitReached(setup, "third file");

    // Another program takes all but less than half of the third file's
    // room, in whole pages, which is all that tmpfs hands out.
    ULONGLONG third = ReadAll(Original("pvhelp.hlp")).size();
    ULONGLONG room = third / 2 / 4096 * 4096;
    setup.RunHost("d=$(readlink -f \"$WINEPREFIX/dosdevices/e:\") && "
                  "fallocate -l $(( $(stat -f -c '%a * %S' \"$d\") - " + std::to_string(room) + " )) \"$d/filler\"",
                  "fill the disk");
    ASSERT_LT(FreeBytes("E:\\"), third) << "the third file no longer fits";
    hold.Release();

    ExpectFileFailure(setup, "E:\\Pictavo\\pvhelp.hlp");
    for (int row = 0; row < 5; ++row) {
        std::string installed = std::string("E:\\Pictavo\\") + targets[row];
        if (row < 2)
            EXPECT_EQ(ReadAll(Original(targets[row])), ReadAll(installed)) << targets[row];
        else
            EXPECT_FALSE(FileExists(installed)) << targets[row] << ": no partial or later file stays";
    }
}

TEST(Faults, ReadOnlyDestinationIsAskedAboutAndThenFailsWithoutSuccess)
{
    if (GetDriveTypeA("R:\\") == DRIVE_NO_ROOT_DIR)
        GTEST_SKIP() << "no read-only disk: mounting a tmpfs needs root";
    Installer setup;
    HWND page = ReachDestinationPage(setup);
    TypeDestinationAndNext(setup, page, "R:\\Pictavo");
    ExpectFolderQuestion(setup, page, "No", "read-only disk");
    EXPECT_EQ("R:\\Pictavo", setup.ControlText(page, 101));
    setup.Click(setup.Button(page, "Next", "next"), "press Next again");
    ExpectFolderQuestion(setup, page, "Yes", "read-only disk, asked again");
    ExpectFileFailure(setup, "R:\\Pictavo\\pictavo.exe");
    EXPECT_TRUE(NamesIn("R:").empty()) << "nothing lands on the read-only disk";
}

TEST(Faults, DestinationThatIsAFileIsAskedAboutAndThenFailsLeavingTheFile)
{
    const char file[] = "C:\\Occupied";
    const std::string content = "a file that the installer must not touch\n";
    RemoveTree(file);
    DeleteFileA(file);
    FILE* out = fopen(file, "wb");
    ASSERT_TRUE(out != NULL);
    fwrite(content.data(), 1, content.size(), out);
    fclose(out);

    Installer setup;
    HWND page = ReachDestinationPage(setup);
    // The file in the way as the destination's parent, then as the destination.
    TypeDestinationAndNext(setup, page, std::string(file) + "\\Pictavo");
    ExpectFolderQuestion(setup, page, "No", "file as the parent");
    TypeDestinationAndNext(setup, page, file);
    ExpectFolderQuestion(setup, page, "Yes", "file as the destination");
    ExpectFileFailure(setup, std::string(file) + "\\pictavo.exe");
    EXPECT_EQ(0u, GetFileAttributesA(file) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(content, ReadAll(file));
    DeleteFileA(file);
}

TEST(Faults, InstallingAgainReplacesFilesLinksAndValuesWithoutDoubling)
{
    RemoveDefaultInstallation();
    std::string folder;
    {
        Installer first("", "first-run");
        for (const std::string& key : UninstallKeys())
            first.RunHost("\"$PICTAVO_WINE\" reg delete '" + key + "' /f >/dev/null 2>&1; true", "reg delete");
        first.RunHost(std::string("\"$PICTAVO_WINE\" reg delete '") + appPaths + "' /f >/dev/null 2>&1; true",
                      "reg delete");
        folder = InstallWithDefaults(first, false);
    }

    // What the second run must replace: stale files, broken links, old values.
    for (const char* target : targets) {
        FILE* out = fopen((std::string(defaultDestination) + "\\" + target).c_str(), "wb");
        ASSERT_TRUE(out != NULL) << target;
        fputs("old", out);
        fclose(out);
    }
    for (const char* link : links) {
        FILE* out = fopen((folder + "\\" + link).c_str(), "wb");
        ASSERT_TRUE(out != NULL) << link;
        fputs("old", out);
        fclose(out);
    }

    Installer setup;
    for (const std::string& key : UninstallKeys()) {
        for (const char* name : {"DisplayName", "UninstallString", "Scdir", "Progdir"})
            SetRegistryValue(setup, key, name, "C:\\Old");
    }
    SetRegistryValue(setup, appPaths, "", "C:\\Old");
    SetRegistryValue(setup, appPaths, "Path", "C:\\Old");
    EXPECT_EQ(folder, InstallWithDefaults(setup, true));

    const std::string destination = defaultDestination;
    std::set<std::string> expectedFiles(std::begin(targets), std::end(targets));
    expectedFiles.insert("PvFiles");
    EXPECT_EQ(expectedFiles, NamesIn(destination)) << "no second product folder inside the first";
    EXPECT_TRUE(NamesIn(destination + "\\PvFiles").empty());
    for (const char* target : targets)
        EXPECT_EQ(ReadAll(Original(target)), ReadAll(destination + "\\" + target)) << target;

    EXPECT_EQ(std::set<std::string>(std::begin(links), std::end(links)), NamesIn(folder))
        << "one set of links, no second shortcut folder inside the first";
    const char* linkTargets[] = {"pictavo.exe", "Readme.wri", "uninstall.exe"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(destination + "\\" + linkTargets[i], LinkTarget(setup, folder + "\\" + links[i])) << links[i];

    std::map<std::string, std::string> uninstall = {
        {"DisplayName", "Pictavo"},
        {"UninstallString", "\"" + destination + "\\uninstall.exe\""},
        {"Scdir", folder},
        {"Progdir", destination},
    };
    for (const std::string& key : UninstallKeys())
        EXPECT_EQ(uninstall, RegistryValues(setup, key)) << key;
    std::map<std::string, std::string> appPath = {{"(Default)", destination + "\\Pictavo"}, {"Path", destination}};
    EXPECT_EQ(appPath, RegistryValues(setup, appPaths));
}
