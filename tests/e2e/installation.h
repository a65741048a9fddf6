// What a finished installation leaves on the machine, read the way a user
// or another program would find it: the files, the links as lnkinfo parses
// them on the host, the registry as `wine reg` lists it. The names come
// from installed_names.h; keys here lie under HKEY_LOCAL_MACHINE.
#pragma once
#include "harness.h"
#include "installed_names.h"
#include <map>
#include <string>
#include <vector>

namespace e2e {

// A build of the product as the tests install it: its Setup, the folder of
// its product files as built, and the version its Uninstall entry states.
struct Release {
    std::string setup;
    std::string payload;
    std::string version;
    unsigned major;
    unsigned minor;
};
// The build under test (installed::version).
Release ThisRelease();
// The same sources built as the next version (installed::nextVersion), for
// the tests that install one version over another.
Release NextRelease();
// A product file of that release as built, which an installed one must equal.
std::string OriginalOf(const Release& release, const char* target);

// A product file's path in the default destination.
std::string Installed(const char* file);

// Each product file of the default destination, by name: its last write
// time and its bytes. A run that left the installation as it was changed
// neither.
std::map<std::string, std::string> FilesAsTheyAre();

// Every value of a registry key, as `wine reg query` lists them.
std::map<std::string, std::string> RegistryValues(Installer& setup, const std::string& key);
// The keys of the uninstall entry: the NT family lists removable programs
// from the other branch, and gets the entry under both.
std::vector<std::string> UninstallKeys();
bool RegistryKeyExists(Installer& setup, const std::string& key);
// The product's registry entries removed, the machine's lists as a new
// prefix has them: the one way tests clean the registry.
void RemoveRegistration();
// The machine as it was before anything was installed: no product folder,
// no shortcut folder, no registration. The one way a test starts clean.
void StartClean();

// The one check that the product is installed: exactly its files in
// destination, byte for byte, and its empty folder; exactly its links in
// shortcutFolder, to them and with their descriptions; the uninstall
// entries and the application path naming both, and nothing else in them;
// no entry under a branch that this family does not use.
void ExpectInstalled(Installer& setup, const std::string& destination, const std::string& shortcutFolder);
// The same for the files and the version of release, with the user's own
// files in PvFiles, each holding the text "the user's <name>".
void ExpectInstalled(Installer& setup, const std::string& destination, const std::string& shortcutFolder,
                     const Release& release, const std::set<std::string>& usersPictures = {});
// The user's own file in the PvFiles of destination, as the tests write it.
bool WriteUsersPicture(const std::string& destination, const std::string& name);

} // namespace e2e
