// Whether this program runs on a kernel of the 9x family: the one test
// behind every security decision of Setup and the uninstaller (security
// descriptors, link checks, folder checks, the uninstaller's helper).
//
// GetVersion is no witness: a compatibility layer that poses as Windows 98
// makes it report the 9x family on an NT kernel, whose folders still have
// permissions and links. ntdll.dll cannot be posed away: the NT kernel maps
// it into every process before the program's first instruction, whatever
// the layer says, and the 9x family has no such library at all. The
// registry branch and the Start menu follow the reported version instead:
// a posing layer redirects those to where its programs look.
#pragma once

bool RunsOnNineXKernel();
