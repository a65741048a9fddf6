#include "install/registration.h"
#include "base/base_key.h"
#include "base/text.h"
#include "base/product.h"
#include "product_facts.h"

const RegistryPaths productKeys = {windowsBranchKey, ntBranchKey, windowsBranchKey, appPathsKey};

namespace {

// A value that was not written is the entry's failure: the caller names
// the key, and the run never ends as a success.
bool WriteText(HKEY key, const char* name, const char* text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)TextLength(text) + 1) == ERROR_SUCCESS;
}

bool WriteNumber(HKEY key, const char* name, DWORD number)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&number, sizeof number) == ERROR_SUCCESS;
}

HKEY CreateKey(HKEY parent, const char* name)
{
    HKEY key = NULL;
    if (RegCreateKeyExA(parent, name, 0, (LPSTR) "", REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return NULL;
    return key;
}

// The lines that the system's list, its Settings page and deployment tools
// run or show, composed before any key is touched.
struct EntryTexts {
    char command[PathSize];       // the uninstaller, quoted
    char quietCommand[PathSize];  // the same without a window
    char icon[PathSize];          // pictavo.exe
};

bool WriteUninstallEntry(HKEY base, const EntryTexts& texts, const SetupPlan& plan)
{
    HKEY entry = CreateKey(base, uninstallEntryKey);
    if (!entry)
        return false;
    // The size of the files as they were read back, in whole KB rounded up.
    DWORD sizeKB = (DWORD)((plan.installedBytes + 1023) / 1024);
    bool written = WriteText(entry, "DisplayName", productName) &&
                   WriteText(entry, "UninstallString", texts.command) &&
                   WriteText(entry, "QuietUninstallString", texts.quietCommand) &&
                   WriteText(entry, "Scdir", plan.shortcutDir) && WriteText(entry, "Progdir", plan.destDir) &&
                   WriteText(entry, "InstallLocation", plan.destDir) && WriteText(entry, "DisplayIcon", texts.icon) &&
                   WriteText(entry, "DisplayVersion", PRODUCT_VERSION_TEXT) &&
                   WriteText(entry, "Publisher", PRODUCT_PUBLISHER) && WriteNumber(entry, "EstimatedSize", sizeKB) &&
                   WriteNumber(entry, "NoModify", 1) && WriteNumber(entry, "NoRepair", 1);
    RegCloseKey(entry);
    return written;
}

} // namespace

const char* ChooseBaseKey(DWORD version, const RegistryPaths& paths)
{
    return UsesWindowsBranch(version) ? paths.base9x : paths.baseNT;
}

const char* RegisterProduct(SetupPlan& plan, const RegistryPaths& paths)
{
    DWORD version = plan.windowsVersion;
    const char* basePath = ChooseBaseKey(version, paths);
    // The system's list runs the command line: unquoted, a path with blanks
    // is tried piece by piece, "C:\Program.exe" first. A path cut to fit
    // would record an uninstaller that is not there: nothing is written.
    char uninstaller[PathSize], program[PathSize];
    EntryTexts texts;
    if (!CopyText(uninstaller, plan.destDir) || !AppendText(uninstaller, uninstallerFile) ||
        !FormatText(texts.command, "\"%s\"", uninstaller) ||
        !FormatText(texts.quietCommand, "\"%s\" /S", uninstaller) || !CopyText(texts.icon, plan.destDir) ||
        !AppendText(texts.icon, programFile) || !CopyText(program, plan.destDir) || !AppendText(program, "\\") ||
        !AppendText(program, productName))
        return basePath;
    HKEY base = NULL;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, basePath, 0, KEY_READ | KEY_WRITE, &base) != ERROR_SUCCESS)
        return basePath;
    CopyText(plan.uninstallPath, uninstaller);
    const char* failed = WriteUninstallEntry(base, texts, plan) ? NULL : basePath;
    RegCloseKey(base);

    // The NT family lists removable programs from the other key only.
    if (IsNtFamily(version)) {
        HKEY list = NULL;
        bool listed = RegOpenKeyExA(HKEY_LOCAL_MACHINE, paths.windowsList, 0, KEY_READ | KEY_WRITE, &list) ==
                      ERROR_SUCCESS;
        if (listed) {
            listed = WriteUninstallEntry(list, texts, plan);
            RegCloseKey(list);
        }
        if (!listed && !failed)
            failed = paths.windowsList;
    }

    HKEY appPaths = NULL;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, paths.appPaths, 0, KEY_READ | KEY_WRITE, &appPaths) != ERROR_SUCCESS)
        return failed ? failed : paths.appPaths;
    HKEY product = CreateKey(appPaths, productName);
    bool written = product && WriteText(product, "", program) && WriteText(product, "Path", plan.destDir);
    if (product)
        RegCloseKey(product);
    if (!written && !failed)
        failed = paths.appPaths;
    RegCloseKey(appPaths);
    return failed;
}
