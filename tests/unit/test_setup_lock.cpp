#include "base/setup_lock.h"
#include <gtest/gtest.h>
#include <aclapi.h>
#include <sddl.h>
#include <string>

namespace {

struct Case {
    DWORD result;
    DWORD count;
    LockWait expected;
};

// Another Setup: a thread of its own, since a mutex belongs to the thread
// that took it. It takes the lock and holds it until told, then ends with
// or without letting go.
struct OtherRun {
    HANDLE go = CreateEventA(NULL, TRUE, FALSE, NULL);
    HANDLE taken = CreateEventA(NULL, TRUE, FALSE, NULL);
    bool release = true;
    LockWait outcome = LockFailed;
    HANDLE thread = NULL;

    static DWORD WINAPI Run(void* parameter)
    {
        OtherRun& other = *static_cast<OtherRun*>(parameter);
        RunLog log;
        SetupLock lock;
        OpenSetupLock(lock, log);
        other.outcome = TakeSetupLock(lock, 0, log);
        SetEvent(other.taken);
        WaitForSingleObject(other.go, INFINITE);
        // Without ReleaseSetupLock the thread ends owning both: abandoned.
        if (!other.release)
            lock.held = lock.finishHeld = false;
        return 0;
    }
    void Start() { thread = CreateThread(NULL, 0, Run, this, 0, NULL); }
    void End()
    {
        SetEvent(go);
        WaitForSingleObject(thread, 10000);
    }
    ~OtherRun()
    {
        CloseHandle(thread);
        CloseHandle(go);
        CloseHandle(taken);
    }
};

std::string Sddl(PSECURITY_DESCRIPTOR descriptor)
{
    char* text = NULL;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1,
                                                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                                              &text, NULL))
        return "";
    std::string result = text;
    LocalFree(text);
    return result;
}

} // namespace

TEST(SetupLock, AWaitEndsTakenAbandonedBusyOrFailedByItsResult)
{
    const Case cases[] = {
        {WAIT_OBJECT_0, 2, LockTaken},
        {WAIT_OBJECT_0 + 1, 2, LockTaken},
        {WAIT_ABANDONED_0, 2, LockTakenAbandoned},
        {WAIT_ABANDONED_0 + 1, 2, LockTakenAbandoned},
        {WAIT_TIMEOUT, 2, LockBusy},
        {WAIT_FAILED, 2, LockFailed},
        // Out of the range of the objects waited for: no object was taken.
        {WAIT_OBJECT_0 + 2, 2, LockFailed},
        {WAIT_ABANDONED_0 + 1, 1, LockFailed},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, JudgeLockWait(c.result, c.count)) << std::hex << c.result << " of " << c.count;
}

// The shipped wait is ten minutes; the same decision with a short one:
// busy while another run holds it, taken once that run let go, and taken
// as abandoned when that run ended holding it.
TEST(SetupLock, ARunWaitsForAnotherGivesUpWhenItsTimeRunsOutAndTakesWhatTheOtherLeft)
{
    EXPECT_EQ(10u * 60 * 1000, setupLockWaitMs);
    for (bool release : {true, false}) {
        OtherRun other;
        other.release = release;
        other.Start();
        ASSERT_EQ((DWORD)WAIT_OBJECT_0, WaitForSingleObject(other.taken, 10000));
        ASSERT_EQ(LockTaken, other.outcome);
        RunLog log;
        SetupLock lock;
        OpenSetupLock(lock, log);
        ASSERT_TRUE(lock.run && lock.finish);
        DWORD start = GetTickCount();
        EXPECT_EQ(LockBusy, TakeSetupLock(lock, 300, log));
        EXPECT_GE(GetTickCount() - start, 250u) << "it did not wait";
        EXPECT_FALSE(lock.held);
        other.End();
        EXPECT_EQ(release ? LockTaken : LockTakenAbandoned, TakeSetupLock(lock, 300, log));
        EXPECT_TRUE(lock.held);
        ReleaseSetupLock(lock);
    }
}

// What Setup makes: owned by Administrators, and only Administrators and
// SYSTEM may open it.
TEST(SetupLock, TheLockIsOwnedByAdministratorsAndOpenOnlyToThemAndSystem)
{
    RunLog log;
    SetupLock lock;
    OpenSetupLock(lock, log);
    for (HANDLE mutex : {lock.run, lock.finish}) {
        ASSERT_TRUE(mutex != NULL);
        PSECURITY_DESCRIPTOR descriptor = NULL;
        ASSERT_EQ((DWORD)ERROR_SUCCESS,
                  GetSecurityInfo(mutex, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                  NULL, NULL, NULL, NULL, &descriptor));
        EXPECT_EQ("O:BAD:P(A;;0x1f0001;;;BA)(A;;0x1f0001;;;SY)", Sddl(descriptor));
        EXPECT_EQ(LockOwnerTrusted, JudgeLockOwner(descriptor));
        LocalFree(descriptor);
    }
}

TEST(SetupLock, AnObjectOfAnotherAccountOrWithoutAReadableOwnerIsNotUsed)
{
    const struct {
        const char* sddl;
        LockOwner expected;
    } cases[] = {
        {"O:BAD:(A;;GA;;;WD)", LockOwnerTrusted},
        {"O:SYD:(A;;GA;;;WD)", LockOwnerTrusted},
        {"O:BUD:(A;;GA;;;WD)", LockOwnerForeign},      // a standard user's, open to all
        {"O:S-1-5-21-1-2-3-1001D:(A;;GA;;;BA)", LockOwnerForeign},
        {"D:(A;;GA;;;BA)", LockOwnerForeign},          // no owner at all
    };
    for (const auto& c : cases) {
        PSECURITY_DESCRIPTOR descriptor = NULL;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(c.sddl, SDDL_REVISION_1, &descriptor, NULL))
            << c.sddl;
        EXPECT_EQ(c.expected, JudgeLockOwner(descriptor)) << c.sddl;
        LocalFree(descriptor);
    }
    EXPECT_EQ(LockOwnerUnreadable, JudgeLockOwner(NULL));
}
