// A destination folder typed by the user, read without touching the
// machine: the form X:\\folder\\...\\name, with names Windows would keep.
#pragma once
#include "base/limits.h"

enum TypedDestination {
    TypedUnchanged,    // the box still shows the composed destination
    TypedTaken,        // baseDir, productFolder and the drive now follow it
    TypedNotAbsolute,  // not of the form X:\\folder
    TypedInvalid,      // a root alone, or a name that no folder can have
    TypedTooLong
};

// Splits typed at its last backslash into the folder that receives the
// product folder (a root keeps its backslash) and the product folder's
// name. TypedTaken when it is a destination; base and product are then
// set, and left alone otherwise.
TypedDestination ParseTypedDestination(const char* typed, char (&base)[PathSize], char (&product)[PathSize]);
