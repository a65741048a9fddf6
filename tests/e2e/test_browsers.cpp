// The two folder browsers, driven with real double clicks and keys.
#include "flows.h"
#include "installation.h"
#include <gtest/gtest.h>
#include <algorithm>

using namespace e2e;

namespace {

const char browserTitle[] = "Setup - directory";

std::vector<std::string> Texts(const std::vector<Installer::ListItem>& items)
{
    std::vector<std::string> texts;
    for (const auto& item : items)
        texts.push_back(item.text);
    std::sort(texts.begin(), texts.end());
    return texts;
}

// The combo box lists the drives in the system's order.
int DriveIndex(char letter)
{
    char roots[128] = "";
    GetLogicalDriveStringsA(sizeof roots - 1, roots);
    int index = 0;
    for (const char* root = roots; *root; root += strlen(root) + 1, ++index)
        if (toupper(root[0]) == letter)
            return index;
    return -1;
}

struct Browser {
    Installer& setup;
    HWND page;
    HWND window;
    HWND list;

    Browser(Installer& setup, HWND destinationPage) : setup(setup), page(destinationPage)
    {
        setup.Click(setup.Button(page, "Browse", "browse"), "press Browse");
        window = setup.WaitWindow(browserTitle, "directory browser");
        list = setup.Control(window, 107, "folder list");
    }
    std::string Path() { return setup.ControlText(window, 102); }
    std::string FreeSpace() { return setup.ControlText(window, 103); }
    std::vector<std::string> Items() { return Texts(setup.ListItems(list, "read the list")); }
    void Open(const std::string& name)
    {
        setup.DoubleClickItem(window, 107, setup.ListItemIndex(list, name, "find " + name), "double-click " + name);
    }
    void PickDrive(char letter)
    {
        HWND combo = setup.Control(window, 104, "drives");
        int target = DriveIndex(letter);
        ASSERT_GE(target, 0) << letter;
        int current = (int)SendMessageA(combo, CB_GETCURSEL, 0, 0);
        setup.Click(combo, "open the drive list");
        for (; current < target; ++current)
            setup.Key(combo, "Down", "next drive");
        for (; current > target; --current)
            setup.Key(combo, "Up", "previous drive");
        setup.Key(combo, "Return", "choose the drive");
    }
};

} // namespace

