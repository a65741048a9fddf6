#include "installation.h"
#include "flows.h"
#include <gtest/gtest.h>
#include <sstream>

namespace e2e {

namespace {

std::string Query(const std::string& key)
{
    return "\"$PICTAVO_WINE\" reg query 'HKLM\\" + key + "'";
}

// lnkinfo's report on a shortcut file, read on the host.
std::string LinkReport(Installer& setup, const std::string& link)
{
    std::string copy = EnvOr("PICTAVO_SHOTS", "/tmp") + "/read-link.lnk";
    CopyFileA(link.c_str(), WindowsPath(copy).c_str(), FALSE);
    std::string report = setup.RunHost("lnkinfo '" + copy + "' || true", "lnkinfo " + link);
    DeleteFileA(WindowsPath(copy).c_str());
    return report;
}

// A "\tName : value" line of that report.
std::string Field(const std::string& report, const std::string& name)
{
    size_t at = report.find("\t" + name);
    if (at == std::string::npos)
        return "<no " + name + ">";
    size_t colon = report.find(": ", at);
    return report.substr(colon + 2, report.find('\n', colon) - colon - 2);
}

// A DWORD as `wine reg` lists it.
std::string Listed(unsigned long long value)
{
    std::ostringstream listed;
    listed << "0x" << std::hex << value;
    return listed.str();
}

// The entry's EstimatedSize as `wine reg` lists it: the installed files'
// bytes, in KB rounded up.
std::string InstalledSizeKB(const Release& release)
{
    unsigned long long bytes = 0;
    for (const char* target : installed::files) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExA(OriginalOf(release, target).c_str(), GetFileExInfoStandard, &data))
            bytes += data.nFileSizeLow;
    }
    return Listed((bytes + 1023) / 1024);
}

std::string UsersText(const std::string& name)
{
    return "the user's " + name;
}

} // namespace

std::map<std::string, std::string> RegistryValues(Installer& setup, const std::string& key)
{
    std::istringstream lines(setup.RunHost(Query(key), "reg query " + key));
    std::map<std::string, std::string> values;
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t type = line.find("    REG_");
        if (type == std::string::npos)
            continue;
        size_t nameStart = line.find_first_not_of(' ');
        size_t valueStart = line.find_first_not_of(' ', line.find(' ', type + 4));
        values[line.substr(nameStart, type - nameStart)] = valueStart == std::string::npos ? "" : line.substr(valueStart);
    }
    return values;
}

std::vector<std::string> UninstallKeys()
{
    if (installed::NtFamily())
        return {installed::UninstallEntry(installed::ntBranch), installed::UninstallEntry(installed::windowsBranch)};
    return {installed::UninstallEntry(installed::windowsBranch)};
}

bool RegistryKeyExists(Installer& setup, const std::string& key)
{
    std::string output = setup.RunHost(Query(key) + " >/dev/null 2>&1; echo $?", "reg query");
    return output.find('0') == 0;
}

void RemoveRegistration()
{
    // In this process, which writes through the same registry view as the
    // installer under test: a `wine reg` of the host may be of the other
    // bitness and clean the other view.
    for (std::string key : {installed::UninstallEntry(installed::windowsBranch),
                             installed::UninstallEntry(installed::ntBranch), std::string(installed::appPaths)})
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
    // The "Windows NT" list, which a new prefix lacks until Setup makes it;
    // kept when anything else is listed there.
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(installed::ntBranch) + "\\Uninstall").c_str());
    // The system's own list, which a new prefix has, even when empty.
    HKEY list;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(installed::windowsBranch) + "\\Uninstall").c_str(), 0,
                        NULL, 0, KEY_READ, NULL, &list, NULL) == ERROR_SUCCESS)
        RegCloseKey(list);
}

namespace {

// Setup acts on the installation that an Uninstall entry names: proposes
// its folders, upgrades it, refuses to go below its version, or tells of
// an entry whose folder is gone. The tests of one machine share its
// prefix, and each runs as its own process, in any order: each starts with
// no entry, as a first run, whatever an earlier test registered. Files
// stay as the earlier test left them, as before. A test of a second run
// installs its first one itself.
class NoEarlierRegistration : public ::testing::Environment {
public:
    void SetUp() override { RemoveRegistration(); }
};
::testing::Environment* const noEarlierRegistration =
    ::testing::AddGlobalTestEnvironment(new NoEarlierRegistration);

} // namespace

void StartClean()
{
    RemoveDefaultInstallation();
    RemoveTree(DefaultShortcutFolder());
    RemoveRegistration();
}

