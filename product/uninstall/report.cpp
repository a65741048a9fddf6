#include "uninstall/uninstaller.h"

const char uninstallCaption[] = "Pictavo - Uninstall";

bool silent;
RunLog uninstallLog;

void Tell(const char* text, UINT icon)
{
    LogLine(uninstallLog, silent ? "Not shown (/S): %s" : "Shown: %s", text);
    if (!silent)
        MessageBoxA(NULL, text, uninstallCaption, MB_OK | icon | MB_SETFOREGROUND);
}

namespace {

void AddLineN(char* part, size_t size, const char* line)
{
    AppendTextN(part, size, "\r\n    ");
    AppendTextN(part, size, line);
}

} // namespace

void AddRemoved(Report&, const char* line)
{
    // What went, counted and with its keys, is for the log alone: the
    // person at the screen gets one sentence for it.
    LogLine(uninstallLog, "Removed: %s", line);
}

void AddLeft(Report& report, const char* line)
{
    LogLine(uninstallLog, "Kept: %s", line);
    AddLineN(report.left, sizeof report.left, line);
}

void AddFailed(Report& report, const char* line)
{
    LogLine(uninstallLog, "Not removed: %s", line);
    AddLineN(report.failed, sizeof report.failed, line);
}

void AddFailure(Report& report, const char* what, DWORD error)
{
    char line[PathBuffer + 64];
    FormatText(line, "%s (error %lu)", what, (unsigned long)error);
    AddFailed(report, line);
}

void LeaveFolder(Report& report, const char* folder, int count, const char* names)
{
    char line[2 * PathBuffer + 64];
    if (count == 1)
        FormatText(line, "%s, with 1 file of yours: %s", folder, names);
    else
        FormatText(line, "%s, with %d files of yours: %s", folder, count, names);
    AddLeft(report, line);
}

void TellReport(const Report& report, const char* programLine, const char* folderRemovedLate)
{
    LogLine(uninstallLog, "Removed: %s", programLine);
    if (folderRemovedLate)
        LogLine(uninstallLog, "Removed, once this program has ended: %s", folderRemovedLate);

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
    Tell(text, report.failed[0] ? MB_ICONEXCLAMATION : MB_ICONINFORMATION);
}
