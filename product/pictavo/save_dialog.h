// Save as BMP: the dialog that asks where, the save, and the message when
// it failed.
#pragma once
#include "pictavo/picture_file.h"
#include <windows.h>

extern const char saveBoxCaption[];

// False when the user cancelled or the file could not be written (the
// user was told why). programFolder ends with a backslash.
bool SaveDrawingAs(HWND owner, const char* programFolder, const PictureBits& picture);
