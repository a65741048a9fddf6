#include "uninstall/uninstaller.h"

const char uninstallCaption[] = "Pictavo - Uninstall";

void Tell(const UninstallRun& run, const char* text, UINT icon)
{
    LogLine(run.log, run.silent ? "Not shown (/S): %s" : "Shown: %s", text);
    if (!run.silent)
        MessageBoxA(NULL, text, uninstallCaption, MB_OK | icon | MB_SETFOREGROUND);
}

namespace {

void AddLineN(char* part, size_t size, const char* line)
{
    AppendTextN(part, size, "\r\n    ");
    AppendTextN(part, size, line);
}

} // namespace

void AddRemoved(const UninstallRun& run, const char* line)
{
    // What went, counted and with its keys, is for the log alone: the
    // person at the screen gets one sentence for it.
    LogLine(run.log, "Removed: %s", line);
}

void AddLeft(UninstallRun& run, const char* line)
{
    LogLine(run.log, "Kept: %s", line);
    AddLineN(run.report.left, sizeof run.report.left, line);
}

void AddFailed(UninstallRun& run, const char* line)
{
    LogLine(run.log, "Not removed: %s", line);
    AddLineN(run.report.failed, sizeof run.report.failed, line);
}

void AddFailure(UninstallRun& run, const char* what, DWORD error)
{
    char line[PathBuffer + 64];
    FormatText(line, "%s (error %lu)", what, (unsigned long)error);
    AddFailed(run, line);
}

void LeaveFolder(UninstallRun& run, const char* folder, int count, const char* names)
{
    char line[2 * PathBuffer + 64];
    if (count == 1)
        FormatText(line, "%s, with 1 file of yours: %s", folder, names);
    else
        FormatText(line, "%s, with %d files of yours: %s", folder, count, names);
    AddLeft(run, line);
}

void TellReport(const UninstallRun& run, const char* programLine, const char* folderRemovedLate)
{
    const Report& report = run.report;
    LogLine(run.log, "Removed: %s", programLine);
    if (folderRemovedLate)
        LogLine(run.log, "Removed, once this program has ended: %s", folderRemovedLate);

    char text[TextSize];
    CopyText(text, report.failed[0] ? "Pictavo was removed from this computer, except for what is listed below."
                                    : "Pictavo was removed from this computer.");
    if (report.left[0]) {
        AppendText(text, "\r\n\r\nKept, since they hold files that are yours, not Pictavo's:");
        AppendText(text, report.left);
    }
    if (report.failed[0]) {
        AppendText(text, "\r\n\r\nCould not be removed:");
        AppendText(text, report.failed);
    }
    Tell(run, text, report.failed[0] ? MB_ICONEXCLAMATION : MB_ICONINFORMATION);
}
