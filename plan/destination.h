// The destination's decisions, without a window: what the Destination page
// proposes, what becomes of typed text, and the checks before the folder is
// made. The page and the silent run both take these.
#pragma once
#include "plan/setup_plan.h"
#include "plan/typed_path.h"

// What the page proposes as it opens: the drive table, the default base,
// the product's folder and destDir; the installed folder instead, when an
// installation was found that counts.
void ProposeDestination(SetupPlan& plan);

// destDir = baseDir, a backslash when baseDir is longer than a root, and
// productFolder. Refuses, leaving destDir as it was, when that does not fit.
bool ComposeDestination(SetupPlan& plan);

// What became of the text typed into the destination box: when taken,
// baseDir, productFolder and the drive follow it. The proposal itself is
// checked as well: the browser's name box may have put any name into it.
TypedDestination TakeTypedDestination(SetupPlan& plan, const char* typed);

// The folder that baseDir and productFolder name, checked like typed text
// without taking it: TypedTaken when a destination could be made of it.
TypedDestination CheckComposedDestination(const SetupPlan& plan);

enum DestinationCheck {
    DestinationMade,      // the folder was made
    DestinationExists,    // it exists, and only the administrators may change it
    DestinationNotMade,   // it does not exist, and the disk refuses it
    DestinationUnnamed,   // no product folder
    DestinationLowSpace,  // the drive has not the room the product needs
    DestinationTooLong,   // the composed folder does not fit
    DestinationLinked,    // a link on the path leads elsewhere; nothing was made
    DestinationUntrusted, // others than the administrators may change it, or the folders above it
    DestinationIsFile     // a file has the name; nothing was made
};

// The checks that need only the plan, in their order; on DestinationMade
// destDir names the folder to make. The install driver takes these before
// the install layer's PrepareDestination.
DestinationCheck CheckDestinationChoice(SetupPlan& plan);
