// The installer's command line, read without touching the machine. Setup
// runs with administrator rights and whoever starts it chooses this text:
// it is read within fixed bounds, and a part that does not fit is refused,
// never cut and used.
//
//     [/S] [/?] [/DOWNGRADE] [/LOG=file] [/G=folder] [/D=path]
//
// /S         no window and no question: the licence counts as accepted and
//            the proposed folders are used, unless given here.
// /?         the accepted switches, and nothing else done.
// /DOWNGRADE replace an installed version that is newer than this Setup,
//            which is refused without it.
// /LOG=file  a log of the run, written to a new file of that name.
// /G=folder  the folder under the Start menu's programs folder in which the
//            product's shortcut folder is made: a relative path of valid
//            folder names, ending at the next blank unless it is quoted.
// /D=path    the destination folder. Unquoted it comes last: all the rest
//            of the line up to its trailing blanks, blanks inside included.
//            It is checked later as a typed destination.
//
// A value may be quoted in either of the forms that people and scripts
// write: the value alone (/D="C:\a b") or the whole argument, as every
// program that builds a line from a list of arguments quotes one with a
// blank ("/D=C:\a b"). The quotes are not part of the value, and a value
// never holds one: a quote that does not close, or text right after a
// closing quote, refuses the line rather than have it guessed at.
//
// No system header here: the code that needs no window builds natively too.
#pragma once
#include "base/limits.h"

enum {
    // The longest line read: /S, /?, /LOG=, /G= and /D= with paths of
    // PathSize - 1 characters, quoted, and blanks between them fit with
    // room to spare.
    CommandLineLimit = 5 * PathSize,
    SwitchShownSize = 48  // how much of a switch not understood a message shows
};

enum ArgumentsResult {
    ArgumentsRead,       // every switch understood
    ArgumentsUnknown,    // a switch not understood; unknownSwitch shows it
    ArgumentsTooLong,    // the line, or a folder on it, past its bounds
    ArgumentsMalformed   // an empty value, a /G= that is no relative folder, a quote out of place
};

struct SetupArguments {
    bool silent;                          // /S was read, even on a line refused afterwards
    bool help;                            // /?: show the accepted switches, do nothing else
    bool downgrade;                       // /DOWNGRADE: a newer installed version may be replaced
    char logPath[PathSize];               // /LOG=, empty when not given
    char destination[PathSize];           // /D=, empty when not given
    char startMenuFolder[PathSize];       // /G=, empty when not given
    char unknownSwitch[SwitchShownSize];  // the first switch not understood, shortened for a message
};

// Reads the arguments that follow the program's name. On any result but
// ArgumentsRead, help and downgrade are false and destination, startMenuFolder and
// logPath are empty: nothing from a refused line is used but /S.
ArgumentsResult ReadArguments(const char* line, SetupArguments& arguments);
