// The parts of the uninstaller that decide from data alone: what it
// accepts from its command line, and the text of the 9x family's batch
// file. What it accepts from the registry is Setup's too
// (installed/entry.h).
#pragma once
#include "installed/entry.h"
#include "base/nine_x_kernel.h"
#include "base/command_line.h"
#include <windows.h>
#include <stddef.h>

// The batch file that finishes the removal on the 9x family, where a file
// that is open cannot be deleted on close: it retries until the uninstaller
// has ended, then removes the folder (when empty) and itself. Paths must be
// short (8.3) names: command.com splits at blanks and expands "%". False
// when a path holds a character that the batch cannot carry, or when the
// text did not fit.
bool ComposeRemovalBatchN(char* out, size_t size, const char* program, const char* folder, const char* batch);
template <size_t N>
inline bool ComposeRemovalBatch(char (&out)[N], const char* program, const char* folder, const char* batch)
{
    return ComposeRemovalBatchN(out, N, program, folder, batch);
}


// The command interpreter that runs the 9x family's batch file: the one in
// the Windows folder. COMSPEC is not asked, since anybody may set it to a
// program of their own, which this elevated program would then start.
// False, with out empty, when windowsDir is not an absolute folder path or
// the path does not fit.
bool NineXInterpreterN(char* out, size_t size, const char* windowsDir);
template <size_t N> inline bool NineXInterpreter(char (&out)[N], const char* windowsDir)
{
    return NineXInterpreterN(out, N, windowsDir);
}

// The uninstaller's command line, read once by one reader for the removal
// and for the helper copy that finishes it alike; the helper's own part is
// written by ComposeFinishLine beside it. /S is read by Setup's reader in
// both.
//     [/S] [/LOG=file] [/?]                              the removal
//     /pictavo-finish WAIT OWN "folder" [/S]             the helper
// WAIT and OWN are the handles (in hex) of the uninstaller that the helper
// waits for and of the helper's own file, which it inherited.
extern const char finishSwitch[];

struct UninstallArguments {
    SetupArguments switches;   // /S (also on a line refused), /LOG= and /? of the removal
    bool finish;               // the helper's line
    ULONG_PTR waitFor;         // the helper's: the uninstaller's process
    ULONG_PTR ownFile;         // the helper's: its own file, deleted on close
    char programDir[MAX_PATH]; // the helper's: the product folder, not yet checked
};

// ArgumentsRead, or why the line is refused: a switch that neither takes
// (Setup's /D= and /G= included, and /LOG= or /? on the helper's line) is
// ArgumentsUnknown, a helper's part out of form ArgumentsMalformed.
ArgumentsResult ReadUninstallArguments(const char* line, UninstallArguments& read);

// The helper's line: its program in quotes, then what ReadUninstallArguments
// reads back. False when it did not fit.
bool ComposeFinishLineN(char* out, size_t size, const char* helper, ULONG_PTR waitFor, ULONG_PTR ownFile,
                        const char* programDir, bool silent);
template <size_t N>
inline bool ComposeFinishLine(char (&out)[N], const char* helper, ULONG_PTR waitFor, ULONG_PTR ownFile,
                              const char* programDir, bool silent)
{
    return ComposeFinishLineN(out, N, helper, waitFor, ownFile, programDir, silent);
}
