// Files that the three programs write where others may have put something
// first: the user's temporary folder, a folder of pictures. A name chosen
// there could be taken already by a file or a link that leads elsewhere,
// and an elevated program writing through it would write where it was led.
#pragma once
#include <windows.h>
#include <stddef.h>

// Writes the name of one attempt into path (size bytes); false when it
// does not fit, which ends the search.
typedef bool (*FreshNameComposer)(char* path, size_t size, DWORD attempt, const void* context);

struct FreshFileRequest {
    FreshNameComposer compose;
    const void* context;  // handed to compose as it is
    DWORD access;         // as CreateFileA takes them
    DWORD share;
    DWORD attributes;
    DWORD attempts;       // how many names are tried before giving up
};

// A new file at a name that nothing held: CREATE_NEW fails on any file,
// folder or link already there, so nothing planted at a name is ever
// opened, and the next name is tried. Any other failure ends the search at
// once: another name in the same folder would fail alike. path holds the
// name of the file made; INVALID_HANDLE_VALUE otherwise, with the last
// error saying why (ERROR_FILENAME_EXCED_RANGE when a name did not fit,
// ERROR_FILE_EXISTS when every name tried was taken).
HANDLE CreateFreshFileN(char* path, size_t size, const FreshFileRequest& request);
template <size_t N> inline HANDLE CreateFreshFile(char (&path)[N], const FreshFileRequest& request)
{
    return CreateFreshFileN(path, N, request);
}

// Writes all of data or fails. A write to a disk file that returns fewer
// bytes without an error has run out of room: the last error is then
// ERROR_DISK_FULL.
bool WriteAll(HANDLE file, const void* data, DWORD size);

// Marks an open file for removal, so that no file that takes its name
// afterwards can be the one removed. False where the system has no such
// call (before Vista): the caller then removes it by name.
bool MarkForRemoval(HANDLE file);
