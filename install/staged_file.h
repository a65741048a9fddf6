// How one product file changes in one step: the new file is written under
// a fresh name in the product folder, flushed and read back against its
// digest, and only then takes the product file's name in one rename. A
// failure, a Cancel or a killed run before that rename leaves the old file
// as it was; a fresh name left by a killed run is removed by the next one.
#pragma once
#include "base/limits.h"
#include "base/run_log.h"
#include <stdint.h>
#include <windows.h>

// A new file under a name of the fixed pattern "~pv*.new", open from its
// creation until it takes its final name or is removed.
struct StagedFile {
    HANDLE file = INVALID_HANDLE_VALUE;
    char path[PathSize] = {};
};

// The share mode of a handle that must let the rename replace or move its
// file, and nothing else in: delete sharing only. The 9x family knows no
// delete sharing (CreateFile refuses the flag), so there it shares nothing.
DWORD DeleteSharingOnly();

// Whether name (no folder) is one that CreateStagedFile makes: only such
// names are ever removed as leftovers.
bool IsStagedName(const char* name);

// A new empty file in folder under a fresh name of the pattern (never an
// existing file or link taken over), readable, writable and removable
// through staged.file. False, with the system's error, when none can be made.
bool CreateStagedFile(const char* folder, StagedFile& staged);

// Flushes the staged file to the disk and reads it back from its start
// through its own handle: it must be length bytes with this CRC-32.
bool StagedFileReadsBackAs(const StagedFile& staged, uint32_t length, uint32_t digest);

// Gives the staged file the name target, replacing whatever file is there,
// in one rename (MoveFileEx with replace and write-through; on the 9x
// family, which has no replacing rename, a delete then the rename with
// nothing between). held is the old file's handle kept since the in-use
// check, or NULL; it is closed either way. The staged file is closed once
// it has its name, or left open for DiscardStagedFile when it has not.
bool CommitStagedFile(StagedFile& staged, const char* target, HANDLE& held);

// Removes a staged file that did not take its name; nothing when none is open.
void DiscardStagedFile(StagedFile& staged);

// Removes the staged files that a killed run left in folder, which must be
// the folder heldFolder is open on (checked without following a link; the
// 9x family, which cannot hold a folder, goes by the name): regular files
// whose names are of the pattern, opened without following a link and
// removed through that handle. A folder, a link, or a file another program
// has open is left alone, and nothing below folder is looked at. Gives how
// many were removed.
int RemoveStagedLeftovers(const char* folder, HANDLE heldFolder, const RunLog& log);

