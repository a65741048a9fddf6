// What one run knows, by kind: the facts about the system, gathered once;
// the user's choices; and what the whole run shares (its module, command
// line, log and exit code). WinMain and the silent run make it; the pages
// reach it through the install driver, and the steps take it as an
// argument, const where they only read it. Held handles and each step's
// results are not in it: the driver owns the one and gets the other by
// value. Nothing of it lives in a global, so a test builds one and calls
// the decisions directly.
#pragma once
#include "installed/entry.h"
#include "base/command_line.h"
#include "base/limits.h"
#include "base/run_log.h"
#include "payload_rows.h"
#include <stdint.h>
#include <windows.h>

enum { TempFolderSize = 260 };

// The installation that the Uninstall entry names, found once at start-up
// (plan/previous_installation.h).
struct PreviousInstallation {
    ValueState entry = ValueMissing;                      // ValueMissing: nothing is installed
    InstallationVerdict verdict = InstallationValuesRefused;
    Installation at = {};                                  // the folders and the version the entry names
    // Whether an installation passed every rule: only that one counts.
    bool Usable() const { return entry != ValueMissing && verdict == InstallationUsable; }
};

// Read from the system once, before the first choice; no step changes them.
struct SystemFacts {
    char startDir[PathSize] = {};                    // current folder at start-up, "C:" for a root; RecordStartDir
    char driveRoots[MaxDrives][DriveRootSize] = {};  // drive roots in the system's order; ChooseDefaultBase
    int driveCount = 0;                              // how many of driveRoots are filled
    DWORD windowsVersion = 0;  // GetVersion: the Start menu and the registry keys follow it; GatherSystemFacts
    PreviousInstallation previous;  // FindPreviousInstallation, before the first page
};

// What the user chose, or what Setup proposed in its place.
struct UserChoices {
    int driveIndex = 0;                   // the chosen drive; the Destination page and its browser
    DWORD freeKB = 0;                     // free space of the chosen drive, units of 1000 bytes
    char baseDir[PathSize] = {};          // folder that receives the product folder
    char productFolder[PathSize] = {};    // name of the product folder, productName by default
    char destDir[PathSize] = {};          // the destination folder; ComposeDestination
    char programsDir[PathSize] = {};      // Start-menu folder under which the shortcut folder is made
    int programsLimit = 0;                // how short programsDir may get in the Shortcut folder browser
    char shortcutDir[PathSize] = {};      // the product's shortcut folder
};

struct SetupPlan {
    HINSTANCE module = NULL;                     // whose resources the pages and the payload load; WinMain
    SetupArguments arguments = {};               // the command line; WinMain
    int exitCode = 0;                            // what the run ends with
    SECURITY_ATTRIBUTES* folderSecurity = NULL;  // how the product and shortcut folders are made; the run
    const uint32_t* expectedDigests = NULL;      // what each file must read back as; NULL: as the build recorded
    RunLog log;                                  // /LOG=: every step, for whoever deploys; closed without it

    SystemFacts facts;
    UserChoices choices;
};

// A drive root read as the current folder ("C:\\") is kept as "C:", so that
// a backslash and a name can follow it.
void TrimStartDir(char* dir);
// startDir, as the Destination page's proposal reads it: the current folder
// at start-up, trimmed.
void RecordStartDir(SetupPlan& plan);
// The facts that do not come with the destination's proposal: the start
// folder, unless it was recorded already, and the Windows version.
void GatherSystemFacts(SetupPlan& plan);
