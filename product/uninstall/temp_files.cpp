#include "uninstall/uninstaller.h"

// A folder inside the product folder (an odd TEMP) would put the helper
// where it must not be, so the Windows folder is taken then.
bool TempFolder(char (&out)[PathBuffer], const char* programDir)
{
    DWORD length = GetTempPathA(PathBuffer, out);
    if (length == 0 || length >= PathBuffer) {
        out[0] = '\0';
        return false;
    }
    if (length > 3 && out[length - 1] == '\\')
        out[length - 1] = '\0';
    size_t dirLength = TextLength(programDir);
    bool inside = programDir[0] && CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, out, (int)dirLength,
                                                  programDir, (int)dirLength) == CSTR_EQUAL &&
                  (out[dirLength] == '\\' || out[dirLength] == '\0');
    if (inside) {
        length = GetWindowsDirectoryA(out, PathBuffer);
        if (length == 0 || length >= PathBuffer) {
            out[0] = '\0';
            return false;
        }
    }
    return true;
}

// Open for writing and shared with nobody. The folder is the user's: a
// name chosen there by another program, or a file reopened by name, could
// be a link that makes this elevated program write elsewhere. mask keeps
// the name short where it must be.
HANDLE CreateFreshFile(char (&path)[PathBuffer], const char* temp, const char* extension, DWORD mask,
                       DWORD attributes)
{
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        DWORD unique = (GetTickCount() ^ (GetCurrentProcessId() << 16) ^ (attempt * 0x9E3779B1u)) & mask;
        if (!FormatText(path, "%s\\pvu%x%s", temp, (unsigned)unique, extension))
            break;
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, attributes, NULL);
        if (file != INVALID_HANDLE_VALUE)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const void* data, DWORD length)
{
    DWORD written = 0;
    return WriteFile(file, data, length, &written, NULL) && written == length;
}
