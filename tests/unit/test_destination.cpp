#include "pages/destination_page.h"
#include "install/folders.h"
#include "pages/drive_table.h"
#include "base/setup_state.h"
#include <gtest/gtest.h>
#include <string.h>
#include <string>

namespace {

// The drive list that the platform would give, with the platform's rule:
// a buffer too small for all of it receives nothing.
std::string fakeDrives;
std::string directoryEntered;
BOOL folderExists;

DWORD WINAPI FakeListDrives(DWORD size, LPSTR buffer)
{
    DWORD needed = (DWORD)fakeDrives.size() + 1;
    if (size < needed)
        return needed;
    memcpy(buffer, fakeDrives.data(), fakeDrives.size());
    buffer[fakeDrives.size()] = '\0';
    return needed - 1;
}

BOOL WINAPI FakeSetCurrentDirectory(LPCSTR path)
{
    directoryEntered = path;
    return folderExists;
}

std::string Roots(const char* letters)
{
    std::string list;
    for (const char* c = letters; *c; ++c) {
        list += *c;
        list += ":\\";
        list += '\0';
    }
    return list;
}

class DefaultBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = driveProbe;
        driveProbe = {FakeListDrives, FakeSetCurrentDirectory};
        directoryEntered.clear();
        folderExists = TRUE;
        baseDir[0] = '\0';
        memset(driveRoots, 0, sizeof driveRoots);
        CopyStart("z:\\setup");
    }
    void TearDown() override { driveProbe = saved_; }

    static void CopyStart(const char* text) { strcpy(startDir, text); }

    DriveProbe saved_;
};

// The host's disk under drive Z: keeps changing a little while tests run.
void ExpectFreeKBOfZ()
{
    DWORD expected = MeasureFreeKB("Z:\\");
    EXPECT_GT(freeKB, 0u);
    EXPECT_NEAR((double)expected, (double)freeKB, expected * 0.01 + 1000);
}

} // namespace

TEST_F(DefaultBase, DriveCWinsOverTheStartDriveAndProgramFilesBecomesCurrent)
{
    fakeDrives = Roots("ACDZ");
    CopyStart("d:\\setup");
    ChooseDefaultBase();
    EXPECT_EQ(4, driveCount);
    EXPECT_STREQ("A:\\", driveRoots[0]);
    EXPECT_STREQ("Z:\\", driveRoots[3]);
    EXPECT_EQ(1, driveIndex);
    EXPECT_STREQ("C:\\Program files", baseDir);
    EXPECT_EQ("C:\\Program files", directoryEntered);
    EXPECT_STREQ("D:\\SETUP", startDir) << "upper-cased in place";
    EXPECT_EQ(MeasureFreeKB("C:\\"), freeKB);
}

TEST_F(DefaultBase, WithoutProgramFilesTheRootOfCIsTheBase)
{
    fakeDrives = Roots("ACD");
    folderExists = FALSE;
    ChooseDefaultBase();
    EXPECT_STREQ("C:\\", baseDir);
    strcpy(productFolder, "Pictavo");
    ASSERT_TRUE(ComposeDestination());
    EXPECT_STREQ("C:\\Pictavo", destDir) << "no doubled backslash after a root";
}

TEST_F(DefaultBase, WithoutDriveCTheDestinationIsTheBareNameAndTheStartDriveIsMeasured)
{
    fakeDrives = Roots("ADZ");
    CopyStart("z:\\work");
    ChooseDefaultBase();
    EXPECT_EQ(2, driveIndex);
    EXPECT_STREQ("", baseDir);
    EXPECT_EQ("", directoryEntered) << "no folder was tried";
    strcpy(productFolder, "Pictavo");
    ASSERT_TRUE(ComposeDestination());
    EXPECT_STREQ("Pictavo", destDir);
    ExpectFreeKBOfZ();
}

TEST_F(DefaultBase, WithoutDriveCAndAnUnlistedStartDriveTheFirstDriveIsMeasured)
{
    fakeDrives = Roots("ZD");
    CopyStart("q:\\");
    ChooseDefaultBase();
    EXPECT_EQ(0, driveIndex);
    ExpectFreeKBOfZ();
}

