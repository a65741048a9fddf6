// The install driver with a scripted InstallUi: what it asks and tells, in
// which order, and what the machine holds at each point. No window: the
// script answers as a user or a silent run would.
#include "run/install_run.h"
#include "installed/folder_trust.h"
#include "plan/destination.h"
#include "plan/previous_installation.h"
#include "installed_names.h"
#include "test_files.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

namespace {

using installed::files;

const char testBase[] = "SOFTWARE\\Pictavo Test\\Run";
const char testList[] = "SOFTWARE\\Pictavo Test\\Run List";
const char testAppPaths[] = "SOFTWARE\\Pictavo Test\\Run App Paths";
const RegistryPaths testKeys = {testBase, testBase, testList, testAppPaths};
const std::string testEntry = installed::UninstallEntry(testBase);

// Answers from the test, and every call kept as a line.
class ScriptedUi final : public InstallUi {
public:
    std::vector<std::string> calls;
    std::vector<std::string> destinations;  // typed in turn; the view cancels when they run out
    bool confirm = true;                    // answer to either question
    int stopAfterFile = -1;                 // ShouldStop after this file says stop
    bool retry = false;
    std::function<void()> whileAsked;       // runs while a question is up
    std::function<void(int)> atFile;        // runs as each file begins
    std::string shortcutBase;               // programsDir that the shortcut view chooses

    bool ChooseDestination(InstallRun& run) override
    {
        calls.push_back("ChooseDestination");
        for (const std::string& typed : destinations) {
            TypedDestination taken = TakeTypedDestination(run.plan, typed.c_str());
            EXPECT_TRUE(taken == TypedTaken || taken == TypedUnchanged) << typed;
            if (run.TryDestination())
                return true;
        }
        return false;
    }
    bool ConfirmExistingFolder(const char* folder, bool exists) override
    {
        calls.push_back(std::string("ConfirmExistingFolder ") + folder + (exists ? " exists" : " not made"));
        if (whileAsked)
            whileAsked();
        return confirm;
    }
    bool ConfirmVolumeWithoutPermissions(const char* root) override
    {
        calls.push_back(std::string("ConfirmVolume ") + root);
        return confirm;
    }
    void RefuseDestination(DestinationCheck reason, const SetupPlan& plan) override
    {
        calls.push_back("Refuse " + std::to_string(reason) + " " + plan.choices.destDir);
        if (whileAsked)
            whileAsked();
    }
    bool ShowCopying(InstallRun& run) override
    {
        calls.push_back("ShowCopying");
        return run.CopyFiles();
    }
    bool RetryFileInUse(const char* file, const char*) override
    {
        calls.push_back(std::string("RetryFileInUse ") + file);
        return retry;
    }
    void FileBegins(int row) override
    {
        calls.push_back("FileBegins " + std::to_string(row));
        if (atFile)
            atFile(row);
    }
    bool ShouldStop() override
    {
        int done = 0;
        for (const std::string& call : calls)
            done += call.rfind("FileBegins", 0) == 0;
        return done - 1 == stopAfterFile;
    }
    void ReportFileFailure(const char* from, const char* to) override
    {
        calls.push_back(std::string("FileFailure ") + from + " " + to);
    }
    bool ChooseShortcutFolder(InstallRun& run) override
    {
        calls.push_back("ChooseShortcutFolder");
        strcpy(run.plan.choices.programsDir, shortcutBase.c_str());
        return run.FinishShortcuts();
    }
    void ReportShortcutFolderTooLong() override { calls.push_back("ShortcutFolderTooLong"); }
    void ReportRegistrationFailure(const char* key) override
    {
        calls.push_back(std::string("RegistrationFailure ") + key);
    }
    void ReportShortcutsFailure(const char* folder) override
    {
        calls.push_back(std::string("ShortcutsFailure ") + folder);
    }
};

class InstallDriver : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = std::string("C:\\run-test\\") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RemoveTree(root_);
        CreateDirectoryA("C:\\run-test", NULL);
        CreateDirectoryA(root_.c_str(), NULL);
        destination_ = root_ + "\\Pictavo";
        ui_.shortcutBase = root_ + "\\Programs";
        for (const char* key : {testBase, testList, testAppPaths}) {
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
            HKEY made;
            ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                                                     &made, NULL));
            RegCloseKey(made);
        }
        plan_.module = GetModuleHandleA(NULL);
        MakeAdminFolderSecurity(security_);
        plan_.folderSecurity = &security_.attributes;
    }
    void TearDown() override
    {
        FreeAdminFolderSecurity(security_);
        for (const char* key : {testBase, testList, testAppPaths})
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
        RemoveTree(root_);
    }

    InstallOutcome Run()
    {
        InstallRun run(plan_, ui_);
        run.registryPaths = &testKeys;
        InstallOutcome outcome = run.Run();
        openFolder_ = run.openFolderPath;
        left_ = run.left;
        return outcome;
    }

    std::string Target(int row) const { return destination_ + "\\" + files[row]; }

    // Whether another program could take the folder's name away now.
    bool Movable(const std::string& folder)
    {
        std::string aside = folder + " aside";
        if (!MoveFileA(folder.c_str(), aside.c_str()))
            return false;
        MoveFileA(aside.c_str(), folder.c_str());
        return true;
    }

    // The run before, into destination_ with its links under Programs, as
    // the next run finds it; a picture of the user's in its PvFiles.
    void InstallBefore()
    {
        ui_.destinations = {destination_};
        ASSERT_EQ(InstallDone, Run());
        ASSERT_TRUE(WriteAll(destination_ + "\\PvFiles\\mine.pvp", "the user's"));
        PreviousInstallation& previous = plan_.facts.previous;
        previous.entry = ValueRead;
        previous.verdict = InstallationUsable;
        strcpy(previous.at.programDir, destination_.c_str());
        strcpy(previous.at.shortcutDir, (ui_.shortcutBase + "\\Pictavo").c_str());
        previous.at.versionState = VersionRead;
        previous.at.version = SetupVersion();
        ui_.calls.clear();
    }
    std::string Progdir()
    {
        char value[MAX_PATH] = "";
        DWORD size = sizeof value;
        RegGetValueA(HKEY_LOCAL_MACHINE, testEntry.c_str(), "Progdir", RRF_RT_REG_SZ, NULL, value, &size);
        return value;
    }

    std::string root_, destination_, openFolder_;
    LeftInstallation left_ = {};
    SetupPlan plan_;
    AdminFolderSecurity security_;
    ScriptedUi ui_;
};

} // namespace

