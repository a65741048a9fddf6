// Removes Pictavo: what Setup made and nothing else. It finds the
// installation through the Uninstall entry that Setup wrote, asks once, and
// says at the end what it removed and what it left, and why.
//
// /S removes without the question and without any message: a script reads
// the outcome from the exit code alone.
#include "uninstall/uninstaller.h"
#include "base/system_function.h"

namespace {

const char acceptedSwitches[] = "The uninstaller accepts:\r\n"
                                "/S\tremove without the question and without the closing report\r\n"
                                "/LOG=file\twrite each step to a new file\r\n"
                                "/?\tshow this";

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int)
{
    // It runs as administrator, often from a folder a user may write:
    // nothing may load from there, in the uninstaller or in its helper.
    RestrictProcess();
    // A folder cannot be removed while it is any process's current folder,
    // and the shortcut starts this program in the product folder. A log
    // named relative to the folder it was started in is made first.
    char windows[PathBuffer];
    UINT length = GetWindowsDirectoryA(windows, PathBuffer);
    bool leaveFolder = length && length < PathBuffer;
    // Read as Setup reads its own line, within the same bounds; /S, /LOG=
    // and /? are the switches that mean anything here, and the helper's
    // line is read by the same reader.
    UninstallArguments read;
    ArgumentsResult result = ReadUninstallArguments(arguments, read);
    if (read.finish) {
        if (leaveFolder)
            SetCurrentDirectoryA(windows);
        return result == ArgumentsRead ? FinishRemoval(read) : UninstallFailed;
    }
    UninstallRun run = {};
    run.Begin();
    run.silent = read.switches.silent;
    if (result != ArgumentsRead) {
        const char* unknown = read.switches.unknownSwitch;
        char text[2 * PathBuffer];
        FormatText(text, "%s%s%s%s\r\n\r\nNothing was removed.", unknown[0] ? "Unknown switch: " : "", unknown,
                   unknown[0] ? "\r\n\r\n" : "", acceptedSwitches);
        Tell(run, text, MB_ICONSTOP);
        return UninstallBadArguments;
    }
    if (read.switches.help) {
        Tell(run, acceptedSwitches, MB_ICONINFORMATION);
        return UninstallSwitchesShown;
    }
    if (read.switches.logPath[0] && !OpenRunLog(run.log, read.switches.logPath)) {
        char text[2 * PathBuffer];
        FormatText(text,
                   "The log file\r\n%s\r\ncannot be made (error %lu). The log is written only to a new file: "
                   "give a name that does not exist yet, in a folder that exists, is reached without a link and "
                   "only administrators can change.\r\n\r\nNothing was removed.",
                   read.switches.logPath, (unsigned long)GetLastError());
        Tell(run, text, MB_ICONSTOP);
        return UninstallBadArguments;
    }
    LogLine(run.log, "Pictavo's uninstaller started with the arguments: %s", arguments);
    LogWindowsVersion(run.log);
    if (leaveFolder)
        SetCurrentDirectoryA(windows);
    int exitCode = Uninstall(run);
    LogLine(run.log, "The uninstaller ended with exit code %d", exitCode);
    CloseRunLog(run.log);
    return exitCode;
}
