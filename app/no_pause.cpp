// Linked into the shipped Setup only: it never waits between a file's
// compressed copy and its expansion, and waits the full time for another
// Setup.
#include "app/silent_setup.h"
#include "base/setup_lock.h"
#include "run/install_run.h"

void PauseBeforeExpanding(int)
{
}

DWORD SilentLockWaitMs()
{
    return setupLockWaitMs;
}
