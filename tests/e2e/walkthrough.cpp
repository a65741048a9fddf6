// Walks through the installer with its default choices, as a user who
// presses Enter on every screen, and keeps a picture of each screen.
// run.sh uses it when there is no display for a person to click on.
#include "harness.h"
#include <cstdio>
#include <set>
#include <stdexcept>

using namespace e2e;

// What the run left in a folder, as a person would look it up.
static void ListFolder(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        std::printf("%s does not exist.\n", folder.c_str());
        return;
    }
    std::printf("%s holds:\n", folder.c_str());
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            std::printf("  %-16s folder\n", name.c_str());
        else
            std::printf("  %-16s %lu bytes\n", name.c_str(), (unsigned long)found.nFileSizeLow);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

int main()
{
    try {
        Installer setup;
        HWND main = setup.WaitWindow("SETUP", "main window");
        std::set<HWND> seen = {main};
        int screens = 0;
        for (;;) {
            HWND window = NULL;
            try {
                window = setup.WaitWindowWhere([&](HWND w) { return !seen.count(w); }, "next screen", 30000);
            } catch (const std::runtime_error&) {
                break; // the installer ended
            }
            seen.insert(window);
            std::string title = Text(window);
            std::string name = title.empty() ? "page" : title;
            for (char& c : name)
                if (!isalnum((unsigned char)c))
                    c = '-';
            std::printf("screen %d: '%s'\n  %s\n", ++screens, title.c_str(), setup.Shot(name).c_str());
            setup.Key(window, "Return", "accept '" + title + "'");
            setup.WaitGone(window, "'" + title + "' closes", 60000);
        }
        DWORD code = setup.WaitExit("installer ends");
        std::printf("The installer ended with exit code %lu.\n", (unsigned long)code);
        ListFolder("C:\\Program files\\Pictavo");
        return 0;
    } catch (const std::exception& failure) {
        std::printf("walkthrough failed: %s\n", failure.what());
        return 1;
    }
}
