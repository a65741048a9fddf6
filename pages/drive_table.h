// The drive list and the free-space figure that the Destination page and
// the Directory browser share.
#pragma once
#include <windows.h>

// The platform calls behind the drive list. Tests replace them to arrange
// systems that Wine cannot start, such as one without drive C.
struct DriveProbe {
    DWORD(WINAPI* listDrives)(DWORD size, LPSTR buffer);
    BOOL(WINAPI* setCurrentDirectory)(LPCSTR path);
};
extern DriveProbe driveProbe;

// Free bytes in units of 1000; 0 for a drive that could not be measured,
// 0xFFFFFFFF for more than the count holds.
DWORD FreeKBFromBytes(bool measured, ULONGLONG freeBytes);
DWORD MeasureFreeKB(const char* root);
bool HasRoomForProduct(DWORD kb);

void ReadFreeSpace(int slot);
void ChooseDefaultBase();
