// The product's five files, carried as SZDD-compressed RCDATA resources
// FILE0 to FILE4, and the loop that expands them into a folder. It knows
// no window: it tells an observer where it is and asks it whether to go on.
#pragma once
#include "payload_rows.h"
#include <stdint.h>
#include <windows.h>

enum { PayloadRows = PAYLOAD_ROW_COUNT, PayloadNameSize = 40, TempFolderSize = 260 };

extern int payloadIndex;                                     // the row being expanded
extern const char payloadFolders[1][10];                     // made in the destination before the files
extern const char compressedNames[PayloadRows][PayloadNameSize];
extern const char targetNames[PayloadRows][PayloadNameSize]; // each begins with a backslash
extern const uint32_t builtDigests[PayloadRows];             // CRC-32 of each file as the build made it
// What each installed file must read back as: builtDigests, unless a
// program expands another module's payload (the benchmark's).
extern const uint32_t* expectedDigests;
extern char tempFolder[TempFolderSize];                      // ends with a backslash
extern char tempFilePath[512];                               // the row's compressed copy; named in a failure
extern char targetFilePath[512];                             // the row's installed file; named in a failure

struct PayloadObserver {
    void (*beginFile)(int row);  // a file is about to be installed
    bool (*goOn)();              // a file is installed: false stops the expansion
};

enum PayloadResult {
    PayloadInstalled,  // every file
    PayloadStopped,    // the observer said to stop; the files so far stay
    PayloadFailed      // the file of payloadIndex, which could not be had, came out short or
                       // read back changed; tempFilePath and targetFilePath name it
};

PayloadResult ExpandPayload(const char* folder, const PayloadObserver& observer);

// The payload's empty folders, made in folder before the files; one that
// cannot be made is left to the files, whose failure is reported.
void CreatePayloadFolders(const char* folder);
