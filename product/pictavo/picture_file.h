// A drawing saved as a 24-bit BMP file. A save never writes over a picture:
// the new one goes to a file of its own beside the old one (beside it, so
// that taking the old one's place is a rename, never a copy) and takes the
// picture's name only once all of it is on the disk. A full disk or a
// failed write leaves the old picture as it was.
#pragma once
#include <windows.h>

// The pixels as a BMP file stores them: rows bottom-up, three bytes a
// pixel (blue first), each row padded to four bytes.
struct PictureBits {
    int width;
    int height;
    const BYTE* bits;
};

int PictureRowBytes(int width);
// The header of such pixels, for a BMP file and for CreateDIBSection alike.
void FillPictureHeader(BITMAPINFOHEADER& header, int width, int height);

// The system's ways of giving a file the name of another, newest first;
// NULL where the system lacks one (ReplaceFileA before Windows 2000,
// MoveFileExA on the 9x family, where it exists only to fail).
struct RenameWays {
    decltype(&::ReplaceFileA) replaceFile;
    decltype(&::MoveFileExA) moveFileEx;
};
RenameWays SystemRenameWays();

// Gives the complete file fresh, in folder, the name target. Where target
// exists, the old picture keeps its name until the new one takes it, and
// is put back wherever a step fails half-way. ERROR_SUCCESS or the reason.
DWORD PutInPlace(const char* folder, const char* fresh, const char* target, const RenameWays& ways);

// ERROR_SUCCESS, or the system's reason why the picture is not saved; the
// new file is then gone and whatever file had the name keeps it.
DWORD SavePicture(const char* path, const PictureBits& picture, const RenameWays& ways);
