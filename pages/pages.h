// The four pages, each a modal dialog over the main window. The Agreement
// page comes before the installation; the other three are the install
// driver's views (run/install_run.h): each shows its stage of the run, lets
// the user change the choices, and calls back into the run. PagesUi is the
// pages' side of one run, made by the main window's page sequence and
// reached from each page through its dialog parameter. Each page yields 0
// to go on, 1 when the user cancelled, -1 when the dialog could not be made.
#pragma once
#include "pages/page_look.h"
#include "pages/progress_bar.h"
#include "plan/setup_plan.h"
#include "run/install_run.h"
#include "base/router.h"
#include <windows.h>

class PagesUi final : public InstallUi {
public:
    PagesUi(HWND owner, SetupPlan& plan) : owner(owner), plan(plan) {}
    PagesUi(const PagesUi&) = delete;
    PagesUi& operator=(const PagesUi&) = delete;
    ~PagesUi() { ReleasePageLook(look); }

    bool ChooseDestination(InstallRun& run) override;
    bool ConfirmExistingFolder(const char* folder, bool exists) override;
    bool ConfirmVolumeWithoutPermissions(const char* root) override;
    void RefuseDestination(DestinationCheck reason, const SetupPlan& plan) override;

    bool ShowCopying(InstallRun& run) override;
    bool RetryFileInUse(const char* file, const char* programs) override;
    void FileBegins(int row) override;
    bool ShouldStop() override;
    void ReportFileFailure(const char* from, const char* to) override;

    bool ChooseShortcutFolder(InstallRun& run) override;
    void ReportShortcutFolderTooLong() override;
    void ReportRegistrationFailure(const char* key) override;
    void ReportShortcutsFailure(const char* folder) override;

    HWND owner;              // the main window
    SetupPlan& plan;
    InstallRun* run = NULL;  // the run whose view shows; NULL on the Agreement page
    HWND page = NULL;        // the page that shows, which owns every box
    PageLook look;           // made by the Agreement page, painted by each
    ProgressBar progress = {};  // the Copy page's bar
    bool stopCopy = false;   // the copying must stop: Cancel on the Copy page, or a file failed
    bool finishing = false;  // Finish runs: its boxes pump the page's messages, and a second
                             // Finish would append the product's folder a second time
};

INT_PTR RunAgreementPage(PagesUi& ui);
// The Destination page makes the product folder as plan.folderSecurity
// says, and the Shortcut page makes its folder the same way.
INT_PTR RunDestinationPage(PagesUi& ui);
INT_PTR RunCopyPage(PagesUi& ui);
INT_PTR RunShortcutPage(PagesUi& ui);

// The run's pages' state that a page was opened with.
inline PagesUi& PageUi(HWND page)
{
    return *(PagesUi*)DialogParameter(page);
}
inline SetupPlan& PagePlan(HWND page)
{
    return PageUi(page).plan;
}
