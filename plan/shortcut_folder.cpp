#include "plan/shortcut_folder.h"
#include "plan/previous_installation.h"
#include "base/base_key.h"
#include "base/product.h"
#include "base/system_function.h"
#include "base/text.h"
#include <shlobj.h>
#include <string.h>

namespace {

bool EndsWithBackslash(const char* text)
{
    size_t length = TextLength(text);
    return length > 0 && text[length - 1] == '\\';
}

// The shell's programs folder for all users, or the user's own where there
// is no shared one; the browser may climb to its parent, the Start menu.
bool UseShellProgramsFolder(char (&programsDir)[PathSize], int& programsLimit)
{
    auto folderPath = SYSTEM_FUNCTION("shell32.dll", SHGetSpecialFolderPathA);
    char folder[MAX_PATH] = "";
    bool found = folderPath && (folderPath(NULL, folder, CSIDL_COMMON_PROGRAMS, FALSE) ||
                                folderPath(NULL, folder, CSIDL_PROGRAMS, FALSE));
    if (!found || !CopyText(programsDir, folder))
        return false;
    const char* last = strrchr(programsDir, '\\');
    programsLimit = last ? (int)(last - programsDir) : (int)TextLength(programsDir);
    return true;
}

// Whether a and b begin with the same count characters, whatever the case.
bool SameStart(const char* a, const char* b, size_t count)
{
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a, (int)count, b, (int)count) == CSTR_EQUAL;
}

} // namespace

bool ComposeShortcutFolder(char (&folder)[PathSize], const char* base)
{
    return CopyText(folder, base) && (EndsWithBackslash(folder) || AppendText(folder, "\\")) &&
           AppendText(folder, productName);
}

bool ProposeProgramsFolder(DWORD windowsVersion, const SetupArguments& arguments, char (&programsDir)[PathSize],
                           int& programsLimit)
{
    // The Start menu of the NT family is the shell's, whatever a folder in
    // the Windows folder may be called. The 9x family keeps it in the
    // Windows folder, and the browser climbs no higher than its Start menu.
    if (!IsNtFamily(windowsVersion) || !UseShellProgramsFolder(programsDir, programsLimit)) {
        // The browser climbs no higher than the Start menu, whatever the
        // Windows folder is called.
        GetWindowsDirectoryA(programsDir, sizeof programsDir);
        AppendText(programsDir, "\\Start Menu");
        programsLimit = (int)TextLength(programsDir);
        AppendText(programsDir, "\\Programs");
        if (GetFileAttributesA(programsDir) == INVALID_FILE_ATTRIBUTES)
            UseShellProgramsFolder(programsDir, programsLimit);
    }
    if (!arguments.startMenuFolder[0])
        return true;
    char folder[PathSize];
    return CopyText(folder, programsDir) && (EndsWithBackslash(folder) || AppendText(folder, "\\")) &&
           AppendText(folder, arguments.startMenuFolder) && CopyText(programsDir, folder);
}

bool FinalShortcutFolderFits(const char* programsDir)
{
    char folder[PathSize];
    return TextLength(programsDir) + finishSuffix < MAX_PATH && ComposeShortcutFolder(folder, programsDir);
}

bool ProposeShortcutFolder(SetupPlan& plan)
{
    bool fit = ProposeProgramsFolder(plan.facts.windowsVersion, plan.arguments, plan.choices.programsDir,
                                     plan.choices.programsLimit);
    // A second run keeps the installation's shortcut folder unless /G=
    // names another; the browser may still climb as high as the default
    // allows, when the folder lies below it.
    const PreviousInstallation& previous = plan.facts.previous;
    char installed[PathSize];
    if (fit && !plan.arguments.startMenuFolder[0] && previous.Usable() &&
        InstalledProgramsFolder(previous.at.shortcutDir, installed) && FinalShortcutFolderFits(installed)) {
        size_t limit = (size_t)plan.choices.programsLimit;
        if (TextLength(installed) < limit || !SameStart(installed, plan.choices.programsDir, limit))
            limit = TextLength(installed);
        CopyText(plan.choices.programsDir, installed);
        plan.choices.programsLimit = (int)limit;
    }
    ComposeShortcutFolder(plan.choices.shortcutDir, plan.choices.programsDir);
    return fit;
}

bool ComposeFinalShortcutFolder(SetupPlan& plan)
{
    // The folder and the longest link must stay within what the system can
    // make; the browser keeps to that, but the proposed folder may not.
    return FinalShortcutFolderFits(plan.choices.programsDir) &&
           ComposeShortcutFolder(plan.choices.shortcutDir, plan.choices.programsDir);
}
