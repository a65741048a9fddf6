#include "app/image_check.h"
#include "app/main_window.h"
#include "app/silent_setup.h"
#include "plan/previous_installation.h"
#include "base/product.h"
#include "base/exit_codes.h"
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
    // Once, before the first page: the pages, the proposals and the end of
    // the run all act on what was found here.
    FindPreviousInstallation(plan);
    int exitCode = arguments.silent ? RunSilentSetup(plan) : RunWithPages(plan);
    LogLine(plan.log, "Setup ended with exit code %d", exitCode);
    CloseRunLog(plan.log);
    return exitCode;
}
