// What the uninstaller's parts share: the installation found, the report
// being gathered, and the steps that WinMain takes in turn. Its exit codes
// are UninstallExitCode (base/exit_codes.h).
#pragma once
#include "uninstall/uninstall_parts.h"
#include "base/exit_codes.h"
#include "base/file_write.h"
#include "base/product.h"
#include "base/run_log.h"
#include "base/setup_lock.h"
#include "base/text.h"
#include "payload_rows.h"
#include <windows.h>

enum { TextSize = 4096, PathBuffer = MAX_PATH, ListedNames = 8 };

extern const char uninstallCaption[];
// The files that Setup installs, from the payload's one list of rows; each
// name begins with a backslash.
extern const char* const installedFiles[PAYLOAD_ROW_COUNT];

struct Installation {
    char entryBase[PathBuffer]; // the base key whose Uninstall entry was read
    char programDir[PathBuffer];
    char shortcutDir[PathBuffer];
};

// What the closing message says besides its first sentence: what was
// kept and why, and what could not be removed. What went is in the log.
struct Report {
    char left[TextSize];
    char failed[TextSize];
};

// One run of the uninstaller, or of its helper: what every step may tell
// and what it has found so far.
struct UninstallRun {
    bool silent;    // /S: nobody is there to answer or to read, so nothing is asked or told
    RunLog log;     // /LOG=: each step of the removal, as it is taken; closed without it
    Report report;
    SetupLock* lock; // held from before the question to the end; its finish part goes to the NT helper
};

// uninstall.cpp: the removal, step by step; its exit code.
int Uninstall(UninstallRun& run);

// report.cpp: the messages and the closing report. Each line also goes to
// the log as it is added.
void Tell(const UninstallRun& run, const char* text, UINT icon);
void AddRemoved(const UninstallRun& run, const char* line);
void AddLeft(UninstallRun& run, const char* line);
void AddFailed(UninstallRun& run, const char* line);
void AddFailure(UninstallRun& run, const char* what, DWORD error);
// A folder that is left because something not made by Setup is in it.
void LeaveFolder(UninstallRun& run, const char* folder, int count, const char* names);
// The closing message, for a person: one sentence for what went, then
// what was kept and why, and what failed. The counts go to the log.
void TellReport(const UninstallRun& run, const char* programLine, const char* folderRemovedLate);

// find_entry.cpp: the entry where Setup puts it on this system; on the NT
// family also the one that the system's list of programs reads.
ValueState FindInstallation(Installation& found);
// Without an entry (a confirmed Cancel on Setup's Shortcut page leaves
// none, and leaves the files): the folder this program runs from, when
// pictavo.exe lies beside it and the folder passes the checks that Setup's
// own folders pass. No shortcut folder then.
bool FindInstallationHere(Installation& found);

// removal.cpp
template <size_t N> bool JoinPath(char (&out)[N], const char* folder, const char* name)
{
    return FormatText(out, "%s\\%s", folder, name);
}
bool IsFile(const char* path);
// Whether two paths name the same file, whatever their spelling.
bool SameFile(const char* a, const char* b);
// The names in a folder that are not in `known` (a known name may begin
// with a backslash), listed into names, and how many there are.
int ListOthersN(const char* folder, const char* const* known, int knownCount, char* names, size_t size);
template <size_t N> int ListOthers(const char* folder, const char* const* known, int knownCount, char (&names)[N])
{
    return ListOthersN(folder, known, knownCount, names, N);
}
void RemoveShortcuts(const Installation& at, UninstallRun& run);

enum EntryRemoval {
    EntryRemoved,  // the file, or a link in its place (the link itself)
    EntryMissing,
    EntryIsLink,   // a link that cannot be removed without its target: left
    EntryFailed    // the last error says why
};
// Removes the product file folderPath + file (file begins with a
// backslash), never through a link: a link at its place is removed itself,
// or left where only its target could be deleted. folder is the folder
// opened by OpenFolderUnfollowed; NULL on the 9x family, which has no links.
EntryRemoval RemoveEntry(HANDLE folder, const char* folderPath, const char* file);
void RemoveRegistration(UninstallRun& run);

// temp_files.cpp: where the helpers go.
bool TempFolder(char (&out)[PathBuffer], const char* programDir);
HANDLE CreateFreshFile(char (&path)[PathBuffer], const char* temp, const char* extension, DWORD mask,
                       DWORD attributes);
// A name in temp that nobody has chosen yet, as far as chance goes; the
// attempt's number varies it.
bool FreshName(char (&path)[PathBuffer], const char* temp, const char* extension, DWORD mask, DWORD attempt);
// A new folder for the NT kernel's helper in temp, under a fresh name, owned
// by Administrators, that only administrators and SYSTEM may change, open
// as it was judged (owner, permissions, the folder reached);
// INVALID_HANDLE_VALUE when none can be made, or when the folder opened
// fails the judgement.
HANDLE CreateHelperFolder(char (&path)[PathBuffer], const char* temp);

// helper_nt.cpp: the copy of this program that removes uninstall.exe on
// the NT family, and what that copy does when it runs.
bool StartFinisherNT(const char* self, const char* programDir, const char* temp, UninstallRun& run);
int FinishRemoval(const UninstallArguments& line);

// helper_9x.cpp: the batch file that does the same on the 9x family.
bool StartFinisher9x(const char* self, const char* programDir, const char* temp, UninstallRun& run);
