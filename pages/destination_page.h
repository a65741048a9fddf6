// The Destination page's own steps, reachable by tests without a window;
// a run without pages takes the same ones.
#pragma once
#include "pages/typed_path.h"
#include <windows.h>

// What the page proposes as it opens: the drive table, the default base,
// the product's folder and destDir.
void ProposeDestination();

enum DestinationCheck {
    DestinationMade,      // the folder was made
    DestinationNotMade,   // it exists already, or the disk refuses it
    DestinationUnnamed,   // no product folder
    DestinationLowSpace,  // the drive has not the room the product needs
    DestinationTooLong,   // the composed folder does not fit
    DestinationLinked,    // a link on the path leads elsewhere; nothing was made
    DestinationUntrusted  // it exists, and others than the administrators may change it
};

// Next, once the destination is adopted: the checks in their order, and the
// folder with whatever is missing above it, made as security says. An
// existing folder is DestinationNotMade only when it is safe to install
// into.
DestinationCheck PrepareDestination(SECURITY_ATTRIBUTES* security);

// PrepareDestination keeps the folder it accepted open, without delete
// sharing, so that no one can rename it away and put a link in its place
// while Setup writes into it. The run lets it go when it ends.
void ReleaseDestination();

// destDir = baseDir, a backslash when baseDir is longer than a root, and
// productFolder. Refuses, leaving destDir as it was, when that does not fit.
bool ComposeDestination();

// What became of the text typed into the destination box: when taken,
// baseDir, productFolder and the drive follow it. The proposal itself is
// checked as well: the browser's name box may have put any name into it.
TypedDestination TakeTypedDestination(const char* typed);

// The folder that baseDir and productFolder name, checked like typed text
// without taking it: TypedTaken when a destination could be made of it.
TypedDestination CheckComposedDestination();

// Tells the user why the destination was refused, over owner, and puts
// the focus back into focusControl.
void WarnAboutTypedDestination(HWND owner, TypedDestination result, HWND focusControl);
