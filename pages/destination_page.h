// The Destination page's own steps, reachable by tests without a window.
#pragma once
#include "pages/typed_path.h"

// destDir = baseDir, a backslash when baseDir is longer than a root, and
// productFolder. Refuses, leaving destDir as it was, when that does not fit.
bool ComposeDestination();

// What became of the text typed into the destination box: when taken,
// baseDir, productFolder and the drive follow it.
TypedDestination TakeTypedDestination(const char* typed);
