// What a second run does about the installation that is there: where it
// proposes to install, and whether it upgrades, repairs or would
// downgrade. The entry is read and judged once, at start-up, by the rules
// the uninstaller keeps (installed/entry.h); only an installation that
// passes them counts.
#pragma once
#include "plan/setup_plan.h"

// Reads and judges the entry into plan.facts.previous, and logs what it
// found: the folders, the key, the version and the verdict.
void FindPreviousInstallation(SetupPlan& plan);

// The version this Setup installs.
ProductVersion SetupVersion();

enum SecondRun {
    FirstInstall,   // nothing usable is installed
    Upgrade,        // an older version, or one without a readable DisplayVersion
    Repair,         // the same version
    Downgrade       // a newer version: not replaced unless /DOWNGRADE
};
// What this Setup, of version ours, does over previous.
SecondRun ChooseSecondRun(const PreviousInstallation& previous, const ProductVersion& ours);

// The Start-menu folder under which the installation's shortcut folder
// lies: shortcutDir without its last part, which must be the product's
// name. False when it is not.
bool InstalledProgramsFolder(const char* shortcutDir, char (&programsDir)[PathSize]);

// Whether the destination chosen is another folder than the installed one,
// whatever the spelling: the installation then moves.
bool IsMove(const SetupPlan& plan);

// The second run's choice for this plan, logged with the versions; the
// caller ends the run with ExitDowngrade on Downgrade unless /DOWNGRADE
// was given.
SecondRun DecideSecondRun(const SetupPlan& plan);

// The installed version as "a.b.c", from the numbers read, never from the
// registry's text.
bool FormatInstalledVersion(const Installation& at, char (&text)[24]);
