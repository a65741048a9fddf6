// The one way the three programs make a new file where others may have put
// something first, under the names each composes.
#include "base/file_write.h"
#include "base/text.h"
#include "test_files.h"
#include <gtest/gtest.h>
#include <string>

namespace {

struct Names {
    std::string folder;
    int composed = 0;
    DWORD lastFitting = 1000;  // attempts after this one do not fit
};

bool ComposeTestName(char* path, size_t size, DWORD attempt, const void* context)
{
    Names& names = *(Names*)context;  // the test's own, counted
    ++names.composed;
    return attempt <= names.lastFitting && FormatTextN(path, size, "%s\\fresh%u.tmp", names.folder.c_str(), attempt);
}

class FreshFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        names_.folder = std::string("C:\\fresh-file-test\\") +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RemoveTree(names_.folder);
        CreateDirectoryA("C:\\fresh-file-test", NULL);
        ASSERT_TRUE(CreateDirectoryA(names_.folder.c_str(), NULL));
    }
    void TearDown() override { RemoveTree(names_.folder); }

    HANDLE Create(char (&path)[MAX_PATH], DWORD attempts = 5)
    {
        const FreshFileRequest request = {ComposeTestName, &names_, GENERIC_WRITE, 0, FILE_ATTRIBUTE_NORMAL, attempts};
        return CreateFreshFile(path, request);
    }
    std::string Name(int attempt) { return names_.folder + "\\fresh" + std::to_string(attempt) + ".tmp"; }

    Names names_;
};

} // namespace

// A file and a folder at the first two names stay as they were; the file
// made is the third, and what is written goes there.
TEST_F(FreshFile, NamesThatAreTakenAreSkippedAndWhatHoldsThemIsLeftAlone)
{
    ASSERT_TRUE(WriteAll(Name(0), "somebody else's"));
    ASSERT_TRUE(CreateDirectoryA(Name(1).c_str(), NULL));
    char path[MAX_PATH];
    HANDLE file = Create(path);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(Name(2), path);
    EXPECT_TRUE(WriteAll(file, "new", 3));
    CloseHandle(file);
    EXPECT_EQ("new", ReadAll(Name(2)));
    EXPECT_EQ("somebody else's", ReadAll(Name(0)));
    EXPECT_TRUE(FolderExists(Name(1)));
    EXPECT_EQ(3, names_.composed);
}

// A folder that does not exist fails every name alike: one try, and its
// reason. Every name taken, or a name that does not fit, says so.
TEST_F(FreshFile, AFailureOtherThanATakenNameEndsTheSearchAtOnceWithItsReason)
{
    char path[MAX_PATH];
    names_.folder += "\\missing";
    EXPECT_EQ(INVALID_HANDLE_VALUE, Create(path));
    EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, GetLastError());
    EXPECT_EQ(1, names_.composed);

    names_.folder.resize(names_.folder.size() - 8);
    names_.composed = 0;
    for (int attempt = 0; attempt < 3; ++attempt)
        ASSERT_TRUE(WriteAll(Name(attempt), "taken"));
    EXPECT_EQ(INVALID_HANDLE_VALUE, Create(path, 3));
    EXPECT_EQ((DWORD)ERROR_FILE_EXISTS, GetLastError());
    EXPECT_EQ(3, names_.composed);

    names_.lastFitting = 2;
    EXPECT_EQ(INVALID_HANDLE_VALUE, Create(path));
    EXPECT_EQ((DWORD)ERROR_FILENAME_EXCED_RANGE, GetLastError());
    EXPECT_EQ("taken", ReadAll(Name(2)));
}
