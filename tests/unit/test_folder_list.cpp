#include "pages/folder_list.h"
#include "base/text.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

const std::string root = "C:\\folder-list-test";

// The browsers' own templates, made modeless, with the real list views.
class FolderList : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        for (const char* folder : {"", "\\mixed", "\\mixed\\Sub", "\\mixed\\.dot", "\\mixed\\Hidden", "\\mixed\\System",
                                   "\\files-only", "\\twin", "\\twin\\Pictavo"})
            CreateDirectoryA((root + folder).c_str(), NULL);
        SetFileAttributesA((root + "\\mixed\\Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributesA((root + "\\mixed\\System").c_str(), FILE_ATTRIBUTE_SYSTEM);
        for (const char* file : {"\\mixed\\file.txt", "\\files-only\\a.txt", "\\files-only\\b.txt"})
            CloseHandle(CreateFileA((root + file).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    }

    void SetUp() override
    {
        InitCommonControls();
        plan.module = GetModuleHandleA(NULL);
        strcpy(plan.choices.productFolder, "Pictavo");
        directory = CreateDialogParamA(plan.module, "IDD_BROWSE", NULL, QuietProc, 0);
        shortcuts = CreateDialogParamA(plan.module, "IDD_BROWSE_SHORTCUT", NULL, QuietProc, 0);
        ASSERT_TRUE(directory && shortcuts);
        directoryList.view = GetDlgItem(directory, 107);
        shortcutList.view = GetDlgItem(shortcuts, 212);
        AttachFolderIcons(directoryList, plan.module);
        AttachFolderIcons(shortcutList, plan.module);
        plan.choices.programsLimit = 21;
    }

    void TearDown() override
    {
        DestroyWindow(directory);
        DestroyWindow(shortcuts);
    }

    typedef std::pair<std::string, int> Entry; // text and image

    std::vector<Entry> Fill(const std::string& path, FolderListMode mode)
    {
        char buffer[PathSize];
        strcpy(buffer, path.c_str());
        HWND dialog = mode == DirectoryList ? directory : shortcuts;
        FolderListView& list = mode == DirectoryList ? directoryList : shortcutList;
        FillFolderList(dialog, list, buffer, mode, plan);
        EXPECT_EQ(path, buffer) << "the path is left as it came";
        return Entries(list.view);
    }

    std::vector<Entry> Entries(HWND list)
    {
        std::vector<Entry> entries;
        int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        for (int i = 0; i < count; ++i) {
            char text[260] = "";
            LVITEMA item = {};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = i;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&item);
            entries.push_back({text, item.iImage});
        }
        std::sort(entries.begin(), entries.end());
        return entries;
    }

    bool HasParent(const std::vector<Entry>& entries)
    {
        return std::find(entries.begin(), entries.end(), Entry{"........", directoryList.upImage}) != entries.end();
    }

    std::string Shown(int id)
    {
        char text[1024] = "";
        GetDlgItemTextA(id == 102 ? directory : shortcuts, id, text, sizeof text);
        return text;
    }

    HWND directory = NULL, shortcuts = NULL;
    FolderListView directoryList, shortcutList;
    SetupPlan plan;
};

} // namespace

// At a root and below it, the Directory browser end to end.
TEST_F(FolderList, ShortcutListsParentEntryFollowsTheProgramsFoldersLength)
{
    std::string at21 = "C:\\" + std::string(18, 'w'), at22 = at21 + "x";
    EXPECT_FALSE(HasParent(Fill(at21, ShortcutList)));
    EXPECT_EQ(at21 + "\\Pictavo", Shown(211)) << "mode 1 joins with a backslash at any length";
    EXPECT_TRUE(HasParent(Fill(at22, ShortcutList)));

    plan.choices.programsLimit = 43; // the parent of the shell's programs folder
    std::string at43 = "C:\\" + std::string(40, 'w'), at44 = at43 + "x";
    EXPECT_FALSE(HasParent(Fill(at43, ShortcutList)));
    EXPECT_TRUE(HasParent(Fill(at44, ShortcutList)));
}

TEST_F(FolderList, ListsHiddenSystemAndProductNamedFoldersButNotDotNamesOrFiles)
{
    std::vector<Entry> expected = {{"........", 1}, {"Hidden", 0}, {"Pictavo", 2}, {"Sub", 0}, {"System", 0}};
    EXPECT_EQ(expected, Fill(root + "\\mixed", DirectoryList));
    EXPECT_EQ(4, directoryList.lastIndex) << "entries inserted before the product folder";
    std::vector<Entry> filesOnly = {{"........", 1}, {"Pictavo", 2}};
    EXPECT_EQ(filesOnly, Fill(root + "\\files-only", DirectoryList));
    EXPECT_EQ(filesOnly, Fill(root + "\\no such folder", DirectoryList));
    std::vector<Entry> twin = {{"........", 1}, {"Pictavo", 0}, {"Pictavo", 2}};
    EXPECT_EQ(twin, Fill(root + "\\twin", ShortcutList)) << "a sub-folder named like the product is listed too";
}

TEST_F(FolderList, LongPathsNeverOverflowTheirBuffers)
{
    struct Guarded {
        char path[PathSize];
        char guard[32];
    };
    for (size_t length = 505; length <= 511; ++length) {
        SCOPED_TRACE(length);
        Guarded buffer;
        memset(buffer.guard, '#', sizeof buffer.guard);
        std::string path = "C:\\" + std::string(length - 3, 'p');
        strcpy(buffer.path, path.c_str());
        FillFolderList(directory, directoryList, buffer.path, DirectoryList, plan);
        EXPECT_EQ(path, buffer.path);
        EXPECT_EQ(std::string(32, '#'), std::string(buffer.guard, 32)) << "guard bytes";
        std::vector<Entry> entries = Entries(directoryList.view);
        std::vector<Entry> expected = {{"........", 1}, {"Pictavo", 2}};
        EXPECT_EQ(expected, entries);
        std::string shown = Shown(102);
        EXPECT_LE(shown.size(), 511u);
        EXPECT_EQ((path + "\\Pictavo").substr(0, 511), shown);
    }
}

TEST_F(FolderList, MovesThatWouldPassTheLimitAreRefused)
{
    char path[PathSize];
    std::string start = "C:\\" + std::string(499, 'p'); // 502 characters
    strcpy(path, start.c_str());
    FillFolderList(directory, directoryList, path, DirectoryList, plan);
    EXPECT_FALSE(MoveToListedFolder(directoryList, directoryList.lastIndex, path, DirectoryList, MaxBrowsedPath))
        << "502 + \\Pictavo = 510, past the 507 that leave room for the wildcard";
    EXPECT_EQ(start, path) << "a refused move leaves the folder where it was";

    strcpy(plan.choices.productFolder, "Pic");
    FillFolderList(directory, directoryList, path, DirectoryList, plan);
    EXPECT_TRUE(MoveToListedFolder(directoryList, directoryList.lastIndex, path, DirectoryList, MaxBrowsedPath));
    EXPECT_EQ(506u, strlen(path));
    FillFolderList(directory, directoryList, path, DirectoryList, plan);
    EXPECT_FALSE(MoveToListedFolder(directoryList, directoryList.lastIndex, path, DirectoryList, MaxBrowsedPath));
    EXPECT_EQ(506u, strlen(path));
}
