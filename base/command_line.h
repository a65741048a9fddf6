// The installer's command line, read without touching the machine. Setup
// runs with administrator rights and whoever starts it chooses this text:
// it is read within fixed bounds, and a part that does not fit is refused,
// never cut and used.
//
//     [/S] [/G=folder] [/D=path]
//
// /S         no window and no question: the licence counts as accepted and
//            the proposed folders are used, unless given here.
// /G=folder  the folder under the Start menu's programs folder in which the
//            product's shortcut folder is made: a relative path of valid
//            folder names, ending at the next blank unless it is written
//            in double quotes ("/G=" followed by "Graphics Tools" in quotes).
// /D=path    the destination folder: last on the line, all the rest of the
//            line up to its trailing blanks, blanks inside included,
//            without quotes. It is checked later as a typed destination.
//
// No system header here: the code that needs no window builds natively too.
#pragma once
#include "base/limits.h"

enum {
    // The longest line read: /S, /G= and /D= with paths of PathSize - 1
    // characters and blanks between them fit with room to spare.
    CommandLineLimit = 4 * PathSize,
    SwitchShownSize = 48  // how much of a switch not understood a message shows
};

enum ArgumentsResult {
    ArgumentsRead,       // every switch understood
    ArgumentsUnknown,    // a switch not understood; unknownSwitch shows it
    ArgumentsTooLong,    // the line, or a folder on it, past its bounds
    ArgumentsMalformed   // an empty /G= or /D=, a /G= that is no relative folder, an unclosed quote
};

struct SetupArguments {
    bool silent;                          // /S was read, even on a line refused afterwards
    char destination[PathSize];           // /D=, empty when not given
    char startMenuFolder[PathSize];       // /G=, empty when not given
    char unknownSwitch[SwitchShownSize];  // the first switch not understood, shortened for a message
};

// Reads the arguments that follow the program's name. On any result but
// ArgumentsRead, destination and startMenuFolder are empty: nothing from a
// refused line is used.
ArgumentsResult ReadArguments(const char* line, SetupArguments& arguments);
