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
bool UseShellProgramsFolder(SetupPlan& plan)
{
    auto folderPath = SYSTEM_FUNCTION("shell32.dll", SHGetSpecialFolderPathA);
    char folder[MAX_PATH] = "";
    bool found = folderPath && (folderPath(NULL, folder, CSIDL_COMMON_PROGRAMS, FALSE) ||
                                folderPath(NULL, folder, CSIDL_PROGRAMS, FALSE));
    if (!found || !CopyText(plan.programsDir, folder))
        return false;
    const char* last = strrchr(plan.programsDir, '\\');
    plan.programsLimit = last ? (int)(last - plan.programsDir) : (int)TextLength(plan.programsDir);
    return true;
}

} // namespace

bool ComposeShortcutFolder(char (&folder)[PathSize], const char* base)
{
    return CopyText(folder, base) && (EndsWithBackslash(folder) || AppendText(folder, "\\")) &&
           AppendText(folder, productName);
}

bool ProposeShortcutFolder(SetupPlan& plan)
{
    plan.windowsVersion = GetVersion();
    // The Start menu of the NT family is the shell's, whatever a folder in
    // the Windows folder may be called. The 9x family keeps it in the
    // Windows folder, and the browser climbs no higher than its Start menu.
    if (!IsNtFamily(plan.windowsVersion) || !UseShellProgramsFolder(plan)) {
        // The browser climbs no higher than the Start menu, whatever the
        // Windows folder is called.
        GetWindowsDirectoryA(plan.programsDir, sizeof plan.programsDir);
        AppendText(plan.programsDir, "\\Start Menu");
        plan.programsLimit = (int)TextLength(plan.programsDir);
        AppendText(plan.programsDir, "\\Programs");
        if (GetFileAttributesA(plan.programsDir) == INVALID_FILE_ATTRIBUTES)
            UseShellProgramsFolder(plan);
    }
    bool fit = true;
    if (plan.arguments.startMenuFolder[0]) {
        char folder[PathSize];
        fit = CopyText(folder, plan.programsDir) && (EndsWithBackslash(folder) || AppendText(folder, "\\")) &&
              AppendText(folder, plan.arguments.startMenuFolder) && CopyText(plan.programsDir, folder);
    }
    ComposeShortcutFolder(plan.shortcutDir, plan.programsDir);
    return fit;
}

bool ComposeFinalShortcutFolder(SetupPlan& plan)
{
    // The folder and the longest link must stay within what the system can
    // make; the browser keeps to that, but the proposed folder may not.
    char folder[PathSize];
    if (TextLength(plan.programsDir) + finishSuffix >= MAX_PATH || !ComposeShortcutFolder(folder, plan.programsDir))
        return false;
    return CopyText(plan.shortcutDir, folder);
}
