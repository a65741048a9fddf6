// Message routing as data: each window has a constant Message table, which
// carries its Command table, and one shared router looks the handler up.
#pragma once
#include <windows.h>

typedef LRESULT (*MessageHandler)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
typedef LRESULT (*CommandHandler)(HWND window, WORD controlId, WORD notifyCode, LPARAM lParam);

struct MessageEntry {
    UINT message;
    MessageHandler handler;
};

struct CommandEntry {
    WORD controlId;
    CommandHandler handler;
};

// What answers a message that no entry names.
enum DefaultKind {
    NoDefault = 0,          // every dialog: the result is 0, the dialog manager does the rest
    WindowDefault = 1,      // DefWindowProcA
    DialogDefault = 2       // DefDlgProcA
};

struct CommandTable {
    int count;
    const CommandEntry* entries;
    DefaultKind defaultKind;
};

// WM_COMMAND goes to the Command table, when the window has one.
struct MessageTable {
    int count;
    const MessageEntry* entries;
    DefaultKind defaultKind;
    const CommandTable* commands;
};

template <size_t N>
constexpr CommandTable MakeCommandTable(const CommandEntry (&entries)[N], DefaultKind defaultKind)
{
    return CommandTable{(int)N, entries, defaultKind};
}

template <size_t N>
constexpr MessageTable MakeMessageTable(const MessageEntry (&entries)[N], DefaultKind defaultKind,
                                        const CommandTable* commands = nullptr)
{
    return MessageTable{(int)N, entries, defaultKind, commands};
}

LRESULT RouteMessage(const MessageTable* table, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT RouteCommand(const CommandTable* table, HWND window, WPARAM wParam, LPARAM lParam);
LRESULT CallDefault(DefaultKind kind, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Every dialog's procedure: the dialog's creation parameter (what
// DialogBoxParamA or CreateDialogParamA was given) is kept in DWLP_USER at
// WM_INITDIALOG, before the table's handler sees the message, so that
// every handler finds the state it works on in its dialog.
INT_PTR RouteDialogMessage(const MessageTable* table, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
template <const MessageTable* table>
INT_PTR CALLBACK RoutedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteDialogMessage(table, dialog, message, wParam, lParam);
}
// What RouteDialogMessage kept for the dialog; NULL before WM_INITDIALOG.
void* DialogParameter(HWND dialog);