TEST(DirectoryBrowser, OpensOnTheChosenDriveAndWalksIntoFoldersAndBack)
{
    Installer setup;
    HWND page = ReachDestinationPage(setup);
    Browser browser(setup, page);
    EXPECT_EQ("C:\\", setup.ControlText(browser.window, 104));
    EXPECT_EQ("Pictavo", setup.ControlText(browser.window, 105));
    EXPECT_EQ("C:\\Program files\\Pictavo", browser.Path());
    std::string line = browser.FreeSpace();
    ULARGE_INTEGER available, total, free;
    GetDiskFreeSpaceExA("C:\\", &available, &total, &free);
    unsigned long shown = 0;
    ASSERT_EQ(1, sscanf(line.c_str(), " Available: %lu KB, Required: 614 KB", &shown)) << line;
    EXPECT_EQ(0u, line.find(" Available: ")) << "with its leading blank";
    EXPECT_NEAR((double)(available.QuadPart / 1000), (double)shown, 50000.0) << "the host's disk drifts a little";

    Screen screen;
    setup.Shot("directory-browser", &screen);
    // The three pictures, by entry: up arrow, yellow folder, green folder.
    std::vector<Installer::ListItem> items = setup.ListItems(browser.list, "read the list");
    // The product folder may also exist here already: the entry is the one
    // with the third picture.
    auto index = [&](const std::string& name, int image) {
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].text == name && items[i].image == image)
                return (int)i;
        return -1;
    };
    auto itemPixels = [&](const std::string& name, int image, COLORREF colour) {
        int at = index(name, image);
        EXPECT_GE(at, 0) << name;
        RECT r = setup.ListItemRect(browser.list, at, name);
        int count = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left - 20; x < r.left; ++x)
                count += screen.At(x, y) == colour;
        return count;
    };
    EXPECT_GT(itemPixels("........", 1, RGB(0, 0, 0)), 40) << "black up arrow";
    EXPECT_EQ(0, itemPixels("........", 1, RGB(255, 255, 0)));
    EXPECT_GT(itemPixels("Common Files", 0, RGB(255, 255, 0)), 40) << "yellow folder";
    EXPECT_EQ(0, itemPixels("Common Files", 0, RGB(0, 255, 0)));
    EXPECT_GT(itemPixels("Pictavo", 2, RGB(0, 255, 0)), 40) << "green folder";
    EXPECT_EQ(0, itemPixels("Pictavo", 2, RGB(255, 255, 0)));

    browser.PickDrive('D');
    EXPECT_EQ("D:\\Pictavo", browser.Path());
    EXPECT_EQ((std::vector<std::string>{"(old)", "Alpha", "Pictavo", "Zed", "beta"}), browser.Items())
        << "no parent entry at a root, no folder that begins with a full stop";
    browser.Open("Alpha");
    EXPECT_EQ("D:\\Alpha\\Pictavo", browser.Path());
    EXPECT_EQ((std::vector<std::string>{"........", "Pictavo"}), browser.Items());
    browser.Open("........");
    EXPECT_EQ("D:\\Pictavo", browser.Path());

    browser.Open("Pictavo");
    EXPECT_EQ("D:\\Pictavo\\Pictavo", browser.Path()) << "into a folder that does not exist yet";
    EXPECT_EQ((std::vector<std::string>{"........", "Pictavo"}), browser.Items());
    browser.Open("........");

    // "(old)" may sort ahead of the parent entry: it is still entered, and
    // the parent entry still leads up.
    browser.Open("(old)");
    EXPECT_EQ("D:\\(old)\\Pictavo", browser.Path());
    EXPECT_EQ((std::vector<std::string>{"........", "Pictavo", "inner"}), browser.Items());
    browser.Open("........");
    EXPECT_EQ("D:\\Pictavo", browser.Path());

    // Cancel keeps where the user went; Next installs there.
    browser.Open("Alpha");
    setup.Click(setup.Button(browser.window, "Cancel", "cancel"), "press Cancel");
    setup.WaitGone(browser.window, "browser closes");
    EXPECT_EQ("D:\\Alpha\\Pictavo", setup.ControlText(page, 101));
    RemoveTree("D:\\Alpha\\Pictavo");
    setup.Click(setup.Button(page, "Next", "next"), "press Next");
    FinishAfterCopy(setup);
    EXPECT_TRUE(FileExists("D:\\Alpha\\Pictavo\\pictavo.exe"));
}

TEST(DirectoryBrowser, FreeSpaceDecidesWhetherOKCloses)
{
    if (DriveIndex('F') < 0 || DriveIndex('G') < 0)
        GTEST_SKIP() << "no small disks: mounting a tmpfs needs root";
    Installer setup;
    HWND page = ReachDestinationPage(setup);
    Browser browser(setup, page);
    browser.PickDrive('G');
    EXPECT_EQ(" Available: 524 KB, Required: 614 KB", browser.FreeSpace());
    setup.Click(setup.Button(browser.window, "OK", "ok"), "press OK");
    MessageBoxInfo error = setup.WaitMessageBox("Error", "low space");
    EXPECT_EQ("You do not have enough Free disk space on this drive for installation. Change the drive or remove "
              "some other program-s to free more disk space.",
              error.text);
    EXPECT_EQ((std::vector<std::string>{"&Yes", "&No"}), error.buttons);
    setup.Shot("low-space-in-browser");
    setup.Answer(error, "Yes", "answer Yes");
    EXPECT_TRUE(IsWindowVisible(browser.window)) << "Yes keeps the browser";
    setup.Click(setup.Button(browser.window, "OK", "ok"), "press OK again");
    setup.Answer(setup.WaitMessageBox("Error", "low space again"), "No", "answer No");
    EXPECT_TRUE(IsWindowVisible(browser.window)) << "No keeps the browser";

    browser.PickDrive('F');
    EXPECT_EQ(" Available: 614 KB, Required: 614 KB", browser.FreeSpace());
    setup.Click(setup.Button(browser.window, "OK", "ok"), "press OK");
    setup.WaitGone(browser.window, "614 is enough: the browser closes");
    EXPECT_EQ("F:\\Pictavo", setup.ControlText(page, 101));
    CancelSetup(setup, page);
}

