// What a finished installation leaves on the machine, read the way a user
// or another program would find it: the files, the links as lnkinfo parses
// them on the host, the registry as `wine reg` lists it.
#pragma once
#include "harness.h"
#include <map>
#include <string>
#include <vector>

namespace e2e {

extern const char* const installedFiles[5];
extern const char* const installedLinks[3];
extern const char appPathsKey[];
// The shell's programs folder for all users in a prefix of the NT family.
extern const char ntProgramsFolder[];

// Every value of a registry key, as `wine reg query` lists them.
std::map<std::string, std::string> RegistryValues(Installer& setup, const std::string& key);
// The keys of the uninstall entry: the NT family lists removable programs
// from the other base key, and gets the entry under both.
std::vector<std::string> UninstallKeys();
bool RegistryKeyExists(Installer& setup, const std::string& key);
// The entries removed, so that a run starts from a clean machine.
void RemoveRegistration(Installer& setup);
// The target of a shortcut file, as lnkinfo reads it on the host.
std::string LinkTarget(Installer& setup, const std::string& link);

// Exactly the product's files in destination, byte for byte, and its empty
// folder; exactly three links in shortcutFolder, to them; the uninstall
// entries and the application path naming both, and nothing else in them.
void ExpectInstalled(Installer& setup, const std::string& destination, const std::string& shortcutFolder);

} // namespace e2e
