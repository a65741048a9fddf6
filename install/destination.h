// Making the destination that the plan chose, after the plan's own checks
// (plan/destination.h): the checks that need the machine, and the folder.
#pragma once
#include "plan/destination.h"

// Next, once the destination is adopted: the checks in their order, and the
// folder with whatever is missing above it, made as plan.folderSecurity
// says. An existing folder is DestinationNotMade only when it is safe to
// install into.
DestinationCheck PrepareDestination(SetupPlan& plan);

// PrepareDestination keeps the folder it accepted open (heldDestination),
// without delete sharing, so that no one can rename it away and put a link
// in its place while Setup writes into it. The run lets it go when it ends.
void ReleaseDestination(SetupPlan& plan);
