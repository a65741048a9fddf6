#include "install/files_in_use.h"
#include "install/payload.h"
#include "pages/pages.h"
#include "box_answerer.h"
#include "installed_names.h"
#include "test_files.h"
#include <gtest/gtest.h>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

using installed::files;

// The rows as the expansion tells them, in order.
struct Told {
    std::vector<int> begun, copied;
    static void Begin(void* context, int row) { ((Told*)context)->begun.push_back(row); }
    static void Copied(void* context, int row) { ((Told*)context)->copied.push_back(row); }
    static bool GoOn(void*) { return true; }
};

class Payload : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = std::string("C:\\payload-test\\") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RemoveTree(root_);
        CreateDirectoryA("C:\\payload-test", NULL);
        CreateDirectoryA(root_.c_str(), NULL);
        SetDestination(root_ + "\\dest");
        originals_ = WindowsPath(EnvOr("PICTAVO_PAYLOAD_DIR", "")) + "\\expanded\\";
        GetEnvironmentVariableA("TEMP", savedTemp_, sizeof savedTemp_);
    }

    // Where the expansion puts its compressed copies: a folder of the test's
    // own, as other tests running beside it use the shared one.
    void SetTemporaryFolder(const std::string& folder)
    {
        SetEnvironmentVariableA("TMP", folder.c_str());
        SetEnvironmentVariableA("TEMP", folder.c_str());
    }

    void TearDown() override
    {
        SetTemporaryFolder(savedTemp_);
        if (module_)
            FreeLibrary(module_);
    }

    void SetDestination(const std::string& folder)
    {
        strcpy(plan_.choices.destDir, folder.c_str());
        CreateDirectoryA(plan_.choices.destDir, NULL);
    }

    // The resources come from a test module that carries its own FILE0..4.
    void UseModule(const char* name)
    {
        char self[MAX_PATH];
        GetModuleFileNameA(NULL, self, sizeof self);
        std::string path = self;
        path = path.substr(0, path.find_last_of('\\') + 1) + name;
        module_ = LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module_ != NULL) << path;
        plan_.module = module_;
    }

    // The expansion into the destination; true when every file is in.
    bool Expand()
    {
        told_ = Told();
        const PayloadObserver observer = {&told_, Told::Begin, Told::Copied, Told::GoOn};
        outcome_ = ExpandPayload(plan_, plan_.choices.destDir, heldDestination_, held_, observer);
        return outcome_.result == PayloadInstalled;
    }

    std::string Target(int row) const { return std::string(plan_.choices.destDir) + "\\" + files[row]; }

    void ExpectInstalled(int rows)
    {
        for (int row = 0; row < 5; ++row) {
            if (row < rows)
                EXPECT_TRUE(ReadAll(originals_ + files[row]) == ReadAll(Target(row))) << files[row] << " differs";
            else
                EXPECT_FALSE(FileExists(Target(row))) << files[row] << " must not be made";
        }
    }

    // The failure's account: the compressed copy, or the resource, and the
    // installed file.
    void ExpectFailure(const std::string& from, const std::string& to)
    {
        EXPECT_EQ(PayloadFailed, outcome_.result);
        EXPECT_EQ(from, outcome_.tempFilePath);
        EXPECT_EQ(to, outcome_.targetFilePath);
    }

    std::string root_;
    std::string originals_;
    HMODULE module_ = NULL;
    SetupPlan plan_;
    HeldProductFiles held_;
    HANDLE heldDestination_ = INVALID_HANDLE_VALUE;  // the run's hold on the destination, where a test makes one
    PayloadOutcome outcome_;
    Told told_;
    char savedTemp_[1024] = "";
};

} // namespace

// A destination of 200 characters, with a target there already. The status
// line and the bar at each row show in CopyPage.StatusLineBarAndPercentageAtEachStep.
TEST_F(Payload, AllFiveRowsAreInstalledOverWhatWasThereAndTheTemporaryFilesGo)
{
    UseModule("payload_complete.dll");
    std::string deep = root_;
    while (deep.size() < 200) {
        deep += "\\" + std::string(std::min<size_t>(40, 200 - deep.size() - 1), 'd');
        CreateDirectoryA(deep.c_str(), NULL);
    }
    SetDestination(deep);
    ASSERT_EQ(200u, strlen(plan_.choices.destDir));
    std::ofstream(Target(1), std::ios::binary) << std::string(100000, 'x');
    std::string temp = root_ + "\\temp";
    CreateDirectoryA(temp.c_str(), NULL);
    SetTemporaryFolder(temp);
    EXPECT_TRUE(Expand());
    EXPECT_EQ(5, outcome_.row);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), told_.begun);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), told_.copied) << "each copy is told before its expansion";
    ExpectInstalled(5);
    EXPECT_EQ(temp + "\\", outcome_.tempFolder);
    EXPECT_TRUE(FilesIn(temp).empty()) << "every temporary copy is gone";
}

