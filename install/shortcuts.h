// The product's Start-menu links, made in the folder the plan chose.
#pragma once
#include "plan/setup_plan.h"

// Makes shortcutDir, with whatever is missing above it and as
// plan.folderSecurity says, and the links in it, each opening its product
// file in destDir; false as soon as one of them cannot be made.
bool PlaceShortcuts(const SetupPlan& plan);