// The whole sequence: each view once, every file told as it begins, and
// the Uninstall entry written only once every file is in place.
TEST_F(InstallDriver, ARunAsksEachViewOnceAndRegistersOnlyAfterEveryFile)
{
    ui_.destinations = {destination_};
    std::vector<bool> registeredAtFile;
    ui_.atFile = [&](int) { registeredAtFile.push_back(KeyExists(testEntry)); };
    EXPECT_EQ(InstallDone, Run());
    EXPECT_EQ((std::vector<std::string>{"ChooseDestination", "ShowCopying", "FileBegins 0", "FileBegins 1",
                                        "FileBegins 2", "FileBegins 3", "FileBegins 4", "ChooseShortcutFolder"}),
              ui_.calls);
    EXPECT_EQ(std::vector<bool>(5, false), registeredAtFile);
    EXPECT_TRUE(KeyExists(testEntry));
    for (int row = 0; row < 5; ++row)
        EXPECT_TRUE(FileExists(Target(row))) << files[row];
    EXPECT_EQ(ui_.shortcutBase + "\\Pictavo", openFolder_);
    EXPECT_TRUE(FileExists(openFolder_ + "\\Pictavo.lnk"));
}

// An existing folder is asked about, and held while the question is up: no
// one can move it aside and put a link at its name. No lets it go and
// writes nothing; the next choice is asked about again.
TEST_F(InstallDriver, AnExistingFolderIsHeldWhileAskedAndNoWritesNothing)
{
    ASSERT_TRUE(CreateDirectoryA(destination_.c_str(), NULL));
    ui_.destinations = {destination_, destination_};
    ui_.confirm = false;
    std::vector<bool> movableWhileAsked;
    ui_.whileAsked = [&] { movableWhileAsked.push_back(Movable(destination_)); };
    EXPECT_EQ(InstallRefused, Run());
    std::string asked = "ConfirmExistingFolder " + destination_ + " exists";
    EXPECT_EQ((std::vector<std::string>{"ChooseDestination", asked, asked}), ui_.calls);
    EXPECT_EQ((std::vector<bool>{false, false}), movableWhileAsked);
    EXPECT_TRUE(Movable(destination_)) << "No lets the folder go";
    EXPECT_TRUE(NamesIn(destination_).empty());
    EXPECT_FALSE(KeyExists(testEntry));
}