namespace {

// Whether another program could open the file now, sharing everything it can.
bool OthersCanOpen(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

} // namespace

// Between the check and each file's write no program may take a file: the
// files found free stay open, and are written through those same handles.
// One held elsewhere keeps none open.
TEST_F(Payload, FilesFoundFreeStayClosedToOthersUntilWrittenAndAHeldOneKeepsNone)
{
    UseModule("payload_complete.dll");
    for (int row = 0; row < 5; ++row)
        ASSERT_TRUE(WriteAll(Target(row), "an older version"));
    char inUse[PathSize];

    HANDLE editor = CreateFileA(Target(4).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, editor);
    EXPECT_FALSE(HoldProductFiles(plan_.choices.destDir, plan_.log, held_, inUse)) << "a reader that shares writing still holds the file";
    EXPECT_EQ(Target(4), inUse);
    for (int row = 0; row < 4; ++row)
        EXPECT_TRUE(OthersCanOpen(Target(row))) << installed::files[row] << " must not stay held";
    CloseHandle(editor);

    DeleteFileA(Target(2).c_str());
    EXPECT_TRUE(HoldProductFiles(plan_.choices.destDir, plan_.log, held_, inUse));
    EXPECT_FALSE(FileExists(Target(2))) << "a missing file is not made by the check";
    for (int row : {0, 1, 3, 4})
        EXPECT_FALSE(OthersCanOpen(Target(row))) << installed::files[row] << " must be held until written";
    EXPECT_TRUE(Expand());
    ExpectInstalled(5);
    for (int row = 0; row < 5; ++row)
        EXPECT_TRUE(OthersCanOpen(Target(row))) << installed::files[row] << " must be let go once written";
}

TEST_F(Payload, MissingOrDamagedResourcesAreFailuresNotShortOrChangedFiles)
{
    // A missing resource, a truncated stream, data that is not SZDD (the LZ
    // service would copy it through), an empty resource, and a stream with
    // one bit changed that expands to the right length.
    const struct {
        const char* module;
        int row;
        bool expanded;
    } cases[] = {{"payload_without_file2.dll", 2, false}, {"payload_truncated.dll", 1, true},
                 {"payload_plain.dll", 1, false}, {"payload_empty.dll", 1, false}, {"payload_flipped.dll", 1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.module);
        RemoveTree(plan_.choices.destDir);
        CreateDirectoryA(plan_.choices.destDir, NULL);
        UseModule(c.module);
        EXPECT_FALSE(Expand());
        EXPECT_EQ(c.row, outcome_.row);
        ExpectInstalled(c.row);
        // Where no copy was made, the account names the file.
        std::string temp = outcome_.tempFilePath;
        if (c.expanded)
            ExpectFailure(temp, Target(c.row));
        else
            ExpectFailure(installed::compressed[c.row], "");
        if (c.expanded) {
            EXPECT_EQ(0u, temp.find(outcome_.tempFolder));
            EXPECT_TRUE(FileExists(temp)) << "the temporary file of a failed expansion stays";
        }
        DeleteFileA(temp.c_str());
        FreeLibrary(module_);
        module_ = NULL;
    }
}

TEST_F(Payload, AFolderInTheWayOfATargetIsAFailureWithNoStandIn)
{
    UseModule("payload_complete.dll");
    CreateDirectoryA(Target(0).c_str(), NULL);
    EXPECT_FALSE(Expand());
    ExpectFailure(outcome_.tempFilePath, Target(0));
    EXPECT_EQ(0u, std::string(outcome_.tempFilePath).find(outcome_.tempFolder)) << "the copy lies in the temporary folder";
    EXPECT_FALSE(FileExists(std::string(plan_.choices.destDir) + "\\pictavo.ex_"));
    EXPECT_EQ(0, outcome_.row);
}

TEST_F(Payload, WithoutAUsableTemporaryFolderTheStartFolderServes)
{
    UseModule("payload_truncated.dll");
    std::string start = root_ + "\\start";
    CreateDirectoryA(start.c_str(), NULL);
    strcpy(plan_.facts.startDir, start.c_str());
    SetTemporaryFolder("C:\\" + std::string(300, 't')); // too long for its 260-byte buffer
    EXPECT_FALSE(Expand());
    EXPECT_EQ(start + "\\", std::string(outcome_.tempFolder));
    EXPECT_EQ(0u, std::string(outcome_.tempFilePath).find(start + "\\")) << "the failed row's temporary file lies in the start folder";
    EXPECT_TRUE(FileExists(outcome_.tempFilePath));
    ExpectInstalled(1);
}

namespace {

// What the observer of a direct expansion saw and says.
struct ObserverScript {
    int stopAfter = 6;        // goOn says no once this many files are done
    int done = 0;
    std::string folder;       // where the old installation lies
    bool oldKeptUntilLastBegins = false;
};

void NoteBegin(void* context, int row)
{
    ObserverScript& script = *(ObserverScript*)context;
    if (row != 4 || script.folder.empty())
        return;
    // The files are held, so that none can be read: their sizes tell.
    bool old = true;
    for (const char* file : installed::files) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        old = old && GetFileAttributesExA((script.folder + "\\" + file).c_str(), GetFileExInfoStandard, &data) &&
              data.nFileSizeLow == strlen("old ") + strlen(file);
    }
    script.oldKeptUntilLastBegins = old;
}

void NoCopyNoted(void*, int)
{
}

bool GoOnUntilScripted(void* context)
{
    ObserverScript& script = *(ObserverScript*)context;
    return ++script.done < script.stopAfter;
}

// The staged names that a run can leave in a folder.
std::set<std::string> StagedIn(const std::string& folder)
{
    std::set<std::string> staged;
    for (const std::string& name : FilesIn(folder))
        if (name.compare(0, 3, "~pv") == 0)
            staged.insert(name);
    return staged;
}

} // namespace

