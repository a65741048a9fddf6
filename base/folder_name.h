// What a folder name must be for Windows to make exactly that folder.
// No system header here: the code that needs no window builds natively too.
#pragma once
#include <stddef.h>

// False for a name Windows would refuse, or quietly change by dropping
// trailing dots and blanks, so that the folder made would not be the one
// asked for. "." and ".." end with a dot and are refused with them, and so
// are the names of devices (CON, NUL, COM1, ...), which open no folder.
bool IsValidFolderName(const char* name, size_t length);
