// Every decision of one run, in one plain struct. WinMain and the silent run
// make it; the pages get it as their dialog creation parameter, and the
// install steps as an argument. Nothing of it lives in a global, so a test
// builds one and calls the decisions directly.
#pragma once
#include "base/command_line.h"
#include "base/limits.h"
#include "base/run_log.h"
#include "payload_rows.h"
#include <stdint.h>
#include <windows.h>

enum { TempFolderSize = 260 };

struct SetupPlan {
    HINSTANCE module = NULL;                     // whose resources the pages and the payload load; WinMain
    SetupArguments arguments = {};               // the command line; WinMain
    int exitCode = 0;                            // what the run ends with; ExitPayloadFailed once a file failed
    SECURITY_ATTRIBUTES* folderSecurity = NULL;  // how the product and shortcut folders are made; the page sequence
    RunLog log;                                  // /LOG=: every step, for whoever deploys; closed without it

    // The destination.
    char startDir[PathSize] = {};                     // current folder at start-up, "C:" for a root; RecordStartDir
    char driveRoots[MaxDrives][DriveRootSize] = {};   // drive roots in the system's order; ChooseDefaultBase
    int driveCount = 0;                               // how many of driveRoots are filled
    int driveIndex = 0;                               // the chosen drive; the Destination page and its browser
    DWORD freeKB = 0;                                 // free space of the chosen drive, units of 1000 bytes
    char baseDir[PathSize] = {};                      // folder that receives the product folder
    char productFolder[PathSize] = {};                // name of the product folder, productName by default
    char destDir[PathSize] = {};                      // the destination folder; ComposeDestination
    HANDLE heldDestination = INVALID_HANDLE_VALUE;    // the accepted destination, open as checked; PrepareDestination

    // The payload's expansion: how far it came, and what a failure names.
    int payloadRow = 0;                          // the row being expanded; all rows once every file is in
    const uint32_t* expectedDigests = NULL;      // what each file must read back as; NULL: as the build recorded
    HANDLE heldTargets[PAYLOAD_ROW_COUNT] = {};  // installed files open since none was found in use, NULL where
                                                 // none; HoldProductFiles, taken by the expansion
    char tempFolder[TempFolderSize] = {};        // where the compressed copies go; ends with a backslash
    char tempFilePath[PathSize] = {};            // the row's compressed copy
    char targetFilePath[PathSize] = {};          // the row's installed file
    uint64_t installedBytes = 0;                 // the files read back whole so far; the Uninstall entry's size

    // The shortcuts and the registration.
    DWORD windowsVersion = 0;             // GetVersion as the shortcut folder was proposed: the Start menu and the keys
    char programsDir[PathSize] = {};      // Start-menu folder under which the shortcut folder is made
    int programsLimit = 0;                // how short programsDir may get in the Shortcut folder browser
    char shortcutDir[PathSize] = {};      // the product's shortcut folder
    char uninstallPath[PathSize] = {};    // the uninstaller that the Uninstall entry names, once registered
    char openFolderPath[PathSize] = {};   // folder the shell opens at the end, empty unless the links were made
};
