#include "installed/removal.h"

namespace {

void AddLineN(char* part, size_t size, const char* line)
{
    AppendTextN(part, size, "\r\n    ");
    AppendTextN(part, size, line);
}

} // namespace

void AddRemoved(const RemovalReport& report, const char* line)
{
    // What went, counted and with its keys, is for the log alone: the
    // person at the screen gets one sentence for it.
    LogLine(*report.log, "Removed: %s", line);
}

void AddLeft(RemovalReport& report, const char* line)
{
    LogLine(*report.log, "Kept: %s", line);
    AddLineN(report.left, sizeof report.left, line);
}

void AddFailed(RemovalReport& report, const char* line)
{
    LogLine(*report.log, "Not removed: %s", line);
    AddLineN(report.failed, sizeof report.failed, line);
}

void AddFailure(RemovalReport& report, const char* what, DWORD error)
{
    char line[MAX_PATH + 64];
    FormatText(line, "%s (error %lu)", what, (unsigned long)error);
    AddFailed(report, line);
}

void LeaveFolder(RemovalReport& report, const char* folder, int count, const char* names)
{
    char line[2 * MAX_PATH + 64];
    if (count == 1)
        FormatText(line, "%s, with 1 file of yours: %s", folder, names);
    else
        FormatText(line, "%s, with %d files of yours: %s", folder, count, names);
    AddLeft(report, line);
}
