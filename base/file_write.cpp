#include "base/file_write.h"
#include "base/system_function.h"

namespace {

bool IsNameTaken(DWORD error)
{
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

} // namespace

HANDLE CreateFreshFileN(char* path, size_t size, const FreshFileRequest& request)
{
    for (DWORD attempt = 0; attempt < request.attempts; ++attempt) {
        if (!request.compose(path, size, attempt, request.context)) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return INVALID_HANDLE_VALUE;
        }
        HANDLE file = CreateFileA(path, request.access, request.share, NULL, CREATE_NEW, request.attributes, NULL);
        if (file != INVALID_HANDLE_VALUE || !IsNameTaken(GetLastError()))
            return file;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const void* data, DWORD size)
{
    DWORD written = 0;
    if (!WriteFile(file, data, size, &written, NULL))
        return false;
    if (written == size)
        return true;
    SetLastError(ERROR_DISK_FULL);
    return false;
}

bool MarkForRemoval(HANDLE file)
{
    auto setInformation = SYSTEM_FUNCTION("kernel32.dll", SetFileInformationByHandle);
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return setInformation && setInformation(file, FileDispositionInfo, &disposition, sizeof disposition);
}
