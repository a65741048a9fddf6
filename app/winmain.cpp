#include "app/main_window.h"
#include "base/setup_state.h"
#include "base/system_function.h"
#include "resources/resource_ids.h"

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int)
{
    RestrictProcess();
    // Serves as class name and window title.
    static char className[10];
    LoadStringA(module, IDS_CLASS_NAME, className, sizeof className);
    instance = module;

    WNDCLASSA windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SETUP));
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_MENUTEXT + 1);
    windowClass.lpszClassName = className;
    if (!RegisterClassA(&windowClass))
        return 0;

    HWND mainWindow = CreateWindowExA(0, className, className, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                 0, 0, 0, 0, NULL, NULL, instance, NULL);
    if (!mainWindow)
        return 0;
    UpdateWindow(mainWindow);

    MSG message;
    while (GetMessageA(&message, NULL, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}
