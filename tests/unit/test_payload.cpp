#include "install/files_in_use.h"
#include "install/payload.h"
#include "pages/copy_page.h"
#include "pages/progress_bar.h"
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

INT_PTR CALLBACK QuietPageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

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
        // The installer's own Copy page template, made modeless.
        page_ = CreateDialogParamA(GetModuleHandleA(NULL), "IDD_COPY", NULL, QuietPageProc, 0);
        ASSERT_TRUE(page_ != NULL);
        SetWindowLongPtrA(page_, DWLP_USER, (LONG_PTR)&plan_);
        progressControl = GetDlgItem(page_, 214);
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
        DestroyWindow(page_);
        if (module_)
            FreeLibrary(module_);
    }

    void SetDestination(const std::string& folder)
    {
        strcpy(plan_.destDir, folder.c_str());
        CreateDirectoryA(plan_.destDir, NULL);
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

    std::vector<std::string> Expand()
    {
        BoxAnswerer answerer;
        CopyPayload(page_, 4445, 0, 0);
        return answerer.Texts();
    }

    std::string Target(int row) const { return std::string(plan_.destDir) + "\\" + files[row]; }

    void ExpectInstalled(int rows)
    {
        for (int row = 0; row < 5; ++row) {
            if (row < rows)
                EXPECT_TRUE(ReadAll(originals_ + files[row]) == ReadAll(Target(row))) << files[row] << " differs";
            else
                EXPECT_FALSE(FileExists(Target(row))) << files[row] << " must not be made";
        }
    }

    std::string FailureText(const std::string& from, const std::string& to)
    {
        return "Unable to copy a file:\nFrom=" + from + "\nTo=" + to + "\nProgram will exit";
    }

    std::string root_;
    std::string originals_;
    HWND page_ = NULL;
    HMODULE module_ = NULL;
    SetupPlan plan_;
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
    ASSERT_EQ(200u, strlen(plan_.destDir));
    std::ofstream(Target(1), std::ios::binary) << std::string(100000, 'x');
    std::string temp = root_ + "\\temp";
    CreateDirectoryA(temp.c_str(), NULL);
    SetTemporaryFolder(temp);
    EXPECT_TRUE(Expand().empty());
    EXPECT_EQ(0u, stopCopy);
    EXPECT_EQ(5, plan_.payloadRow);
    ExpectInstalled(5);
    EXPECT_EQ(temp + "\\", plan_.tempFolder);
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
    EXPECT_FALSE(HoldProductFiles(plan_, inUse)) << "a reader that shares writing still holds the file";
    EXPECT_EQ(Target(4), inUse);
    for (int row = 0; row < 4; ++row)
        EXPECT_TRUE(OthersCanOpen(Target(row))) << installed::files[row] << " must not stay held";
    CloseHandle(editor);

    DeleteFileA(Target(2).c_str());
    EXPECT_TRUE(HoldProductFiles(plan_, inUse));
    EXPECT_FALSE(FileExists(Target(2))) << "a missing file is not made by the check";
    for (int row : {0, 1, 3, 4})
        EXPECT_FALSE(OthersCanOpen(Target(row))) << installed::files[row] << " must be held until written";
    EXPECT_TRUE(Expand().empty());
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
        RemoveTree(plan_.destDir);
        CreateDirectoryA(plan_.destDir, NULL);
        UseModule(c.module);
        std::vector<std::string> boxes = Expand();
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(1u, stopCopy);
        EXPECT_EQ(c.row, plan_.payloadRow);
        ExpectInstalled(c.row);
        // Where no copy was made, the message names the file.
        std::string temp = plan_.tempFilePath;
        EXPECT_EQ(c.expanded ? FailureText(temp, Target(c.row)) : FailureText(installed::compressed[c.row], ""),
                  boxes[0]);
        if (c.expanded) {
            EXPECT_EQ(0u, temp.find(plan_.tempFolder));
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
    std::vector<std::string> boxes = Expand();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(FailureText(plan_.tempFilePath, Target(0)), boxes[0]);
    EXPECT_EQ(0u, std::string(plan_.tempFilePath).find(plan_.tempFolder)) << "the copy lies in the temporary folder";
    EXPECT_FALSE(FileExists(std::string(plan_.destDir) + "\\pictavo.ex_"));
    EXPECT_EQ(0, plan_.payloadRow);
}

TEST_F(Payload, WithoutAUsableTemporaryFolderTheStartFolderServes)
{
    UseModule("payload_truncated.dll");
    std::string start = root_ + "\\start";
    CreateDirectoryA(start.c_str(), NULL);
    strcpy(plan_.startDir, start.c_str());
    SetTemporaryFolder("C:\\" + std::string(300, 't')); // too long for its 260-byte buffer
    std::vector<std::string> boxes = Expand();
    EXPECT_EQ(start + "\\", std::string(plan_.tempFolder));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(0u, std::string(plan_.tempFilePath).find(start + "\\")) << "the failed row's temporary file lies in the start folder";
    EXPECT_TRUE(FileExists(plan_.tempFilePath));
    ExpectInstalled(1);
}

namespace {

// What the observer of a direct expansion saw and says: the tests below
// call ExpandPayload without the page, and the observer has no context.
struct ObserverScript {
    int stopAfter = 6;        // goOn says no once this many files are done
    int done = 0;
    std::string folder;       // where the old installation lies
    bool oldKeptUntilLastBegins = false;
} script;

void NoteBegin(int row)
{
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

bool GoOnUntilScripted()
{
    return ++script.done < script.stopAfter;
}

const PayloadObserver scripted = {NoteBegin, GoOnUntilScripted};

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
            RemoveTree(plan_.destDir);
            CreateDirectoryA(plan_.destDir, NULL);
            for (int row = 0; over && row < 5; ++row)
                ASSERT_TRUE(WriteAll(Target(row), std::string("old ") + files[row]));
            UseModule(c.module);
            std::vector<std::string> boxes = Expand();
            ASSERT_EQ(1u, boxes.size());
            EXPECT_NE(std::string::npos, boxes[0].find("\nTo=" + (c.expanded ? Target(c.row) : "") + "\n"))
                << boxes[0];
            EXPECT_EQ(c.row, plan_.payloadRow);
            if (over) {
                for (int row = 0; row < 5; ++row)
                    EXPECT_TRUE(std::string("old ") + files[row] == ReadAll(Target(row))) << files[row] << " changed";
            } else {
                ExpectInstalled(c.row);
            }
            EXPECT_TRUE(StagedIn(plan_.destDir).empty()) << *StagedIn(plan_.destDir).begin();
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
            RemoveTree(plan_.destDir);
            CreateDirectoryA(plan_.destDir, NULL);
            for (int row = 0; over && row < 5; ++row)
                ASSERT_TRUE(WriteAll(Target(row), std::string("old ") + files[row]));
            ASSERT_TRUE(HoldProductFiles(plan_, inUse));
            script = ObserverScript();
            script.stopAfter = stopAfter;
            EXPECT_EQ(PayloadStopped, ExpandPayload(plan_, scripted));
            for (int row = 0; row < 5; ++row) {
                if (over)
                    EXPECT_TRUE(std::string("old ") + files[row] == ReadAll(Target(row))) << files[row] << " changed";
                else if (row < stopAfter)
                    EXPECT_TRUE(ReadAll(originals_ + files[row]) == ReadAll(Target(row))) << files[row] << " differs";
                else
                    EXPECT_FALSE(FileExists(Target(row))) << files[row];
            }
            EXPECT_TRUE(StagedIn(plan_.destDir).empty());
        }
    }
    // The whole run over the installation, its files held since the check.
    script = ObserverScript();
    script.folder = plan_.destDir;
    for (int row = 0; row < 5; ++row)
        ASSERT_TRUE(WriteAll(Target(row), std::string("old ") + files[row]));
    ASSERT_TRUE(HoldProductFiles(plan_, inUse));
    EXPECT_EQ(PayloadInstalled, ExpandPayload(plan_, scripted));
    EXPECT_TRUE(script.oldKeptUntilLastBegins) << "a file took its name before the last was checked";
    ExpectInstalled(5);
    EXPECT_TRUE(StagedIn(plan_.destDir).empty());
}

// A killed run leaves fresh files under the staged pattern. The next run
// removes exactly those, only in the folder it holds, and none that is a
// folder, another name, lies deeper, or is open in another program; a name
// that stays taken is stepped over.
TEST_F(Payload, FilesLeftByAKilledRunAreRemovedAndNothingElse)
{
    UseModule("payload_complete.dll");
    const std::string dest = plan_.destDir;
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
    EXPECT_TRUE(Expand().empty());
    EXPECT_EQ(2u, StagedIn(dest).count("~pv0.new") + StagedIn(dest).count("~pv1f.new"));

    plan_.heldDestination = CreateFileA(dest.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, plan_.heldDestination);
    EXPECT_TRUE(Expand().empty());
    ExpectInstalled(5);
    std::set<std::string> left = FilesIn(dest);
    for (const char* file : files)
        left.erase(file);
    EXPECT_EQ(others, left);
    EXPECT_TRUE(FolderExists(dest + "\\~pv2.new"));
    EXPECT_EQ("deeper", ReadAll(dest + "\\sub\\~pv4.new"));
    CloseHandle(open);
    CloseHandle(plan_.heldDestination);
    plan_.heldDestination = INVALID_HANDLE_VALUE;
}
