#include "pages/folder_list.h"
#include "resources/resource_ids.h"
#include "base/dpi.h"
#include "base/system_function.h"
#include "base/text.h"
#include <commctrl.h>
#include <io.h>
#include <string.h>

const char parentEntryText[] = "........";

namespace {

// The common controls serve the browsers only. Loaded when a browser first
// opens, they add nothing to the start-up time of every run.
const char commonControls[] = "comctl32.dll";

} // namespace

void LoadCommonControls()
{
    static bool loaded;
    if (loaded)
        return;
    loaded = true;
    // The first common controls of Windows 95 know only the older call.
    auto initEx = SYSTEM_FUNCTION(commonControls, InitCommonControlsEx);
    auto init = SYSTEM_FUNCTION(commonControls, InitCommonControls);
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES};
    if (initEx)
        initEx(&classes);
    else if (init)
        init();
}

void AttachFolderIcons(FolderListView& list, HINSTANCE module)
{
    LoadCommonControls();
    auto create = SYSTEM_FUNCTION(commonControls, ImageList_Create);
    auto add = SYSTEM_FUNCTION(commonControls, ImageList_ReplaceIcon);
    if (!create || !add)
        return;
    const struct {
        WORD icon;
        int* image;
    } kinds[] = {{IDI_FOLDER, &list.folderImage}, {IDI_UP, &list.upImage}, {IDI_NEW_FOLDER, &list.newFolderImage}};
    // The icons hold each size that a common scale asks for, so none is
    // stretched from another.
    int size = ScaleToDpi(16, WindowDpi(list.view));
    HIMAGELIST icons = create(size, size, ILC_MASK, (int)(sizeof kinds / sizeof kinds[0]), 0);
    for (const auto& kind : kinds) {
        HICON icon = (HICON)LoadImageA(module, MAKEINTRESOURCEA(kind.icon), IMAGE_ICON, size, size, 0);
        *kind.image = add(icons, -1, icon);
        if (icon)
            DestroyIcon(icon);
    }
    SendMessageA(list.view, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)icons);
}

LRESULT AddFolderItem(HWND list, const char* text, int position, int image)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = position;
    item.pszText = (LPSTR)text;
    item.iImage = image;
    return SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
}

int ParentLimit(FolderListMode mode, const SetupPlan& plan)
{
    return mode == DirectoryList ? DriveRootLength : plan.choices.programsLimit;
}

void FillFolderList(HWND dialog, FolderListView& list, char (&path)[PathSize], FolderListMode mode, const SetupPlan& plan)
{
    SendMessageA(list.view, LVM_DELETEALLITEMS, 0, 0);
    int count = 0;
    size_t length = TextLength(path);
    const char* wildcard = "\\*.*";
    if ((int)length > ParentLimit(mode, plan))
        AddFolderItem(list.view, parentEntryText, count++, list.upImage);
    else if (mode == DirectoryList)
        wildcard = "*.*"; // a drive root ends with its backslash
    bool joined = wildcard[0] == '\\';

    // A path without room for the wildcard is not searched, rather than
    // searched for something else.
    if (AppendText(path, wildcard)) {
        _finddata_t found;
        intptr_t search = _findfirst(path, &found);
        if (search != -1) {
            do {
                if ((found.attrib & _A_SUBDIR) && found.name[0] != '.')
                    AddFolderItem(list.view, found.name, count++, list.folderImage);
            } while (_findnext(search, &found) == 0);
            _findclose(search);
        }
    }
    path[length] = '\0';

    list.lastIndex = count;
    AddFolderItem(list.view, plan.choices.productFolder, count, list.newFolderImage);
    char result[PathSize];
    FormatText(result, joined ? "%s\\%s" : "%s%s", path, plan.choices.productFolder);
    SetDlgItemTextA(dialog, mode == DirectoryList ? IDC_RESULT_PATH : IDC_SHORTCUT_PATH, result);
}

bool IsParentEntry(const FolderListView& list, int index)
{
    char text[16] = "";
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    return SendMessageA(list.view, LVM_GETITEMA, 0, (LPARAM)&item) && item.iImage == list.upImage &&
           strcmp(text, parentEntryText) == 0;
}

bool MoveToListedFolder(const FolderListView& list, int index, char (&path)[PathSize], FolderListMode mode,
                        size_t maxLength)
{
    size_t length = TextLength(path);
    if (IsParentEntry(list, index)) {
        char* last = strrchr(path, '\\');
        if (!last)
            return false;
        // A drive root keeps its backslash: C:\A goes up to C:\, not C:.
        size_t at = (size_t)(last - path);
        path[mode == DirectoryList && at <= DriveRootLength ? at + 1 : at] = '\0';
        return true;
    }
    char name[256] = "";
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = name;
    item.cchTextMax = 255;
    if (!SendMessageA(list.view, LVM_GETITEMA, 0, (LPARAM)&item))
        return false;
    bool joined = mode == ShortcutList || (int)length > DriveRootLength;
    if (length + (joined ? 1 : 0) + TextLength(name) > maxLength)
        return false;
    if (joined)
        AppendText(path, "\\");
    AppendText(path, name);
    return true;
}

void OpenSelectedFolder(HWND dialog, FolderListView& list, char (&path)[PathSize], FolderListMode mode,
                        size_t maxLength, const SetupPlan& plan)
{
    int index = (int)SendMessageA(list.view, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
    // A move past the longest path the browser allows is refused like an
    // over-long name: the folder stays, and the beep tells why nothing
    // happened.
    if (index >= 0 && index <= list.lastIndex && !MoveToListedFolder(list, index, path, mode, maxLength))
        MessageBeep(0xFFFFFFFF);
    FillFolderList(dialog, list, path, mode, plan);
}
