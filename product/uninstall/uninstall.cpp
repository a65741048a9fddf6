// The removal, as the steps it takes in turn: find the installation, hold
// its folders, ask, remove pictavo.exe first, then the other files,
// PvFiles, the shortcuts and the registry entries, and last uninstall.exe
// and the folder, or hand those to a helper when this program is
// uninstall.exe itself.
#include "uninstall/uninstaller.h"
#include "installed/folder_trust.h"

namespace {

const int GoOn = -1; // a step's result when the removal goes on

void LeaveLink(UninstallRun& run, const char* path)
{
    char line[PathBuffer + 96];
    FormatText(line, "%s is a link to another place; it was left, and what it points to", path);
    AddLeft(run.report, line);
}

// The installation the entry names, or the one this program lies in, with
// both of its programs in place.
int FindWhatToRemove(UninstallRun& run, Removal& removal)
{
    Installation& at = removal.at;
    ValueState state = FindInstallation(at);
    if (state == ValueMissing && !FindInstallationHere(at)) {
        Tell(run, "Pictavo is not installed on this computer.", MB_ICONINFORMATION);
        return UninstallNotInstalled;
    }
    char text[TextSize];
    if (state == ValueRefused) {
        FormatText(text,
                   "The registry entry of Pictavo under\r\nHKEY_LOCAL_MACHINE\\%s\\Uninstall\\Pictavo\r\n"
                   "does not name its folders in a form this program accepts.\r\n\r\nNothing was removed.",
                   at.entryBase);
        Tell(run, text, MB_ICONSTOP);
        return UninstallRefused;
    }
    char program[PathBuffer];
    FormatText(removal.uninstaller, "%s%s", at.programDir, uninstallerFile);
    FormatText(program, "%s%s", at.programDir, programFile);
    if (!IsFile(removal.uninstaller) || !IsFile(program)) {
        FormatText(text,
                   "The folder\r\n%s\r\nthat the registry names for Pictavo does not hold an installation of it "
                   "(pictavo.exe and uninstall.exe).\r\n\r\nNothing was removed.",
                   at.programDir);
        Tell(run, text, MB_ICONSTOP);
        return UninstallRefused;
    }
    return GoOn;
}

int HoldFolders(UninstallRun& run, Removal& removal)
{
    if (HoldProductFolders(removal))
        return GoOn;
    char text[TextSize];
    FormatText(text,
               "The folder\r\n%s\r\nof Pictavo, or its PvFiles folder, is a link to another place, or "
               "cannot be opened (error %lu). Removing through it could delete files that are not "
               "Pictavo's.\r\n\r\nNothing was removed.",
               removal.at.programDir, (unsigned long)GetLastError());
    Tell(run, text, MB_ICONSTOP);
    return UninstallRefused;
}

int AskToRemove(UninstallRun& run, Removal& removal)
{
    const Installation& at = removal.at;
    LogLine(run.log, "Installation found: %s, shortcuts in %s, entry under HKLM\\%s", at.programDir,
            at.shortcutDir[0] ? at.shortcutDir : "(none)", at.entryBase[0] ? at.entryBase : "(none)");
    if (run.silent || MessageBoxA(NULL, "Remove Pictavo and all of its components?", uninstallCaption,
                                  MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) == IDYES)
        return GoOn;
    LogLine(run.log, "The question was answered No");
    ReleaseProductFolders(removal);
    return UninstallDeclined;
}

// pictavo.exe goes first: while it stays, nothing else goes.
int RemoveProgram(UninstallRun& run, Removal& removal)
{
    if (RemoveProgramFirst(removal))
        return GoOn;
    DWORD error = GetLastError();
    char path[PathBuffer], text[TextSize];
    FormatText(path, "%s%s", removal.at.programDir, programFile);
    FormatText(text,
               "%s cannot be removed (error %lu). Pictavo may be running: close it and start the "
               "uninstaller again.\r\n\r\nNothing was removed.",
               path, (unsigned long)error);
    Tell(run, text, MB_ICONSTOP);
    return UninstallFailed;
}

// uninstall.exe and the product folder, when nothing else is in it. This
// program is uninstall.exe in the folder (as a rule) or a copy of it
// elsewhere; only in the first case must another process finish.
void RemoveUninstallerAndFolder(UninstallRun& run, Removal& removal)
{
    const Installation& at = removal.at;
    char self[PathBuffer];
    DWORD length = GetModuleFileNameA(NULL, self, PathBuffer);
    bool running = length && length < PathBuffer && SameEntry(self, removal.uninstaller);
    char names[PathBuffer];
    int others = ListOthersThanProduct(at.programDir, names);
    bool folderGoes = !others && !removal.picturesStay && !removal.linksLeft;
    bool handedOver = false;
    if (!running) {
        EntryRemoval result = RemoveEntry(removal.folder, at.programDir, uninstallerFile);
        if (result == EntryRemoved)
            ++removal.filesRemoved, AddRemoved(run.report, removal.uninstaller);
        else if (result == EntryIsLink)
            LeaveLink(run, removal.uninstaller), folderGoes = false;
        else
            AddFailure(run, removal.uninstaller, GetLastError());
        ReleaseProductFolders(removal);
        if (folderGoes && RemoveDirectoryA(at.programDir))
            AddRemoved(run.report, at.programDir);
    } else {
        ReleaseProductFolders(removal);
        char temp[PathBuffer];
        if (!TempFolder(temp, at.programDir))
            AddFailure(run, "the temporary folder", GetLastError());
        else if (RunsOnNineXKernel())
            handedOver = StartFinisher9x(self, at.programDir, temp, run);
        else
            handedOver = StartFinisherNT(self, at.programDir, temp, run);
        if (handedOver)
            ++removal.filesRemoved;
    }
    if (others)
        LeaveFolder(run.report, at.programDir, others, names);
    char line[PathBuffer + 64];
    FormatText(line, "%d program files in %s%s", removal.filesRemoved, at.programDir,
               handedOver ? " (uninstall.exe as this window closes)" : "");
    TellReport(run, line, handedOver && folderGoes ? at.programDir : NULL);
}

} // namespace

int Uninstall(UninstallRun& run)
{
    Removal removal = {};
    int refused = FindWhatToRemove(run, removal);
    if (refused == GoOn)
        refused = HoldFolders(run, removal);
    if (refused == GoOn)
        refused = AskToRemove(run, removal);
    if (refused == GoOn)
        refused = RemoveProgram(run, removal);
    if (refused != GoOn)
        return refused;
    RemoveOtherFiles(removal, run.report);
    RemovePicturesFolder(removal, run.report);
    RemoveShortcutFolder(removal.at.shortcutDir, run.report);
    RemoveRegistration(run.report);
    RemoveUninstallerAndFolder(run, removal);
    return run.report.failed[0] ? UninstallFailed : UninstallRemoved;
}
