// The shortcut folder's decisions, without a window: the Start-menu folder
// the Shortcut page proposes and the folder Finish makes. The page and the
// silent run both take these.
#pragma once
#include "plan/setup_plan.h"
#include "base/product.h"
#include <stddef.h>

// What Finish appends to programsDir: a backslash and the product's name,
// then the longest link's name ("\Uninstall.lnk"). The Shortcut browser
// keeps room for it.
constexpr size_t finishSuffix = sizeof productName + longestLinkFile;

// folder = base, a backslash unless it ends with one, and the product's
// name; false when that does not fit.
bool ComposeShortcutFolder(char (&folder)[PathSize], const char* base);

// programsDir as the page proposes it, chosen by the system's version (a
// GetVersion value), with the Start-menu folder of the command line (/G=)
// below it when one was given. False, and programsDir without that folder,
// when the folder given does not fit.
// programsLimit is how short the Shortcut folder browser may make it.
bool ProposeProgramsFolder(DWORD windowsVersion, const SetupArguments& arguments, char (&programsDir)[PathSize],
                           int& programsLimit);

// Whether the shortcut folder below programsDir and its longest link stay
// within what the system can make.
bool FinalShortcutFolderFits(const char* programsDir);

// ProposeProgramsFolder for the run, and shortcutDir made from it.
bool ProposeShortcutFolder(SetupPlan& plan);

// shortcutDir as Finish uses it: false when the folder and its longest
// link would be longer than the system can make.
bool ComposeFinalShortcutFolder(SetupPlan& plan);
