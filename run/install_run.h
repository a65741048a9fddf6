// The install driver: the whole sequence of one installation, written once,
// without a window. The pages and the silent run drive it through InstallUi,
// which asks and tells only what the sequence needs; each step of
// plan/ and install/ is called from here alone.
#pragma once
#include "install/destination.h"
#include "install/files_in_use.h"
#include "install/payload.h"
#include "install/registration.h"
#include "installed/removal.h"

class InstallRun;

// What the driver asks and tells whoever runs it. The views (Choose...,
// ShowCopying) show a stage and call back into the run: the stage is done
// when the call they make returns true, and a view that returns false was
// cancelled.
class InstallUi {
public:
    // The destination: the view calls run.TryDestination() for each choice.
    virtual bool ChooseDestination(InstallRun& run) = 0;
    // A folder that exists and only the administrators may change (exists),
    // or a name that no folder can be made at: install there anyway?
    virtual bool ConfirmExistingFolder(const char* folder, bool exists) = 0;
    // A drive that keeps no permissions: install there anyway?
    virtual bool ConfirmVolumeWithoutPermissions(const char* root) = 0;
    // The destination is refused, for the reason given.
    virtual void RefuseDestination(DestinationCheck reason, const SetupPlan& plan) = 0;

    // The copying: the view calls run.CopyFiles() once.
    virtual bool ShowCopying(InstallRun& run) = 0;
    // Another program holds file (programs names it, where the system can):
    // true to look again, false to cancel.
    virtual bool RetryFileInUse(const char* file, const char* programs) = 0;
    virtual void FileBegins(int row) = 0;
    // Asked after each file: true stops the copying.
    virtual bool ShouldStop() = 0;
    virtual void ReportFileFailure(const char* from, const char* to) = 0;

    // The shortcut folder: the view calls run.FinishShortcuts() for each
    // choice.
    virtual bool ChooseShortcutFolder(InstallRun& run) = 0;
    virtual void ReportShortcutFolderTooLong() = 0;
    virtual void ReportRegistrationFailure(const char* key) = 0;
    virtual void ReportShortcutsFailure(const char* folder) = 0;

protected:
    ~InstallUi() = default;
};

// How a run ended.
enum InstallOutcome {
    InstallDone,            // every file, whatever became of the shortcuts
    InstallCancelled,       // the user cancelled before the files were in
    InstallRefused,         // a destination was refused and none was chosen
    InstallFilesInUse,      // another program held a file, and the user gave up
    InstallFailed,          // a file failed
    InstallShortcutsFailed, // the files are in; the registration or the links failed
    InstallOldLeft          // installed and registered elsewhere; the old installation was not removed whole
};

// What became of the installation that a run moved away from, or of the
// shortcut folder it left: removed only once the new one was in place and
// registered.
struct LeftInstallation {
    bool moved;                      // the product folder moved: the old one was removed
    bool shortcutsMoved;             // only the shortcut folder moved: the old one was removed
    bool picturesStay;               // the old PvFiles holds the user's files, and stays
    char from[PathSize];             // the old product folder
    char picturesPath[PathSize];     // its PvFiles
    RemovalReport report;            // what was kept and what could not be removed
};

// Where a run may wait between writing a file's compressed copy and
// expanding it. Setup links the one that never waits (app/no_pause.cpp);
// the end-to-end tests link one that waits for the harness, which no other
// process can reach in the shipped Setup.
void PauseBeforeExpanding(int row);

class InstallRun {
public:
    InstallRun(SetupPlan& plan, InstallUi& ui) : plan(plan), ui_(ui) {}
    InstallRun(const InstallRun&) = delete;
    InstallRun& operator=(const InstallRun&) = delete;

    // The whole sequence, once.
    InstallOutcome Run();

    // The views' calls: a choice of destination checked and made, held on
    // success; the files copied; the shortcut folder, registration and links.
    bool TryDestination();
    bool CopyFiles();
    bool FinishShortcuts();

    SetupPlan& plan;
    // Where the registration writes; tests give keys of their own.
    const RegistryPaths* registryPaths = &productKeys;
    // The folder the shell opens at the end, once the links were made.
    char openFolderPath[PathSize] = {};
    // The installation this run replaced elsewhere, once it is registered.
    LeftInstallation left = {};

private:
    static void BeginFile(void* context, int row);
    static void CopyWritten(void* context, int row);
    static bool GoOn(void* context);
    // The old installation, or its shortcut folder, once the new one is
    // registered: false when something could not be removed.
    bool RemoveLeftInstallation();

    InstallUi& ui_;
    HeldFolder destination_;
    InstallOutcome outcome_ = InstallCancelled;
    uint64_t installedBytes_ = 0;
    bool shortcutsFailed_ = false;
    bool registered_ = false;
};
