// The Destination page's own steps, reachable by tests without a window;
// a run without pages takes the same ones.
#pragma once
#include "pages/typed_path.h"
#include <windows.h>

// What the page proposes as it opens: the drive table, the default base,
// the product's folder and destDir; security is how folders are made.
void ProposeDestination(SECURITY_ATTRIBUTES* security);

enum DestinationCheck {
    DestinationMade,      // the folder was made
    DestinationNotMade,   // it exists already, or the disk refuses it
    DestinationUnnamed,   // no product folder
    DestinationLowSpace,  // the drive has not the room the product needs
    DestinationTooLong    // the composed folder does not fit
};

// Next, once the destination is adopted: the checks in their order, and the
// folder with whatever is missing above it.
DestinationCheck PrepareDestination(SECURITY_ATTRIBUTES* security);

// destDir = baseDir, a backslash when baseDir is longer than a root, and
// productFolder. Refuses, leaving destDir as it was, when that does not fit.
bool ComposeDestination();

// What became of the text typed into the destination box: when taken,
// baseDir, productFolder and the drive follow it.
TypedDestination TakeTypedDestination(const char* typed);
