#include "app/silent_setup.h"
#include "installed/folder_trust.h"
#include "plan/destination.h"
#include "plan/previous_installation.h"
#include "plan/shortcut_folder.h"
#include "run/install_run.h"
#include "base/exit_codes.h"

namespace {

// The answers of a run without a window: the destination of the command
// line, an existing folder installed over as the page's Yes does, every
// other doubt a refusal; what happened is in the log and the exit code.
class SilentUi final : public InstallUi {
public:
    explicit SilentUi(const RunLog& log) : log_(log) {}

    bool badDestination = false;

    bool ChooseDestination(InstallRun& run) override
    {
        SetupPlan& plan = run.plan;
        if (plan.arguments.destination[0]) {
            TypedDestination typed = TakeTypedDestination(plan, plan.arguments.destination);
            if (typed != TypedTaken && typed != TypedUnchanged) {
                LogLine(log_, "Destination refused: %s is no full path of valid folder names",
                        plan.arguments.destination);
                badDestination = true;
                return false;
            }
        }
        return run.TryDestination();
    }
    // A folder that only administrators can change is installed over; a
    // name where no folder can be made ends the run.
    bool ConfirmExistingFolder(const char*, bool exists) override { return exists; }
    bool ConfirmVolumeWithoutPermissions(const char*) override { return false; }
    void RefuseDestination(DestinationCheck, const SetupPlan&) override {}

    bool ShowCopying(InstallRun& run) override { return run.CopyFiles(); }
    bool RetryFileInUse(const char*, const char*) override { return false; }
    void FileBegins(int) override {}
    bool ShouldStop() override { return false; }
    void ReportFileFailure(const char*, const char*) override {}

    bool ChooseShortcutFolder(InstallRun& run) override { return run.FinishShortcuts(); }
    void ReportShortcutFolderTooLong() override {}
    void ReportRegistrationFailure(const char*) override {}
    void ReportShortcutsFailure(const char*) override {}

private:
    const RunLog& log_;
};

int SilentExitCode(InstallOutcome outcome, bool badDestination)
{
    if (badDestination)
        return ExitBadArguments;
    switch (outcome) {
    case InstallDone:
        return ExitInstalled;
    case InstallFilesInUse:
        return ExitFilesInUse;
    case InstallFailed:
        return ExitPayloadFailed;
    case InstallShortcutsFailed:
        return ExitShortcutsFailed;
    case InstallOldLeft:
        // Installed and registered in the new folder, but what the old
        // folder kept of the product is not gone: not a plain success,
        // and the nearest code a script already handles.
        return ExitShortcutsFailed;
    default:
        // Too little room, no folder there, a link, a file, a folder or a
        // drive that others may change.
        return ExitDestinationUnusable;
    }
}

} // namespace

int RunSilentSetup(SetupPlan& plan)
{
    if (DecideSecondRun(plan) == Downgrade && !plan.arguments.downgrade)
        return plan.exitCode = ExitDowngrade;
    // Whoever scripted the run has accepted the licence.
    AdminFolderSecurity folderSecurity;
    MakeAdminFolderSecurity(folderSecurity);
    plan.folderSecurity = &folderSecurity.attributes;
    SilentUi ui(plan.log);
    InstallOutcome outcome;
    {
        InstallRun run(plan, ui);
        outcome = run.Run();
    }
    plan.exitCode = SilentExitCode(outcome, ui.badDestination);
    plan.folderSecurity = NULL;
    FreeAdminFolderSecurity(folderSecurity);
    return plan.exitCode;
}

bool StartMenuFolderFits(const SetupArguments& arguments)
{
    char programsDir[PathSize];
    int programsLimit = 0;
    return ProposeProgramsFolder(GetVersion(), arguments, programsDir, programsLimit) &&
           FinalShortcutFolderFits(programsDir);
}
