// Tells the user which folders to delete to remove Pictavo. Setup records
// them under the product's Uninstall key, which may sit in the "Windows NT"
// or in the "Windows" branch, so both are asked, in that order.
#include <windows.h>

namespace {

const char* const kUninstallKeys[] = {
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Uninstall\\Pictavo",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pictavo",
};

void Append(char* dst, int size, const char* text)
{
    int length = lstrlenA(dst);
    lstrcpynA(dst + length, text, size - length);
}

// Registry strings need not end in a zero byte, so one is always added.
bool ReadString(HKEY key, const char* name, char* out, DWORD size)
{
    DWORD type = 0;
    DWORD bytes = size - 1;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)out, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        out[0] = 0;
        return false;
    }
    out[bytes < size ? bytes : size - 1] = 0;
    return out[0] != 0;
}

void ReadFolders(char* programDir, char* shortcutDir, DWORD size)
{
    programDir[0] = shortcutDir[0] = 0;
    for (const char* path : kUninstallKeys) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            continue;
        bool found = ReadString(key, "Progdir", programDir, size);
        found = ReadString(key, "Scdir", shortcutDir, size) || found;
        RegCloseKey(key);
        if (found)
            return;
    }
}

// This program is installed in the program folder, so its own folder is
// the right answer when Setup left no record.
void OwnFolder(char* folder, DWORD size)
{
    DWORD length = GetModuleFileNameA(NULL, folder, size);
    if (length == 0 || length >= size) {
        folder[0] = 0;
        return;
    }
    char* cut = folder;
    for (char* p = folder; *p; p++)
        if (*p == '\\')
            cut = p;
    *cut = 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char programDir[MAX_PATH];
    char shortcutDir[MAX_PATH];
    ReadFolders(programDir, shortcutDir, MAX_PATH);
    if (!programDir[0])
        OwnFolder(programDir, MAX_PATH);

    char text[4 * MAX_PATH];
    text[0] = 0;
    Append(text, sizeof text, "To remove Pictavo from this computer:\r\n\r\n"
                              "1. Close Pictavo if it is running.\r\n\r\n"
                              "2. Move any pictures you want to keep out of its PvFiles folder.\r\n\r\n"
                              "3. Delete the program folder and everything in it:\r\n        ");
    Append(text, sizeof text, programDir[0] ? programDir : "the folder where Pictavo was installed");
    Append(text, sizeof text, "\r\n\r\n4. Delete the Start menu folder with its shortcuts:\r\n        ");
    Append(text, sizeof text, shortcutDir[0] ? shortcutDir : "Programs\\Pictavo in the Start menu");
    MessageBoxA(NULL, text, "Pictavo - Uninstall", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
    return 0;
}
