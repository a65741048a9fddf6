#include "base/setup_lock.h"
#include "base/admin_descriptor.h"
#include "base/nine_x_kernel.h"
#include "base/system_function.h"
#include "base/text.h"
#include "base/trusted_accounts.h"
#include <aclapi.h>

namespace {

const char runLockName[] = "PictavoSetupRun";
const char finishLockName[] = "PictavoSetupFinish";

// How long the uninstaller waits for its helper to take the finish lock:
// the helper's first step, so this is only reached when it cannot start.
const DWORD handOverMs = 30 * 1000;

HANDLE CreateLockMutex(const char* name, PSID owner)
{
    AccessGrant grants[] = {{AdministratorsSid(), MUTEX_ALL_ACCESS}, {LocalSystemSid(), MUTEX_ALL_ACCESS}};
    PSECURITY_DESCRIPTOR descriptor = MakeProtectedDescriptor(grants, 2, false, owner);
    if (!descriptor)
        return NULL;
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    // Told apart by the last error alone: an object that was there already.
    SetLastError(ERROR_SUCCESS);
    HANDLE made = CreateMutexA(&attributes, FALSE, name);
    DWORD error = GetLastError();
    LocalFree(descriptor);
    SetLastError(error);
    return made;
}

// The name refused as a name, not the object: NT 4 has no Global folder.
bool NameRefused(DWORD error)
{
    return error == ERROR_PATH_NOT_FOUND || error == ERROR_BAD_PATHNAME || error == ERROR_INVALID_NAME;
}

// One of the lock's mutexes, made or opened; NULL, logged, where none is
// to be used.
HANDLE OpenLockMutex(const char* bareName, const RunLog& log)
{
    if (RunsOnNineXKernel()) {
        SetLastError(ERROR_SUCCESS);
        HANDLE made = CreateMutexA(NULL, FALSE, bareName);
        if (!made)
            LogLine(log, "The lock %s cannot be made (error %lu): Setup goes on without it", bareName,
                    (unsigned long)GetLastError());
        return made;
    }
    // The NT kernel is asked for the global name whatever version it
    // reports: a compatibility layer posing as NT 4 or 9x does not take the
    // namespaces away, and a bare name would then miss every other Setup.
    // Only NT 4 itself refuses the name.
    char name[64];
    FormatText(name, "Global\\%s", bareName);
    HANDLE made = CreateLockMutex(name, AdministratorsSid());
    // The system may not let this token name Administrators as owner; then
    // the token's own default, which the owner rule accepts from this account.
    if (!made && GetLastError() == ERROR_INVALID_OWNER)
        made = CreateLockMutex(name, NULL);
    if (!made && NameRefused(GetLastError())) {
        CopyText(name, bareName);
        made = CreateLockMutex(name, AdministratorsSid());
        if (!made && GetLastError() == ERROR_INVALID_OWNER)
            made = CreateLockMutex(name, NULL);
    }
    if (!made) {
        // Denied: someone made an object of that name that shuts us out;
        // an invalid handle: one that is no mutex.
        LogLine(log, "The lock %s cannot be made or opened (error %lu): another account may have made it; Setup "
                "goes on without it", name, (unsigned long)GetLastError());
        return NULL;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        return made;
    auto getSecurity = SYSTEM_FUNCTION("advapi32.dll", GetSecurityInfo);
    PSECURITY_DESCRIPTOR descriptor = NULL;
    if (!getSecurity || getSecurity(made, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, NULL, NULL, NULL, NULL,
                                    &descriptor) != ERROR_SUCCESS)
        descriptor = NULL;
    LockOwner owner = JudgeLockOwner(descriptor);
    if (descriptor)
        LocalFree(descriptor);
    if (owner == LockOwnerTrusted)
        return made;
    LogLine(log, "The lock %s exists and is %s: Setup goes on without it", name,
            owner == LockOwnerForeign ? "owned by an account that is not an administrator"
                                      : "of an owner that cannot be read");
    CloseHandle(made);
    return NULL;
}

} // namespace

LockWait JudgeLockWait(DWORD waitResult, DWORD count)
{
    if (waitResult < WAIT_OBJECT_0 + count)
        return LockTaken;
    if (waitResult >= WAIT_ABANDONED_0 && waitResult < WAIT_ABANDONED_0 + count)
        return LockTakenAbandoned;
    if (waitResult == WAIT_TIMEOUT)
        return LockBusy;
    return LockFailed;
}

LockOwner JudgeLockOwner(PSECURITY_DESCRIPTOR descriptor)
{
    if (!descriptor)
        return LockOwnerUnreadable;
    ProcessToken token;
    ReadProcessToken(token);
    switch (CheckOwner(descriptor, token.facts)) {
    case OwnerTrusted:
        return LockOwnerTrusted;
    case OwnerForeign:
        return LockOwnerForeign;
    default:
        return LockOwnerUnreadable;
    }
}

SetupLock::~SetupLock()
{
    ReleaseSetupLock(*this);
}

void OpenSetupLock(SetupLock& lock, const RunLog& log)
{
    lock.run = OpenLockMutex(runLockName, log);
    lock.finish = OpenLockMutex(finishLockName, log);
}

LockWait TakeSetupLock(SetupLock& lock, DWORD waitMs, const RunLog& log)
{
    HANDLE both[2];
    DWORD count = 0;
    if (lock.run)
        both[count++] = lock.run;
    if (lock.finish)
        both[count++] = lock.finish;
    if (count == 0)
        return LockFailed;
    LockWait outcome = JudgeLockWait(WaitForMultipleObjects(count, both, TRUE, 0), count);
    if (outcome == LockBusy && waitMs > 0) {
        LogLine(log, "Another Setup or Pictavo's uninstaller is running: waiting up to %lu seconds for it to end",
                (unsigned long)(waitMs / 1000));
        outcome = JudgeLockWait(WaitForMultipleObjects(count, both, TRUE, waitMs), count);
        if (outcome == LockTaken)
            LogLine(log, "The other run has ended");
    }
    if (outcome == LockTakenAbandoned)
        LogLine(log, "The other run ended without letting go of the lock (it was stopped or failed)");
    if (outcome == LockFailed)
        LogLine(log, "The wait for the lock failed (error %lu): Setup goes on without it",
                (unsigned long)GetLastError());
    lock.held = outcome == LockTaken || outcome == LockTakenAbandoned;
    lock.finishHeld = lock.held && lock.finish;
    return outcome;
}

void HandFinishLockTo(SetupLock& lock, HANDLE helper, const RunLog& log)
{
    if (!lock.finishHeld)
        return;
    ReleaseMutex(lock.finish);
    lock.finishHeld = false;
    // Polled: the helper gives no other sign. A try that takes the lock
    // back (the helper is not waiting for it yet) lets go again at once;
    // one that finds it held has found the helper holding it, since no one
    // else can take it alone while this run holds the run lock.
    for (DWORD start = GetTickCount(); GetTickCount() - start < handOverMs;) {
        if (WaitForSingleObject(helper, 20) == WAIT_OBJECT_0) {
            LogLine(log, "The helper ended before it took the finish lock");
            return;
        }
        LockWait tried = JudgeLockWait(WaitForSingleObject(lock.finish, 0), 1);
        if (tried == LockBusy) {
            LogLine(log, "The helper holds the finish lock until uninstall.exe and its folder are gone");
            return;
        }
        if (tried != LockFailed)
            ReleaseMutex(lock.finish);
    }
    LogLine(log, "The helper did not take the finish lock in %lu seconds", (unsigned long)(handOverMs / 1000));
}

void TakeFinishLock(SetupLock& lock, const RunLog& log)
{
    lock.finish = OpenLockMutex(finishLockName, log);
    if (!lock.finish)
        return;
    LockWait outcome = JudgeLockWait(WaitForSingleObject(lock.finish, setupLockWaitMs), 1);
    lock.finishHeld = outcome == LockTaken || outcome == LockTakenAbandoned;
}

void ReleaseSetupLock(SetupLock& lock)
{
    if (lock.held && lock.run)
        ReleaseMutex(lock.run);
    if (lock.finishHeld)
        ReleaseMutex(lock.finish);
    lock.held = lock.finishHeld = false;
    if (lock.run)
        CloseHandle(lock.run);
    if (lock.finish)
        CloseHandle(lock.finish);
    lock.run = lock.finish = NULL;
}
