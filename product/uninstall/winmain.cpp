// Removes Pictavo: what Setup made and nothing else. It finds the
// installation through the Uninstall entry that Setup wrote, asks once, and
// says at the end what it removed and what it left, and why.
//
// /S removes without the question and without any message: a script reads
// the outcome from the exit code alone.
#include "uninstall/uninstaller.h"
#include "base/base_key.h"
#include "base/command_line.h"

namespace {

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

int Uninstall()
{
    Installation at;
    ValueState state = FindInstallation(at);
    if (state == ValueMissing) {
        Tell("Pictavo is not installed on this computer.", MB_ICONINFORMATION);
        return NotInstalled;
    }
    char text[TextSize];
    if (state == ValueRefused) {
        FormatText(text,
                   "The registry entry of Pictavo under\r\nHKEY_LOCAL_MACHINE\\%s\\Uninstall\\Pictavo\r\n"
                   "does not name its folders in a form this program accepts.\r\n\r\nNothing was removed.",
                   at.entryBase);
        Tell(text, MB_ICONSTOP);
        return Refused;
    }
    char program[PathBuffer], self[PathBuffer], path[PathBuffer];
    InFolder(program, at.programDir, uninstallerFile);
    InFolder(path, at.programDir, programFile);
    if (!IsFile(program) || !IsFile(path)) {
        FormatText(text,
                   "The folder\r\n%s\r\nthat the registry names for Pictavo does not hold an installation of it "
                   "(pictavo.exe and uninstall.exe).\r\n\r\nNothing was removed.",
                   at.programDir);
        Tell(text, MB_ICONSTOP);
        return Refused;
    }
    if (!silent && MessageBoxA(NULL, "Remove Pictavo and all of its components?", uninstallCaption,
                               MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) != IDYES)
        return Declined;

    // pictavo.exe goes first: it is the one that may be running, and while
    // it stays, nothing else goes.
    Report report = {};
    if (!DeleteFileA(path) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        FormatText(text,
                   "%s cannot be removed (error %lu). Pictavo may be running: close it and start the "
                   "uninstaller again.\r\n\r\nNothing was removed.",
                   path, (unsigned long)GetLastError());
        Tell(text, MB_ICONSTOP);
        return Failed;
    }
    int filesRemoved = 1;
    for (const char* name : installedFiles) {
        if (lstrcmpiA(name, programFile) == 0 || lstrcmpiA(name, uninstallerFile) == 0)
            continue;
        InFolder(path, at.programDir, name);
        if (DeleteFileA(path))
            ++filesRemoved;
        else if (GetLastError() != ERROR_FILE_NOT_FOUND)
            AddFailure(report.failed, path, GetLastError());
    }

    char names[PathBuffer];
    JoinPath(path, at.programDir, picturesFolder);
    bool picturesStay = false;
    if (RemoveDirectoryA(path)) {
        AddLine(report.removed, path);
    } else if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
        picturesStay = true;
        int pictures = ListOthers(path, NULL, 0, names);
        if (pictures)
            LeaveFolder(report, path, pictures, names);
        else
            AddFailure(report.failed, path, GetLastError());
    }

    RemoveShortcuts(at, report);
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
    bool folderGoes = !others && !picturesStay;
    bool handedOver = false;
    if (!running) {
        if (DeleteFileA(program))
            ++filesRemoved;
        else
            AddFailure(report.failed, program, GetLastError());
        if (folderGoes && RemoveDirectoryA(at.programDir))
            AddLine(report.removed, at.programDir);
    } else {
        char temp[PathBuffer];
        if (!TempFolder(temp, at.programDir))
            AddFailure(report.failed, "the temporary folder", GetLastError());
        else if (IsNtFamily(GetVersion()))
            handedOver = StartFinisherNT(self, at.programDir, temp, report);
        else
            handedOver = StartFinisher9x(self, at.programDir, temp, report);
        if (handedOver)
            ++filesRemoved;
    }
    if (others)
        LeaveFolder(report, at.programDir, others, names);
    char line[PathBuffer + 64];
    FormatText(line, "%d program files in %s%s", filesRemoved, at.programDir,
               handedOver ? " (uninstall.exe as this window closes)" : "");
    TellReport(report, line, handedOver && folderGoes ? at.programDir : NULL);
    return report.failed[0] ? Failed : Removed;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int)
{
    // A folder cannot be removed while it is any process's current folder,
    // and the shortcut starts this program in the product folder.
    char windows[PathBuffer];
    UINT length = GetWindowsDirectoryA(windows, PathBuffer);
    if (length && length < PathBuffer)
        SetCurrentDirectoryA(windows);
    if (StartsWith(arguments, finishSwitch))
        return FinishRemoval(arguments);
    // Read as Setup reads its own line, within the same bounds; /S is the
    // only switch that means anything here.
    static SetupArguments read;
    ArgumentsResult result = ReadArguments(arguments, read);
    silent = read.silent;
    if (result != ArgumentsRead || read.destination[0] || read.startMenuFolder[0]) {
        char text[PathBuffer];
        FormatText(text, "%s%s%sThe uninstaller accepts one switch:\r\n/S\tremove without the question and "
                         "without the closing report.\r\n\r\nNothing was removed.",
                   read.unknownSwitch[0] ? "Unknown switch: " : "", read.unknownSwitch,
                   read.unknownSwitch[0] ? "\r\n\r\n" : "");
        Tell(text, MB_ICONSTOP);
        return BadArguments;
    }
    return Uninstall();
}