// Over an installation, a file that fails anywhere, the last one included,
// after the others are written and checked, changes none of the old
// files; the box still names the product file. A fresh install keeps the
// files before the failed one, as specified. Neither leaves a staged file.
TEST_F(Payload, AFailedFileOverAnInstallationLeavesEveryOldFileAndAFreshInstallKeepsTheFilesBefore)
{
    const struct {
        const char* module;
        int row;
        bool expanded;  // a missing resource has no product file to name yet
    } cases[] = {{"payload_flipped.dll", 1, true}, {"payload_truncated.dll", 1, true},
                 {"payload_without_file2.dll", 2, false}, {"payload_last_other.dll", 4, true}};
    std::string temp = root_ + "\\temp";
    CreateDirectoryA(temp.c_str(), NULL);
    SetTemporaryFolder(temp);
    for (const auto& c : cases) {
        for (bool over : {true, false}) {
            SCOPED_TRACE(std::string(c.module) + (over ? " over an installation" : " fresh"));
            RemoveTree(plan_.choices.destDir);
            CreateDirectoryA(plan_.choices.destDir, NULL);
            for (int row = 0; over && row < 5; ++row)
                ASSERT_TRUE(WriteAll(Target(row), std::string("old ") + files[row]));
            UseModule(c.module);
            EXPECT_FALSE(Expand());
            EXPECT_EQ(PayloadFailed, outcome_.result);
            EXPECT_EQ(c.expanded ? Target(c.row) : "", outcome_.targetFilePath);
            EXPECT_EQ(c.row, outcome_.row);
            if (over) {
                for (int row = 0; row < 5; ++row)
                    EXPECT_TRUE(std::string("old ") + files[row] == ReadAll(Target(row))) << files[row] << " changed";
            } else {
                ExpectInstalled(c.row);
            }
            EXPECT_TRUE(StagedIn(plan_.choices.destDir).empty()) << *StagedIn(plan_.choices.destDir).begin();
            for (const std::string& name : FilesIn(temp))
                DeleteFileA((temp + "\\" + name).c_str());
            FreeLibrary(module_);
            module_ = NULL;
        }
    }
}

