// The installer's look at its own image before it shows or does anything:
// a download damaged on the way must not show garbled pages, or install
// from a garbled table.
#pragma once

// True when the mapped image still has the digest that the build sealed
// into it (base/image_digest.h).
bool OwnImageIsIntact();

// Tells the user, unless the run is silent, and gives the exit code.
int RefuseDamagedImage(bool silent);
