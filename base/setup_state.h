// The installer's process-wide state: plain fields that live for the whole
// run, one of each. Texts are zero-terminated ANSI texts.
#pragma once
#include "base/command_line.h"
#include "base/limits.h"
#include <windows.h>

// What the process exits with, for whoever ran it from a script. A run with
// pages ends with 0 when finished or cancelled, with ExitPayloadFailed after
// a failed file, with ExitBadArguments when it refused its command line, and
// with ExitDamaged when its own image is not the one that was built.
enum {
    ExitInstalled = 0,
    ExitBadArguments = 2,
    ExitDestinationUnusable = 3,  // a silent run: too little room, no folder there, a link or a folder others may change
    ExitPayloadFailed = 4,
    ExitShortcutsFailed = 5,      // a silent run: registration or links
    ExitDamaged = 6,              // the image changed since the build; nothing was done
    ExitNoWindow = 7              // the main window could not be made; nothing was shown or changed
};

extern HINSTANCE instance;              // module whose resources every page loads; WinMain
extern int screenWidth;                 // screen size in pixels; SetUpMainWindow
extern int screenHeight;
extern char startDir[PathSize];         // current folder at start-up, "C:" for a root; SetUpMainWindow
extern char driveRoots[MaxDrives][DriveRootSize]; // drive roots in the system's order; Destination page
extern int driveCount;                  // how many of driveRoots are filled; Destination page
extern int driveIndex;                  // the chosen drive; Destination page, Directory browser
extern DWORD freeKB;                    // free space of the chosen drive, units of 1000 bytes
extern char baseDir[PathSize];          // folder that receives the product folder
extern char productFolder[PathSize];    // name of the product folder, "Pictavo" by default
extern char destDir[PathSize];          // the destination folder; Destination page
extern SetupArguments arguments;        // the command line, read by WinMain
extern int exitCode;                    // what WinMain returns; ExitPayloadFailed once a file failed
extern char programsDir[PathSize];      // Start-menu folder under which the shortcut folder is made
extern int programsLimit;               // how short programsDir may get in the Shortcut folder browser
extern char shortcutDir[PathSize];      // the product's shortcut folder; Shortcut page
extern char openFolderPath[PathSize];   // folder the shell opens at the end, empty unless Finish ran
extern char messageText[PathSize];      // scratch for composed messages; carries nothing between uses
