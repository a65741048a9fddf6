#include "pages/drive_table.h"
#include "base/setup_state.h"
#include "base/system_function.h"
#include "base/text.h"

DriveProbe driveProbe = {GetLogicalDriveStringsA, SetCurrentDirectoryA};

namespace {


void UpperCase(char* text)
{
    for (; *text; ++text)
        if (*text >= 'a' && *text <= 'z')
            *text = (char)(*text - 'a' + 'A');
}

} // namespace

DWORD FreeKBFromBytes(bool measured, ULONGLONG freeBytes)
{
    if (!measured)
        return 0;
    ULONGLONG kb = freeBytes / 1000;
    return kb > 0xFFFFFFFFull ? 0xFFFFFFFFu : (DWORD)kb;
}

bool HasRoomForProduct(DWORD kb)
{
    return kb >= RequiredKB;
}

DWORD MeasureFreeKB(const char* root)
{
    // The Ex call is missing from the first releases of Windows 95, and the
    // plain one stops at 2 GB on the 9x family.
    static auto freeSpaceEx = SYSTEM_FUNCTION("kernel32.dll", GetDiskFreeSpaceExA);
    if (freeSpaceEx) {
        ULARGE_INTEGER available, total, totalFree;
        bool measured = freeSpaceEx(root, &available, &total, &totalFree) != FALSE;
        return FreeKBFromBytes(measured, measured ? available.QuadPart : 0);
    }
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    bool measured = GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters) != FALSE;
    return FreeKBFromBytes(measured, (ULONGLONG)sectorsPerCluster * bytesPerSector * freeClusters);
}

void ReadFreeSpace(int slot)
{
    freeKB = slot >= 0 && slot < driveCount ? MeasureFreeKB(driveRoots[slot]) : 0;
}

void ChooseDefaultBase()
{
    // 26 roots of 4 characters and the closing NUL need 105; a buffer too
    // small for all of them receives none at all.
    char roots[128];
    ZeroMemory(roots, sizeof roots);
    if (driveProbe.listDrives(sizeof roots - 1, roots) >= sizeof roots)
        roots[0] = '\0';

    UpperCase(startDir);
    driveCount = 0;
    driveIndex = 0;
    for (const char* root = roots; root < roots + sizeof roots && *root; root += TextLength(root) + 1) {
        if (driveCount == MaxDrives)
            break; // the table keeps the first drives only
        char* slot = driveRoots[driveCount];
        CopyText(driveRoots[driveCount], root);
        UpperCase(slot);
        if (slot[0] == startDir[0])
            driveIndex = driveCount;
        ++driveCount;
    }

    for (int i = 0; i < driveCount; ++i) {
        if (driveRoots[i][0] == 'C') {
            driveIndex = i;
            CopyText(baseDir, "C:\\Program files");
            // Finding the folder this way also makes it the current one.
            if (!driveProbe.setCurrentDirectory(baseDir))
                CopyText(baseDir, driveRoots[i]);
            break;
        }
    }
    ReadFreeSpace(driveIndex);
}