// A file at the destination's name is refused without a question, and
// stays as it was. A name that cannot be made is asked about, and Yes ends
// with the first file's failure: even a folder that another program put at
// the name while the question was up gets nothing written into it.
TEST_F(InstallDriver, AFileAtTheNameIsRefusedUnaskedAndANameThatCannotBeMadeFailsAfterItsQuestion)
{
    ASSERT_TRUE(WriteAll(destination_, "somebody's file"));
    std::string below = destination_ + "\\Pictavo";
    ui_.destinations = {destination_, below};
    ui_.whileAsked = [&] {
        if (ui_.calls.back().rfind("ConfirmExistingFolder", 0) != 0)
            return;
        // The file goes, and a folder of another program takes the name.
        DeleteFileA(destination_.c_str());
        CreateDirectoryA(destination_.c_str(), NULL);
        CreateDirectoryA(below.c_str(), NULL);
    };
    EXPECT_EQ(InstallFailed, Run());
    EXPECT_EQ((std::vector<std::string>{"ChooseDestination",
                                        "Refuse " + std::to_string(DestinationIsFile) + " " + destination_,
                                        "ConfirmExistingFolder " + below + " not made", "ShowCopying",
                                        "FileFailure " + std::string(installed::compressed[0]) + " " + below +
                                            "\\" + files[0]}),
              ui_.calls);
    EXPECT_TRUE(NamesIn(below).empty()) << "nothing written below a name that was not checked";
    EXPECT_FALSE(KeyExists(testEntry));
}

// Stop after the first file: it stays, nothing else is written, nothing is
// registered. A file another program holds: asked, and Cancel writes
// nothing.
TEST_F(InstallDriver, AStopKeepsTheFilesSoFarAndAFileInUseCancelledWritesNothing)
{
    ui_.destinations = {destination_};
    ui_.stopAfterFile = 0;
    EXPECT_EQ(InstallCancelled, Run());
    EXPECT_TRUE(FileExists(Target(0)));
    for (int row = 1; row < 5; ++row)
        EXPECT_FALSE(FileExists(Target(row))) << files[row];
    EXPECT_FALSE(KeyExists(testEntry));

    ASSERT_TRUE(WriteAll(Target(3), "an older version"));
    HANDLE editor = CreateFileA(Target(3).c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, editor);
    ScriptedUi again;
    again.destinations = {destination_};
    ui_ = again;
    EXPECT_EQ(InstallFilesInUse, Run());
    CloseHandle(editor);
    EXPECT_EQ((std::vector<std::string>{"ChooseDestination", "ConfirmExistingFolder " + destination_ + " exists",
                                        "ShowCopying", "RetryFileInUse " + Target(3)}),
              ui_.calls);
    EXPECT_EQ("an older version", ReadAll(Target(3)));
    EXPECT_FALSE(FileExists(Target(1)));
    EXPECT_FALSE(KeyExists(testEntry));
}

