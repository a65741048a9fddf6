#include "app/image_check.h"
#include "app/main_window.h"
#include "app/silent_setup.h"
#include "base/product.h"
#include "base/exit_codes.h"
#include "base/system_function.h"
#include "base/text.h"
#include "resources/resource_ids.h"

namespace {

const char acceptedSwitches[] = "Setup accepts:\n"
                                "/S\tinstall without pages or messages\n"
                                "/G=folder\tthe Start-menu folder of the shortcuts\n"
                                "/D=path\tthe destination folder, last on the line";

// The line refused, and why, for whoever started Setup by hand.
void TellRefusedArguments(ArgumentsResult result, const SetupArguments& arguments)
{
    char message[PathSize];
    if (result == ArgumentsUnknown)
        FormatText(message, "Unknown switch: %s\n\n%s", arguments.unknownSwitch, acceptedSwitches);
    else if (result == ArgumentsTooLong)
        FormatText(message, "The command line, or a folder on it, is too long.\n\n%s", acceptedSwitches);
    else
        FormatText(message,
                   "/D= and /G= need a folder; /G= one inside the Start menu's programs folder.\n\n%s",
                   acceptedSwitches);
    MessageBoxA(NULL, message, setupCaption, MB_OK | MB_ICONERROR);
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
    if (arguments.silent)
        return RunSilentSetup(plan);

    // Serves as class name and window title.
    static char className[10];
    LoadStringA(module, IDS_CLASS_NAME, className, sizeof className);

    WNDCLASSA windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = module;
    windowClass.hIcon = LoadIconA(module, MAKEINTRESOURCEA(IDI_SETUP));
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_MENUTEXT + 1);
    windowClass.lpszClassName = className;
    if (!RegisterClassA(&windowClass))
        return ExitNoWindow;

    HWND mainWindow = CreateWindowExA(0, className, className, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                 0, 0, 0, 0, NULL, NULL, module, &plan);
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
