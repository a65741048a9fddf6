// The list of sub-folders that both folder browsers show: a parent entry
// "........" that leads one level up, the sub-folders, and the product
// folder that setup will make there.
#pragma once
#include "plan/setup_plan.h"
#include <windows.h>

enum FolderListMode {
    DirectoryList = 0,  // the Directory browser: baseDir, the path in control 102
    ShortcutList = 1    // the Shortcut folder browser: programsDir, the path in control 211
};

// Paths longer than this are not moved into: the search appends a
// wildcard of up to four characters to the 512-byte path.
const int MaxBrowsedPath = PathSize - 1 - 4;

extern const char parentEntryText[];

// One browser's list view, kept by the browser's dialog.
struct FolderListView {
    HWND view = NULL;
    int folderImage = 0;     // image indexes of the three entry kinds in its image list
    int upImage = 0;
    int newFolderImage = 0;
    int lastIndex = 0;       // last position used
};

// Loads the common controls that the browsers' list views need.
void LoadCommonControls();
// Makes the 16x16 icon list of the three entry kinds and gives it to the
// list view; sets the image indexes. The icons are module's.
void AttachFolderIcons(FolderListView& list, HINSTANCE module);
LRESULT AddFolderItem(HWND list, const char* text, int position, int image);
// The length above which a path of this mode has a parent entry.
int ParentLimit(FolderListMode mode, const SetupPlan& plan);
// Lists path's sub-folders, and the plan's product folder as the one that
// Setup will make there.
void FillFolderList(HWND dialog, FolderListView& list, char (&path)[PathSize], FolderListMode mode, const SetupPlan& plan);

// The item is the parent entry by what it is, text and picture, not by the
// place where it happens to sort.
bool IsParentEntry(const FolderListView& list, int index);
// Moves path into the item's folder, or up for the parent entry. Returns
// false, leaving path unchanged, when the item cannot be read or the move
// would make path longer than maxLength.
bool MoveToListedFolder(const FolderListView& list, int index, char (&path)[PathSize], FolderListMode mode,
                        size_t maxLength);
// What a double click on the list does in either browser: moves path into
// the selected entry and lists the folder it then names.
void OpenSelectedFolder(HWND dialog, FolderListView& list, char (&path)[PathSize], FolderListMode mode,
                        size_t maxLength, const SetupPlan& plan);
