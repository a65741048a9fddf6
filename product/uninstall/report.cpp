#include "uninstall/uninstaller.h"

const char uninstallCaption[] = "Pictavo - Uninstall";

void Tell(const UninstallRun& run, const char* text, UINT icon)
{
    LogLine(run.log, run.silent ? "Not shown (/S): %s" : "Shown: %s", text);
    if (!run.silent)
        MessageBoxA(NULL, text, uninstallCaption, MB_OK | icon | MB_SETFOREGROUND);
}

void TellReport(const UninstallRun& run, const char* programLine, const char* folderRemovedLate)
{
    const RemovalReport& report = run.report;
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
