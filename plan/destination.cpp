#include "plan/destination.h"
#include "plan/drive_table.h"
#include "base/product.h"
#include "base/text.h"
#include <string.h>

namespace {

bool ComposeFolder(const SetupPlan& plan, char (&composed)[PathSize])
{
    bool fit = CopyText(composed, plan.baseDir);
    if (TextLength(plan.baseDir) > DriveRootLength)
        fit = fit && AppendText(composed, "\\");
    return fit && AppendText(composed, plan.productFolder);
}

} // namespace

bool ComposeDestination(SetupPlan& plan)
{
    char composed[PathSize];
    return ComposeFolder(plan, composed) && CopyText(plan.destDir, composed);
}

TypedDestination CheckComposedDestination(const SetupPlan& plan)
{
    char composed[PathSize], base[PathSize], product[PathSize];
    if (!ComposeFolder(plan, composed))
        return TypedTooLong;
    return ParseTypedDestination(composed, base, product);
}

TypedDestination TakeTypedDestination(SetupPlan& plan, const char* typed)
{
    // The proposal is checked too: a name from the Directory browser's box
    // ("..\Windows") stands in it as composed.
    if (strcmp(typed, plan.destDir) == 0) {
        TypedDestination checked = CheckComposedDestination(plan);
        return checked == TypedTaken ? TypedUnchanged : checked;
    }
    TypedDestination result = ParseTypedDestination(typed, plan.baseDir, plan.productFolder);
    if (result != TypedTaken)
        return result;
    char drive = (char)(plan.baseDir[0] & ~0x20);
    for (int slot = 0; slot < plan.driveCount; ++slot) {
        if (plan.driveRoots[slot][0] == drive) {
            plan.driveIndex = slot;
            ReadFreeSpace(plan, slot);
            return TypedTaken;
        }
    }
    char root[4] = {drive, ':', '\\', '\0'};
    plan.freeKB = MeasureFreeKB(root);
    return TypedTaken;
}

void ProposeDestination(SetupPlan& plan)
{
    ChooseDefaultBase(plan);
    CopyText(plan.productFolder, productName);
    ComposeDestination(plan);
}

DestinationCheck CheckDestinationChoice(SetupPlan& plan)
{
    if (plan.productFolder[0] == '\0')
        return DestinationUnnamed;
    if (!HasRoomForProduct(plan.freeKB))
        return DestinationLowSpace;
    if (!ComposeDestination(plan))
        return DestinationTooLong;
    return DestinationMade;
}