// Over an installation no file takes its name before the last is checked,
// and a stop at any point changes nothing; on a fresh install a stop keeps
// the files so far. Held files are replaced through the rename.
TEST_F(Payload, AStopDuringAReinstallChangesNothingAndEveryFileIsCheckedBeforeAnyIsReplaced)
{
    UseModule("payload_complete.dll");
    char inUse[PathSize];
    for (int stopAfter : {1, 3, 5}) {
        for (bool over : {true, false}) {
            SCOPED_TRACE("stop after " + std::to_string(stopAfter) + (over ? " over an installation" : " fresh"));
            RemoveTree(plan_.choices.destDir);
            CreateDirectoryA(plan_.choices.destDir, NULL);
            for (int row = 0; over && row < 5; ++row)
                ASSERT_TRUE(WriteAll(Target(row), std::string("old ") + files[row]));
            ASSERT_TRUE(HoldProductFiles(plan_.choices.destDir, plan_.log, held_, inUse));
            ObserverScript script;
            script.stopAfter = stopAfter;
            const PayloadObserver scripted = {&script, NoteBegin, NoCopyNoted, GoOnUntilScripted};
            EXPECT_EQ(PayloadStopped, ExpandPayload(plan_, plan_.choices.destDir, heldDestination_, held_, scripted).result);
            for (int row = 0; row < 5; ++row) {
                if (over)
                    EXPECT_TRUE(std::string("old ") + files[row] == ReadAll(Target(row))) << files[row] << " changed";
                else if (row < stopAfter)
                    EXPECT_TRUE(ReadAll(originals_ + files[row]) == ReadAll(Target(row))) << files[row] << " differs";
                else
                    EXPECT_FALSE(FileExists(Target(row))) << files[row];
            }
            EXPECT_TRUE(StagedIn(plan_.choices.destDir).empty());
        }
    }
    // The whole run over the installation, its files held since the check.
    ObserverScript script;
    script.folder = plan_.choices.destDir;
    const PayloadObserver scripted = {&script, NoteBegin, NoCopyNoted, GoOnUntilScripted};
    for (int row = 0; row < 5; ++row)
        ASSERT_TRUE(WriteAll(Target(row), std::string("old ") + files[row]));
    ASSERT_TRUE(HoldProductFiles(plan_.choices.destDir, plan_.log, held_, inUse));
    EXPECT_EQ(PayloadInstalled, ExpandPayload(plan_, plan_.choices.destDir, heldDestination_, held_, scripted).result);
    EXPECT_TRUE(script.oldKeptUntilLastBegins) << "a file took its name before the last was checked";
    ExpectInstalled(5);
    EXPECT_TRUE(StagedIn(plan_.choices.destDir).empty());
}

// A killed run leaves fresh files under the staged pattern. The next run
// removes exactly those, only in the folder it holds, and none that is a
// folder, another name, lies deeper, or is open in another program; a name
// that stays taken is stepped over.
TEST_F(Payload, FilesLeftByAKilledRunAreRemovedAndNothingElse)
{
    UseModule("payload_complete.dll");
    const std::string dest = plan_.choices.destDir;
    for (const char* name : {"~pv0.new", "~pv1f.new", "~pvx.new", "~pv3.newer", "keep~pv1.new", "~pv.new", "~pvA.new"})
        ASSERT_TRUE(WriteAll(dest + "\\" + name, "left"));
    ASSERT_TRUE(CreateDirectoryA((dest + "\\~pv2.new").c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA((dest + "\\sub").c_str(), NULL));
    ASSERT_TRUE(WriteAll(dest + "\\sub\\~pv4.new", "deeper"));
    ASSERT_TRUE(WriteAll(dest + "\\~pv5.new", "open elsewhere"));
    HANDLE open = CreateFileA((dest + "\\~pv5.new").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, open);
    const std::set<std::string> others = {"~pvx.new", "~pv3.newer", "keep~pv1.new", "~pv.new", "~pvA.new", "~pv5.new"};

    // Not held: nothing is removed.
    EXPECT_TRUE(Expand());
    EXPECT_EQ(2u, StagedIn(dest).count("~pv0.new") + StagedIn(dest).count("~pv1f.new"));

    heldDestination_ = CreateFileA(dest.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, heldDestination_);
    EXPECT_TRUE(Expand());
    ExpectInstalled(5);
    std::set<std::string> left = FilesIn(dest);
    for (const char* file : files)
        left.erase(file);
    EXPECT_EQ(others, left);
    EXPECT_TRUE(FolderExists(dest + "\\~pv2.new"));
    EXPECT_EQ("deeper", ReadAll(dest + "\\sub\\~pv4.new"));
    CloseHandle(open);
    CloseHandle(heldDestination_);
    heldDestination_ = INVALID_HANDLE_VALUE;
}

// The Copy page tells a failed file with both its paths, in a box that the
// page owns, and the copying stops.
TEST(CopyFailure, TheBoxNamesTheCopyAndTheFileAndStopsTheCopying)
{
    HWND page = CreateWindowExA(0, "STATIC", "page", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    SetupPlan plan;
    PagesUi ui(NULL, plan);
    ui.page = page;
    BoxAnswerer answerer;
    ui.ReportFileFailure("C:\\temp\\pvs1-2.tmp", "C:\\Program files\\Pictavo\\pictavo.exe");
    std::vector<BoxAnswerer::Box> boxes = answerer.Boxes();
    DestroyWindow(page);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(page, boxes[0].owner);
    EXPECT_EQ("Error", boxes[0].caption);
    EXPECT_EQ("Unable to copy a file:\nFrom=C:\\temp\\pvs1-2.tmp\nTo=C:\\Program files\\Pictavo\\pictavo.exe\n"
              "Program will exit",
              boxes[0].text);
    EXPECT_TRUE(ui.stopCopy);
}
