// Making the destination that the plan chose, after the plan's own checks
// (plan/destination.h): the checks that need the machine, and the folder.
#pragma once
#include "plan/destination.h"

// The destination as it was checked, open from its check to the end of the
// run without delete sharing, so that no one can rename it away and put a
// link in its place while Setup writes into it. The 9x family opens no
// folders: there checked stands alone.
struct HeldFolder {
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool checked = false;  // the folder passed the checks, and every later step works below it

    HeldFolder() = default;
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;
    ~HeldFolder() { Release(); }
    void Release();
};

// Whether the volume of the destination keeps permissions. On the NT
// family a volume without them (FAT32, exFAT) lets every user change what
// Setup installs there; the Windows folder's own volume is taken as it is,
// as Windows takes it for everything. The 9x family keeps none anywhere and
// is not asked about. root receives the volume's root either way.
bool VolumeKeepsPermissions(const SetupPlan& plan, char (&root)[DriveRootSize]);

// The decision behind it, over what the system said: flags from
// GetVolumeInformation, or read false when it could not be read.
bool KeepsPermissions(bool ntFamily, bool read, DWORD flags, bool windowsVolume);

// Next, once the destination is adopted and the plan's checks passed: the
// checks that need the machine, in their order, and the folder with
// whatever is missing above it, made as plan.folderSecurity says. The
// folder that was made, or an existing one that is safe to install into,
// is held in held. A name taken by a file is DestinationIsFile; a name
// that does not exist and cannot be made is DestinationNotMade, with
// nothing held.
DestinationCheck PrepareDestination(const SetupPlan& plan, HeldFolder& held);
