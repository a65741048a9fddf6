// Times the whole expansion of a large synthetic payload (resource, then
// temporary file, then the LZ service, then the destination, then reading
// it back against its digest) against LZCopy alone on the same compressed
// files, in one Wine session.
// Usage: expansion_timer PAYLOAD_MODULE WORK_FOLDER
#include "install/payload.h"
#include "pages/copy_page.h"
#include "pages/pages.h"
#include "base/text.h"
#include "large_digests.h"
#include <lzexpand.h>
#include <algorithm>
#include <stdio.h>
#include <string.h>

static INT_PTR CALLBACK QuietPageProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The run whose expansion is timed: another module's payload, with its own
// digests.
static SetupPlan plan;

static double MedianOfThree(const double* v)
{
    return std::max(std::min(v[0], v[1]), std::min(std::max(v[0], v[1]), v[2]));
}

static double Now()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * counter.QuadPart / frequency.QuadPart;
}

// The compressed files as the expansion leaves them, for LZCopy alone.
static bool WriteCompressedFiles(const char* work)
{
    for (int row = 0; row < PayloadRows; ++row) {
        char name[16], path[MAX_PATH];
        FormatText(name, "FILE%d", row);
        HRSRC found = FindResourceA(plan.module, name, MAKEINTRESOURCEA(10));
        const void* data = found ? LockResource(LoadResource(plan.module, found)) : NULL;
        if (!data || !FormatText(path, "%s\\%s", work, compressedNames[row]))
            return false;
        FILE* out = fopen(path, "wb");
        if (!out)
            return false;
        fwrite(data, 1, SizeofResource(plan.module, found), out);
        fclose(out);
    }
    return true;
}

// The Copy page's own copying: the run's, with the bar and the pump, into
// a folder that the run made and checked, as a first installation's.
static double TimeExpandPayload(HWND page, const char* work)
{
    FormatText(plan.choices.baseDir, "%s", work);
    FormatText(plan.choices.productFolder, "installed");
    plan.choices.freeKB = 0xFFFFFFFF;
    for (int row = 0; row < PayloadRows; ++row) {
        char target[MAX_PATH];
        FormatText(target, "%s\\installed%s", work, targetNames[row]);
        DeleteFileA(target);
    }
    char folder[MAX_PATH];
    FormatText(folder, "%s\\installed\\PvFiles", work);
    RemoveDirectoryA(folder);
    FormatText(folder, "%s\\installed", work);
    RemoveDirectoryA(folder);
    PagesUi ui(NULL, plan);
    InstallRun run(plan, ui);
    ui.run = &run;
    ui.page = page;
    SetWindowLongPtrA(page, DWLP_USER, (LONG_PTR)&ui);
    if (!run.TryDestination())
        return -1;
    double start = Now();
    CopyPayload(page, 4445, 0, 0);
    double elapsed = Now() - start;
    return ui.stopCopy ? -1 : elapsed;
}

static double TimeLzCopyAlone(const char* work)
{
    double start = Now();
    for (int row = 0; row < PayloadRows; ++row) {
        char source[MAX_PATH], target[MAX_PATH];
        FormatText(source, "%s\\%s", work, compressedNames[row]);
        FormatText(target, "%s\\alone%s", work, targetNames[row]);
        OFSTRUCT sourceInfo, targetInfo;
        INT from = LZOpenFileA(source, &sourceInfo, OF_READ);
        INT to = LZOpenFileA(target, &targetInfo, OF_CREATE | OF_WRITE);
        LONG copied = LZCopy(from, to);
        LZClose(from);
        LZClose(to);
        if (copied < 0)
            return -1;
    }
    return Now() - start;
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: expansion_timer PAYLOAD_MODULE WORK_FOLDER\n");
        return 2;
    }
    plan.module = LoadLibraryExA(argv[1], NULL, LOAD_LIBRARY_AS_DATAFILE);
    static const uint32_t largeDigests[PayloadRows] = {LARGE_DIGESTS};
    plan.expectedDigests = largeDigests;
    const char* work = argv[2];
    char alone[MAX_PATH];
    FormatText(alone, "%s\\alone", work);
    CreateDirectoryA(work, NULL);
    CreateDirectoryA(alone, NULL);
    HWND page = CreateDialogParamA(GetModuleHandleA(NULL), "IDD_COPY", NULL, QuietPageProc, 0);
    if (!plan.module || !page || !WriteCompressedFiles(work)) {
        fprintf(stderr, "expansion_timer: cannot prepare the payload\n");
        return 1;
    }
    double expand[3], lz[3];
    for (int run = 0; run < 3; ++run) {
        expand[run] = TimeExpandPayload(page, work);
        lz[run] = TimeLzCopyAlone(work);
        if (expand[run] < 0 || lz[run] < 0) {
            fprintf(stderr, "expansion_timer: a run failed\n");
            return 1;
        }
    }
    double e = MedianOfThree(expand), l = MedianOfThree(lz);
    printf("whole expansion of 5 x 8 MB: %.0f ms; LZCopy alone on the same files: %.0f ms\n", e, l);
    printf("expansion ratio: %.2fx (goal: at most 1.5x)\n", e / l);
    return 0;
}
