#include "install/payload.h"
#include "install/files_in_use.h"
#include "install/folders.h"
#include "install/staged_file.h"
#include "install/szdd_header.h"
#include "base/crc32.h"
#include "base/file_write.h"
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
    HANDLE heldDestination;   // the run's hold on destDir, opened without following a link
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
bool CompressedCopyName(char* path, size_t size, DWORD, const void* folder)
{
    static DWORD serial = GetTickCount();
    char name[40];
    FormatText(name, "pvs%x-%x.tmp", (unsigned)GetCurrentProcessId(), (unsigned)++serial);
    return CopyTextN(path, size, (const char*)folder) && AppendTextN(path, size, name);
}

HANDLE CreateCompressedCopy(Expansion& plan)
{
    const FreshFileRequest request = {CompressedCopyName, plan.tempFolder, GENERIC_READ | GENERIC_WRITE | DELETE,
                                      FILE_SHARE_READ, FILE_ATTRIBUTE_TEMPORARY, 100};
    return CreateFreshFile(plan.tempFilePath, request);
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
    // Rewound for the LZ service, which reads the copy from its start.
    if (copy != INVALID_HANDLE_VALUE &&
        (!WriteAll(copy, data, size) || SetFilePointer(copy, 0, NULL, FILE_BEGIN) != 0)) {
        CloseHandle(copy);
        return INVALID_HANDLE_VALUE;
    }
    return copy;
}

// The row's product file, which a failure names whichever step failed.
bool ComposeTarget(Expansion& plan, int row)
{
    return CopyText(plan.targetFilePath, plan.destDir) && AppendText(plan.targetFilePath, targetNames[row]);
}

// Expands the open copy into a new file beside the row's product file and
// checks it there; the product file is not touched. Closing the LZ handle
// closes the copy, which stays when the file failed.
bool ExpandIntoStagedFile(Expansion& plan, HANDLE copy, uint32_t expandedLength, uint32_t expectedDigest,
                          StagedFile& staged)
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
    // A folder in the product file's way would refuse the rename only
    // after every file was staged.
    DWORD attributes = GetFileAttributesA(plan.targetFilePath);
    bool folderInTheWay = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (folderInTheWay || !CreateStagedFile(plan.destDir, staged)) {
        LogLine(plan.log, "File failed: %s cannot be made (error %lu)", plan.targetFilePath,
                folderInTheWay ? (unsigned long)ERROR_ACCESS_DENIED : (unsigned long)GetLastError());
        lz.close(source);
        return false;
    }
    // A truncated or damaged stream expands without an error, only shorter;
    // a changed bit keeps the length right and changes the bytes, which only
    // the read-back finds.
    LONG copied = lz.copy(source, (HFILE)(INT_PTR)staged.file);
    DWORD error = GetLastError();
    bool complete = copied >= 0 && (DWORD)copied == expandedLength;
    bool whole = complete && StagedFileReadsBackAs(staged, expandedLength, expectedDigest);
    if (complete && !whole)
        error = GetLastError();
    if (whole)
        LogLine(plan.log, "File written and checked: %s, to take the name %s", staged.path, plan.targetFilePath);
    else if (copied < 0)
        LogLine(plan.log, "File failed: %s, expansion error %d (error %lu)", plan.targetFilePath, (int)copied,
                (unsigned long)error);
    else if ((DWORD)copied != expandedLength)
        LogLine(plan.log, "File failed: %s came out %ld of %lu bytes", plan.targetFilePath, (long)copied,
                (unsigned long)expandedLength);
    else
        LogLine(plan.log, "File failed: %s did not read back with CRC-32 %x as built (error %lu)",
                plan.targetFilePath, (unsigned)expectedDigest, (unsigned long)error);
    // A cut-short or changed program must not look installed, even under
    // its staged name.
    if (!whole)
        DiscardStagedFile(staged);
    bool marked = whole && MarkForRemoval(copy);
    lz.close(source);
    if (whole && !marked)
        DeleteFileA(plan.tempFilePath);
    return whole;
}

