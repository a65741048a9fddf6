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
        bool named = CopyText(link, plan.shortcutDir) && AppendText(link, shortcut.file) &&
                     CopyText(target, plan.destDir) && AppendText(target, shortcut.target);
        if (!named || FAILED(CreateShellLink(target, link, shortcut.description)))
            return false;
    }
    return true;
}

} // namespace

bool PlaceShortcuts(SetupPlan& plan)
{
    if (!CreateFolderTree(plan.shortcutDir, plan.folderSecurity) || !CreateShortcuts(plan))
        return false;
    CopyText(plan.programsDir, plan.shortcutDir);
    CopyText(plan.openFolderPath, plan.programsDir);
    return true;
}