TEST_F(DefaultBase, TwentySixDrivesKeepTheFirstTwenty)
{
    fakeDrives = Roots("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    ASSERT_EQ(104u, fakeDrives.size()) << "105 characters with the closing NUL";
    CopyStart("y:\\");
    char guard[sizeof productFolder];
    strcpy(productFolder, "untouched");
    memcpy(guard, productFolder, sizeof guard);
    ChooseDefaultBase();
    EXPECT_EQ(20, driveCount);
    EXPECT_STREQ("T:\\", driveRoots[19]);
    EXPECT_EQ(2, driveIndex);
    EXPECT_EQ(0, memcmp(guard, productFolder, sizeof guard));
}

TEST(FreeSpace, ArithmeticInThousandsWithItsLimits)
{
    EXPECT_FALSE(HasRoomForProduct(FreeKBFromBytes(true, 613999)));
    EXPECT_EQ(613u, FreeKBFromBytes(true, 613999));
    EXPECT_TRUE(HasRoomForProduct(FreeKBFromBytes(true, 614000)));
    EXPECT_EQ(614u, FreeKBFromBytes(true, 614999));
    EXPECT_EQ(5000000u, FreeKBFromBytes(true, 5000000000ull)) << "more than 4 GB does not wrap";
    EXPECT_EQ(0xFFFFFFFFu, FreeKBFromBytes(true, 4294967295999ull));
    EXPECT_EQ(0xFFFFFFFFu, FreeKBFromBytes(true, 4294967296000ull)) << "beyond 4.29 TB stays at the top";
    EXPECT_EQ(0xFFFFFFFFu, FreeKBFromBytes(true, ~0ull));
    EXPECT_EQ(0u, FreeKBFromBytes(false, 123456789)) << "a drive that cannot be measured";
    EXPECT_EQ(0u, MeasureFreeKB("Q:\\"));
}

class TypedPath : public ::testing::Test {
protected:
    void SetUp() override
    {
        driveCount = 2;
        strcpy(driveRoots[0], "C:\\");
        strcpy(driveRoots[1], "Z:\\");
        driveIndex = 0;
        strcpy(baseDir, "C:\\Program files");
        strcpy(productFolder, "Pictavo");
        ComposeDestination();
    }
};

TEST_F(TypedPath, UnchangedTextLeavesTheChoiceAlone)
{
    freeKB = 42;
    EXPECT_EQ(TypedUnchanged, TakeTypedDestination("C:\\Program files\\Pictavo"));
    EXPECT_STREQ("C:\\Program files", baseDir);
    EXPECT_EQ(42u, freeKB);
}

TEST_F(TypedPath, IsSplitAtItsLastBackslashAndARootKeepsItsBackslash)
{
    EXPECT_EQ(TypedTaken, TakeTypedDestination("z:\\Pictavo"));
    EXPECT_STREQ("z:\\", baseDir);
    EXPECT_STREQ("Pictavo", productFolder);
    EXPECT_EQ(1, driveIndex) << "a listed drive becomes the chosen one";
    ExpectFreeKBOfZ();
    ASSERT_TRUE(ComposeDestination());
    EXPECT_STREQ("z:\\Pictavo", destDir);

    EXPECT_EQ(TypedTaken, TakeTypedDestination("C:\\Apps\\Paint\\Pictavo 2\\\\"));
    EXPECT_STREQ("C:\\Apps\\Paint", baseDir) << "trailing backslashes are dropped first";
    EXPECT_STREQ("Pictavo 2", productFolder);
    EXPECT_EQ(0, driveIndex);
}

TEST_F(TypedPath, AnUnlistedDriveIsMeasuredThroughItsOwnRoot)
{
    freeKB = 42;
    EXPECT_EQ(TypedTaken, TakeTypedDestination("Q:\\Pictavo"));
    EXPECT_EQ(0, driveIndex);
    EXPECT_EQ(0u, freeKB) << "Q: does not exist here";
}

TEST_F(TypedPath, RelativeRootOnlyAndForbiddenNamesAreRefusedWithoutChange)
{
    const char* notAbsolute[] = {"Pictavo", "D:", "D:Pictavo", "\\Pictavo", "1:\\x", ""};
    for (const char* typed : notAbsolute)
        EXPECT_EQ(TypedNotAbsolute, TakeTypedDestination(typed)) << typed;
    const char* invalid[] = {"D:\\", "D:\\\\", "D:\\a\\\\b", "D:\\a<b", "D:\\what?", "D:\\a:b",
                             "D:\\name.", "D:\\name \\x", "D:\\a/b", "D:\\tab\there"};
    for (const char* typed : invalid)
        EXPECT_EQ(TypedInvalid, TakeTypedDestination(typed)) << typed;
    EXPECT_STREQ("C:\\Program files", baseDir);
    EXPECT_STREQ("Pictavo", productFolder);
}

TEST_F(TypedPath, TextsThatCannotFitAreRefused)
{
    std::string longPath = "C:\\" + std::string(600, 'a');
    EXPECT_EQ(TypedTooLong, TakeTypedDestination(longPath.c_str()));

    strcpy(baseDir, ("C:\\" + std::string(400, 'b')).c_str());
    strcpy(productFolder, std::string(200, 'p').c_str());
    strcpy(destDir, "kept");
    EXPECT_FALSE(ComposeDestination());
    EXPECT_STREQ("kept", destDir) << "a destination that does not fit is refused whole";
}

TEST(ParentFolders, MissingParentsAreMadeButNotTheLastLevel)
{
    RemoveDirectoryA("C:\\parents-test\\a\\b");
    RemoveDirectoryA("C:\\parents-test\\a");
    RemoveDirectoryA("C:\\parents-test");
    CreateParentFolders("C:\\parents-test\\a\\b\\Pictavo", NULL);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("C:\\parents-test\\a\\b"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("C:\\parents-test\\a\\b\\Pictavo"));
    RemoveDirectoryA("C:\\parents-test\\a\\b");
    RemoveDirectoryA("C:\\parents-test\\a");
    RemoveDirectoryA("C:\\parents-test");
}
