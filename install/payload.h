// The product's five files, carried as SZDD-compressed RCDATA resources
// FILE0 to FILE4, and the loop that expands them into a folder. It knows
// no window: it tells an observer where it is and asks it whether to go on.
#pragma once
#include "install/files_in_use.h"
#include "plan/setup_plan.h"
#include "payload_rows.h"
#include <stdint.h>
#include <windows.h>

enum { PayloadRows = PAYLOAD_ROW_COUNT, PayloadNameSize = 40 };

extern const char compressedNames[PayloadRows][PayloadNameSize];
extern const char targetNames[PayloadRows][PayloadNameSize]; // each begins with a backslash
extern const uint32_t builtDigests[PayloadRows];             // CRC-32 of each file as the build made it

// Where the expansion is, told to whoever runs it; context is theirs.
struct PayloadObserver {
    void* context;
    void (*beginFile)(void* context, int row);    // a file is about to be installed
    void (*copyWritten)(void* context, int row);  // its compressed copy is written, the expansion next
    bool (*goOn)(void* context);                  // a file is installed: false stops the expansion
};

enum PayloadResult {
    PayloadInstalled,  // every file
    PayloadStopped,    // the observer said to stop; on a fresh install the files so far stay,
                       // over an installation none of its files has changed
    PayloadFailed      // the file of row, which could not be had, came out short, read back
                       // changed or could not take its name; targetFilePath names the product
                       // file, tempFilePath what it came from. Over an installation the old
                       // files stay as they were.
};

// What came of an expansion. A plain aggregate: initialisers here would
// have the compiler carry a copy of the whole record in the program.
struct PayloadOutcome {
    PayloadResult result;
    int row;                        // the row being expanded; all rows once every file is in
    char tempFilePath[PathSize];    // the failed row's compressed copy, or its resource's name
    char targetFilePath[PathSize];  // the failed row's installed file
    char tempFolder[TempFolderSize];  // where the compressed copies went; ends with a backslash
    uint64_t installedBytes;        // the files read back whole; the Uninstall entry's size
};

// Expands the payload of plan.module into destDir, which the run holds in
// heldDestination; each file must read back as plan.expectedDigests says
// (builtDigests when NULL: only a program that expands another module's
// payload, the benchmark, gives its own). Each new file is written under a
// fresh name beside its product file and checked there, and only then
// takes the product file's name in one step (install/staged_file.h). When
// product files are there already, every new file is checked before the
// first takes its name. Staged files left by a killed run in the held
// folder are removed first. The product files held since the check for
// files in use are taken from held; whatever is left there is released.
PayloadOutcome ExpandPayload(const SetupPlan& plan, const char* destDir, HANDLE heldDestination,
                             HeldProductFiles& held, const PayloadObserver& observer);

// The payload's empty folders, made in folder before the files; one that
// cannot be made is left to the files, whose failure is reported.
void CreatePayloadFolders(const char* folder, const RunLog& log = RunLog());
