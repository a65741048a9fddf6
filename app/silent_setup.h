// The installation without a window or a question, for scripts and
// deployment tools: the pages' own steps in their order, with the choices
// the pages propose or the command line gives.
#pragma once

// The exit code: ExitInstalled, or what went wrong (base/setup_state.h).
int RunSilentSetup();

// The Start-menu folder of the command line, placed under the proposed
// programs folder: false when the folder and its links would not fit, so
// that the line is refused before anything changes.
bool StartMenuFolderFits();
