// Linked into the installer's test build in place of app/no_pause.cpp: it
// waits inside each file, after its compressed copy is written and before
// it is expanded, until the harness lets it go on, so that a screenshot can
// catch each step, a Cancel can land while a file is being installed, and
// the compressed copy can be tampered with. Sent messages are still
// answered, so that the harness can read texts; input and painting wait as
// they would during a long file. It also lets a test shorten the wait
// for another Setup.
#include "app/silent_setup.h"
#include "base/setup_lock.h"
#include "run/install_run.h"
#include <stdlib.h>

void PauseBeforeExpanding(int)
{
    static HANDLE hold = CreateSemaphoreA(NULL, 0, 100, "PictavoSetupHold");
    HANDLE reached = OpenEventA(EVENT_MODIFY_STATE, FALSE, "PictavoSetupHoldReached");
    if (reached) {
        SetEvent(reached);
        CloseHandle(reached);
    }
    GdiFlush();
    while (MsgWaitForMultipleObjects(1, &hold, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageA(&message, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// The wait for another Setup, in milliseconds from PICTAVO_LOCK_WAIT_MS
// where a test gives it, so that running out can be seen without waiting
// ten minutes; the shipped Setup reads no such thing.
DWORD SilentLockWaitMs()
{
    char text[16];
    DWORD length = GetEnvironmentVariableA("PICTAVO_LOCK_WAIT_MS", text, sizeof text);
    if (length == 0 || length >= sizeof text)
        return setupLockWaitMs;
    return (DWORD)strtoul(text, NULL, 10);
}
