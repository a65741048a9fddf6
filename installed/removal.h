// The removal of an installation, step by step, without a window: the
// uninstaller takes these steps after its question and tells the user
// itself; Setup takes them for the installation it moved away from. What
// each step removed, kept or could not remove goes to the log as it
// happens and, where a person should read it, into the report's text.
#pragma once
#include "installed/entry.h"
#include "base/run_log.h"
#include "base/text.h"
#include "payload_rows.h"
#include <windows.h>

enum { ReportSize = 4096, ListedNames = 8 };

// The files that Setup installs, from the payload's one list of rows; each
// name begins with a backslash.
extern const char* const installedFiles[PAYLOAD_ROW_COUNT];

// What a closing message says besides its first sentence: what was kept
// and why, and what could not be removed. What went is in the log alone.
struct RemovalReport {
    const RunLog* log;
    char left[ReportSize];
    char failed[ReportSize];
};

void AddRemoved(const RemovalReport& report, const char* line);
void AddLeft(RemovalReport& report, const char* line);
void AddFailed(RemovalReport& report, const char* line);
void AddFailure(RemovalReport& report, const char* what, DWORD error);
// A folder that is left because something not made by Setup is in it.
void LeaveFolder(RemovalReport& report, const char* folder, int count, const char* names);

template <size_t N> bool JoinPath(char (&out)[N], const char* folder, const char* name)
{
    return FormatText(out, "%s\\%s", folder, name);
}
// The names in a folder that are not in `known` (a known name may begin
// with a backslash), listed into names, and how many there are.
int ListOthersN(const char* folder, const char* const* known, int knownCount, char* names, size_t size);
template <size_t N> int ListOthers(const char* folder, const char* const* known, int knownCount, char (&names)[N])
{
    return ListOthersN(folder, known, knownCount, names, N);
}
// The names in a product folder that Setup did not put there: neither a
// product file nor PvFiles.
int ListOthersThanProductN(const char* programDir, char* names, size_t size);
template <size_t N> int ListOthersThanProduct(const char* programDir, char (&names)[N])
{
    return ListOthersThanProductN(programDir, names, N);
}

enum EntryRemoval {
    EntryRemoved,  // the file, or a link in its place (the link itself)
    EntryMissing,
    EntryIsLink,   // a link that cannot be removed without its target: left
    EntryFailed    // the last error says why
};
// Removes the product file folderPath + file (file begins with a
// backslash), never through a link: a link at its place is removed itself,
// or left where only its target could be deleted. folder is the folder
// opened by OpenFolderUnfollowed; NULL on the 9x family, which has no links.
EntryRemoval RemoveEntry(HANDLE folder, const char* folderPath, const char* file);

// The product's links in shortcutDir, and the folder when nothing else is
// in it. A path with a link on it is left, and reported.
void RemoveShortcutFolder(const char* shortcutDir, RemovalReport& report);
// The Uninstall entries under both base keys, the NT family's Uninstall key
// when it is left empty, and the application path.
void RemoveRegistration(RemovalReport& report);

// One removal's state, handed from step to step.
struct Removal {
    Installation at;
    char uninstaller[MAX_PATH];   // uninstall.exe in the product folder
    char picturesPath[MAX_PATH];
    // The product folder and PvFiles, held open while the removal runs;
    // NULL on the 9x family, which has no links and opens no folders.
    HANDLE folder;
    HANDLE pictures;
    EntryRemoval program;         // how pictavo.exe went
    int filesRemoved;
    int linksLeft;
    bool picturesStay;            // PvFiles holds files of the user's, and stays
};

// The product folder and PvFiles, opened without following a link at
// either place and held so that neither can be swapped for one while the
// removal runs. False, with nothing touched, when either is a link or
// leads through one, or cannot be opened (the last error says which); both
// are then closed.
bool HoldProductFolders(Removal& removal);
void ReleaseProductFolders(Removal& removal);
// pictavo.exe goes first: it is the one that may be running, and while it
// stays, nothing else goes. False, with the last error, when it failed;
// the folders are then released.
bool RemoveProgramFirst(Removal& removal);
// Every product file but uninstall.exe, pictavo.exe counted as it went.
void RemoveOtherFiles(Removal& removal, RemovalReport& report);
// PvFiles goes only when empty: the pictures in it are the user's.
void RemovePicturesFolder(Removal& removal, RemovalReport& report);

// Setup's removal of the installation it moved away from, once the new one
// is in place and registered: the same steps, then uninstall.exe and the
// folder when empty; the shortcut folder only when shortcutsToo (when the
// new links went elsewhere). The registry entries are the new
// installation's by now and stay. True when nothing failed; the user's
// files stay either way, and removal.picturesStay says whether PvFiles did.
bool RemoveMovedInstallation(Removal& removal, bool shortcutsToo, RemovalReport& report);
