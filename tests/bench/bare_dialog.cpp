// The yardstick for start-up time: the least a dialog program can do,
// built by the same toolchain as the installer.
#include <windows.h>

static INT_PTR CALLBACK BareDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int)
{
    struct {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } blank = {{WS_POPUP | WS_VISIBLE | DS_CENTER, 0, 0, 0, 0, 200, 120}, 0, 0, 0};
    return (int)DialogBoxIndirectParamA(module, &blank.header, NULL, BareDialogProc, 0);
}
