#include "install/payload.h"
#include "install/files_in_use.h"
#include "install/folders.h"
#include "install/szdd_header.h"
#include "base/crc32.h"
#include "base/product.h"
#include "base/system_function.h"
#include "base/text.h"
#include <lzexpand.h>
#include <string.h>
#include "payload_digests.h"

const char compressedNames[PayloadRows][PayloadNameSize] = {PAYLOAD_COMPRESSED_NAMES};
const char targetNames[PayloadRows][PayloadNameSize] = {PAYLOAD_TARGET_NAMES};
const uint32_t builtDigests[] = {PAYLOAD_DIGESTS};
static_assert(sizeof builtDigests == PayloadRows * sizeof(uint32_t), "a digest for every row");

namespace {

// One expansion's state: what the run gives it, and the row's scratch,
// which ends up in the outcome. The row's functions name it plan, as they
// named the run's plan when this lived there.
struct Expansion {
    HINSTANCE module;
    const RunLog& log;
    const char* destDir;
    const uint32_t* expectedDigests;
    HANDLE* heldTargets;      // HeldProductFiles::files, taken row by row
    const PayloadObserver& observer;
    int payloadRow;
    char tempFolder[TempFolderSize];
    char tempFilePath[PathSize];
    char targetFilePath[PathSize];
    uint64_t installedBytes;
};

// The LZ service is not one of the libraries that the system always takes
// from its own folder: linked at start-up, a copy of it lying beside the
// installer would run with the installer's rights.
struct LzService {
    decltype(&::LZInit) init;
    decltype(&::LZCopy) copy;
    decltype(&::LZClose) close;
};

bool LoadLzService(LzService& lz)
{
    lz.init = SYSTEM_FUNCTION("lz32.dll", LZInit);
    lz.copy = SYSTEM_FUNCTION("lz32.dll", LZCopy);
    lz.close = SYSTEM_FUNCTION("lz32.dll", LZClose);
    return lz.init && lz.copy && lz.close;
}

// The temporary folder is the user's, open to every program the user runs
// without elevation. A fixed name there could be taken first by a file or a
// link, or swapped between writing and reading, and what lies there would
// be expanded into the program folder. So the copy gets a name that no file
// has yet, and it stays open, shared for reading only, from its first byte
// written to its last byte read.
HANDLE CreateCompressedCopy(Expansion& plan)
{
    static DWORD serial = GetTickCount();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[40];
        FormatText(name, "pvs%x-%x.tmp", (unsigned)GetCurrentProcessId(), (unsigned)++serial);
        if (!CopyText(plan.tempFilePath, plan.tempFolder) || !AppendText(plan.tempFilePath, name))
            return INVALID_HANDLE_VALUE;
        HANDLE copy = CreateFileA(plan.tempFilePath, GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, NULL,
                                  CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, NULL);
        if (copy != INVALID_HANDLE_VALUE || (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS))
            return copy;
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const void* data, DWORD size)
{
    DWORD written = 0;
    return WriteFile(file, data, size, &written, NULL) && written == size &&
           SetFilePointer(file, 0, NULL, FILE_BEGIN) == 0;
}

// Writes the resource of row i to a new temporary copy, which the LZ
// service then reads through the same handle, and says how long the file
// must come out.
HANDLE WriteCompressedCopy(Expansion& plan, int row, uint32_t* expandedLength)
{
    char name[16];
    FormatText(name, "FILE%d", row);
    HRSRC found = FindResourceA(plan.module, name, MAKEINTRESOURCEA(10));
    HGLOBAL loaded = found ? LoadResource(plan.module, found) : NULL;
    const void* data = loaded ? LockResource(loaded) : NULL;
    if (!data)
        return INVALID_HANDLE_VALUE;
    DWORD size = SizeofResource(plan.module, found);
    if (!ReadExpandedLength(data, size, expandedLength))
        return INVALID_HANDLE_VALUE;
    HANDLE copy = CreateCompressedCopy(plan);
    if (copy != INVALID_HANDLE_VALUE && !WriteAll(copy, data, size)) {
        CloseHandle(copy);
        return INVALID_HANDLE_VALUE;
    }
    return copy;
}

// A file that must go is marked for removal while it is still open, so
// that no file that took its name afterwards can be the one removed.
// Systems without that call remove it by name.
bool MarkForRemoval(HANDLE file)
{
    auto setInformation = SYSTEM_FUNCTION("kernel32.dll", SetFileInformationByHandle);
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return setInformation && setInformation(file, FileDispositionInfo, &disposition, sizeof disposition);
}

// The installed file, read back from its start through the handle that
// wrote it, against the digest the build recorded. That handle shares
// nothing, so what is read is what stays: no other program can have
// changed the file in between. A changed bit in the compressed data keeps
// the length right and changes the bytes; only this finds it.
bool ReadsBackAs(HANDLE target, uint32_t expected)
{
    // Large reads: the check may cost little next to the expansion.
    static unsigned char buffer[64 * 1024];
    if (SetFilePointer(target, 0, NULL, FILE_BEGIN) != 0)
        return false;
    uint32_t crc = 0;
    DWORD read = 0;
    do {
        if (!ReadFile(target, buffer, sizeof buffer, &read, NULL))
            return false;
        crc = Crc32(crc, buffer, read);
    } while (read > 0);
    return crc == expected;
}

// The row's target, emptied: the handle that HoldProductFiles kept since it
// found the file free, or else a new open of targetFilePath. Opened here,
// not by LZOpenFileA: that one fails for paths of 128 characters or more,
// and when it cannot create a target it quietly writes a file whose name
// ends in "_" instead and reports success.
HANDLE OpenTarget(Expansion& plan, int row)
{
    HANDLE held = plan.heldTargets[row];
    plan.heldTargets[row] = NULL;
    if (!held)
        return CreateFileA(plan.targetFilePath, GENERIC_READ | GENERIC_WRITE | DELETE, 0, NULL, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (SetFilePointer(held, 0, NULL, FILE_BEGIN) == 0 && SetEndOfFile(held))
        return held;
    CloseHandle(held);
    return INVALID_HANDLE_VALUE;
}

// Expands the open copy into the row's target. Closing the LZ handle
// closes the copy.
bool ExpandCopy(Expansion& plan, int row, HANDLE copy, uint32_t expandedLength, uint32_t expectedDigest)
{
    LzService lz;
    if (!LoadLzService(lz)) {
        CloseHandle(copy);
        return false;
    }
    INT source = lz.init((HFILE)(INT_PTR)copy);
    if (source < 0) {
        CloseHandle(copy);
        return false;
    }
    HANDLE target = OpenTarget(plan, row);
    if (target == INVALID_HANDLE_VALUE) {
        LogLine(plan.log, "File failed: %s cannot be made (error %lu)", plan.targetFilePath,
                (unsigned long)GetLastError());
        lz.close(source);
        return false;
    }
    // A truncated or damaged stream expands without an error, only shorter.
    LONG copied = lz.copy(source, (HFILE)(INT_PTR)target);
    DWORD error = GetLastError();
    bool whole = copied >= 0 && (DWORD)copied == expandedLength && ReadsBackAs(target, expectedDigest);
    if (whole)
        LogLine(plan.log, "File installed: %s, %lu bytes, CRC-32 %x as built", plan.targetFilePath,
                (unsigned long)expandedLength, (unsigned)expectedDigest);
    else if (copied < 0)
        LogLine(plan.log, "File failed: %s, expansion error %d (error %lu)", plan.targetFilePath, (int)copied,
                (unsigned long)error);
    else if ((DWORD)copied != expandedLength)
        LogLine(plan.log, "File failed: %s came out %ld of %lu bytes", plan.targetFilePath, (long)copied,
                (unsigned long)expandedLength);
    else
        LogLine(plan.log, "File failed: %s did not read back with CRC-32 %x as built", plan.targetFilePath,
                (unsigned)expectedDigest);
    // A cut-short or changed program must not look installed.
    bool removed = !whole && MarkForRemoval(target);
    CloseHandle(target);
    bool marked = whole && MarkForRemoval(copy);
    lz.close(source);
    if (!whole) {
        if (!removed)
            DeleteFileA(plan.targetFilePath);
        return false;
    }
    if (!marked)
        DeleteFileA(plan.tempFilePath);
    return true;
}

bool InstallRow(Expansion& plan, int row)
{
    memset(plan.targetFilePath, 0, sizeof plan.targetFilePath);
    // Until a copy exists, a failure names the file that could not be had.
    CopyText(plan.tempFilePath, compressedNames[row]);
    uint32_t expandedLength = 0;
    HANDLE copy = WriteCompressedCopy(plan, row, &expandedLength);
    if (copy == INVALID_HANDLE_VALUE) {
        LogLine(plan.log, "File failed: its compressed copy %s cannot be had (error %lu)", plan.tempFilePath,
                (unsigned long)GetLastError());
        return false;
    }
    plan.observer.copyWritten(plan.observer.context, row);
    if (!CopyText(plan.targetFilePath, plan.destDir) || !AppendText(plan.targetFilePath, targetNames[row])) {
        CloseHandle(copy);
        return false;
    }
    const uint32_t* expected = plan.expectedDigests ? plan.expectedDigests : builtDigests;
    if (!ExpandCopy(plan, row, copy, expandedLength, expected[row]))
        return false;
    plan.installedBytes += expandedLength;
    return true;
}

} // namespace

PayloadOutcome ExpandPayload(const SetupPlan& run, const char* destDir, HeldProductFiles& held,
                             const PayloadObserver& observer)
{
    Expansion plan = {run.module, run.log, destDir, run.expectedDigests, held.files, observer, 0, {}, {}, {}, 0};
    DWORD length = GetTempPathA(sizeof plan.tempFolder, plan.tempFolder);
    if (length == 0 || length >= sizeof plan.tempFolder) {
        CopyText(plan.tempFolder, run.facts.startDir);
        AppendText(plan.tempFolder, "\\");
    }
    PayloadOutcome outcome = {};
    for (plan.payloadRow = 0; plan.payloadRow < PayloadRows;) {
        observer.beginFile(observer.context, plan.payloadRow);
        if (!InstallRow(plan, plan.payloadRow)) {
            outcome.result = PayloadFailed;
            break;
        }
        ++plan.payloadRow;
        if (!observer.goOn(observer.context)) {
            outcome.result = PayloadStopped;
            break;
        }
    }
    // The files a stop or a failure left unwritten are free again.
    held.Release();
    outcome.row = plan.payloadRow;
    CopyText(outcome.tempFilePath, plan.tempFilePath);
    CopyText(outcome.targetFilePath, plan.targetFilePath);
    CopyText(outcome.tempFolder, plan.tempFolder);
    outcome.installedBytes = plan.installedBytes;
    return outcome;
}

void CreatePayloadFolders(const char* folder, const RunLog& log)
{
    SECURITY_ATTRIBUTES security = {sizeof security, NULL, TRUE};
    char path[PathSize];
    if (!CopyText(path, folder) || !AppendText(path, "\\") || !AppendText(path, picturesFolder))
        return;
    MakeFolder(path, &security, log);
}
