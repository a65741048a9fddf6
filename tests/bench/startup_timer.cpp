// Times process start to first picture on screen, for the installer and
// for a bare dialog program, alternating runs inside one Wine session.
// Usage: startup_timer INSTALLER BARE_DIALOG [RUNS]
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

bool IsInstallerPainted(HDC screen, int, int height)
{
    // Near the bottom-left corner the picture is bright blue; before the
    // first paint the window shows its black class brush.
    COLORREF c = GetPixel(screen, 8, height - 30);
    return GetRValue(c) == 0 && GetGValue(c) == 0 && GetBValue(c) >= 200;
}

bool IsDialogPainted(HDC screen, int width, int height)
{
    return GetPixel(screen, width / 2, height / 2) == GetSysColor(COLOR_BTNFACE);
}

double TimeOneStart(const char* exe, bool (*painted)(HDC, int, int))
{
    HDC screen = GetDC(NULL);
    int width = GetDeviceCaps(screen, HORZRES), height = GetDeviceCaps(screen, VERTRES);
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    char commandLine[MAX_PATH + 2];
    snprintf(commandLine, sizeof commandLine, "\"%s\"", exe);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(exe, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        ReleaseDC(NULL, screen);
        return -1;
    }
    double ms = -1;
    for (;;) {
        QueryPerformanceCounter(&now);
        double elapsed = 1000.0 * (now.QuadPart - start.QuadPart) / frequency.QuadPart;
        if (painted(screen, width, height)) {
            ms = elapsed;
            break;
        }
        if (elapsed > 20000)
            break;
        Sleep(1);
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    // Let the screen go back to the empty desktop before the next run.
    while (painted(screen, width, height))
        Sleep(5);
    ReleaseDC(NULL, screen);
    return ms;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_timer INSTALLER BARE_DIALOG [RUNS]\n");
        return 2;
    }
    int runs = argc > 3 ? std::atoi(argv[3]) : 21;
    std::vector<double> installer, bare;
    // One warm-up of each: the first start of a program loads its DLLs
    // from disk, every later one from the cache.
    TimeOneStart(argv[1], IsInstallerPainted);
    TimeOneStart(argv[2], IsDialogPainted);
    for (int i = 0; i < runs; ++i) {
        double a = TimeOneStart(argv[1], IsInstallerPainted);
        double b = TimeOneStart(argv[2], IsDialogPainted);
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "a run did not paint within 20 s\n");
            return 1;
        }
        installer.push_back(a);
        bare.push_back(b);
    }
    double mi = Median(installer), mb = Median(bare);
    std::printf("start to painted window, median of %d runs: installer %.1f ms, bare dialog %.1f ms\n", runs, mi, mb);
    std::printf("start-up ratio: %.2fx (goal: at most 1.1x)\n", mi / mb);
    return 0;
}
