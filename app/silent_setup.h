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
