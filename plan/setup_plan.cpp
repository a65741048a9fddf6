#include "plan/setup_plan.h"
#include <string.h>

void TrimStartDir(char* dir)
{
    if (strlen(dir) < 4)
        dir[2] = '\0';
}

void RecordStartDir(SetupPlan& plan)
{
    memset(plan.facts.startDir, 0, sizeof plan.facts.startDir);
    GetCurrentDirectoryA(500, plan.facts.startDir);
    TrimStartDir(plan.facts.startDir);
}

void GatherSystemFacts(SetupPlan& plan)
{
    // The main window records the start folder as it is made; a silent run
    // has none.
    if (!plan.facts.startDir[0])
        RecordStartDir(plan);
    plan.facts.windowsVersion = GetVersion();
}
