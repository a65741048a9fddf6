// The removal, as the steps it takes in turn: find the installation, hold
// its folders, ask, remove pictavo.exe first, then the other files,
// PvFiles, the shortcuts and the registry entries, and last uninstall.exe
// and the folder, or hand those to a helper when this program is
// uninstall.exe itself.
#include "uninstall/uninstaller.h"
#include "install/folder_trust.h"

namespace {

// What the steps hand on to the next ones.
struct Removal {
    Installation at;
    char uninstaller[PathBuffer];  // uninstall.exe in the product folder
    char picturesPath[PathBuffer];
    // The product folder and PvFiles, held open while the removal runs;
    // NULL on the 9x family, which has no links and opens no folders.
    HANDLE folder;
    HANDLE pictures;
    EntryRemoval program;          // how pictavo.exe went
    int filesRemoved;
    int linksLeft;
    bool picturesStay;
};

const int GoOn = -1; // a step's result when the removal goes on

// The path of a product file in folder.
template <size_t N> bool InFolder(char (&out)[N], const char* folder, const char* file)
{
    return FormatText(out, "%s%s", folder, file);
}

void CloseFolder(HANDLE& folder)
{
    if (folder)
        CloseHandle(folder);
    folder = NULL;
}

// A product file that is a link which only its target's deletion would
// remove: it stays, and the report says why.
void LeaveLink(UninstallRun& run, const char* folder, const char* file)
{
    char line[PathBuffer + 96];
    FormatText(line, "%s%s is a link to another place; it was left, and what it points to", folder, file);
    AddLeft(run, line);
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
    InFolder(removal.uninstaller, at.programDir, uninstallerFile);
    InFolder(program, at.programDir, programFile);
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

// The product folder and PvFiles, opened without following a link at
// either place and held so that neither can be swapped for one while the
// removal runs. False, with nothing touched, when either is a link or
// leads through one, or cannot be opened; both are then closed.
bool OpenProductFolders(Removal& removal)
{
    const char* programDir = removal.at.programDir;
    HANDLE& folder = removal.folder;
    HANDLE& pictures = removal.pictures;
    folder = pictures = NULL;
    bool picturesThere = GetFileAttributesA(removal.picturesPath) != INVALID_FILE_ATTRIBUTES;
    if (PathHasLink(programDir) || (picturesThere && PathHasLink(removal.picturesPath))) {
        SetLastError(FolderLinkError);
        return false;
    }
    if (RunsOnNineXKernel())
        return true;
    const DWORD access = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES;
    folder = OpenFolderUnfollowed(programDir, access);
    if (folder == INVALID_HANDLE_VALUE) {
        folder = NULL;
        return false;
    }
    if (!picturesThere)
        return true;
    pictures = OpenFolderUnfollowed(removal.picturesPath, access);
    if (pictures != INVALID_HANDLE_VALUE)
        return true;
    pictures = NULL;
    CloseFolder(folder);
    return false;
}

int HoldProductFolders(UninstallRun& run, Removal& removal)
{
    JoinPath(removal.picturesPath, removal.at.programDir, picturesFolder);
    if (OpenProductFolders(removal))
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
    CloseFolder(removal.pictures);
    CloseFolder(removal.folder);
    return UninstallDeclined;
}

// pictavo.exe goes first: it is the one that may be running, and while it
// stays, nothing else goes.
int RemoveProgramFirst(UninstallRun& run, Removal& removal)
{
    removal.program = RemoveEntry(removal.folder, removal.at.programDir, programFile);
    if (removal.program != EntryFailed)
        return GoOn;
    char path[PathBuffer], text[TextSize];
    InFolder(path, removal.at.programDir, programFile);
    FormatText(text,
               "%s cannot be removed (error %lu). Pictavo may be running: close it and start the "
               "uninstaller again.\r\n\r\nNothing was removed.",
               path, (unsigned long)GetLastError());
    CloseFolder(removal.pictures);
    CloseFolder(removal.folder);
    Tell(run, text, MB_ICONSTOP);
    return UninstallFailed;
}

// Every product file but uninstall.exe, pictavo.exe counted as it went.
void RemoveOtherFiles(UninstallRun& run, Removal& removal)
{
    const char* programDir = removal.at.programDir;
    for (const char* name : installedFiles) {
        if (lstrcmpiA(name, uninstallerFile) == 0)
            continue;
        EntryRemoval result =
            lstrcmpiA(name, programFile) == 0 ? removal.program : RemoveEntry(removal.folder, programDir, name);
        char path[PathBuffer];
        InFolder(path, programDir, name);
        if (result == EntryRemoved)
            ++removal.filesRemoved, AddRemoved(run, path);
        else if (result == EntryIsLink)
            ++removal.linksLeft, LeaveLink(run, programDir, name);
        else if (result == EntryFailed)
            AddFailure(run, path, GetLastError());
    }
}

// PvFiles goes only when empty: the pictures in it are the user's.
void RemovePicturesFolder(UninstallRun& run, Removal& removal)
{
    CloseFolder(removal.pictures);
    if (RemoveDirectoryA(removal.picturesPath)) {
        AddRemoved(run, removal.picturesPath);
        return;
    }
    if (GetFileAttributesA(removal.picturesPath) == INVALID_FILE_ATTRIBUTES)
        return;
    removal.picturesStay = true;
    char names[PathBuffer];
    int count = ListOthers(removal.picturesPath, NULL, 0, names);
    if (count)
        LeaveFolder(run, removal.picturesPath, count, names);
    else
        AddFailure(run, removal.picturesPath, GetLastError());
}

void RemoveShortcutFolder(UninstallRun& run, const Installation& at)
{
    if (!at.shortcutDir[0])
        return; // found without an entry: Setup made no shortcuts
    if (PathHasLink(at.shortcutDir)) {
        char text[PathBuffer + 64];
        FormatText(text, "the shortcuts in %s, a link to another place", at.shortcutDir);
        AddFailed(run, text);
        return;
    }
    RemoveShortcuts(at, run);
}

// uninstall.exe and the product folder, when nothing else is in it. This
// program is uninstall.exe in the folder (as a rule) or a copy of it
// elsewhere; only in the first case must another process finish.
void RemoveUninstallerAndFolder(UninstallRun& run, Removal& removal)
{
    const Installation& at = removal.at;
    char self[PathBuffer];
    DWORD length = GetModuleFileNameA(NULL, self, PathBuffer);
    bool running = length && length < PathBuffer && SameFile(self, removal.uninstaller);
    const char* productNames[PAYLOAD_ROW_COUNT + 1];
    for (int i = 0; i < PAYLOAD_ROW_COUNT; ++i)
        productNames[i] = installedFiles[i];
    productNames[PAYLOAD_ROW_COUNT] = picturesFolder;
    char names[PathBuffer];
    int others = ListOthers(at.programDir, productNames, PAYLOAD_ROW_COUNT + 1, names);
    bool folderGoes = !others && !removal.picturesStay && !removal.linksLeft;
    bool handedOver = false;
    if (!running) {
        EntryRemoval result = RemoveEntry(removal.folder, at.programDir, uninstallerFile);
        if (result == EntryRemoved)
            ++removal.filesRemoved, AddRemoved(run, removal.uninstaller);
        else if (result == EntryIsLink)
            LeaveLink(run, at.programDir, uninstallerFile), folderGoes = false;
        else
            AddFailure(run, removal.uninstaller, GetLastError());
        CloseFolder(removal.folder);
        if (folderGoes && RemoveDirectoryA(at.programDir))
            AddRemoved(run, at.programDir);
    } else {
        CloseFolder(removal.folder);
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
        LeaveFolder(run, at.programDir, others, names);
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
        refused = HoldProductFolders(run, removal);
    if (refused == GoOn)
        refused = AskToRemove(run, removal);
    if (refused == GoOn)
        refused = RemoveProgramFirst(run, removal);
    if (refused != GoOn)
        return refused;
    RemoveOtherFiles(run, removal);
    RemovePicturesFolder(run, removal);
    RemoveShortcutFolder(run, removal.at);
    RemoveRegistration(run);
    RemoveUninstallerAndFolder(run, removal);
    return run.report.failed[0] ? UninstallFailed : UninstallRemoved;
}
