// Walks through the installer with its default choices, as a user who
// presses Enter on every screen, and keeps a picture of each screen.
// run.sh uses it when there is no display for a person to click on.
#include "harness.h"
#include "installed_names.h"
#include <cstdio>
#include <cstring>
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

// A registry value as a person reads it: text as text, numbers in
// decimal, anything else as its bytes in hex.
static std::string Readable(DWORD type, const BYTE* data, DWORD size)
{
    char number[32];
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return std::string((const char*)data, strnlen((const char*)data, size));
    case REG_MULTI_SZ: {
        std::string all;
        for (DWORD at = 0; at < size && data[at];) {
            std::string one((const char*)data + at, strnlen((const char*)data + at, size - at));
            all += (all.empty() ? "" : ", ") + one;
            at += (DWORD)one.size() + 1;
        }
        return all;
    }
    case REG_DWORD:
        if (size == 4) {
            DWORD value = data[0] | data[1] << 8 | data[2] << 16 | (DWORD)data[3] << 24;
            std::snprintf(number, sizeof number, "%lu", (unsigned long)value);
            return number;
        }
        break;
    case REG_QWORD:
        if (size == 8) {
            unsigned long long value = 0;
            for (int i = 7; i >= 0; --i)
                value = value << 8 | data[i];
            std::snprintf(number, sizeof number, "%llu", value);
            return number;
        }
        break;
    }
    std::string bytes = "(bytes)";
    for (DWORD i = 0; i < size; ++i) {
        std::snprintf(number, sizeof number, " %02x", data[i]);
        bytes += number;
    }
    return bytes;
}

static void ListValues(const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        std::printf("HKLM\\%s does not exist.\n", path.c_str());
        return;
    }
    std::printf("HKLM\\%s holds:\n", path.c_str());
    char name[256];
    BYTE data[1024];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, NULL, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        std::printf("  %-16s %s\n", nameSize ? name : "(default)", Readable(type, data, dataSize).c_str());
    }
    RegCloseKey(key);
}

int main()
{
    try {
        Installer setup;
        HWND main = setup.WaitWindow("SETUP", "main window");
        // The screen that takes input: a page, or a message box over it.
        // Pages are disabled while a box is up, the main window while a
        // page is. Twenty screens are more than a run with defaults shows.
        for (int screens = 1; screens <= 20; ++screens) {
            auto takesInput = [&](HWND w) { return w != main && IsWindowEnabled(w); };
            HWND window = NULL;
            DWORD start = GetTickCount();
            while (!(window = setup.FindWindowWhere(takesInput)) && !setup.Ended() &&
                   GetTickCount() - start < 30000)
                Sleep(25);
            if (!window)
                break; // the installer ended, or shows nothing more to answer
            std::string title = Text(window);
            std::string name = title.empty() ? "page" : title;
            for (char& c : name)
                if (!isalnum((unsigned char)c))
                    c = '-';
            std::printf("screen %d: '%s'\n  %s\n", screens, title.c_str(), setup.Shot(name).c_str());
            setup.Key(window, "Return", "accept '" + title + "'");
            start = GetTickCount();
            while (IsWindow(window) && IsWindowVisible(window) && IsWindowEnabled(window) &&
                   GetTickCount() - start < 60000)
                Sleep(25);
        }
        DWORD code = setup.WaitExit("installer ends");
        std::printf("The installer ended with exit code %lu.\n", (unsigned long)code);
        ListFolder("C:\\Program files\\Pictavo");
        ListFolder(std::string(installed::ntPrograms) + "\\Pictavo");
        ListValues(installed::UninstallEntry(installed::ntBranch));
        ListValues(installed::UninstallEntry(installed::windowsBranch));
        ListValues(installed::appPaths);
        return 0;
    } catch (const std::exception& failure) {
        std::printf("walkthrough failed: %s\n", failure.what());
        return 1;
    }
}
