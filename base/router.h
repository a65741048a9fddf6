// Message routing as data: each window has a constant Message table and
// Command table, and one shared router looks the handler up.
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

struct MessageTable {
    int count;
    const MessageEntry* entries;
    int defaultKind;
};

struct CommandTable {
    int count;
    const CommandEntry* entries;
    int defaultKind;
};

template <size_t N>
constexpr MessageTable MakeMessageTable(const MessageEntry (&entries)[N], int defaultKind)
{
    return MessageTable{(int)N, entries, defaultKind};
}

template <size_t N>
constexpr CommandTable MakeCommandTable(const CommandEntry (&entries)[N], int defaultKind)
{
    return CommandTable{(int)N, entries, defaultKind};
}

LRESULT RouteMessage(const MessageTable* table, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT RouteCommand(const CommandTable* table, HWND window, WPARAM wParam, LPARAM lParam);
LRESULT CallDefault(int kind, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