// The name box makes a folder that Setup creates as administrator: it
// takes fewer than a hundred characters, is never empty, and a name that
// climbs out of the folder shown is refused in the browser; the page
// refuses the same folder composed in its box.
TEST(DirectoryBrowser, TheNameIsShortNotEmptyAndNoParentFolderInTheBrowserOrOnThePage)
{
    const char invalidName[] = "This is not a valid folder name.\n"
                               "A folder name cannot contain any of the characters < > : \" / | ? *\n"
                               "and cannot end with a dot or a space.";
    const std::set<std::string> windowsBefore = NamesIn("C:\\windows");
    Installer setup;
    RemoveRegistration();
    HWND page = ReachDestinationPage(setup);
    {
        Browser browser(setup, page);
        std::string name(99, 'n');
        setup.TypeInto(browser.window, 105, name, "type 99 characters");
        EXPECT_EQ(name, setup.ControlText(browser.window, 105));
        setup.Type(setup.Control(browser.window, 105, "name"), "x", "type a 100th");
        EXPECT_EQ(name, setup.ControlText(browser.window, 105)) << "the 100th character is refused";

        setup.TypeInto(browser.window, 105, "", "empty the name");
        setup.Click(setup.Button(browser.window, "OK", "ok"), "press OK");
        MessageBoxInfo warning = setup.WaitMessageBox("Warning", "empty name");
        EXPECT_EQ("You forget to select a directory", warning.text);
        setup.Answer(warning, "OK", "close the warning");
        GUITHREADINFO focus = {};
        focus.cbSize = sizeof focus;
        GetGUIThreadInfo(GetWindowThreadProcessId(browser.window, NULL), &focus);
        EXPECT_EQ(setup.Control(browser.window, 105, "name"), focus.hwndFocus) << "the focus goes back to the name";

        setup.TypeInto(browser.window, 105, "Painter", "name it Painter");
        setup.Click(setup.Button(browser.window, "OK", "ok"), "press OK");
        setup.WaitGone(browser.window, "browser closes");
        EXPECT_EQ("C:\\Program files\\Painter", setup.ControlText(page, 101));
    }

    Browser browser(setup, page);
    setup.TypeInto(browser.window, 105, "..\\Windows", "type ..\\Windows");
    setup.Click(setup.Button(browser.window, "OK", "ok"), "press OK");
    MessageBoxInfo warning = setup.WaitMessageBox("Pictavo - Setup", "the name is refused");
    setup.Shot("parent-name-in-browser");
    EXPECT_EQ(invalidName, warning.text);
    setup.Answer(warning, "OK", "close the warning");
    EXPECT_TRUE(IsWindowVisible(browser.window)) << "the browser stays";

    // Cancel keeps the name, as it keeps every choice.
    setup.Click(setup.Button(browser.window, "Cancel", "cancel"), "press Cancel");
    setup.WaitGone(browser.window, "browser closes");
    EXPECT_EQ("C:\\Program files\\..\\Windows", setup.ControlText(page, 101));
    setup.Click(setup.Button(page, "Next", "next"), "press Next");
    warning = setup.WaitMessageBox("Pictavo - Setup", "the composed folder is refused");
    setup.Shot("parent-name-on-page");
    EXPECT_EQ(invalidName, warning.text);
    setup.Answer(warning, "OK", "close the warning");
    EXPECT_TRUE(IsWindowVisible(page)) << "the page stays";
    CancelSetup(setup, page);
    EXPECT_EQ(windowsBefore, NamesIn("C:\\windows")) << "nothing written into the Windows folder";
    EXPECT_FALSE(RegistryKeyExists(setup, installed::appPaths));
}

