#include "pictavo/save_dialog.h"
#include "base/text.h"
#include <commdlg.h>
#include <shlobj.h>

const char saveBoxCaption[] = "Save Drawing";

namespace {

// Names the file and the system's reason, so that the user can tell a
// full disk from a folder that may not be written.
void TellSaveFailed(HWND owner, const char* path, DWORD error)
{
    char reason[256];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0, reason,
                                  sizeof reason, NULL);
    while (length > 0 && (reason[length - 1] == '\r' || reason[length - 1] == '\n' || reason[length - 1] == ' '))
        length--;
    reason[length < sizeof reason ? length : 0] = 0;
    char message[MAX_PATH + 320];
    FormatText(message, "The picture could not be saved as\r\n%s\r\n\r\n%s%s(error %lu)", path, reason,
               reason[0] ? " " : "", (unsigned long)error);
    MessageBoxA(owner, message, saveBoxCaption, MB_OK | MB_ICONEXCLAMATION);
}

// Only a file made there tells: a standard user may read the program
// folder but not write in it, whatever its attributes say.
bool CanWriteIn(const char* folder)
{
    DWORD attributes = GetFileAttributesA(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    char probe[MAX_PATH];
    if (!GetTempFileNameA(folder, "pv", 0, probe))
        return false;
    DeleteFileA(probe);
    return true;
}

// The user's own pictures folder, or the documents folder on systems that
// have none; false when the shell knows neither.
bool UserPicturesFolder(char (&path)[MAX_PATH])
{
    IMalloc* allocator = NULL;
    if (FAILED(SHGetMalloc(&allocator)))
        return false;
    bool found = false;
    const int folders[] = {CSIDL_MYPICTURES, CSIDL_PERSONAL};
    for (int i = 0; i < 2 && !found; i++) {
        LPITEMIDLIST list = NULL;
        if (SUCCEEDED(SHGetSpecialFolderLocation(NULL, folders[i], &list)) && list) {
            found = SHGetPathFromIDListA(list, path) != FALSE;
            allocator->Free(list);
        }
    }
    allocator->Release();
    return found;
}

} // namespace

bool SaveDrawingAs(HWND owner, const char* programFolder, const PictureBits& picture)
{
    char path[MAX_PATH];
    CopyText(path, "untitled.bmp");
    // Setup makes PvFiles for the pictures. Where it is missing or this
    // user cannot write there, the dialog starts in the user's own
    // pictures folder, rather than in one where saving would fail.
    char pictures[MAX_PATH];
    bool inPvFiles = CopyText(pictures, programFolder) && AppendText(pictures, "PvFiles") && CanWriteIn(pictures);
    bool hasStart = inPvFiles || UserPicturesFolder(pictures);
    OPENFILENAMEA dialog;
    ZeroMemory(&dialog, sizeof dialog);
    // Windows 95 and NT 4 refuse the larger structure of later versions.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = "Bitmap (*.bmp)\0*.bmp\0All files (*.*)\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    if (hasStart)
        dialog.lpstrInitialDir = pictures;
    dialog.lpstrTitle = "Save as BMP";
    dialog.lpstrDefExt = "bmp";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOREADONLYRETURN;
    if (!GetSaveFileNameA(&dialog))
        return false;
    DWORD error = SavePicture(path, picture, SystemRenameWays());
    if (error != ERROR_SUCCESS) {
        TellSaveFailed(owner, path, error);
        return false;
    }
    return true;
}

