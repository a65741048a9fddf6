// The product's names as a user finds them after an installation: its
// files, its links, its registry keys. Written here once for every test,
// and on purpose apart from the product's own headers: a name that drifts
// in the product must show as a failed test, not follow along.
#pragma once
#include <windows.h>
#include <string>

namespace installed {

// In the payload's order; each file's compressed name in the same row.
constexpr const char* files[] = {"pictavo.exe", "pictavo.cfg", "pvhelp.hlp", "uninstall.exe", "readme.wri"};
constexpr const char* compressed[] = {"pictav~1.ex_", "pictav~2.cf_", "pvhelp.hl_", "uninst~1.ex_", "readme.wr_"};
// The three that tests name on their own.
constexpr const char* program = files[0];
constexpr const char* uninstaller = files[3];
constexpr const char* readme = files[4];
// The empty folder beside them, where the program saves its pictures.
constexpr char picturesFolder[] = "PvFiles";

struct Link {
    const char* file;
    const char* target; // in the product folder
    const char* description;
};
constexpr Link links[] = {
    {"Pictavo.lnk", "pictavo.exe", "Pictavo"},
    {"Uninstall.lnk", "uninstall.exe", "Uninstall"},
    {"Readme.lnk", "Readme.wri", "Readme"},
};

// What the Uninstall entry tells the system's list and deployment tools.
constexpr char version[] = "1.0.0";
// The version of the second build that the tests install over the first
// (tests/CMakeLists.txt, NEXT_VERSION).
constexpr char nextVersion[] = "1.1.0";
constexpr char publisher[] = "The Pictavo authors";

// Under HKEY_LOCAL_MACHINE.
constexpr char windowsBranch[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr char ntBranch[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr char appPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Pictavo";
inline std::string UninstallEntry(const char* branch)
{
    return std::string(branch) + "\\Uninstall\\Pictavo";
}

// The Start menu's programs folder: the shell's for all users on the NT
// family, the Windows folder's on 9x.
constexpr char ntPrograms[] = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
constexpr char nineXPrograms[] = "C:\\windows\\Start Menu\\Programs";

// As this test program sees the version, which is what the installer sees
// in the same prefix: GetVersion's bit 31 is clear on the NT family.
inline bool NtFamily()
{
    return (GetVersion() & 0x80000000u) == 0;
}

} // namespace installed
