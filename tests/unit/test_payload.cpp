#include "install/files_in_use.h"
#include "install/payload.h"
#include "pages/pages.h"
#include "box_answerer.h"
#include "installed_names.h"
#include "test_files.h"
#include <gtest/gtest.h>
#include <fstream>
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
        outcome_ = ExpandPayload(plan_, plan_.choices.destDir, held_, observer);
        return outcome_.result == PayloadInstalled;
    }

    std::string Target(int row) const { return std::string(plan_.choices.destDir) + "\\" + files[row]; }

    void ExpectInstalled(int rows)
    {
        for (int row = 0; row < 5; ++row) {
            if (row < rows)
                EXPECT_EQ(ReadAll(originals_ + files[row]), ReadAll(Target(row))) << files[row];
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