namespace {

// The Shortcut page, with the destination removed first, so that no
// question about an existing folder comes; productName renames the
// product folder in the Directory browser on the way.
HWND ReachFreshShortcutPage(Installer& setup, const char* productName = nullptr)
{
    HWND page = ReachDestinationPage(setup);
    if (productName) {
        Browser browser(setup, page);
        setup.TypeInto(browser.window, 105, productName, "name the product folder");
        setup.Click(setup.Button(browser.window, "OK", "ok"), "press OK");
        setup.WaitGone(browser.window, "browser closes");
    }
    RemoveTree(setup.ControlText(page, 101));
    setup.Click(setup.Button(page, "Next", "next"), "press Next");
    return WaitShortcutPage(setup);
}

struct ShortcutBrowser {
    Installer& setup;
    HWND window;
    HWND list;

    ShortcutBrowser(Installer& setup, HWND page) : setup(setup)
    {
        setup.Click(setup.Button(page, "Browse", "browse"), "press Browse");
        // Its caption is empty, like many of Wine's own windows: it is the
        // dialog that the Shortcut page owns.
        window = setup.WaitWindowWhere([&](HWND w) { return GetWindow(w, GW_OWNER) == page; }, "shortcut browser");
        list = setup.Control(window, 212, "folder list");
    }
    std::string Path() { return setup.ControlText(window, 211); }
    bool HasParentEntry()
    {
        for (const auto& item : setup.ListItems(list, "read the list"))
            if (item.text == "........" && item.image == 1)
                return true;
        return false;
    }
    void Open(const std::string& name, int image = -1)
    {
        std::vector<Installer::ListItem> items = setup.ListItems(list, "read the list");
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i].text == name && (image < 0 || items[i].image == image)) {
                setup.DoubleClickItem(window, 212, (int)i, "double-click " + name);
                return;
            }
        }
        setup.Fail("open " + name, "no such entry");
    }
};

// Finish in a shortcut folder that the browser reached: success, and the
// three links in the folder that the page shows. The browser stops where
// the folder and its longest link still fit, so no folder that it reaches
// is one that the page could only refuse.
void FinishInBrowsedFolder(Installer& setup, HWND page)
{
    std::string folder = setup.ControlText(page, 101);
    setup.Click(setup.Button(page, "Finish", "finish"), "press Finish");
    ExpectSuccessMessage(setup);
    for (const installed::Link& link : installed::links)
        EXPECT_TRUE(FileExists(folder + "\\" + link.file)) << folder << "\\" << link.file;
    CloseShortcutFolderWindow(setup);
}

} // namespace

// Cancel keeps the folder the browser reached, and the browser opens
// there again; the product entry leads into folders that do not exist yet.
// The browser stops where the folder and its longest link still fit, so
// no folder that it reaches is one that Finish could only refuse.
TEST(ShortcutBrowser, ClimbsNoHigherThanTheStartMenuAndEveryFolderItReachesGetsTheLinks)
{
    // A folder whose path comes within a few characters of what the system
    // allows for a folder and its links.
    std::string programs = installed::ntPrograms;
    std::string deep = programs + "\\" + std::string(232 - programs.size() - 1, 'L');
    RemoveTree(deep);
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), NULL)) << deep;
    CreateDirectoryA((programs + "\\Paint Tools").c_str(), NULL);
    RemoveTree(programs + "\\Paint Tools\\Pictavo");
    RemoveTree(programs + "\\Pictavo");
    Installer setup;
    HWND page = ReachFreshShortcutPage(setup);
    {
        ShortcutBrowser browser(setup, page);
        EXPECT_EQ(programs + "\\Pictavo", browser.Path());
        EXPECT_TRUE(browser.HasParentEntry());
        setup.Shot("shortcut-browser");
        browser.Open("........");
        EXPECT_EQ("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Pictavo", browser.Path());
        EXPECT_FALSE(browser.HasParentEntry()) << "the Start menu is as high as it goes";
        browser.Open("Programs");
        EXPECT_TRUE(browser.HasParentEntry());
        browser.Open("Paint Tools");
        EXPECT_EQ(programs + "\\Paint Tools\\Pictavo", browser.Path());
        setup.Click(setup.Button(browser.window, "Cancel", "cancel"), "press Cancel");
        setup.WaitGone(browser.window, "browser closes");
        EXPECT_EQ(programs + "\\Paint Tools\\Pictavo", setup.ControlText(page, 101));
    }
    {
        ShortcutBrowser browser(setup, page);
        EXPECT_EQ(programs + "\\Paint Tools\\Pictavo", browser.Path());
        browser.Open("........");
        browser.Open("Pictavo", 2);
        browser.Open("Pictavo", 2);
        setup.Click(setup.Button(browser.window, "OK", "ok"), "press OK");
        setup.WaitGone(browser.window, "browser closes");
        EXPECT_EQ(programs + "\\Pictavo\\Pictavo\\Pictavo", setup.ControlText(page, 101));
    }
    ShortcutBrowser browser(setup, page);
    browser.Open("........");
    browser.Open("........");
    EXPECT_EQ(programs + "\\Pictavo", browser.Path());
    browser.Open(deep.substr(programs.size() + 1));
    browser.Open("Pictavo", 2);
    browser.Open("Pictavo", 2);
    setup.Shot("deepest-reached");
    setup.Click(setup.Button(browser.window, "OK", "ok"), "press OK");
    setup.WaitGone(browser.window, "browser closes");
    FinishInBrowsedFolder(setup, page);
    RemoveTree(deep);
    RemoveTree(programs + "\\Pictavo");
}

