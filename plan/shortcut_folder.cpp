#include "plan/shortcut_folder.h"
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
