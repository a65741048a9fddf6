// One Setup at a time on a machine: Setup and the uninstaller both take
// this lock before they change anything, and hold it to their end.
//
// It is two named mutexes, taken together in one wait:
//   the run lock, held by a Setup or an uninstaller for its whole run;
//   the finish lock, held as well by each of them, and by the uninstaller's
//   helper copy on the NT family until uninstall.exe and its folder are gone.
// A mutex cannot be handed from one process to another, and one whose
// owner dies is taken as abandoned, which means "go on". So the uninstaller
// hands over like this: still holding the run lock, it releases the finish
// lock only once its helper has been started, and does not end (which
// releases the run lock) until the helper holds the finish lock. Whoever
// waits takes both at once or neither, so no Setup starts between the
// uninstaller's end and the helper's.
//
// The names lie in the global namespace on NT 5 and later, so that a Setup
// in another session (a second user, a remote desktop) sees them; NT 4 and
// the 9x family know no namespaces and get the bare names. Each mutex is
// made with a DACL for Administrators and SYSTEM only. A standard user can
// still make an object of that name before any Setup runs: one whose owner
// is not a trusted account (base/trusted_accounts.h), or that denies us, or
// that is no mutex, is logged and left out, so that it cannot stop an
// administrator's Setup. The 9x family has no owners: there any program may
// make the names, and a held one makes Setup wait as for another Setup.
#pragma once
#include "base/run_log.h"
#include <windows.h>

// How long a run without pages waits for another Setup or the uninstaller
// to end before it gives up.
const DWORD setupLockWaitMs = 10 * 60 * 1000;

// How a wait for the lock ended.
enum LockWait {
    LockTaken,
    LockTakenAbandoned,   // its holder died: go on, as after a normal end
    LockBusy,             // the wait ran out while another run held it
    LockFailed            // the wait itself failed: go on without it
};
// The outcome of WaitForMultipleObjects over count objects, all waited for.
LockWait JudgeLockWait(DWORD waitResult, DWORD count);

// Whether an existing object of the lock's name is used, judged by its
// owner; the 9x family never asks (it has none).
enum LockOwner {
    LockOwnerTrusted,
    LockOwnerForeign,     // another account made it first: go on without it
    LockOwnerUnreadable   // no owner could be read: go on without it
};
LockOwner JudgeLockOwner(PSECURITY_DESCRIPTOR descriptor);

struct SetupLock {
    HANDLE run = NULL;
    HANDLE finish = NULL;
    bool held = false;        // the run lock (and the finish lock, if any) are this run's
    bool finishHeld = false;  // the finish lock is this run's

    SetupLock() = default;
    SetupLock(const SetupLock&) = delete;
    SetupLock& operator=(const SetupLock&) = delete;
    ~SetupLock();
};

// Opens (or makes) the two mutexes; a planted or unusable one is logged
// and left NULL, and the lock then works with what is left.
void OpenSetupLock(SetupLock& lock, const RunLog& log);
// Waits up to waitMs for both; held tells whether they are this run's now.
LockWait TakeSetupLock(SetupLock& lock, DWORD waitMs, const RunLog& log);
// The uninstaller's side of the hand-over: releases the finish lock and
// waits until the helper process holds it, or has ended, or a while has
// passed. The run lock stays held until the lock is released or the
// process ends.
void HandFinishLockTo(SetupLock& lock, HANDLE helper, const RunLog& log);
// The helper's side: the finish lock alone, held until ReleaseSetupLock.
void TakeFinishLock(SetupLock& lock, const RunLog& log);
void ReleaseSetupLock(SetupLock& lock);
