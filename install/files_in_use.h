// Whether the files an installation over an earlier one must replace are
// free: a running pictavo.exe, or a readme open in an editor, would make
// the expansion fail halfway, with some files new and some old.
#pragma once
#include "plan/setup_plan.h"

// Opens each product file that exists in plan.destDir for writing, shared
// for deletion only. When every one opens, they stay open in
// plan.heldTargets, so that no program started now can open one before the
// expansion's rename replaces it, and the result is true. When another program holds one, nothing stays open, inUse is its
// full path, and the result is false. A file that cannot be opened for
// any other reason (missing, refused) is left to the expansion, which
// reports it.
bool HoldProductFiles(SetupPlan& plan, char (&inUse)[PathSize]);

// Closes whatever HoldProductFiles kept and the expansion did not take.
void ReleaseProductFiles(SetupPlan& plan);

// The programs that the system's Restart Manager names as holding product
// files in plan.destDir, one a line; empty where the system has no such
// manager or it names none (Wine's names none even for a running
// pictavo.exe), so an empty list never means that the files are free.
void NameProgramsUsingProductFiles(const SetupPlan& plan, char (&programs)[PathSize]);
