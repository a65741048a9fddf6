#include "install/shortcuts.h"
#include "install/folders.h"
#include "install/shell_link.h"
#include "base/product.h"
#include "base/text.h"

namespace {

// Makes the links in shortcutDir; false as soon as one cannot be saved.
bool CreateShortcuts(const SetupPlan& plan)
{
    for (const ProductLink& shortcut : productLinks) {
        char link[PathSize], target[PathSize];
        bool named = CopyText(link, plan.choices.shortcutDir) && AppendText(link, shortcut.file) &&
                     CopyText(target, plan.choices.destDir) && AppendText(target, shortcut.target);
        if (!named) {
            LogLine(plan.log, "Link not made: its path in %s does not fit", plan.choices.shortcutDir);
            return false;
        }
        HRESULT made = CreateShellLink(target, link, shortcut.description);
        if (FAILED(made)) {
            LogLine(plan.log, "Link not made: %s (error %x)", link, (unsigned)made);
            return false;
        }
        LogLine(plan.log, "Link written: %s -> %s", link, target);
    }
    return true;
}

} // namespace

bool PlaceShortcuts(const SetupPlan& plan)
{
    LogLine(plan.log, "Shortcut folder chosen: %s", plan.choices.shortcutDir);
    return CreateFolderTree(plan.choices.shortcutDir, plan.folderSecurity, plan.log) && CreateShortcuts(plan);
}
