#include "install/registration.h"
#include "base/base_key.h"
#include "base/text.h"
#include "base/product.h"

const RegistryPaths productKeys = {windowsBranchKey, ntBranchKey, windowsBranchKey, appPathsKey};

namespace {

// A value that was not written is the entry's failure: the caller names
// the key, and the run never ends as a success. keyPath names the key in
// the log.
bool WriteText(HKEY key, const char* keyPath, const char* name, const char* text, const RunLog& log)
{
    LONG status = RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)TextLength(text) + 1);
    if (status != ERROR_SUCCESS) {
        LogLine(log, "Registry value not written: HKLM\\%s, %s (error %ld)", keyPath, name[0] ? name : "(default)",
                (long)status);
        return false;
    }
    LogLine(log, "Registry value written: HKLM\\%s, %s = %s", keyPath, name[0] ? name : "(default)", text);
    return true;
}

HKEY CreateKey(HKEY parent, const char* parentPath, const char* name, const RunLog& log)
{
    HKEY key = NULL;
    LONG status =
        RegCreateKeyExA(parent, name, 0, (LPSTR) "", REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, &key, NULL);
    if (status != ERROR_SUCCESS) {
        LogLine(log, "Registry key not made: HKLM\\%s\\%s (error %ld)", parentPath, name, (long)status);
        return NULL;
    }
    return key;
}

HKEY OpenBase(const char* path, const RunLog& log)
{
    HKEY key = NULL;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | KEY_WRITE, &key);
    if (status != ERROR_SUCCESS) {
        LogLine(log, "Registry key not opened: HKLM\\%s (error %ld)", path, (long)status);
        return NULL;
    }
    return key;
}

bool WriteUninstallEntry(HKEY base, const char* basePath, const char* command, const SetupPlan& plan)
{
    HKEY entry = CreateKey(base, basePath, uninstallEntryKey, plan.log);
    if (!entry)
        return false;
    char path[PathSize + 64];
    FormatText(path, "%s\\%s", basePath, uninstallEntryKey);
    bool written = WriteText(entry, path, "DisplayName", productName, plan.log) &&
                   WriteText(entry, path, "UninstallString", command, plan.log) &&
                   WriteText(entry, path, "Scdir", plan.shortcutDir, plan.log) &&
                   WriteText(entry, path, "Progdir", plan.destDir, plan.log);
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
    char uninstaller[PathSize], command[PathSize], program[PathSize];
    if (!CopyText(uninstaller, plan.destDir) || !AppendText(uninstaller, uninstallerFile) ||
        !FormatText(command, "\"%s\"", uninstaller) || !CopyText(program, plan.destDir) ||
        !AppendText(program, "\\") || !AppendText(program, productName))
        return basePath;
    HKEY base = OpenBase(basePath, plan.log);
    if (!base)
        return basePath;
    CopyText(plan.uninstallPath, uninstaller);
    const char* failed = WriteUninstallEntry(base, basePath, command, plan) ? NULL : basePath;
    RegCloseKey(base);

    // The NT family lists removable programs from the other key only.
    if (IsNtFamily(version)) {
        HKEY list = OpenBase(paths.windowsList, plan.log);
        bool listed = list != NULL;
        if (listed) {
            listed = WriteUninstallEntry(list, paths.windowsList, command, plan);
            RegCloseKey(list);
        }
        if (!listed && !failed)
            failed = paths.windowsList;
    }

    HKEY appPaths = OpenBase(paths.appPaths, plan.log);
    if (!appPaths)
        return failed ? failed : paths.appPaths;
    HKEY product = CreateKey(appPaths, paths.appPaths, productName, plan.log);
    char path[PathSize + 64];
    FormatText(path, "%s\\%s", paths.appPaths, productName);
    bool written = product && WriteText(product, path, "", program, plan.log) &&
                   WriteText(product, path, "Path", plan.destDir, plan.log);
    if (product)
        RegCloseKey(product);
    if (!written && !failed)
        failed = paths.appPaths;
    RegCloseKey(appPaths);
    return failed;
}
