#include "app/image_check.h"
#include "app/main_window.h"
#include "app/silent_setup.h"
#include "plan/previous_installation.h"
#include "base/product.h"
#include "base/exit_codes.h"
#include "base/setup_lock.h"
#include "base/system_function.h"
#include "base/text.h"
#include "resources/resource_ids.h"

namespace {

const char acceptedSwitches[] = "Setup accepts:\n"
                                "/S\tinstall without pages or messages\n"
                                "/LOG=file\twrite each step to a new file\n"
                                "/G=folder\tthe Start-menu folder of the shortcuts\n"
                                "/DOWNGRADE\treplace an installed Pictavo that is newer than this Setup\n"
                                "/D=path\tthe destination folder, last on the line\n"
                                "/?\tshow this\n\n"
                                "A value with blanks goes in quotes: /D=\"C:\\My Programs\\Pictavo\" "
                                "or \"/D=C:\\My Programs\\Pictavo\".";

// The line refused, and why, for whoever started Setup by hand.
void TellRefusedArguments(ArgumentsResult result, const SetupArguments& arguments)
{
    char message[2 * PathSize];
    if (result == ArgumentsUnknown)
        FormatText(message, "Unknown switch: %s\n\n%s", arguments.unknownSwitch, acceptedSwitches);
    else if (result == ArgumentsTooLong)
        FormatText(message, "The command line, or a folder on it, is too long.\n\n%s", acceptedSwitches);
    else
        FormatText(message,
                   "/D=, /G= and /LOG= need a value, closed by its quote if it opens with one; /G= a folder "
                   "inside the Start menu's programs folder.\n\n%s",
                   acceptedSwitches);
    MessageBoxA(NULL, message, setupCaption, MB_OK | MB_ICONERROR);
}

void TellUnwritableLog(const char* path)
{
    char message[PathSize + 256];
    FormatText(message,
               "The log file\n%s\ncannot be made (error %lu). Setup writes its log only to a new file: "
               "give a name that does not exist yet, in a folder that exists, is reached without a link and only "
               "administrators can change.\n\nNothing was changed.",
               path, (unsigned long)GetLastError());
    MessageBoxA(NULL, message, setupCaption, MB_OK | MB_ICONERROR);
}

// How long a second Setup with pages looks for the first one's window: a
// first one started a moment before may not have made it yet.
const DWORD firstWindowWaitMs = 5000;

// A Setup with pages while another Setup or the uninstaller runs: the first
// Setup's window comes to the front and this one ends, showing nothing of
// its own. True when it is to end; false when the other run ended while
// this one looked, and this one now holds the lock and goes on.
bool YieldToRunningSetup(SetupPlan& plan, SetupLock& lock)
{
    // The main window's class name is its title too; a window of another
    // program with both is only brought to the front, never sent anything
    // that would make it act.
    char className[10] = "";
    LoadStringA(plan.module, IDS_CLASS_NAME, className, sizeof className);
    for (DWORD start = GetTickCount();;) {
        HWND first = FindWindowA(className, className);
        if (first) {
            if (IsIconic(first))
                ShowWindowAsync(first, SW_RESTORE);
            // The page open over it, where there is one.
            SetForegroundWindow(GetLastActivePopup(first));
            LogLine(plan.log, "Another Setup is running: its window was brought to the front, and this one ends");
            return true;
        }
        if (GetTickCount() - start >= firstWindowWaitMs)
            break;
        Sleep(100);
        if (TakeSetupLock(lock, 0, plan.log) != LockBusy)
            return false;
    }
    // A silent Setup, or the uninstaller, has no window to show.
    LogLine(plan.log, "Another Setup or Pictavo's uninstaller is running without a window of Setup: this one ends");
    char message[256];
    FormatText(message, "Another Setup of %s, or its uninstaller, is running. Start Setup again when it has ended.",
               productName);
    MessageBoxA(NULL, message, setupCaption, MB_OK | MB_ICONINFORMATION);
    return true;
}

int RunWithPages(SetupPlan& plan)
{
    // Serves as class name and window title.
    char className[10] = "";
    LoadStringA(plan.module, IDS_CLASS_NAME, className, sizeof className);

    WNDCLASSA windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = plan.module;
    windowClass.hIcon = LoadIconA(plan.module, MAKEINTRESOURCEA(IDI_SETUP));
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_MENUTEXT + 1);
    windowClass.lpszClassName = className;
    if (!RegisterClassA(&windowClass))
        return ExitNoWindow;

    MainWindowState state = {plan, {}};
    HWND mainWindow = CreateWindowExA(0, className, className, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                 0, 0, 0, 0, NULL, NULL, plan.module, &state);
    if (!mainWindow)
        return ExitNoWindow;
    UpdateWindow(mainWindow);

    MSG message;
    while (GetMessageA(&message, NULL, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}

} // namespace

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR commandLine, int)
{
    RestrictProcess();
    // Every decision of the run; the pages and the install steps get it
    // passed, none keeps it.
    SetupPlan plan;
    plan.module = module;
    const SetupArguments& arguments = plan.arguments;
    // A refused line changes nothing: no page opens and no folder is made.
    ArgumentsResult read = ReadArguments(commandLine ? commandLine : "", plan.arguments);
    // Whether /S was given is all that is taken from the line before the
    // image is known whole: a damaged one shows no page and changes nothing.
    if (!OwnImageIsIntact())
        return RefuseDamagedImage(arguments.silent);
    if (read == ArgumentsRead && arguments.startMenuFolder[0] && !StartMenuFolderFits(arguments))
        read = ArgumentsTooLong;
    if (read != ArgumentsRead) {
        if (!arguments.silent)
            TellRefusedArguments(read, arguments);
        return ExitBadArguments;
    }
    if (arguments.help) {
        if (!arguments.silent)
            MessageBoxA(NULL, acceptedSwitches, setupCaption, MB_OK | MB_ICONINFORMATION);
        return ExitInstalled;
    }
    if (arguments.logPath[0] && !OpenRunLog(plan.log, arguments.logPath)) {
        if (!arguments.silent)
            TellUnwritableLog(arguments.logPath);
        return ExitBadArguments;
    }
    LogLine(plan.log, "Pictavo Setup started with the arguments: %s", commandLine ? commandLine : "");
    LogWindowsVersion(plan.log);
    // Checked only now, so that a damaged image or a refused line is told
    // whatever else runs, and before any page or window of this run: two
    // Setups never walk the pages or write the files side by side. Held
    // until this process ends.
    SetupLock lock;
    OpenSetupLock(lock, plan.log);
    int exitCode;
    if (arguments.silent && TakeSetupLock(lock, SilentLockWaitMs(), plan.log) == LockBusy) {
        LogLine(plan.log, "Another Setup or Pictavo's uninstaller is still running: nothing was changed");
        exitCode = ExitInstallInProgress;
    } else if (!arguments.silent && TakeSetupLock(lock, 0, plan.log) == LockBusy &&
               YieldToRunningSetup(plan, lock)) {
        exitCode = ExitInstalled;
    } else {
        // Once the lock is held, before the first page: a Setup that waited
        // acts on what the one before it left, and the pages, the proposals
        // and the end of the run all act on what was found here.
        FindPreviousInstallation(plan);
        exitCode = arguments.silent ? RunSilentSetup(plan) : RunWithPages(plan);
    }
    LogLine(plan.log, "Setup ended with exit code %d", exitCode);
    CloseRunLog(plan.log);
    return exitCode;
}
