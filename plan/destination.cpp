#include "plan/destination.h"
#include "plan/drive_table.h"
#include "base/product.h"
#include "base/text.h"
#include <string.h>

namespace {

bool ComposeFolder(const SetupPlan& plan, char (&composed)[PathSize])
{
    bool fit = CopyText(composed, plan.choices.baseDir);
    if (TextLength(plan.choices.baseDir) > DriveRootLength)
        fit = fit && AppendText(composed, "\\");
    return fit && AppendText(composed, plan.choices.productFolder);
}

} // namespace

bool ComposeDestination(SetupPlan& plan)
{
    char composed[PathSize];
    return ComposeFolder(plan, composed) && CopyText(plan.choices.destDir, composed);
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
    if (strcmp(typed, plan.choices.destDir) == 0) {
        TypedDestination checked = CheckComposedDestination(plan);
        return checked == TypedTaken ? TypedUnchanged : checked;
    }
    TypedDestination result = ParseTypedDestination(typed, plan.choices.baseDir, plan.choices.productFolder);
    if (result != TypedTaken)
        return result;
    char drive = (char)(plan.choices.baseDir[0] & ~0x20);
    for (int slot = 0; slot < plan.facts.driveCount; ++slot) {
        if (plan.facts.driveRoots[slot][0] == drive) {
            plan.choices.driveIndex = slot;
            ReadFreeSpace(plan, slot);
            return TypedTaken;
        }
    }
    char root[4] = {drive, ':', '\\', '\0'};
    plan.choices.freeKB = MeasureFreeKB(root);
    return TypedTaken;
}

void ProposeDestination(SetupPlan& plan)
{
    ChooseDefaultBase(plan);
    CopyText(plan.choices.productFolder, productName);
    ComposeDestination(plan);
    // A second run installs where the first one did, on that drive; a
    // folder that no longer reads as a destination leaves the default.
    const PreviousInstallation& previous = plan.facts.previous;
    if (previous.Usable() && TakeTypedDestination(plan, previous.at.programDir) == TypedTaken)
        ComposeDestination(plan);
}

DestinationCheck CheckDestinationChoice(SetupPlan& plan)
{
    if (plan.choices.productFolder[0] == '\0')
        return DestinationUnnamed;
    if (!HasRoomForProduct(plan.choices.freeKB))
        return DestinationLowSpace;
    if (!ComposeDestination(plan))
        return DestinationTooLong;
    return DestinationMade;
}
