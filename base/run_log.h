// A plain-text log of one run, for whoever deploys Pictavo with a script
// and reads afterwards what happened on each machine: one step a line,
// behind the local time. Each line goes to the file as it is written, so a
// run that dies leaves every step it took. A run given no log file keeps a
// closed RunLog, and LogLine writes nothing then.
#pragma once
#include <windows.h>

struct RunLog {
    HANDLE file = INVALID_HANDLE_VALUE;
};

// Creates path as a new file for the log. The run has administrator
// rights and the name is chosen by whoever starts it, perhaps in a folder
// others may write: whatever exists at that name (a file, a folder, a
// link, even one that leads nowhere) is never opened or followed, so an
// existing name is refused too. So is a folder on the way that a link
// leads elsewhere, or that others than the administrators may rename,
// delete, re-permission or own (base/folder_path.h): C:\Windows\Temp and
// C:\ProgramData, where users may only add files of their own, serve. The
// file gets permissions of its own: the administrators and SYSTEM may
// change it, the running account may read it. False, with the system's
// error code (FolderLinkError for a link, ERROR_ACCESS_DENIED for a folder
// others may change), and nothing left behind.
bool OpenRunLog(RunLog& log, const char* path);

// One line: the time, then format as FormatText understands it. The
// system's last error is kept, so a failure can be logged before it is
// told. A line longer than a log line ends in "...".
void LogLine(const RunLog& log, const char* format, ...);

// The version GetVersion reports, the family it names, and the family of
// the kernel underneath, which a compatibility layer does not change.
void LogWindowsVersion(const RunLog& log);

void CloseRunLog(RunLog& log);