TEST(ShortcutBrowser, TheProductFolderEntryIsEnteredAndARenamedProductShows)
{
    std::string programs = installed::ntPrograms;
    Installer setup;
    HWND page = ReachFreshShortcutPage(setup, "Painter");
    EXPECT_EQ(programs + "\\Pictavo", setup.ControlText(page, 101)) << "the page always appends Pictavo";
    ShortcutBrowser browser(setup, page);
    EXPECT_EQ(programs + "\\Painter", browser.Path()) << "the browser shows the product folder's name";
    browser.Open("Painter", 2);
    EXPECT_EQ(programs + "\\Painter\\Painter", browser.Path());
    setup.Click(setup.Button(browser.window, "OK", "ok"), "press OK");
    setup.WaitGone(browser.window, "browser closes");
    EXPECT_EQ(programs + "\\Painter\\Pictavo", setup.ControlText(page, 101));
    setup.Key(page, "Escape", "cancel the shortcuts");
    setup.Answer(setup.WaitMessageBox("Confirmation", "cancel question"), "Yes", "yes");
    ExpectSuccessMessage(setup);
}

TEST(ShortcutBrowserWin98, TheWindowsFoldersStartMenuIsTheLimit)
{
    if (installed::NtFamily())
        GTEST_SKIP() << "Wine reports no 9x version to a 64-bit program, and the NT family's Start menu is the shell's";
    Installer setup;
    HWND page = ReachFreshShortcutPage(setup);
    ShortcutBrowser browser(setup, page);
    EXPECT_EQ("C:\\windows\\Start Menu\\Programs\\Pictavo", browser.Path());
    EXPECT_TRUE(browser.HasParentEntry());
    browser.Open("........");
    EXPECT_EQ("C:\\windows\\Start Menu\\Pictavo", browser.Path());
    EXPECT_FALSE(browser.HasParentEntry()) << "21 characters: no higher";
    browser.Open("Programs");
    browser.Open("Accessories");
    EXPECT_EQ("C:\\windows\\Start Menu\\Programs\\Accessories\\Pictavo", browser.Path());
    setup.Key(browser.window, "Return", "Enter presses OK");
    setup.WaitGone(browser.window, "browser closes");
    EXPECT_EQ("C:\\windows\\Start Menu\\Programs\\Accessories\\Pictavo", setup.ControlText(page, 101));
    setup.Key(page, "Escape", "cancel the shortcuts");
    setup.Answer(setup.WaitMessageBox("Confirmation", "cancel question"), "Yes", "yes");
    ExpectSuccessMessage(setup);
}
