// Linked into the shipped Setup only: it never waits between a file's
// compressed copy and its expansion.
#include "run/install_run.h"

void PauseBeforeExpanding(int)
{
}
