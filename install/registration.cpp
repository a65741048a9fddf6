#include "install/registration.h"
#include "base/base_key.h"
#include "base/text.h"
#include "base/product.h"
#include "product_facts.h"

const RegistryPaths productKeys = {windowsBranchKey, ntBranchKey, windowsBranchKey, appPathsKey};

namespace {

// A key as the log names it, with the writes that go into it. A value that
// was not written is the entry's failure: the caller names the key, and the
// run never ends as a success.
struct KeyWriter {
    HKEY key;
    char path[PathSize + 64];
    const RunLog& log;

    bool Logged(LONG status, const char* name, const char* shown)
    {
        if (!name[0])
            name = "(default)";
        if (status != ERROR_SUCCESS)
            LogLine(log, "Registry value not written: HKLM\\%s, %s (error %ld)", path, name, (long)status);
        else
            LogLine(log, "Registry value written: HKLM\\%s, %s = %s", path, name, shown);
        return status == ERROR_SUCCESS;
    }
    bool Text(const char* name, const char* text)
    {
        return Logged(RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)TextLength(text) + 1), name,
                      text);
    }
    bool Number(const char* name, DWORD number)
    {
        char shown[16];
        FormatText(shown, "%lu", (unsigned long)number);
        return Logged(RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&number, sizeof number), name, shown);
    }
};

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

// The lines that the system's list, its Settings page and deployment tools
// run or show, composed before any key is touched.
struct EntryTexts {
    char command[PathSize];       // the uninstaller, quoted
    char quietCommand[PathSize];  // the same without a window
    char icon[PathSize];          // pictavo.exe
};

bool WriteUninstallEntry(HKEY base, const char* basePath, const EntryTexts& texts, const SetupPlan& plan,
                         uint64_t installedBytes)
{
    KeyWriter entry = {CreateKey(base, basePath, uninstallEntryKey, plan.log), "", plan.log};
    if (!entry.key)
        return false;
    FormatText(entry.path, "%s\\%s", basePath, uninstallEntryKey);
    // The size of the files as they were read back, in whole KB rounded up.
    DWORD sizeKB = (DWORD)((installedBytes + 1023) / 1024);
    bool written = entry.Text("DisplayName", productName) && entry.Text("UninstallString", texts.command) &&
                   entry.Text("QuietUninstallString", texts.quietCommand) &&
                   entry.Text("Scdir", plan.choices.shortcutDir) && entry.Text("Progdir", plan.choices.destDir) &&
                   entry.Text("InstallLocation", plan.choices.destDir) && entry.Text("DisplayIcon", texts.icon) &&
                   entry.Text("Publisher", PRODUCT_PUBLISHER) && entry.Number("EstimatedSize", sizeKB) &&
                   entry.Number("NoModify", 1) && entry.Number("NoRepair", 1) &&
                   // The version last: an entry left half-written keeps the
                   // version it had, and is not taken for this one's.
                   entry.Number("VersionMajor", PRODUCT_VERSION_MAJOR) &&
                   entry.Number("VersionMinor", PRODUCT_VERSION_MINOR) &&
                   entry.Text("DisplayVersion", PRODUCT_VERSION_TEXT);
    RegCloseKey(entry.key);
    return written;
}

} // namespace

const char* ChooseBaseKey(DWORD version, const RegistryPaths& paths)
{
    return UsesWindowsBranch(version) ? paths.base9x : paths.baseNT;
}

const char* RegisterProduct(const SetupPlan& plan, uint64_t installedBytes, const RegistryPaths& paths)
{
    DWORD version = plan.facts.windowsVersion;
    const char* basePath = ChooseBaseKey(version, paths);
    // The system's list runs the command line: unquoted, a path with blanks
    // is tried piece by piece, "C:\Program.exe" first. A path cut to fit
    // would record an uninstaller that is not there: nothing is written.
    char uninstaller[PathSize], program[PathSize];
    EntryTexts texts;
    if (!CopyText(uninstaller, plan.choices.destDir) || !AppendText(uninstaller, uninstallerFile) ||
        !FormatText(texts.command, "\"%s\"", uninstaller) ||
        !FormatText(texts.quietCommand, "\"%s\" /S", uninstaller) || !CopyText(texts.icon, plan.choices.destDir) ||
        !AppendText(texts.icon, programFile) || !CopyText(program, plan.choices.destDir) || !AppendText(program, "\\") ||
        !AppendText(program, productName))
        return basePath;
    HKEY base = OpenBase(basePath, plan.log);
    if (!base)
        return basePath;
    const char* failed = WriteUninstallEntry(base, basePath, texts, plan, installedBytes) ? NULL : basePath;
    RegCloseKey(base);

    // The NT family lists removable programs from the other key only.
    if (IsNtFamily(version)) {
        HKEY list = OpenBase(paths.windowsList, plan.log);
        bool listed = list != NULL;
        if (listed) {
            listed = WriteUninstallEntry(list, paths.windowsList, texts, plan, installedBytes);
            RegCloseKey(list);
        }
        if (!listed && !failed)
            failed = paths.windowsList;
    }

    HKEY appPaths = OpenBase(paths.appPaths, plan.log);
    if (!appPaths)
        return failed ? failed : paths.appPaths;
    KeyWriter product = {CreateKey(appPaths, paths.appPaths, productName, plan.log), "", plan.log};
    FormatText(product.path, "%s\\%s", paths.appPaths, productName);
    bool written = product.key && product.Text("", program) && product.Text("Path", plan.choices.destDir);
    if (product.key)
        RegCloseKey(product.key);
    if (!written && !failed)
        failed = paths.appPaths;
    RegCloseKey(appPaths);
    return failed;
}
