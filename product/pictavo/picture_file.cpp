#include "pictavo/picture_file.h"
#include "base/file_write.h"
#include "base/system_function.h"
#include "base/text.h"

int PictureRowBytes(int width)
{
    return (width * 3 + 3) & ~3;
}

void FillPictureHeader(BITMAPINFOHEADER& header, int width, int height)
{
    ZeroMemory(&header, sizeof header);
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height; // bottom-up, as BMP files store rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = (DWORD)PictureRowBytes(width) * height;
}

RenameWays SystemRenameWays()
{
    RenameWays ways = {SYSTEM_FUNCTION("kernel32.dll", ReplaceFileA), SYSTEM_FUNCTION("kernel32.dll", MoveFileExA)};
    return ways;
}

namespace {

// Each save starts at another point of the range, so that names left by
// a save that was cut short (a power failure) are not tried first.
const DWORD scratchTries = 64;

DWORD FirstScratchNumber()
{
    return GetTickCount() ^ (GetCurrentProcessId() << 8);
}

// folder followed by a name such as ~pv3A4F1.tmp: an 8.3 name, which
// every file system takes and which is no longer than most pictures'
// names, so it fits wherever the picture's own path fitted.
bool ScratchPath(char* path, size_t size, const char* folder, DWORD number)
{
    char name[] = "~pv00000.tmp";
    for (int i = 7; i >= 3; i--, number >>= 4)
        name[i] = "0123456789ABCDEF"[number & 15];
    return CopyTextN(path, size, folder) && AppendTextN(path, size, name);
}

struct ScratchNames {
    const char* folder;
    DWORD first;
};

bool ComposeScratchPath(char* path, size_t size, DWORD attempt, const void* context)
{
    const ScratchNames& names = *(const ScratchNames*)context;
    return ScratchPath(path, size, names.folder, names.first + attempt);
}

// A name in folder that nothing holds, for the old picture to step aside
// to: a rename to it moves the old file, and never writes into another.
DWORD FreeScratchPath(char (&path)[MAX_PATH], const char* folder)
{
    DWORD number = FirstScratchNumber();
    for (DWORD i = 0; i < scratchTries; i++) {
        if (!ScratchPath(path, sizeof path, folder, number + i))
            return ERROR_FILENAME_EXCED_RANGE;
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
            DWORD error = GetLastError();
            return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
        }
    }
    return ERROR_FILE_EXISTS;
}

DWORD LastErrorUnless(bool ok)
{
    return ok ? ERROR_SUCCESS : GetLastError();
}

DWORD WriteBitmap(HANDLE file, const PictureBits& picture)
{
    BITMAPINFOHEADER info;
    FillPictureHeader(info, picture.width, picture.height);
    BITMAPFILEHEADER header;
    ZeroMemory(&header, sizeof header);
    header.bfType = 0x4D42; // "BM"
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + info.biSizeImage;
    GdiFlush(); // GDI may still hold strokes that are not yet in the bits
    DWORD error = LastErrorUnless(WriteAll(file, &header, sizeof header));
    if (error == ERROR_SUCCESS)
        error = LastErrorUnless(WriteAll(file, &info, sizeof info));
    if (error == ERROR_SUCCESS)
        error = LastErrorUnless(WriteAll(file, picture.bits, info.biSizeImage));
    // The system may keep the last blocks in its cache and find out only
    // when it writes them that the disk is full.
    if (error == ERROR_SUCCESS)
        error = LastErrorUnless(FlushFileBuffers(file) != FALSE);
    return error;
}

} // namespace

DWORD PutInPlace(const char* folder, const char* fresh, const char* target, const RenameWays& ways)
{
    if (GetFileAttributesA(target) == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND)
            return error;
        return LastErrorUnless(MoveFileA(fresh, target) != FALSE);
    }
    char backup[MAX_PATH];
    DWORD error = FreeScratchPath(backup, folder);
    if (error != ERROR_SUCCESS)
        return error;
    // Windows 2000 and later: ReplaceFile hands the old file's security,
    // attributes and creation time on to the new one, as writing over it
    // did. Without a backup name, some of its failures leave neither file
    // under the picture's name; with one, the only failure that moved the
    // old picture leaves it at the backup name, from where it goes back.
    if (ways.replaceFile) {
        if (ways.replaceFile(target, fresh, backup, 0, NULL, NULL)) {
            DeleteFileA(backup);
            return ERROR_SUCCESS;
        }
        error = GetLastError();
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
            MoveFileA(backup, target);
        return error;
    }
    // NT 4: one rename that replaces the old file whole.
    if (ways.moveFileEx) {
        if (ways.moveFileEx(fresh, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return ERROR_SUCCESS;
        error = GetLastError();
        if (error != ERROR_CALL_NOT_IMPLEMENTED)
            return error;
    }
    // Windows 9x renames only to a free name: the old picture steps aside
    // and comes back if the new one cannot take its name.
    if (!MoveFileA(target, backup))
        return GetLastError();
    if (!MoveFileA(fresh, target)) {
        error = GetLastError();
        MoveFileA(backup, target);
        return error;
    }
    DeleteFileA(backup);
    return ERROR_SUCCESS;
}

DWORD SavePicture(const char* path, const PictureBits& picture, const RenameWays& ways)
{
    char folder[MAX_PATH];
    if (!CopyText(folder, path))
        return ERROR_FILENAME_EXCED_RANGE;
    char* cut = folder;
    for (char* p = folder; *p; p = CharNextA(p))
        if (*p == '\\' || *p == '/' || *p == ':')
            cut = p + 1;
    *cut = 0;
    char fresh[MAX_PATH];
    const ScratchNames names = {folder, FirstScratchNumber()};
    const FreshFileRequest request = {ComposeScratchPath, &names, GENERIC_WRITE, 0, FILE_ATTRIBUTE_NORMAL, scratchTries};
    HANDLE file = CreateFreshFile(fresh, request);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD error = WriteBitmap(file, picture);
    if (!CloseHandle(file) && error == ERROR_SUCCESS)
        error = GetLastError();
    if (error == ERROR_SUCCESS)
        error = PutInPlace(folder, fresh, path, ways);
    if (error != ERROR_SUCCESS)
        DeleteFileA(fresh); // a cut BMP would only mislead whoever opens it
    return error;
}
