// The ids that pictavo.rc and the code share.
#pragma once

#define IDR_PICTAVO 1 // the main window's menu and its accelerators

#define ID_FILE_NEW 100
#define ID_FILE_SAVE_AS 101
#define ID_FILE_EXIT 102
#define ID_HELP_HELP 103
#define ID_HELP_ABOUT 104
