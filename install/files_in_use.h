// Whether the files an installation over an earlier one must replace are
// free: a running pictavo.exe, or a readme open in an editor, would make
// the expansion fail halfway, with some files new and some old.
#pragma once
#include "plan/setup_plan.h"

// The product files that were found free, open until the expansion takes
// each or the run ends; NULL where none is held.
struct HeldProductFiles {
    HANDLE files[PAYLOAD_ROW_COUNT] = {};

    HeldProductFiles() = default;
    HeldProductFiles(const HeldProductFiles&) = delete;
    HeldProductFiles& operator=(const HeldProductFiles&) = delete;
    ~HeldProductFiles() { Release(); }
    void Release();
};

// Opens each product file that exists in destDir the way the expansion
// needs it, shared for deletion only. When every one opens, they stay open
// in held, so that no program started now can take one before the
// expansion's rename replaces it, and the result is true. When another program
// holds one, nothing stays open, inUse is its full path, and the result is
// false. A file that cannot be opened for any other reason (missing,
// refused) is left to the expansion, which reports it.
bool HoldProductFiles(const char* destDir, const RunLog& log, HeldProductFiles& held, char (&inUse)[PathSize]);

// The programs that the system's Restart Manager names as holding product
// files in destDir, one a line; empty where the system has no such manager
// or it names none (Wine's names none even for a running pictavo.exe), so
// an empty list never means that the files are free.
void NameProgramsUsingProductFiles(const char* destDir, const RunLog& log, char (&programs)[PathSize]);
