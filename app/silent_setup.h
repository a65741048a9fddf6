// The installation without a window or a question, for scripts and
// deployment tools: the install driver (run/install_run.h) answered with
// the choices the pages propose or the command line gives.
#pragma once
#include "plan/setup_plan.h"

// The exit code: ExitInstalled, or what went wrong (base/exit_codes.h).
int RunSilentSetup(SetupPlan& plan);

// The Start-menu folder of the command line, placed under the proposed
// programs folder: false when the folder and its links would not fit, so
// that the line is refused before anything changes.
bool StartMenuFolderFits(const SetupArguments& arguments);

// How long a run without pages waits for another Setup or the uninstaller
// to end: setupLockWaitMs (base/setup_lock.h). Defined beside
// PauseBeforeExpanding: app/no_pause.cpp in the shipped Setup, which nothing
// outside can change, the test build's own in tests/e2e/harness_pause.cpp.
DWORD SilentLockWaitMs();
