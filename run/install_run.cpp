#include "run/install_run.h"
#include "install/shortcuts.h"
#include "plan/destination.h"
#include "plan/drive_table.h"
#include "plan/previous_installation.h"
#include "plan/shortcut_folder.h"
#include "base/text.h"

InstallOutcome InstallRun::Run()
{
    GatherSystemFacts(plan);
    ProposeDestination(plan);
    outcome_ = InstallCancelled;
    if (!ui_.ChooseDestination(*this))
        return outcome_;
    outcome_ = InstallCancelled;
    if (!ui_.ShowCopying(*this))
        return outcome_;

    // The files are in: whatever becomes of the shortcuts, the run has
    // installed the product.
    if (!ProposeShortcutFolder(plan)) {
        LogLine(plan.log, "Shortcut folder refused: below %s the folder given does not fit", plan.choices.programsDir);
        shortcutsFailed_ = true;
    }
    bool finished = ui_.ChooseShortcutFolder(*this);
    if (!finished)
        LogLine(plan.log, "Shortcuts not made");
    // Links that failed leave the old ones pointing nowhere: the old
    // installation goes all the same once the new one is registered.
    bool oldRemoved = RemoveLeftInstallation();
    if (shortcutsFailed_)
        return InstallShortcutsFailed;
    return oldRemoved ? InstallDone : InstallOldLeft;
}

bool InstallRun::RemoveLeftInstallation()
{
    const PreviousInstallation& previous = plan.facts.previous;
    // Until the new entry is written, the old one still names the old
    // installation: nothing of it goes.
    if (!registered_ || !previous.Usable())
        return true;
    left.report.log = &plan.log;
    const char* oldShortcuts = previous.at.shortcutDir;
    bool shortcutsChanged = oldShortcuts[0] && !SameFolder(oldShortcuts, plan.choices.shortcutDir);
    if (!IsMove(plan)) {
        if (!shortcutsChanged)
            return true;
        LogLine(plan.log, "Shortcut folder moved from %s to %s", oldShortcuts, plan.choices.shortcutDir);
        left.shortcutsMoved = true;
        RemoveShortcutFolder(oldShortcuts, left.report);
        return !left.report.failed[0];
    }
    // The registry entries are the new installation's by now, and stay.
    LogLine(plan.log, "Installation moved from %s to %s: the old one is removed", previous.at.programDir,
            plan.choices.destDir);
    left.moved = true;
    Removal removal = {};
    removal.at = previous.at;
    bool removed = RemoveMovedInstallation(removal, shortcutsChanged, left.report);
    CopyText(left.from, previous.at.programDir);
    CopyText(left.picturesPath, removal.picturesPath);
    left.picturesStay = removal.picturesStay;
    if (left.picturesStay)
        LogLine(plan.log, "Your files stay in %s", left.picturesPath);
    if (!removed)
        LogLine(plan.log, "The old installation in %s was not removed whole", left.from);
    return removed;
}

bool InstallRun::TryDestination()
{
    destination_.Release();
    DestinationCheck check = CheckDestinationChoice(plan);
    if (check == DestinationMade) {
        char root[DriveRootSize];
        if (!VolumeKeepsPermissions(plan, root)) {
            LogLine(plan.log, "Destination's drive %s keeps no permissions", root);
            if (!ui_.ConfirmVolumeWithoutPermissions(root)) {
                LogLine(plan.log, "Destination refused: its drive keeps no permissions");
                outcome_ = InstallRefused;
                return false;
            }
        }
        check = PrepareDestination(plan, destination_);
    } else if (check == DestinationLowSpace) {
        LogLine(plan.log, "Destination refused: %lu KB free on drive %s, %d KB needed",
                (unsigned long)plan.choices.freeKB, plan.facts.driveRoots[plan.choices.driveIndex], (int)RequiredKB);
    } else {
        LogLine(plan.log, "Destination refused: no product folder, or a path too long, in %s", plan.choices.baseDir);
    }
    switch (check) {
    case DestinationMade:
        return true;
    case DestinationExists:
    case DestinationNotMade:
        // What the question answers is the folder as it was checked, held
        // while it is up: Yes installs into that very folder.
        if (ui_.ConfirmExistingFolder(plan.choices.destDir, check == DestinationExists))
            return true;
        destination_.Release();
        break;
    default:
        ui_.RefuseDestination(check, plan);
        break;
    }
    outcome_ = InstallRefused;
    return false;
}

void InstallRun::BeginFile(void* context, int row)
{
    ((InstallRun*)context)->ui_.FileBegins(row);
}

void InstallRun::CopyWritten(void*, int row)
{
    PauseBeforeExpanding(row);
}

bool InstallRun::GoOn(void* context)
{
    return !((InstallRun*)context)->ui_.ShouldStop();
}

bool InstallRun::CopyFiles()
{
    const char* destDir = plan.choices.destDir;
    if (!destination_.checked) {
        // Yes to a name where no folder could be made: whatever stands there
        // by now was never checked, and nothing is written below it. The run
        // ends with the failure that the question warned of, at the first file.
        char target[PathSize];
        FormatText(target, "%s%s", destDir, targetNames[0]);
        LogLine(plan.log, "File failed: %s, its folder was not made", target);
        ui_.ReportFileFailure(compressedNames[0], target);
        outcome_ = InstallFailed;
        return false;
    }
    // Checked before anything is written: a file that another program
    // holds would stop the expansion halfway, old files beside new ones.
    HeldProductFiles held;
    char inUse[PathSize];
    while (!HoldProductFiles(destDir, plan.log, held, inUse)) {
        char programs[PathSize];
        NameProgramsUsingProductFiles(destDir, plan.log, programs);
        if (!ui_.RetryFileInUse(inUse, programs)) {
            outcome_ = InstallFilesInUse;
            return false;
        }
    }
    CreatePayloadFolders(destDir, plan.log);
    const PayloadObserver observer = {this, BeginFile, CopyWritten, GoOn};
    PayloadOutcome copied = ExpandPayload(plan, destDir, destination_.handle, held, observer);
    if (copied.result == PayloadFailed) {
        ui_.ReportFileFailure(copied.tempFilePath, copied.targetFilePath);
        outcome_ = InstallFailed;
        return false;
    }
    if (copied.result == PayloadStopped) {
        outcome_ = InstallCancelled;
        return false;
    }
    installedBytes_ = copied.installedBytes;
    return true;
}

bool InstallRun::FinishShortcuts()
{
    shortcutsFailed_ = false;
    if (!ComposeFinalShortcutFolder(plan)) {
        LogLine(plan.log, "Shortcut folder refused: below %s it does not fit", plan.choices.programsDir);
        shortcutsFailed_ = true;
        ui_.ReportShortcutFolderTooLong();
        return false;
    }
    // Registered only now that every file is in place, and before the
    // links, so that Scdir names the final folder.
    registered_ = false;
    if (const char* failedKey = RegisterProduct(plan, installedBytes_, *registryPaths)) {
        shortcutsFailed_ = true;
        ui_.ReportRegistrationFailure(failedKey);
    } else {
        registered_ = true;
    }
    if (!PlaceShortcuts(plan)) {
        shortcutsFailed_ = true;
        ui_.ReportShortcutsFailure(plan.choices.shortcutDir);
        return false;
    }
    CopyText(plan.choices.programsDir, plan.choices.shortcutDir);
    CopyText(openFolderPath, plan.choices.shortcutDir);
    return true;
}
