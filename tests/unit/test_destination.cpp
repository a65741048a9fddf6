#include "plan/destination.h"
#include "plan/drive_table.h"
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
    for (const char* c = letters; *c; ++c)
        list.append({*c, ':', '\\', '\0'});
    return list;
}

const DriveProbe fakeProbe = {FakeListDrives, FakeSetCurrentDirectory};

class DefaultBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        directoryEntered.clear();
        folderExists = TRUE;
        CopyStart("z:\\setup");
    }

    void CopyStart(const char* text) { strcpy(plan.facts.startDir, text); }
    void ChooseDefaultBase() { ::ChooseDefaultBase(plan, fakeProbe); }

    SetupPlan plan;
};

// The host's disk under drive Z: keeps changing a little while tests run.
void ExpectFreeKBOfZ(const SetupPlan& plan)
{
    DWORD expected = MeasureFreeKB("Z:\\");
    EXPECT_GT(plan.choices.freeKB, 0u);
    EXPECT_NEAR((double)expected, (double)plan.choices.freeKB, expected * 0.01 + 1000);
}

} // namespace

TEST_F(DefaultBase, DriveCWinsOverTheStartDriveAndProgramFilesBecomesCurrent)
{
    fakeDrives = Roots("ACDZ");
    CopyStart("d:\\setup");
    ChooseDefaultBase();
    EXPECT_EQ(4, plan.facts.driveCount);
    EXPECT_STREQ("A:\\", plan.facts.driveRoots[0]);
    EXPECT_STREQ("Z:\\", plan.facts.driveRoots[3]);
    EXPECT_EQ(1, plan.choices.driveIndex);
    EXPECT_STREQ("C:\\Program files", plan.choices.baseDir);
    EXPECT_EQ("C:\\Program files", directoryEntered);
    EXPECT_STREQ("D:\\SETUP", plan.facts.startDir) << "upper-cased in place";
    EXPECT_EQ(MeasureFreeKB("C:\\"), plan.choices.freeKB);
}

TEST_F(DefaultBase, WithoutDriveCTheDestinationIsTheBareNameAndTheStartOrFirstDriveIsMeasured)
{
    fakeDrives = Roots("ADZ");
    CopyStart("z:\\work");
    ChooseDefaultBase();
    EXPECT_EQ(2, plan.choices.driveIndex);
    EXPECT_STREQ("", plan.choices.baseDir);
    EXPECT_EQ("", directoryEntered) << "no folder was tried";
    strcpy(plan.choices.productFolder, "Pictavo");
    ASSERT_TRUE(ComposeDestination(plan));
    EXPECT_STREQ("Pictavo", plan.choices.destDir);
    ExpectFreeKBOfZ(plan);

    // An unlisted start drive: the first drive is measured.
    fakeDrives = Roots("ZD");
    CopyStart("q:\\");
    ChooseDefaultBase();
    EXPECT_EQ(0, plan.choices.driveIndex);
    ExpectFreeKBOfZ(plan);
}

TEST_F(DefaultBase, TwentySixDrivesKeepTheFirstTwenty)
{
    fakeDrives = Roots("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    ASSERT_EQ(104u, fakeDrives.size()) << "105 characters with the closing NUL";
    CopyStart("y:\\");
    char guard[sizeof plan.choices.productFolder];
    strcpy(plan.choices.productFolder, "untouched");
    memcpy(guard, plan.choices.productFolder, sizeof guard);
    ChooseDefaultBase();
    EXPECT_EQ(20, plan.facts.driveCount);
    EXPECT_STREQ("T:\\", plan.facts.driveRoots[19]);
    EXPECT_EQ(2, plan.choices.driveIndex);
    EXPECT_EQ(0, memcmp(guard, plan.choices.productFolder, sizeof guard));
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
        plan.facts.driveCount = 2;
        strcpy(plan.facts.driveRoots[0], "C:\\");
        strcpy(plan.facts.driveRoots[1], "Z:\\");
        plan.choices.driveIndex = 0;
        strcpy(plan.choices.baseDir, "C:\\Program files");
        strcpy(plan.choices.productFolder, "Pictavo");
        ComposeDestination(plan);
    }

    TypedDestination TakeTypedDestination(const char* typed) { return ::TakeTypedDestination(plan, typed); }

    SetupPlan plan;
};

// Which texts are refused, and how taken ones split, is ParseTyped's; here
// what becomes of the plan.
TEST_F(TypedPath, UnchangedOrRefusedTextsChangeNothingAndADestinationThatCannotFitIsRefusedWhole)
{
    plan.choices.freeKB = 42;
    EXPECT_EQ(TypedUnchanged, TakeTypedDestination("C:\\Program files\\Pictavo"));
    EXPECT_EQ(TypedNotAbsolute, TakeTypedDestination("D:Pictavo"));
    EXPECT_EQ(TypedInvalid, TakeTypedDestination("D:\\a<b"));
    EXPECT_EQ(TypedTooLong, TakeTypedDestination(("C:\\" + std::string(600, 'a')).c_str()));
    EXPECT_STREQ("C:\\Program files", plan.choices.baseDir);
    EXPECT_STREQ("Pictavo", plan.choices.productFolder);
    EXPECT_EQ(42u, plan.choices.freeKB);

    strcpy(plan.choices.baseDir, ("C:\\" + std::string(400, 'b')).c_str());
    strcpy(plan.choices.productFolder, std::string(200, 'p').c_str());
    strcpy(plan.choices.destDir, "kept");
    EXPECT_FALSE(ComposeDestination(plan));
    EXPECT_STREQ("kept", plan.choices.destDir);
}

TEST_F(TypedPath, TakenTextsChooseTheirDriveAndMeasureItAndARootKeepsItsBackslash)
{
    EXPECT_EQ(TypedTaken, TakeTypedDestination("z:\\Pictavo"));
    EXPECT_STREQ("z:\\", plan.choices.baseDir);
    EXPECT_STREQ("Pictavo", plan.choices.productFolder);
    EXPECT_EQ(1, plan.choices.driveIndex) << "a listed drive becomes the chosen one";
    ExpectFreeKBOfZ(plan);
    ASSERT_TRUE(ComposeDestination(plan));
    EXPECT_STREQ("z:\\Pictavo", plan.choices.destDir);
    EXPECT_EQ(TypedTaken, TakeTypedDestination("c:\\Apps\\Pictavo 2"));
    EXPECT_EQ(0, plan.choices.driveIndex);

    EXPECT_EQ(TypedTaken, TakeTypedDestination("Q:\\Pictavo"));
    EXPECT_EQ(0, plan.choices.driveIndex) << "an unlisted drive is measured through its own root";
    EXPECT_EQ(0u, plan.choices.freeKB) << "Q: does not exist here";
}
