// What the process exits with, for whoever ran it from a script. A run with
// pages ends with 0 when finished or cancelled, with ExitPayloadFailed after
// a failed file, with ExitBadArguments when it refused its command line, and
// with ExitDamaged when its own image is not the one that was built. The
// run's own state is its SetupPlan (plan/setup_plan.h).
#pragma once
#include "base/limits.h"

enum {
    ExitInstalled = 0,
    ExitBadArguments = 2,
    ExitDestinationUnusable = 3,  // a silent run: too little room, no folder there, a link or a folder others may change
    ExitPayloadFailed = 4,
    ExitShortcutsFailed = 5,      // a silent run: registration or links
    ExitDamaged = 6,              // the image changed since the build; nothing was done
    ExitNoWindow = 7,             // the main window could not be made; nothing was shown or changed
    ExitFilesInUse = 8            // a silent run: a file to replace is in use; nothing was written
};
