/* Starts a small child process many times and counts the starts that
   fail, by error: how the rig measures how often Wine fails to start a
   process for a cause outside the program started. Run as
   count_starts N [REPORT_FILE]; the report is rewritten every 500 starts,
   so a long count can be read while it runs. The child is this program
   with the argument "child", which ends at once: the failure being counted
   happens while Wine sets up the new process, before any of its code. */
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <stdlib.h>

enum { maxKinds = 16 };

struct Tally {
    unsigned long starts;
    unsigned long ok;
    unsigned long kinds;
    DWORD error[maxKinds];     /* CreateProcess's error, or 0 for "started" */
    DWORD exitCode[maxKinds];  /* the child's exit code when it started */
    unsigned long count[maxKinds];
};

static void Note(struct Tally *tally, DWORD error, DWORD exitCode)
{
    unsigned long i;
    for (i = 0; i < tally->kinds; ++i) {
        if (tally->error[i] == error && tally->exitCode[i] == exitCode) {
            ++tally->count[i];
            return;
        }
    }
    if (tally->kinds < maxKinds) {
        tally->error[tally->kinds] = error;
        tally->exitCode[tally->kinds] = exitCode;
        tally->count[tally->kinds] = 1;
        ++tally->kinds;
    }
}

static void Report(const struct Tally *tally, FILE *out)
{
    unsigned long i;
    fprintf(out, "starts %lu ok %lu failed %lu\n", tally->starts, tally->ok, tally->starts - tally->ok);
    for (i = 0; i < tally->kinds; ++i) {
        if (tally->error[i] != 0)
            fprintf(out, "  CreateProcess error %lu: %lu\n", (unsigned long)tally->error[i], tally->count[i]);
        else
            fprintf(out, "  started, exit code 0x%08lx: %lu\n", (unsigned long)tally->exitCode[i], tally->count[i]);
    }
}

static void WriteReport(const struct Tally *tally, const char *path)
{
    FILE *out;
    if (path == NULL)
        return;
    out = fopen(path, "w");
    if (out == NULL)
        return;
    Report(tally, out);
    fclose(out);
}

int main(int argc, char **argv)
{
    char self[MAX_PATH];
    char line[MAX_PATH + 16];
    struct Tally tally;
    unsigned long n, i;
    const char *reportPath = argc > 2 ? argv[2] : NULL;

    if (argc > 1 && strcmp(argv[1], "child") == 0)
        return 0;
    if (argc < 2) {
        fprintf(stderr, "usage: count_starts N [REPORT_FILE]\n");
        return 2;
    }
    n = strtoul(argv[1], NULL, 10);
    DWORD length = GetModuleFileNameA(NULL, self, sizeof self);
    if (length == 0 || length >= sizeof self)
        return 2;
    if (_snprintf(line, sizeof line, "\"%s\" child", self) < 0)
        return 2;
    line[sizeof line - 1] = '\0';

    memset(&tally, 0, sizeof tally);
    for (i = 0; i < n; ++i) {
        STARTUPINFOA startup;
        PROCESS_INFORMATION process;
        char commandLine[sizeof line];
        memcpy(commandLine, line, sizeof line);
        memset(&startup, 0, sizeof startup);
        startup.cb = sizeof startup;
        ++tally.starts;
        if (!CreateProcessA(self, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
            DWORD error = GetLastError();
            Note(&tally, error, 0);
            fprintf(stderr, "start %lu: CreateProcess error %lu\n", i + 1, (unsigned long)error);
        } else {
            DWORD exitCode = 0xffffffff;
            WaitForSingleObject(process.hProcess, INFINITE);
            GetExitCodeProcess(process.hProcess, &exitCode);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
            Note(&tally, 0, exitCode);
            if (exitCode == 0)
                ++tally.ok;
            else
                fprintf(stderr, "start %lu: child ended with 0x%08lx\n", i + 1, (unsigned long)exitCode);
        }
        if ((i + 1) % 500 == 0)
            WriteReport(&tally, reportPath);
    }
    WriteReport(&tally, reportPath);
    Report(&tally, stdout);
    return tally.ok == tally.starts ? 0 : 1;
}
