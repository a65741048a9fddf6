// The Destination page's own steps, reachable by tests without a window.
#pragma once

// destDir = baseDir, a backslash when baseDir is longer than a root, and
// productFolder. Refuses, leaving destDir as it was, when that does not fit.
bool ComposeDestination();

// What became of the text typed into the destination box.
enum TypedDestination {
    TypedUnchanged,    // the box still shows the composed destination
    TypedTaken,        // baseDir, productFolder and the drive now follow it
    TypedNotAbsolute,  // not of the form X:\folder
    TypedInvalid,      // a root alone, or a name that no folder can have
    TypedTooLong
};
TypedDestination TakeTypedDestination(const char* typed);
