#include "uninstall/uninstaller.h"
#include "base/admin_descriptor.h"
#include "installed/folder_trust.h"
#include "base/file_write.h"

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
    // Owned by Administrators; Administrators and SYSTEM full control,
    // passed on to the helper's file, and nothing inherited from the user's
    // temporary folder; no one else needs even to read it. Made here rather
    // than by Setup's maker of folder permissions, which gives Users read
    // access. Only an NT kernel has a helper that comes here: a descriptor
    // that cannot be made stops it, since the folder would otherwise take
    // the permissions of the user's temporary folder.
    const AccessGrant grants[] = {{AdministratorsSid(), FILE_ALL_ACCESS}, {LocalSystemSid(), FILE_ALL_ACCESS}};
    PSECURITY_DESCRIPTOR descriptor = MakeProtectedDescriptor(grants, 2, true, AdministratorsSid());
    if (!descriptor)
        return INVALID_HANDLE_VALUE;
    SECURITY_ATTRIBUTES security = {sizeof security, descriptor, FALSE};
    HANDLE folder = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_ALREADY_EXISTS;
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        if (!FreshName(path, temp, "", 0xFFFFFFFFu, attempt)) {
            error = ERROR_FILENAME_EXCED_RANGE;
            break;
        }
        // Fails on a name that exists, folder or link: only a folder made
        // here and now is used.
        if (!CreateDirectoryA(path, &security)) {
            error = GetLastError();
            continue;
        }
        // The user's own programs may rename the new folder away and put a
        // folder or a link of theirs at its name before it is opened: what
        // was opened is judged through its handle, owner, permissions and
        // the folder the system reached, before anything goes in. Held
        // without delete sharing until the helper has started, so that it
        // stays the folder judged.
        folder = OpenFolderUnfollowed(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL);
        if (folder == INVALID_HANDLE_VALUE) {
            error = GetLastError();
            break;
        }
        if (ReadFolderTrust(folder) != FolderTrusted) {
            CloseHandle(folder);
            folder = INVALID_HANDLE_VALUE;
            error = ERROR_ACCESS_DENIED;
        }
        break;
    }
    LocalFree(descriptor);
    SetLastError(folder == INVALID_HANDLE_VALUE ? error : ERROR_SUCCESS);
    return folder;
}