// The drive's own account of itself decides the question, except on the 9x
// family and on the Windows folder's drive; a drive that cannot be asked is
// left to the folder's check.
TEST(VolumePermissions, OnlyANtDriveOtherThanWindowsOwnThatSaysItKeepsNoneIsAskedAbout)
{
    EXPECT_TRUE(KeepsPermissions(true, true, FS_PERSISTENT_ACLS | FS_CASE_IS_PRESERVED, false));
    EXPECT_FALSE(KeepsPermissions(true, true, FS_CASE_IS_PRESERVED, false));
    EXPECT_TRUE(KeepsPermissions(true, true, FS_CASE_IS_PRESERVED, true)) << "the Windows folder's drive";
    EXPECT_TRUE(KeepsPermissions(false, true, FS_CASE_IS_PRESERVED, false)) << "the 9x family";
    EXPECT_TRUE(KeepsPermissions(true, false, 0, false)) << "not read";
}

// A second run into another folder moves the installation: the old one's
// files, folder and links go once the new one is registered, the user's
// picture stays where it was and is named. The same folder spelt
// otherwise is no move, and nothing of it goes.
TEST_F(InstallDriver, AMoveRemovesTheOldInstallationOnlyAfterTheNewOneIsRegisteredAndKeepsTheUsersFiles)
{
    InstallBefore();
    std::string upper = destination_;
    for (char& c : upper)
        c = (char)toupper((unsigned char)c);
    ui_.destinations = {upper};
    EXPECT_EQ(InstallDone, Run());
    EXPECT_FALSE(left_.moved) << "the same folder, spelt in capitals";
    EXPECT_FALSE(left_.shortcutsMoved);
    for (int row = 0; row < 5; ++row)
        EXPECT_TRUE(FileExists(Target(row))) << files[row];

    std::string moved = root_ + "\\Moved";
    std::string oldShortcuts = ui_.shortcutBase + "\\Pictavo";
    ui_.shortcutBase = root_ + "\\Menu";
    CreateDirectoryA(ui_.shortcutBase.c_str(), NULL);
    ui_.destinations = {moved};
    std::vector<bool> oldThereAtFile;
    ui_.atFile = [&](int) { oldThereAtFile.push_back(FileExists(Target(0))); };
    EXPECT_EQ(InstallDone, Run());
    EXPECT_EQ(std::vector<bool>(5, true), oldThereAtFile) << "the old installation stands while the files are written";
    EXPECT_TRUE(left_.moved);
    EXPECT_EQ(moved, Progdir()) << "the new entry is not removed with the old installation";
    for (int row = 0; row < 5; ++row) {
        EXPECT_FALSE(FileExists(Target(row))) << files[row];
        EXPECT_TRUE(FileExists(moved + "\\" + files[row])) << files[row];
    }
    EXPECT_EQ("the user's", ReadAll(destination_ + "\\PvFiles\\mine.pvp"));
    EXPECT_TRUE(left_.picturesStay);
    EXPECT_EQ(destination_ + "\\PvFiles", std::string(left_.picturesPath));
    EXPECT_STREQ("", left_.report.failed);
    EXPECT_FALSE(FolderExists(oldShortcuts)) << "no old shortcut folder is left behind";
    EXPECT_TRUE(FileExists(ui_.shortcutBase + "\\Pictavo\\Pictavo.lnk"));
}

// Until the new entry is written the old one names the old installation:
// a registration that fails leaves every file of it.
TEST_F(InstallDriver, AMoveWhoseRegistrationFailsLeavesTheOldInstallationWhole)
{
    InstallBefore();
    for (const char* key : {testBase, testList, testAppPaths})
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
    ui_.destinations = {root_ + "\\Moved"};
    ui_.shortcutBase = root_ + "\\Menu";
    CreateDirectoryA(ui_.shortcutBase.c_str(), NULL);
    EXPECT_EQ(InstallShortcutsFailed, Run());
    EXPECT_FALSE(left_.moved);
    for (int row = 0; row < 5; ++row)
        EXPECT_TRUE(FileExists(Target(row))) << files[row];
    EXPECT_TRUE(FileExists(root_ + "\\Programs\\Pictavo\\Pictavo.lnk"));
}
