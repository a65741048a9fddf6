#include "installation.h"
#include "flows.h"
#include <gtest/gtest.h>
#include <sstream>

namespace e2e {

namespace {

const char ntBase[] = "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char windowsBase[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

} // namespace

const char* const installedFiles[5] = {"pictavo.exe", "pictavo.cfg", "pvhelp.hlp", "uninstall.exe", "readme.wri"};
const char* const installedLinks[3] = {"Pictavo.lnk", "Readme.lnk", "Uninstall.lnk"};
const char ntProgramsFolder[] = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
const char appPathsKey[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Pictavo";

std::map<std::string, std::string> RegistryValues(Installer& setup, const std::string& key)
{
    std::istringstream lines(setup.RunHost("\"$PICTAVO_WINE\" reg query '" + key + "'", "reg query " + key));
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
    bool ntFamily = (GetVersion() & 0x80000000u) == 0;
    if (ntFamily)
        return {std::string(ntBase) + "\\Uninstall\\Pictavo", std::string(windowsBase) + "\\Uninstall\\Pictavo"};
    return {std::string(windowsBase) + "\\Uninstall\\Pictavo"};
}

bool RegistryKeyExists(Installer& setup, const std::string& key)
{
    std::string output = setup.RunHost("\"$PICTAVO_WINE\" reg query '" + key + "' >/dev/null 2>&1; echo $?", "reg query");
    return output.find('0') == 0;
}

void RemoveRegistration(Installer& setup)
{
    for (std::string key : {std::string(windowsBase) + "\\Uninstall\\Pictavo",
                             std::string(ntBase) + "\\Uninstall\\Pictavo", std::string(appPathsKey)})
        setup.RunHost("\"$PICTAVO_WINE\" reg delete '" + key + "' /f >/dev/null 2>&1; true", "reg delete");
}

std::string LinkTarget(Installer& setup, const std::string& link)
{
    std::string copy = EnvOr("PICTAVO_SHOTS", "/tmp") + "/faults-link.lnk";
    CopyFileA(link.c_str(), WindowsPath(copy).c_str(), FALSE);
    std::string report = setup.RunHost("lnkinfo '" + copy + "' || true", "lnkinfo " + link);
    DeleteFileA(WindowsPath(copy).c_str());
    size_t at = report.find("\tLocal path");
    if (at == std::string::npos)
        return "<no target>";
    size_t colon = report.find(": ", at);
    return report.substr(colon + 2, report.find('\n', colon) - colon - 2);
}

void ExpectInstalled(Installer& setup, const std::string& destination, const std::string& shortcutFolder)
{
    std::set<std::string> expectedFiles(std::begin(installedFiles), std::end(installedFiles));
    expectedFiles.insert("PvFiles");
    EXPECT_EQ(expectedFiles, NamesIn(destination)) << "no second product folder inside the first";
    EXPECT_TRUE(NamesIn(destination + "\\PvFiles").empty());
    for (const char* target : installedFiles)
        EXPECT_EQ(ReadAll(Original(target)), ReadAll(destination + "\\" + target)) << target;

    EXPECT_EQ(std::set<std::string>(std::begin(installedLinks), std::end(installedLinks)), NamesIn(shortcutFolder))
        << "one set of links, no second shortcut folder inside the first";
    const char* linkTargets[] = {"pictavo.exe", "Readme.wri", "uninstall.exe"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(destination + "\\" + linkTargets[i], LinkTarget(setup, shortcutFolder + "\\" + installedLinks[i]))
            << installedLinks[i];

    std::map<std::string, std::string> uninstall = {
        {"DisplayName", "Pictavo"},
        {"UninstallString", "\"" + destination + "\\uninstall.exe\""},
        {"Scdir", shortcutFolder},
        {"Progdir", destination},
    };
    for (const std::string& key : UninstallKeys())
        EXPECT_EQ(uninstall, RegistryValues(setup, key)) << key;
    std::map<std::string, std::string> appPath = {{"(Default)", destination + "\\Pictavo"}, {"Path", destination}};
    EXPECT_EQ(appPath, RegistryValues(setup, appPathsKey));
}

} // namespace e2e