Release ThisRelease()
{
    return {InstallerPath(), WindowsPath(EnvOr("PICTAVO_PAYLOAD_DIR", "")), installed::version, 1, 0};
}

Release NextRelease()
{
    return {WindowsPath(EnvOr("PICTAVO_NEXT_SETUP_EXE", "")), WindowsPath(EnvOr("PICTAVO_NEXT_PAYLOAD_DIR", "")),
            installed::nextVersion, 1, 1};
}

std::string OriginalOf(const Release& release, const char* target)
{
    return release.payload + "\\expanded\\" + target;
}

bool WriteUsersPicture(const std::string& destination, const std::string& name)
{
    return WriteAll(destination + "\\" + installed::picturesFolder + "\\" + name, UsersText(name));
}

void ExpectInstalled(Installer& setup, const std::string& destination, const std::string& shortcutFolder)
{
    ExpectInstalled(setup, destination, shortcutFolder, ThisRelease());
}

void ExpectInstalled(Installer& setup, const std::string& destination, const std::string& shortcutFolder,
                     const Release& release, const std::set<std::string>& usersPictures)
{
    std::set<std::string> expectedFiles(std::begin(installed::files), std::end(installed::files));
    expectedFiles.insert(installed::picturesFolder);
    EXPECT_EQ(expectedFiles, NamesIn(destination)) << "no second product folder inside the first";
    std::string pictures = destination + "\\" + installed::picturesFolder;
    EXPECT_TRUE(FolderExists(pictures)) << pictures;
    EXPECT_EQ(usersPictures, NamesIn(pictures)) << "the user's own pictures, and nothing else, in " << pictures;
    for (const std::string& name : usersPictures)
        EXPECT_EQ(UsersText(name), ReadAll(pictures + "\\" + name)) << name;
    for (const char* target : installed::files)
        EXPECT_TRUE(ReadAll(OriginalOf(release, target)) == ReadAll(destination + "\\" + target))
            << destination << "\\" << target << " is not the file of version " << release.version << " as built";

    std::set<std::string> expectedLinks;
    for (const installed::Link& link : installed::links)
        expectedLinks.insert(link.file);
    EXPECT_EQ(expectedLinks, NamesIn(shortcutFolder)) << "one set of links, no second shortcut folder inside the first";
    for (const installed::Link& link : installed::links) {
        std::string report = LinkReport(setup, shortcutFolder + "\\" + link.file);
        EXPECT_EQ(destination + "\\" + link.target, Field(report, "Local path")) << link.file;
        EXPECT_EQ(link.description, Field(report, "Description")) << link.file;
    }

    std::map<std::string, std::string> uninstall = {
        {"DisplayName", "Pictavo"},
        {"UninstallString", "\"" + destination + "\\uninstall.exe\""},
        {"QuietUninstallString", "\"" + destination + "\\uninstall.exe\" /S"},
        {"Scdir", shortcutFolder},
        {"Progdir", destination},
        {"InstallLocation", destination},
        {"DisplayIcon", destination + "\\pictavo.exe"},
        {"DisplayVersion", release.version},
        {"VersionMajor", Listed(release.major)},
        {"VersionMinor", Listed(release.minor)},
        {"Publisher", installed::publisher},
        {"EstimatedSize", InstalledSizeKB(release)},
        {"NoModify", "0x1"},
        {"NoRepair", "0x1"},
    };
    std::vector<std::string> keys = UninstallKeys();
    for (const std::string& key : keys)
        EXPECT_EQ(uninstall, RegistryValues(setup, key)) << key;
    if (keys.size() == 1) {
        EXPECT_FALSE(RegistryKeyExists(setup, installed::UninstallEntry(installed::ntBranch)))
            << "the 9x family keeps its entry under one branch";
    }
    std::map<std::string, std::string> appPath = {{"(Default)", destination + "\\Pictavo"}, {"Path", destination}};
    EXPECT_EQ(appPath, RegistryValues(setup, installed::appPaths));
}

std::string Installed(const char* file)
{
    return std::string(defaultDestination) + "\\" + file;
}

std::map<std::string, std::string> FilesAsTheyAre()
{
    std::map<std::string, std::string> state;
    for (const char* file : installed::files) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExA(Installed(file).c_str(), GetFileExInfoStandard, &data);
        state[file] = std::to_string(data.ftLastWriteTime.dwHighDateTime) + ":" +
                      std::to_string(data.ftLastWriteTime.dwLowDateTime) + ":" + ReadAll(Installed(file));
    }
    return state;
}

} // namespace e2e
