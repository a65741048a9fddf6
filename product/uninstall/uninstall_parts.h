// The parts of the uninstaller that decide from data alone: what it
// accepts from the registry and the text of the 9x family's batch file.
#pragma once
#include "base/nine_x_kernel.h"
#include <windows.h>
#include <stddef.h>

// The longest folder accepted: room is left for "\PvFiles" and the longest
// product file name, so every path made from it fits in MAX_PATH.
enum { MaxFolderLength = MAX_PATH - 16 };

enum ValueState { ValueMissing, ValueRefused, ValueRead };

// Reads a folder path written by Setup. Anything but a REG_SZ value that
// holds an absolute "X:\..." path of at most MaxFolderLength characters,
// without "." or ".." parts and without a trailing backslash, is refused:
// the uninstaller runs with administrator rights and deletes files in the
// folders it reads here.
ValueState ReadFolderValueN(HKEY key, const char* name, char* out, size_t size);
template <size_t N> inline ValueState ReadFolderValue(HKEY key, const char* name, char (&out)[N])
{
    return ReadFolderValueN(key, name, out, N);
}
bool IsAcceptableFolder(const char* path);

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
