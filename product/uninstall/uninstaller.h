// What the uninstaller's parts share: the installation found, the report
// being gathered, and the steps that WinMain takes in turn. Its exit codes
// are UninstallExitCode (base/exit_codes.h).
#pragma once
#include "uninstall/uninstall_parts.h"
#include "installed/removal.h"
#include "base/exit_codes.h"
#include "base/file_write.h"
#include "base/product.h"
#include "base/run_log.h"
#include "base/text.h"
#include <windows.h>

enum { TextSize = ReportSize, PathBuffer = MAX_PATH };

extern const char uninstallCaption[];

// One run of the uninstaller, or of its helper: what every step may tell
// and what it has found so far.
struct UninstallRun {
    bool silent;    // /S: nobody is there to answer or to read, so nothing is asked or told
    RunLog log;     // /LOG=: each step of the removal, as it is taken; closed without it
    RemovalReport report;  // its log is this run's: UninstallRun::Begin
    // Ties the report to this run's log; called once the run is made.
    void Begin() { report.log = &log; }
};

// uninstall.cpp: the removal, step by step; its exit code.
int Uninstall(UninstallRun& run);

// report.cpp: the messages and the closing report. The report's lines
// (installed/removal.h) also go to the log as they are added.
void Tell(const UninstallRun& run, const char* text, UINT icon);
inline void AddFailed(UninstallRun& run, const char* line)
{
    AddFailed(run.report, line);
}
inline void AddFailure(UninstallRun& run, const char* what, DWORD error)
{
    AddFailure(run.report, what, error);
}
// The closing message, for a person: one sentence for what went, then
// what was kept and why, and what failed. The counts go to the log.
void TellReport(const UninstallRun& run, const char* programLine, const char* folderRemovedLate);

// find_entry.cpp: without an entry (a confirmed Cancel on Setup's Shortcut
// page leaves none, and leaves the files): the folder this program runs
// from, when pictavo.exe lies beside it and the folder passes the checks
// that Setup's own folders pass. No shortcut folder then. The entry itself
// is read by FindInstallation (installed/entry.h).
bool FindInstallationHere(Installation& found);

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
