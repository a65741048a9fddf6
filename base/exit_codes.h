// What the two programs exit with, for whoever runs them from a script: the
// one place where these numbers are written. The tests, the package
// manifest (cmake/PackageManifest.cmake) and the check of the documents'
// tables (tests/host/check_exit_code_tables.cmake) all read them here, so
// each enumerator stays on a line of its own as "Name = number".
//
// Setup: a run with pages ends with 0 when finished or cancelled, with
// ExitPayloadFailed after a failed file, with ExitBadArguments when it
// refused its command line, and with ExitDamaged when its own image is not
// the one that was built. The run's own state is its SetupPlan
// (plan/setup_plan.h).
#pragma once

enum SetupExitCode {
    ExitInstalled = 0,
    ExitBadArguments = 2,
    ExitDestinationUnusable = 3,  // a silent run: too little room, no folder there, a link or a folder others may change
    ExitPayloadFailed = 4,
    ExitShortcutsFailed = 5,      // a silent run: registration or links
    ExitDamaged = 6,              // the image changed since the build; nothing was done
    ExitNoWindow = 7,             // the main window could not be made; nothing was shown or changed
    ExitFilesInUse = 8,           // a silent run: another program holds a file it would replace; nothing was written
    ExitDowngrade = 9,            // a newer Pictavo is installed and /DOWNGRADE was not given; nothing was changed
    ExitInstallInProgress = 10    // a silent run: another Setup or the uninstaller ran for the whole wait; nothing was changed
};

// The uninstaller (uninstall.exe): with /S only the exit code tells.
enum UninstallExitCode {
    UninstallRemoved = 0,         // perhaps with the user's files left, and the folders that hold them
    UninstallSwitchesShown = 0,   // /?: nothing done
    UninstallDeclined = 1,        // the user said No
    UninstallNotInstalled = 2,
    UninstallRefused = 3,         // the entry names no installation, or a link is in the way; nothing touched
    UninstallFailed = 4,          // something could not be removed
    UninstallBadArguments = 5,    // the command line was refused; nothing touched
    UninstallInProgress = 6       // Setup or another uninstaller was running (with /S: for the whole wait); nothing touched
};
