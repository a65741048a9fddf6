#include "uninstall/uninstaller.h"

const char uninstallCaption[] = "Pictavo - Uninstall";

bool silent;

void Tell(const char* text, UINT icon)
{
    if (!silent)
        MessageBoxA(NULL, text, uninstallCaption, MB_OK | icon | MB_SETFOREGROUND);
}

void AddLineN(char* part, size_t size, const char* line)
{
    AppendTextN(part, size, "\r\n    ");
    AppendTextN(part, size, line);
}

void AddFailureN(char* part, size_t size, const char* what, DWORD error)
{
    char line[PathBuffer + 64];
    FormatText(line, "%s (error %lu)", what, (unsigned long)error);
    AddLineN(part, size, line);
}

void LeaveFolder(Report& report, const char* folder, int count, const char* names)
{
    char line[2 * PathBuffer + 64];
    if (count == 1)
        FormatText(line, "%s holds 1 file: %s", folder, names);
    else
        FormatText(line, "%s holds %d files: %s", folder, count, names);
    AddLine(report.left, line);
}

void TellReport(const Report& report, const char* programLine, const char* folderRemovedLate)
{
    // The file count comes first: it is what the user looks for.
    char removed[TextSize];
    CopyText(removed, "");
    AddLine(removed, programLine);
    AppendText(removed, report.removed);
    if (folderRemovedLate)
        AddLine(removed, folderRemovedLate);

    char text[TextSize];
    FormatText(text, "%s\r\n\r\nRemoved:%s", report.failed[0] ? "Pictavo was removed, but not completely."
                                                              : "Pictavo was removed from this computer.",
               removed);
    if (report.left[0]) {
        AppendText(text, "\r\n\r\nLeft in place, since they hold files that are not Pictavo's:");
        AppendText(text, report.left);
    }
    if (report.failed[0]) {
        AppendText(text, "\r\n\r\nCould not be removed:");
        AppendText(text, report.failed);
    }
    Tell(text, report.failed[0] ? MB_ICONEXCLAMATION : MB_ICONINFORMATION);
}
