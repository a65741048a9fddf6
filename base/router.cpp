#include "base/router.h"

LRESULT CallDefault(DefaultKind kind, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (kind) {
    case WindowDefault:
        return DefWindowProcA(window, message, wParam, lParam);
    case DialogDefault:
        return DefDlgProcA(window, message, wParam, lParam);
    default:
        return 0;
    }
}

LRESULT RouteMessage(const MessageTable* table, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && table->commands)
        return RouteCommand(table->commands, window, wParam, lParam);
    for (int i = 0; i < table->count; ++i) {
        if (table->entries[i].message == message)
            return table->entries[i].handler(window, message, wParam, lParam);
    }
    return CallDefault(table->defaultKind, window, message, wParam, lParam);
}

LRESULT RouteCommand(const CommandTable* table, HWND window, WPARAM wParam, LPARAM lParam)
{
    WORD controlId = LOWORD(wParam);
    WORD notifyCode = HIWORD(wParam);
    for (int i = 0; i < table->count; ++i) {
        if (table->entries[i].controlId == controlId)
            return table->entries[i].handler(window, controlId, notifyCode, lParam);
    }
    return CallDefault(table->defaultKind, window, WM_COMMAND, wParam, lParam);
}

INT_PTR RouteDialogMessage(const MessageTable* table, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    return RouteMessage(table, dialog, message, wParam, lParam);
}

void* DialogParameter(HWND dialog)
{
    return (void*)GetWindowLongPtrA(dialog, DWLP_USER);
}
