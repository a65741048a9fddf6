#include "pictavo/help_window.h"
#include "base/router.h"
#include "base/text.h"

namespace {

const char helpClassName[] = "PictavoHelp";
const char helpTitle[] = "Pictavo Help";
const int helpTextId = 1;
// Windows 95's multi-line edit control holds at most 64 KB, and turning
// each LF into CR LF may double the text.
const DWORD maxHelpBytes = 30000;

LRESULT CreateHelpText(HWND window, UINT, WPARAM, LPARAM lParam);
LRESULT FitHelpText(HWND window, UINT, WPARAM, LPARAM lParam);
LRESULT FocusHelpText(HWND window, UINT, WPARAM, LPARAM);
LRESULT ColorHelpText(HWND window, UINT, WPARAM wParam, LPARAM);
LRESULT ForgetHelpWindow(HWND window, UINT, WPARAM, LPARAM);

const MessageEntry helpWindowEntries[] = {
    {WM_CREATE, CreateHelpText},
    {WM_SIZE, FitHelpText},
    {WM_SETFOCUS, FocusHelpText},
    {WM_CTLCOLORSTATIC, ColorHelpText},
    {WM_DESTROY, ForgetHelpWindow},
};
const MessageTable helpWindowMessages = MakeMessageTable(helpWindowEntries, WindowDefault);

LRESULT CALLBACK HelpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteMessage(&helpWindowMessages, window, message, wParam, lParam);
}

// The owner's record of this window, which it empties as it closes.
LRESULT CreateHelpText(HWND window, UINT, WPARAM, LPARAM lParam)
{
    SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)((const CREATESTRUCTA*)lParam)->lpCreateParams);
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0,
                                0, 0, window, (HMENU)(UINT_PTR)helpTextId,
                                (HINSTANCE)GetWindowLongPtrA(window, GWLP_HINSTANCE), NULL);
    if (!edit)
        return -1;
    SendMessageA(edit, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
    return 0;
}

LRESULT FitHelpText(HWND window, UINT, WPARAM, LPARAM lParam)
{
    MoveWindow(GetDlgItem(window, helpTextId), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    return 0;
}

LRESULT FocusHelpText(HWND window, UINT, WPARAM, LPARAM)
{
    SetFocus(GetDlgItem(window, helpTextId));
    return 0;
}

// Read-only edit controls are grey by default; the help reads better as a
// page.
LRESULT ColorHelpText(HWND, UINT, WPARAM wParam, LPARAM)
{
    SetBkColor((HDC)wParam, GetSysColor(COLOR_WINDOW));
    SetTextColor((HDC)wParam, GetSysColor(COLOR_WINDOWTEXT));
    return (LRESULT)GetSysColorBrush(COLOR_WINDOW);
}

LRESULT ForgetHelpWindow(HWND window, UINT, WPARAM, LPARAM)
{
    HWND* record = (HWND*)GetWindowLongPtrA(window, GWLP_USERDATA);
    if (record)
        *record = NULL;
    return 0;
}

// The edit control shows a line break only for CR LF; the file may hold LF
// or CR LF. Zero bytes would end the text early, so they become spaces.
char* ToWindowsLines(const char* text, DWORD size)
{
    char* out = (char*)HeapAlloc(GetProcessHeap(), 0, size * 2 + 1);
    if (!out)
        return NULL;
    char* q = out;
    for (DWORD i = 0; i < size; i++) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < size && text[i + 1] == '\n')
                i++;
            *q++ = '\r';
            *q++ = '\n';
        } else {
            *q++ = c ? c : ' ';
        }
    }
    *q = 0;
    return out;
}

// The help text in Windows line form, or NULL when the file is missing.
char* LoadHelpText(const char* programFolder)
{
    char path[MAX_PATH];
    if (!CopyText(path, programFolder) || !AppendText(path, "pvhelp.hlp"))
        return NULL;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return NULL;
    DWORD size = GetFileSize(file, NULL);
    if (size == INVALID_FILE_SIZE)
        size = 0;
    if (size > maxHelpBytes)
        size = maxHelpBytes;
    char* raw = (char*)HeapAlloc(GetProcessHeap(), 0, size + 1);
    char* text = NULL;
    DWORD read = 0;
    if (raw && ReadFile(file, raw, size, &read, NULL))
        text = ToWindowsLines(raw, read);
    if (raw)
        HeapFree(GetProcessHeap(), 0, raw);
    CloseHandle(file);
    return text;
}

} // namespace

bool RegisterHelpWindow(HINSTANCE instance)
{
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.lpfnWndProc = HelpWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(NULL, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszClassName = helpClassName;
    return RegisterClassA(&windowClass) != 0;
}

void ShowHelp(HWND owner, HWND& helpWindow, const char* programFolder)
{
    if (helpWindow) {
        ShowWindow(helpWindow, SW_RESTORE);
        SetForegroundWindow(helpWindow);
        return;
    }
    char* text = LoadHelpText(programFolder);
    if (!text) {
        char message[MAX_PATH + 96];
        FormatText(message, "The help file pvhelp.hlp was not found in the program folder:\r\n%s",
                   programFolder[0] ? programFolder : "(unknown)");
        MessageBoxA(owner, message, helpTitle, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // Owned by the main window: it stays above it and closes with it.
    // Offset from it, so that the drawing still shows beside the help.
    RECT main;
    GetWindowRect(owner, &main);
    helpWindow = CreateWindowExA(0, helpClassName, helpTitle, WS_OVERLAPPEDWINDOW, main.left + 40, main.top + 40, 520,
                                 400, owner, NULL, (HINSTANCE)GetWindowLongPtrA(owner, GWLP_HINSTANCE), &helpWindow);
    if (helpWindow) {
        SetDlgItemTextA(helpWindow, helpTextId, text);
        ShowWindow(helpWindow, SW_SHOW);
    }
    HeapFree(GetProcessHeap(), 0, text);
}