// The row's new file, written and checked under a staged name; its
// expanded length in *length.
bool StageRow(Expansion& plan, int row, StagedFile& staged, uint32_t* length)
{
    memset(plan.targetFilePath, 0, sizeof plan.targetFilePath);
    // Until a copy exists, a failure names the file that could not be had.
    CopyText(plan.tempFilePath, compressedNames[row]);
    HANDLE copy = WriteCompressedCopy(plan, row, length);
    if (copy == INVALID_HANDLE_VALUE) {
        LogLine(plan.log, "File failed: its compressed copy %s cannot be had (error %lu)", plan.tempFilePath,
                (unsigned long)GetLastError());
        return false;
    }
    plan.observer.copyWritten(plan.observer.context, row);
    if (!ComposeTarget(plan, row)) {
        CloseHandle(copy);
        return false;
    }
    const uint32_t* expected = plan.expectedDigests ? plan.expectedDigests : builtDigests;
    return ExpandIntoStagedFile(plan, copy, *length, expected[row], staged);
}

// The checked file takes the product file's name.
bool CommitRow(Expansion& plan, int row, StagedFile& staged, uint32_t length)
{
    ComposeTarget(plan, row);
    if (!CommitStagedFile(staged, plan.targetFilePath, plan.heldTargets[row])) {
        // The box names the file that was ready and could not be put in place.
        CopyText(plan.tempFilePath, staged.path);
        LogLine(plan.log, "File failed: %s, the checked file %s cannot take its name (error %lu)",
                plan.targetFilePath, staged.path, (unsigned long)GetLastError());
        return false;
    }
    const uint32_t* expected = plan.expectedDigests ? plan.expectedDigests : builtDigests;
    LogLine(plan.log, "File installed: %s, %lu bytes, CRC-32 %x as built", plan.targetFilePath,
            (unsigned long)length, (unsigned)expected[row]);
    plan.installedBytes += length;
    return true;
}

// Whether any product file is there: an installation that a failure must
// leave as it was.
bool ReplacesProductFiles(Expansion& plan)
{
    for (int row = 0; row < PayloadRows; ++row) {
        DWORD attributes = ComposeTarget(plan, row) ? GetFileAttributesA(plan.targetFilePath) : INVALID_FILE_ATTRIBUTES;
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return true;
    }
    return false;
}

} // namespace

PayloadOutcome ExpandPayload(const SetupPlan& run, const char* destDir, HANDLE heldDestination,
                             HeldProductFiles& held, const PayloadObserver& observer)
{
    Expansion plan = {run.module, run.log, destDir, heldDestination, run.expectedDigests, held.files, observer,
                      0, {}, {}, {}, 0};
    DWORD length = GetTempPathA(sizeof plan.tempFolder, plan.tempFolder);
    if (length == 0 || length >= sizeof plan.tempFolder) {
        CopyText(plan.tempFolder, run.facts.startDir);
        AppendText(plan.tempFolder, "\\");
    }
    RemoveStagedLeftovers(plan.destDir, plan.heldDestination, plan.log);
    // Over an installation, every new file is staged and checked before the
    // first takes its name, so that a failure or a Cancel leaves the old
    // one whole. A fresh install keeps each file as soon as it is checked.
    const bool replacing = ReplacesProductFiles(plan);
    StagedFile staged[PayloadRows];
    uint32_t lengths[PayloadRows] = {};
    PayloadOutcome outcome = {};
    for (plan.payloadRow = 0; plan.payloadRow < PayloadRows;) {
        int row = plan.payloadRow;
        observer.beginFile(observer.context, row);
        if (!StageRow(plan, row, staged[row], &lengths[row]) ||
            (!replacing && !CommitRow(plan, row, staged[row], lengths[row]))) {
            outcome.result = PayloadFailed;
            break;
        }
        ++plan.payloadRow;
        if (!observer.goOn(observer.context)) {
            outcome.result = PayloadStopped;
            break;
        }
    }
    for (int row = 0; replacing && outcome.result == PayloadInstalled && row < PayloadRows; ++row) {
        if (!CommitRow(plan, row, staged[row], lengths[row])) {
            plan.payloadRow = row;
            outcome.result = PayloadFailed;
        }
    }
    // What a stop or a failure left staged goes; the files it left
    // unreplaced are free again.
    for (StagedFile& file : staged)
        DiscardStagedFile(file);
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
