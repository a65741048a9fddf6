#include "uninstall/uninstaller.h"
#include "base/file_write.h"
#include "base/system_function.h"
#include <sddl.h>

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
bool FreshName(char (&path)[PathBuffer], const char* temp, const char* extension, DWORD mask, DWORD attempt)
{
    DWORD unique = (GetTickCount() ^ (GetCurrentProcessId() << 16) ^ (attempt * 0x9E3779B1u)) & mask;
    return FormatText(path, "%s\\pvu%x%s", temp, (unsigned)unique, extension);
}

namespace {

struct FreshNameParts {
    const char* temp;
    const char* extension;
    DWORD mask;
};

bool ComposeFreshName(char* path, size_t size, DWORD attempt, const void* context)
{
    const FreshNameParts& parts = *(const FreshNameParts*)context;
    char name[PathBuffer];
    return FreshName(name, parts.temp, parts.extension, parts.mask, attempt) && CopyTextN(path, size, name);
}

} // namespace

HANDLE CreateFreshFile(char (&path)[PathBuffer], const char* temp, const char* extension, DWORD mask,
                       DWORD attributes)
{
    const FreshNameParts parts = {temp, extension, mask};
    const FreshFileRequest request = {ComposeFreshName, &parts, GENERIC_WRITE, 0, attributes, 100};
    return ::CreateFreshFile(path, request);
}

HANDLE CreateHelperFolder(char (&path)[PathBuffer], const char* temp)
{
    // Administrators and SYSTEM full control, passed on to the helper's
    // file, and nothing inherited from the user's temporary folder; no one
    // else needs even to read it. Built late: the 9x family has neither the
    // function nor a use for it. Made here rather than by Setup's maker of
    // folder permissions, which gives Users read access and declines when
    // the reported version is of the 9x family: a layer posing as Windows 98
    // on an NT kernel still needs the helper.
    auto describe = SYSTEM_FUNCTION("advapi32.dll", ConvertStringSecurityDescriptorToSecurityDescriptorA);
    PSECURITY_DESCRIPTOR descriptor = NULL;
    if (!describe || !describe("D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)", SDDL_REVISION_1, &descriptor, NULL)) {
        // A system that says it has no security at all (Wine posing as
        // Windows 98 does) has no permissions to set: the folder is then
        // as closed as anything on it. Any other failure stops the helper.
        if (!describe || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
            return INVALID_HANDLE_VALUE;
        descriptor = NULL;
    }
    SECURITY_ATTRIBUTES security = {sizeof security, descriptor, FALSE};
    HANDLE folder = INVALID_HANDLE_VALUE;
    for (DWORD attempt = 0; attempt < 100 && folder == INVALID_HANDLE_VALUE; ++attempt) {
        if (!FreshName(path, temp, "", 0xFFFFFFFFu, attempt))
            break;
        // Fails on a name that exists, folder or link: only a folder made
        // here and now is used.
        if (!CreateDirectoryA(path, &security))
            continue;
        // Held without delete sharing until the helper has started: while
        // it is open nobody can rename it away and put another folder in
        // its place.
        folder = CreateFileA(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
        BY_HANDLE_FILE_INFORMATION info;
        if (folder != INVALID_HANDLE_VALUE &&
            (!GetFileInformationByHandle(folder, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
             !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))) {
            CloseHandle(folder);
            folder = INVALID_HANDLE_VALUE;
            break;
        }
        if (folder == INVALID_HANDLE_VALUE)
            RemoveDirectoryA(path);
    }
    DWORD error = GetLastError();
    if (descriptor)
        LocalFree(descriptor);
    SetLastError(error);
    return folder;
}
