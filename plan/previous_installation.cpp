#include "plan/previous_installation.h"
#include "base/base_key.h"
#include "base/product.h"
#include "base/text.h"
#include "product_facts.h"
#include <string.h>

namespace {

const char* const versionStates[] = {"missing, counted as older", "malformed, counted as older", ""};

void LogVersion(const RunLog& log, const Installation& at)
{
    char text[24];
    if (at.versionState == VersionRead && FormatInstalledVersion(at, text))
        LogLine(log, "Installed version: %s", text);
    else
        LogLine(log, "Installed version: DisplayVersion %s", versionStates[at.versionState]);
}

} // namespace

void FindPreviousInstallation(SetupPlan& plan)
{
    PreviousInstallation& previous = plan.facts.previous;
    previous.entry = FindInstallation(previous.at);
    if (previous.entry == ValueMissing) {
        LogLine(plan.log, "Installed before: nothing (no Uninstall entry)");
        return;
    }
    const Installation& at = previous.at;
    previous.verdict = JudgeInstallation(previous.entry, at);
    LogLine(plan.log, "Installed before: %s, shortcuts in %s, entry under HKLM\\%s\\%s",
            at.programDir[0] ? at.programDir : "(refused)", at.shortcutDir[0] ? at.shortcutDir : "(refused)",
            at.entryBase, uninstallEntryKey);
    LogVersion(plan.log, at);
    LogLine(plan.log, "Installation found %s", DescribeVerdict(previous.verdict));
    if (!previous.Usable())
        LogLine(plan.log, "The entry will no longer be registered there; the default folders are proposed");
}

ProductVersion SetupVersion()
{
    return ProductVersion{PRODUCT_VERSION_MAJOR, PRODUCT_VERSION_MINOR, PRODUCT_VERSION_PATCH};
}

SecondRun ChooseSecondRun(const PreviousInstallation& previous, const ProductVersion& ours)
{
    if (!previous.Usable())
        return FirstInstall;
    if (previous.at.versionState != VersionRead)
        return Upgrade;
    int order = CompareVersions(ours, previous.at.version);
    return order > 0 ? Upgrade : order == 0 ? Repair : Downgrade;
}

SecondRun DecideSecondRun(const SetupPlan& plan)
{
    static const char* const what[] = {"a first installation", "an upgrade in place",
                                       "a repair (every file written again and checked)", "a downgrade"};
    SecondRun run = ChooseSecondRun(plan.facts.previous, SetupVersion());
    LogLine(plan.log, "Setup %s: %s", PRODUCT_VERSION_TEXT, what[run]);
    if (run == Downgrade) {
        char installed[24];
        FormatInstalledVersion(plan.facts.previous.at, installed);
        if (plan.arguments.downgrade)
            LogLine(plan.log, "Pictavo %s is installed, newer than this Setup; /DOWNGRADE replaces it", installed);
        else
            LogLine(plan.log, "Downgrade refused: Pictavo %s is installed, newer than this Setup (%s); nothing was changed",
                    installed, PRODUCT_VERSION_TEXT);
    }
    return run;
}

bool FormatInstalledVersion(const Installation& at, char (&text)[24])
{
    return FormatText(text, "%u.%u.%u", at.version.major, at.version.minor, at.version.patch);
}

bool InstalledProgramsFolder(const char* shortcutDir, char (&programsDir)[PathSize])
{
    const char* last = strrchr(shortcutDir, '\\');
    if (!last || lstrcmpiA(last + 1, productName) != 0 || last - shortcutDir < 3)
        return false;
    return CopyTextPart(programsDir, shortcutDir, (size_t)(last - shortcutDir));
}

bool IsMove(const SetupPlan& plan)
{
    const PreviousInstallation& previous = plan.facts.previous;
    return previous.Usable() && !SameFolder(plan.choices.destDir, previous.at.programDir);
}
