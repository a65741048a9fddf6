#include "install/payload.h"
#include "pages/progress_bar.h"
#include "resources/resource_ids.h"
#include "shell/setup_state.h"
#include "shell/text.h"
#include <lzexpand.h>
#include <stdio.h>
#include <string.h>

int payloadIndex;
const char payloadFolders[1][10] = {"\\PvFiles"};
const char compressedNames[PayloadRows][PayloadNameSize] = {
    "pictav~1.ex_", "pictav~2.cf_", "pvhelp.hl_", "uninst~1.ex_", "readme.wr_",
};
const char targetNames[PayloadRows][PayloadNameSize] = {
    "\\pictavo.exe", "\\pictavo.cfg", "\\pvhelp.hlp", "\\uninstall.exe", "\\readme.wri",
};
char tempFolder[TempFolderSize];
char tempFilePath[512];
char targetFilePath[512];
char statusText[512];

#ifdef PICTAVO_TEST_HOLD
// The test build stops inside each file until the harness lets it go on,
// so that a screenshot can catch each step and a Cancel can land while a
// file is being installed. Sent messages are still answered, so that the
// harness can read texts; input and painting wait as they would during a
// long file.
static void HoldForHarness()
{
    static HANDLE hold = CreateSemaphoreA(NULL, 0, 100, "PictavoSetupHold");
    HANDLE reached = OpenEventA(EVENT_MODIFY_STATE, FALSE, "PictavoSetupHoldReached");
    if (reached) {
        SetEvent(reached);
        CloseHandle(reached);
    }
    GdiFlush();
    while (MsgWaitForMultipleObjects(1, &hold, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageA(&message, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
#else
static void HoldForHarness()
{
}
#endif

bool ReadExpandedLength(const void* data, DWORD size, DWORD* length)
{
    static const unsigned char magic[8] = {0x53, 0x5A, 0x44, 0x44, 0x88, 0xF0, 0x27, 0x33};
    const unsigned char* bytes = (const unsigned char*)data;
    if (!bytes || size < 14 || memcmp(bytes, magic, sizeof magic) != 0 || bytes[8] != 'A')
        return false;
    *length = bytes[10] | (bytes[11] << 8) | (bytes[12] << 16) | ((DWORD)bytes[13] << 24);
    return true;
}

namespace {

// Writes the resource of row i to tempFilePath and says how long the file
// must come out. The temporary copy is what the LZ service reads.
bool WriteCompressedCopy(int row, DWORD* expandedLength)
{
    char name[16];
    FormatText(name, "FILE%d", row);
    HRSRC found = FindResourceA(instance, name, MAKEINTRESOURCEA(10));
    HGLOBAL loaded = found ? LoadResource(instance, found) : NULL;
    const void* data = loaded ? LockResource(loaded) : NULL;
    if (!data)
        return false;
    DWORD size = SizeofResource(instance, found);
    if (!ReadExpandedLength(data, size, expandedLength))
        return false;
    FILE* copy = fopen(tempFilePath, "wb");
    if (!copy)
        return false;
    fwrite(data, 1, size, copy);
    fclose(copy);
    return true;
}

// Expands tempFilePath into targetFilePath. The files are opened here, not
// by LZOpenFileA: that one fails for paths of 128 characters or more, and
// when it cannot create a target it quietly writes a file whose name ends
// in "_" instead and reports success.
bool ExpandCopy(DWORD expandedLength)
{
    HANDLE sourceFile = CreateFileA(tempFilePath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, NULL);
    if (sourceFile == INVALID_HANDLE_VALUE)
        return false;
    INT source = LZInit((HFILE)(INT_PTR)sourceFile);
    if (source < 0) {
        CloseHandle(sourceFile);
        return false;
    }
    HANDLE target = CreateFileA(targetFilePath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (target == INVALID_HANDLE_VALUE) {
        LZClose(source);
        return false;
    }
    // A truncated or damaged stream expands without an error, only shorter.
    LONG copied = LZCopy(source, (HFILE)(INT_PTR)target);
    LZClose(source);
    CloseHandle(target);
    if (copied < 0 || (DWORD)copied != expandedLength) {
        // A cut-short program must not look installed.
        DeleteFileA(targetFilePath);
        return false;
    }
    return true;
}

bool InstallRow(int row)
{
    memset(tempFilePath, 0, sizeof tempFilePath);
    memset(targetFilePath, 0, sizeof targetFilePath);
    DWORD expandedLength = 0;
    if (!CopyText(tempFilePath, tempFolder) || !AppendText(tempFilePath, compressedNames[row]) ||
        !WriteCompressedCopy(row, &expandedLength))
        return false;
    if (!CopyText(targetFilePath, destDir) || !AppendText(targetFilePath, targetNames[row]) ||
        !ExpandCopy(expandedLength))
        return false;
    DeleteFileA(tempFilePath);
    return true;
}

// Lets the page handle what came in during the last file: Cancel, Escape,
// painting.
void PumpMessages(HWND page)
{
    MSG message;
    while (!stopCopy && PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        if (IsDialogMessageA(page, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

} // namespace

LRESULT ExpandPayload(HWND page, WORD, WORD, LPARAM)
{
    DWORD length = GetTempPathA(sizeof tempFolder, tempFolder);
    if (length == 0 || length >= sizeof tempFolder) {
        CopyText(tempFolder, startDir);
        AppendText(tempFolder, "\\");
    }
    payloadIndex = 0;
    stopCopy = 0;
    ProgressBegin(4);
    while (!stopCopy && payloadIndex < PayloadRows) {
        int row = payloadIndex;
        FormatText(statusText, "FROM: %s  TO: %s", compressedNames[row], targetNames[row]);
        SetDlgItemTextA(copyDialog, IDC_STATUS, statusText);
        ProgressStep();
        HoldForHarness();
        if (!InstallRow(row)) {
            ReportCopyFailure();
            stopCopy = 1;
            break;
        }
        ++payloadIndex;
        PumpMessages(page);
    }
    ProgressEnd();
    EndDialog(copyDialog, stopCopy);
    return 0;
}

void ReportCopyFailure()
{
    // Two paths of up to 511 characters do not fit: the text is cut.
    FormatText(messageText, "Unable to copy a file:\nFrom=%s\nTo=%s\nProgram will exit", tempFilePath, targetFilePath);
    MessageBoxA(copyDialog, messageText, "Error", MB_OK | MB_ICONERROR);
    exitCode = ExitPayloadFailed;
}
