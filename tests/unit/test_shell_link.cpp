#include "install/shell_link.h"
#include "installed_names.h"
#include "test_files.h"
#include <gtest/gtest.h>
#include <objidl.h>
#include <shlobj.h>
#include <string>

namespace {

struct LinkContent {
    HRESULT loaded = E_FAIL;
    std::string path;
    std::string description;
};

// Reads a shortcut back through the shell's own interfaces.
LinkContent ReadLink(const std::string& linkPath)
{
    LinkContent content;
    CoInitialize(NULL);
    IShellLinkA* link = NULL;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link))) {
        IPersistFile* file = NULL;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
            WCHAR wide[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
            content.loaded = file->Load(wide, STGM_READ);
            char text[MAX_PATH] = "";
            link->GetPath(text, sizeof text, NULL, SLGP_RAWPATH);
            content.path = text;
            link->GetDescription(text, sizeof text);
            content.description = text;
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return content;
}

class ShellLinkFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateDirectoryA(folder.c_str(), NULL);
        for (const installed::Link& link : installed::links)
            DeleteFileA((folder + link.file).c_str());
    }
    const std::string folder = "C:\\links-test\\";
};

} // namespace

TEST_F(ShellLinkFile, ThreeLinksInARowCarryTheirTargetsAndDescriptions)
{
    for (const installed::Link& link : installed::links) {
        std::string target = std::string("C:\\Apps\\Pictavo\\") + link.target;
        EXPECT_EQ(S_OK, CreateShellLink(target.c_str(), (folder + link.file).c_str(), link.description)) << link.file;
    }
    for (const installed::Link& link : installed::links) {
        LinkContent content = ReadLink(folder + link.file);
        EXPECT_EQ(S_OK, content.loaded) << link.file;
        EXPECT_EQ(std::string("C:\\Apps\\Pictavo\\") + link.target, content.path);
        EXPECT_EQ(link.description, content.description);
    }
}

TEST_F(ShellLinkFile, AMissingFolderOrAnOverlongPathFailsAndLeavesNoFile)
{
    std::string missing = folder + "no such folder\\Pictavo.lnk";
    EXPECT_LT(CreateShellLink("C:\\x.exe", missing.c_str(), "Pictavo"), 0);
    EXPECT_FALSE(FileExists(missing));

    // 260 characters and more do not fit the platform's path limit.
    std::string deep = folder + std::string(200, 'd');
    CreateDirectoryA(deep.c_str(), NULL);
    std::string tooLong = deep + "\\" + std::string(259 - deep.size() - 1 - 4 + 1, 'n') + ".lnk";
    ASSERT_EQ(260u, tooLong.size());
    EXPECT_LT(CreateShellLink("C:\\x.exe", tooLong.c_str(), "Pictavo"), 0);
    EXPECT_FALSE(FileExists(tooLong));
    std::string fits = tooLong.substr(0, 255) + ".lnk";
    ASSERT_EQ(259u, fits.size());
    EXPECT_EQ(S_OK, CreateShellLink("C:\\x.exe", fits.c_str(), "Pictavo"));
    DeleteFileA(fits.c_str());
    RemoveDirectoryA(deep.c_str());
}
