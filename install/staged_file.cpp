#include "install/staged_file.h"
#include "base/crc32.h"
#include "base/file_write.h"
#include "base/folder_path.h"
#include "base/nine_x_kernel.h"
#include "base/system_function.h"
#include "base/text.h"
#include <string.h>

// The 9x family has no delete sharing, no replacing rename and no links.
// The kernel decides what it can do, not the version it reports: posing as
// 9x on an NT kernel, a link would still be followed.

namespace {

const char stagedPrefix[] = "~pv";
const char stagedSuffix[] = ".new";

// Up to eight hexadecimal digits from text; the count read, 0 when none.
size_t HexDigits(const char* text)
{
    size_t count = 0;
    while (count < 9 && ((text[count] >= '0' && text[count] <= '9') || (text[count] >= 'a' && text[count] <= 'f')))
        ++count;
    return count <= 8 ? count : 0;
}

// Whether folder names, without following a link, the folder that held is
// open on. The 9x family cannot hold a folder open and has no links: there
// the name alone serves.
bool IsHeldFolder(const char* folder, HANDLE held)
{
    if (RunsOnNineXKernel())
        return true;
    if (held == INVALID_HANDLE_VALUE || held == NULL)
        return false;
    HANDLE named = CreateFileA(folder, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (named == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool same = GetFileInformationByHandle(named, &info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                SameEntry(named, held);
    CloseHandle(named);
    return same;
}

} // namespace

DWORD DeleteSharingOnly()
{
    return RunsOnNineXKernel() ? 0 : FILE_SHARE_DELETE;
}

bool IsStagedName(const char* name)
{
    if (strncmp(name, stagedPrefix, sizeof stagedPrefix - 1) != 0)
        return false;
    const char* at = name + sizeof stagedPrefix - 1;
    size_t digits = HexDigits(at);
    return digits && strcmp(at + digits, stagedSuffix) == 0;
}

bool CreateStagedFile(const char* folder, StagedFile& staged)
{
    // CREATE_NEW steps over every name that is taken, by a file that a
    // killed run left, by another run's, or by anything else, which is
    // never opened. The names stay short: the product file's name must fit
    // wherever a staged one does.
    for (unsigned serial = 0; serial < 256; ++serial) {
        char name[16];
        FormatText(name, "%s%x%s", stagedPrefix, serial, stagedSuffix);
        if (!CopyText(staged.path, folder) || !AppendText(staged.path, "\\") || !AppendText(staged.path, name)) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return false;
        }
        staged.file = CreateFileA(staged.path, GENERIC_READ | GENERIC_WRITE | DELETE, DeleteSharingOnly(), NULL,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (staged.file != INVALID_HANDLE_VALUE)
            return true;
        DWORD error = GetLastError();
        // A folder or a read-only file of that name refuses with access denied.
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED)
            return false;
    }
    return false;
}

bool StagedFileReadsBackAs(const StagedFile& staged, uint32_t length, uint32_t digest)
{
    // What a power cut after the rename must still find.
    if (!FlushFileBuffers(staged.file) || GetFileSize(staged.file, NULL) != length)
        return false;
    // Large reads: the check may cost little next to the expansion.
    static unsigned char buffer[64 * 1024];
    if (SetFilePointer(staged.file, 0, NULL, FILE_BEGIN) != 0)
        return false;
    uint32_t crc = 0;
    DWORD read = 0, total = 0;
    do {
        if (!ReadFile(staged.file, buffer, sizeof buffer, &read, NULL))
            return false;
        crc = Crc32(crc, buffer, read);
        total += read;
    } while (read > 0);
    return total == length && crc == digest;
}

bool CommitStagedFile(StagedFile& staged, const char* target, HANDLE& held)
{
    bool taken;
    if (RunsOnNineXKernel()) {
        // Neither file may be open for the delete and the rename.
        if (held)
            CloseHandle(held);
        held = NULL;
        CloseHandle(staged.file);
        staged.file = INVALID_HANDLE_VALUE;
        DWORD attributes = GetFileAttributesA(target);
        taken = (attributes == INVALID_FILE_ATTRIBUTES || DeleteFileA(target)) && MoveFileA(staged.path, target);
        if (!taken)
            DeleteFileA(staged.path);
        return taken;
    }
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    taken = MoveFileExA(staged.path, target, flags);
    if (!taken && held) {
        // A system that refuses to replace a file open anywhere, even with
        // delete sharing, gets it let go at the last moment.
        CloseHandle(held);
        held = NULL;
        taken = MoveFileExA(staged.path, target, flags);
    }
    DWORD error = GetLastError();
    if (held)
        CloseHandle(held);
    held = NULL;
    if (taken) {
        CloseHandle(staged.file);
        staged.file = INVALID_HANDLE_VALUE;
    }
    SetLastError(error);
    return taken;
}

void DiscardStagedFile(StagedFile& staged)
{
    if (staged.file == INVALID_HANDLE_VALUE)
        return;
    DWORD error = GetLastError();
    bool marked = MarkForRemoval(staged.file);
    CloseHandle(staged.file);
    staged.file = INVALID_HANDLE_VALUE;
    // Systems without the call remove it by name: the 9x family, which
    // has no links, and the NT family before Vista, where only
    // administrators may write into the product folder.
    if (!marked)
        DeleteFileA(staged.path);
    SetLastError(error);
}

int RemoveStagedLeftovers(const char* folder, HANDLE heldFolder, const RunLog& log)
{
    if (!IsHeldFolder(folder, heldFolder)) {
        LogLine(log, "Leftovers not looked for: %s is not the folder Setup holds", folder);
        return 0;
    }
    char pattern[PathSize];
    if (!CopyText(pattern, folder) || !AppendText(pattern, "\\~pv*.new"))
        return 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int removed = 0;
    do {
        // The search matches short names too: only the long name counts.
        char path[PathSize];
        if (!IsStagedName(found.cFileName) || (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
            !CopyText(path, folder) || !AppendText(path, "\\") || !AppendText(path, found.cFileName))
            continue;
        // Sharing nothing: a file that a running Setup still writes is not touched.
        HANDLE file = CreateFileA(path, DELETE | FILE_READ_ATTRIBUTES, 0, NULL, OPEN_EXISTING,
                                  RunsOnNineXKernel() ? 0 : FILE_FLAG_OPEN_REPARSE_POINT, NULL);
        if (file == INVALID_HANDLE_VALUE)
            continue;
        BY_HANDLE_FILE_INFORMATION info;
        bool plain = GetFileInformationByHandle(file, &info) &&
                     !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
                     IsEntryReached(file, heldFolder, found.cFileName);
        bool marked = plain && MarkForRemoval(file);
        CloseHandle(file);
        if (!plain)
            LogLine(log, "Left alone: %s is no file of an earlier run", path);
        else if (marked || DeleteFileA(path)) {
            LogLine(log, "Leftover of an earlier run removed: %s", path);
            ++removed;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return removed;
}
