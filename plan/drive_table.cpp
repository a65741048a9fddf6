#include "plan/drive_table.h"
#include "base/system_function.h"
#include "base/text.h"

const DriveProbe systemDrives = {GetLogicalDriveStringsA, SetCurrentDirectoryA};

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

void ReadFreeSpace(SetupPlan& plan, int slot)
{
    plan.choices.freeKB = slot >= 0 && slot < plan.facts.driveCount ? MeasureFreeKB(plan.facts.driveRoots[slot]) : 0;
}

void ChooseDefaultBase(SetupPlan& plan, const DriveProbe& probe)
{
    // 26 roots of 4 characters and the closing NUL need 105; a buffer too
    // small for all of them receives none at all.
    char roots[128];
    ZeroMemory(roots, sizeof roots);
    if (probe.listDrives(sizeof roots - 1, roots) >= sizeof roots)
        roots[0] = '\0';

    UpperCase(plan.facts.startDir);
    plan.facts.driveCount = 0;
    plan.choices.driveIndex = 0;
    for (const char* root = roots; root < roots + sizeof roots && *root; root += TextLength(root) + 1) {
        if (plan.facts.driveCount == MaxDrives)
            break; // the table keeps the first drives only
        char* slot = plan.facts.driveRoots[plan.facts.driveCount];
        CopyText(plan.facts.driveRoots[plan.facts.driveCount], root);
        UpperCase(slot);
        if (slot[0] == plan.facts.startDir[0])
            plan.choices.driveIndex = plan.facts.driveCount;
        ++plan.facts.driveCount;
    }

    for (int i = 0; i < plan.facts.driveCount; ++i) {
        if (plan.facts.driveRoots[i][0] == 'C') {
            plan.choices.driveIndex = i;
            CopyText(plan.choices.baseDir, "C:\\Program files");
            // Finding the folder this way also makes it the current one.
            if (!probe.setCurrentDirectory(plan.choices.baseDir))
                CopyText(plan.choices.baseDir, plan.facts.driveRoots[i]);
            break;
        }
    }
    ReadFreeSpace(plan, plan.choices.driveIndex);
}
