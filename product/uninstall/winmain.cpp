// Removes Pictavo: what Setup made and nothing else. It finds the
// installation through the Uninstall entry that Setup wrote, asks once, and
// says at the end what it removed and what it left, and why.
//
// /S removes without the question and without any message: a script reads
// the outcome from the exit code alone.
#include "uninstall/uninstaller.h"
#include "base/command_line.h"
#include "install/folder_trust.h"
#include "base/system_function.h"

namespace {

const char acceptedSwitches[] = "The uninstaller accepts:\r\n"
                                "/S\tremove without the question and without the closing report\r\n"
                                "/LOG=file\twrite each step to a new file\r\n"
                                "/?\tshow this";

bool StartsWith(const char* text, const char* prefix)
{
    while (*prefix)
        if (*text++ != *prefix++)
            return false;
    return true;
}

// The path of a product file in folder.
template <size_t N> bool InFolder(char (&out)[N], const char* folder, const char* file)
{
    return FormatText(out, "%s%s", folder, file);
}

// A product file that is a link which only its target's deletion would
// remove: it stays, and the report says why.
void LeaveLink(Report& report, const char* folder, const char* file)
{
    char line[PathBuffer + 96];
    FormatText(line, "%s%s is a link to another place; it was left, and what it points to", folder, file);
    AddLeft(report, line);
}

// The product folder and PvFiles, opened without following a link at
// either place and held so that neither can be swapped for one while the
// removal runs. False, with nothing touched, when either is a link or
// leads through one, or cannot be opened; folder and pictures are then
// closed. The 9x family has no links and opens no folders: both stay NULL.
bool OpenProductFolders(const Installation& at, const char* picturesPath, HANDLE& folder, HANDLE& pictures)
{
    folder = pictures = NULL;
    bool picturesThere = GetFileAttributesA(picturesPath) != INVALID_FILE_ATTRIBUTES;
    if (PathHasLink(at.programDir) || (picturesThere && PathHasLink(picturesPath))) {
        SetLastError(FolderLinkError);
        return false;
    }
    if (RunsOnNineXKernel())
        return true;
    const DWORD access = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES;
    folder = OpenFolderUnfollowed(at.programDir, access);
    if (folder == INVALID_HANDLE_VALUE) {
        folder = NULL;
        return false;
    }
    if (!picturesThere)
        return true;
    pictures = OpenFolderUnfollowed(picturesPath, access);
    if (pictures != INVALID_HANDLE_VALUE)
        return true;
    pictures = NULL;
    CloseHandle(folder);
    folder = NULL;
    return false;
}

void CloseFolder(HANDLE& folder)
{
    if (folder)
        CloseHandle(folder);
    folder = NULL;
}

int Uninstall()
{
    Installation at;
    ValueState state = FindInstallation(at);
    if (state == ValueMissing && !FindInstallationHere(at)) {
        Tell("Pictavo is not installed on this computer.", MB_ICONINFORMATION);
        return UninstallNotInstalled;
    }
    char text[TextSize];
    if (state == ValueRefused) {
        FormatText(text,
                   "The registry entry of Pictavo under\r\nHKEY_LOCAL_MACHINE\\%s\\Uninstall\\Pictavo\r\n"
                   "does not name its folders in a form this program accepts.\r\n\r\nNothing was removed.",
                   at.entryBase);
        Tell(text, MB_ICONSTOP);
        return UninstallRefused;
    }
    char program[PathBuffer], self[PathBuffer], path[PathBuffer], picturesPath[PathBuffer];
    InFolder(program, at.programDir, uninstallerFile);
    InFolder(path, at.programDir, programFile);
    if (!IsFile(program) || !IsFile(path)) {
        FormatText(text,
                   "The folder\r\n%s\r\nthat the registry names for Pictavo does not hold an installation of it "
                   "(pictavo.exe and uninstall.exe).\r\n\r\nNothing was removed.",
                   at.programDir);
        Tell(text, MB_ICONSTOP);
        return UninstallRefused;
    }
    JoinPath(picturesPath, at.programDir, picturesFolder);
    HANDLE folder, pictures;
    if (!OpenProductFolders(at, picturesPath, folder, pictures)) {
        FormatText(text,
                   "The folder\r\n%s\r\nof Pictavo, or its PvFiles folder, is a link to another place, or "
                   "cannot be opened (error %lu). Removing through it could delete files that are not "
                   "Pictavo's.\r\n\r\nNothing was removed.",
                   at.programDir, (unsigned long)GetLastError());
        Tell(text, MB_ICONSTOP);
        return UninstallRefused;
    }
    LogLine(uninstallLog, "Installation found: %s, shortcuts in %s, entry under HKLM\\%s", at.programDir,
            at.shortcutDir[0] ? at.shortcutDir : "(none)", at.entryBase[0] ? at.entryBase : "(none)");
    if (!silent && MessageBoxA(NULL, "Remove Pictavo and all of its components?", uninstallCaption,
                               MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) != IDYES) {
        LogLine(uninstallLog, "The question was answered No");
        CloseFolder(pictures);
        CloseFolder(folder);
        return UninstallDeclined;
    }

    // pictavo.exe goes first: it is the one that may be running, and while
    // it stays, nothing else goes.
    Report report = {};
    int filesRemoved = 0, linksLeft = 0;
    EntryRemoval first = RemoveEntry(folder, at.programDir, programFile);
    if (first == EntryFailed) {
        FormatText(text,
                   "%s cannot be removed (error %lu). Pictavo may be running: close it and start the "
                   "uninstaller again.\r\n\r\nNothing was removed.",
                   path, (unsigned long)GetLastError());
        CloseFolder(pictures);
        CloseFolder(folder);
        Tell(text, MB_ICONSTOP);
        return UninstallFailed;
    }
    for (const char* name : installedFiles) {
        if (lstrcmpiA(name, uninstallerFile) == 0)
            continue;
        EntryRemoval result = lstrcmpiA(name, programFile) == 0 ? first : RemoveEntry(folder, at.programDir, name);
        InFolder(path, at.programDir, name);
        if (result == EntryRemoved)
            ++filesRemoved, AddRemoved(report, path);
        else if (result == EntryIsLink)
            ++linksLeft, LeaveLink(report, at.programDir, name);
        else if (result == EntryFailed)
            AddFailure(report, path, GetLastError());
    }

    char names[PathBuffer];
    bool picturesStay = false;
    CloseFolder(pictures);
    if (RemoveDirectoryA(picturesPath)) {
        AddRemoved(report, picturesPath);
    } else if (GetFileAttributesA(picturesPath) != INVALID_FILE_ATTRIBUTES) {
        picturesStay = true;
        int count = ListOthers(picturesPath, NULL, 0, names);
        if (count)
            LeaveFolder(report, picturesPath, count, names);
        else
            AddFailure(report, picturesPath, GetLastError());
    }

    if (!at.shortcutDir[0]) {
        // Found without an entry: Setup made no shortcuts.
    } else if (PathHasLink(at.shortcutDir)) {
        FormatText(text, "the shortcuts in %s, a link to another place", at.shortcutDir);
        AddFailed(report, text);
    } else {
        RemoveShortcuts(at, report);
    }
    RemoveRegistration(report);

    // This program is uninstall.exe in the folder (as a rule) or a copy of
    // it elsewhere; only in the first case must another process finish.
    DWORD length = GetModuleFileNameA(NULL, self, PathBuffer);
    bool running = length && length < PathBuffer && SameFile(self, program);
    const char* productNames[PAYLOAD_ROW_COUNT + 1];
    for (int i = 0; i < PAYLOAD_ROW_COUNT; ++i)
        productNames[i] = installedFiles[i];
    productNames[PAYLOAD_ROW_COUNT] = picturesFolder;
    int others = ListOthers(at.programDir, productNames, PAYLOAD_ROW_COUNT + 1, names);
    bool folderGoes = !others && !picturesStay && !linksLeft;
    bool handedOver = false;
    if (!running) {
        EntryRemoval result = RemoveEntry(folder, at.programDir, uninstallerFile);
        if (result == EntryRemoved)
            ++filesRemoved, AddRemoved(report, program);
        else if (result == EntryIsLink)
            LeaveLink(report, at.programDir, uninstallerFile), folderGoes = false;
        else
            AddFailure(report, program, GetLastError());
        CloseFolder(folder);
        if (folderGoes && RemoveDirectoryA(at.programDir))
            AddRemoved(report, at.programDir);
    } else {
        CloseFolder(folder);
        char temp[PathBuffer];
        if (!TempFolder(temp, at.programDir))
            AddFailure(report, "the temporary folder", GetLastError());
        else if (RunsOnNineXKernel())
            handedOver = StartFinisher9x(self, at.programDir, temp, report);
        else
            handedOver = StartFinisherNT(self, at.programDir, temp, report);
        if (handedOver)
            ++filesRemoved;
    }
    if (others)
        LeaveFolder(report, at.programDir, others, names);
    char line[PathBuffer + 64];
    FormatText(line, "%d program files in %s%s", filesRemoved, at.programDir,
               handedOver ? " (uninstall.exe as this window closes)" : "");
    TellReport(report, line, handedOver && folderGoes ? at.programDir : NULL);
    return report.failed[0] ? UninstallFailed : UninstallRemoved;
}

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
    if (StartsWith(arguments, finishSwitch)) {
        if (leaveFolder)
            SetCurrentDirectoryA(windows);
        return FinishRemoval(arguments);
    }
    // Read as Setup reads its own line, within the same bounds; /S, /LOG=
    // and /? are the switches that mean anything here.
    static SetupArguments read;
    ArgumentsResult result = ReadArguments(arguments, read);
    silent = read.silent;
    if (result != ArgumentsRead || read.destination[0] || read.startMenuFolder[0]) {
        char text[2 * PathBuffer];
        FormatText(text, "%s%s%s%s\r\n\r\nNothing was removed.", read.unknownSwitch[0] ? "Unknown switch: " : "",
                   read.unknownSwitch, read.unknownSwitch[0] ? "\r\n\r\n" : "", acceptedSwitches);
        Tell(text, MB_ICONSTOP);
        return UninstallBadArguments;
    }
    if (read.help) {
        Tell(acceptedSwitches, MB_ICONINFORMATION);
        return UninstallSwitchesShown;
    }
    if (read.logPath[0] && !OpenRunLog(uninstallLog, read.logPath)) {
        char text[2 * PathBuffer];
        FormatText(text,
                   "The log file\r\n%s\r\ncannot be made (error %lu). The log is written only to a new file: "
                   "give a name that does not exist yet, in a folder that exists.\r\n\r\nNothing was removed.",
                   read.logPath, (unsigned long)GetLastError());
        Tell(text, MB_ICONSTOP);
        return UninstallBadArguments;
    }
    LogLine(uninstallLog, "Pictavo's uninstaller started with the arguments: %s", arguments);
    LogWindowsVersion(uninstallLog);
    if (leaveFolder)
        SetCurrentDirectoryA(windows);
    int exitCode = Uninstall();
    LogLine(uninstallLog, "The uninstaller ended with exit code %d", exitCode);
    CloseRunLog(uninstallLog);
    return exitCode;
}
