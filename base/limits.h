// The fixed sizes that the installer's buffers and checks are built on.
// No system header here: the code that needs no window builds natively too.
#pragma once

enum {
    PathSize = 512,        // every path and message buffer
    DriveRootLength = 3,   // "C:\\": a path no longer than this is a drive's root
    MaxDrives = 20,        // the drive table keeps the first 20 drives
    DriveRootSize = 5,     // "C:\" and its terminator, with room to spare
    RequiredKB = 614       // the expanded payload, in units of 1000 bytes
};
