// The drive list and the free-space figure that the Destination page, the
// Directory browser and the silent run share.
#pragma once
#include "plan/setup_plan.h"
#include <windows.h>

// The platform calls behind the drive list. Tests pass their own to arrange
// systems that Wine cannot start, such as one without drive C.
struct DriveProbe {
    DWORD(WINAPI* listDrives)(DWORD size, LPSTR buffer);
    BOOL(WINAPI* setCurrentDirectory)(LPCSTR path);
};
extern const DriveProbe systemDrives;

// Free bytes in units of 1000; 0 for a drive that could not be measured,
// 0xFFFFFFFF for more than the count holds.
DWORD FreeKBFromBytes(bool measured, ULONGLONG freeBytes);
DWORD MeasureFreeKB(const char* root);
bool HasRoomForProduct(DWORD kb);

// plan.choices.freeKB for the drive in that slot of the table, 0 for none.
void ReadFreeSpace(SetupPlan& plan, int slot);
// The drive table, the chosen drive and the default baseDir: the
// "Program files" folder of drive C when it exists, else C's root. Without
// drive C, baseDir stays as it was (empty in a new plan) and the start
// drive is chosen. Upper-cases startDir.
void ChooseDefaultBase(SetupPlan& plan, const DriveProbe& probe = systemDrives);
