// Pictavo: freehand drawing on a white canvas, saved as a 24-bit BMP. One
// main window, whose state (the canvas, whether it changed, the help
// window) is one Editor that lives as long as the message loop.
#include "pictavo/canvas.h"
#include "pictavo/help_window.h"
#include "pictavo/pictavo_ids.h"
#include "pictavo/save_dialog.h"
#include "base/router.h"
#include "base/text.h"

namespace {

// Only the main window bears this exact title, so that it can be found by
// it: message boxes get captions of their own.
const char mainWindowTitle[] = "Pictavo";
const char mainClassName[] = "PictavoMain";

struct Editor {
    // The shortcuts start the program without a working folder, so its
    // files are looked up next to the exe, never in the current folder.
    // Ends with a backslash; empty when unknown.
    char programFolder[MAX_PATH];
    Canvas canvas;
    bool modified;
    HWND helpWindow;
};

Editor& WindowEditor(HWND window)
{
    return *(Editor*)GetWindowLongPtrA(window, GWLP_USERDATA);
}

LRESULT KeepEditor(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StartStroke(HWND window, UINT, WPARAM, LPARAM lParam);
LRESULT ContinueStroke(HWND window, UINT, WPARAM, LPARAM lParam);
LRESULT EndStroke(HWND, UINT, WPARAM, LPARAM);
LRESULT StopDrawing(HWND window, UINT, WPARAM, LPARAM);
LRESULT FitScrollBars(HWND window, UINT, WPARAM wParam, LPARAM);
LRESULT ScrollAcross(HWND window, UINT, WPARAM wParam, LPARAM);
LRESULT ScrollDown(HWND window, UINT, WPARAM wParam, LPARAM);
LRESULT ScrollByWheel(HWND window, UINT, WPARAM wParam, LPARAM);
LRESULT PaintMainWindow(HWND window, UINT, WPARAM, LPARAM);
LRESULT SkipErasing(HWND, UINT, WPARAM, LPARAM);
LRESULT CloseMainWindow(HWND window, UINT, WPARAM, LPARAM);
LRESULT EndMessageLoop(HWND, UINT, WPARAM, LPARAM);
LRESULT NewDrawing(HWND window, WORD, WORD, LPARAM);
LRESULT SaveDrawing(HWND window, WORD, WORD, LPARAM);
LRESULT ExitEditor(HWND window, WORD, WORD, LPARAM);
LRESULT OpenHelp(HWND window, WORD, WORD, LPARAM);
LRESULT ShowAbout(HWND window, WORD, WORD, LPARAM);

const CommandEntry mainWindowCommandEntries[] = {
    {ID_FILE_NEW, NewDrawing},
    {ID_FILE_SAVE_AS, SaveDrawing},
    {ID_FILE_EXIT, ExitEditor},
    {ID_HELP_HELP, OpenHelp},
    {ID_HELP_ABOUT, ShowAbout},
};
const CommandTable mainWindowCommands = MakeCommandTable(mainWindowCommandEntries, WindowDefault);

const MessageEntry mainWindowEntries[] = {
    {WM_NCCREATE, KeepEditor},
    {WM_LBUTTONDOWN, StartStroke},
    {WM_MOUSEMOVE, ContinueStroke},
    {WM_LBUTTONUP, EndStroke},
    {WM_CAPTURECHANGED, StopDrawing},
    {WM_SIZE, FitScrollBars},
    {WM_HSCROLL, ScrollAcross},
    {WM_VSCROLL, ScrollDown},
    {WM_MOUSEWHEEL, ScrollByWheel},
    {WM_PAINT, PaintMainWindow},
    {WM_ERASEBKGND, SkipErasing},
    {WM_CLOSE, CloseMainWindow},
    {WM_DESTROY, EndMessageLoop},
};
const MessageTable mainWindowMessages = MakeMessageTable(mainWindowEntries, WindowDefault, &mainWindowCommands);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The few messages that come before WM_NCCREATE find no editor yet.
    if (message != WM_NCCREATE && !GetWindowLongPtrA(window, GWLP_USERDATA))
        return DefWindowProcA(window, message, wParam, lParam);
    return RouteMessage(&mainWindowMessages, window, message, wParam, lParam);
}

void FindProgramFolder(char (&folder)[MAX_PATH])
{
    DWORD length = GetModuleFileNameA(NULL, folder, sizeof folder);
    if (length == 0 || length >= sizeof folder) {
        folder[0] = 0;
        return;
    }
    char* cut = folder;
    for (char* p = folder; *p; p++)
        if (*p == '\\' || *p == '/')
            cut = p + 1;
    *cut = 0;
}

bool ProgramFile(char (&path)[MAX_PATH], const Editor& editor, const char* name)
{
    return CopyText(path, editor.programFolder) && AppendText(path, name);
}

bool SaveAs(HWND owner, Editor& editor)
{
    if (!SaveDrawingAs(owner, editor.programFolder, CanvasPicture(editor.canvas)))
        return false;
    editor.modified = false;
    return true;
}

// Asks before a drawing is thrown away; false when the user keeps it.
bool MayDiscard(HWND owner, Editor& editor, const char* question)
{
    if (!editor.modified)
        return true;
    int answer = MessageBoxA(owner, question, saveBoxCaption, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL)
        return false;
    return answer == IDNO || SaveAs(owner, editor);
}

LRESULT KeepEditor(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)((const CREATESTRUCTA*)lParam)->lpCreateParams);
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT StartStroke(HWND window, UINT, WPARAM, LPARAM lParam)
{
    BeginStroke(window, WindowEditor(window).canvas, lParam);
    WindowEditor(window).modified = true;
    return 0;
}

LRESULT ContinueStroke(HWND window, UINT, WPARAM, LPARAM lParam)
{
    Editor& editor = WindowEditor(window);
    if (editor.canvas.drawing)
        StrokeTo(window, editor.canvas, lParam);
    return 0;
}

LRESULT EndStroke(HWND, UINT, WPARAM, LPARAM)
{
    ReleaseCapture();
    return 0;
}

LRESULT StopDrawing(HWND window, UINT, WPARAM, LPARAM)
{
    WindowEditor(window).canvas.drawing = false;
    return 0;
}

LRESULT FitScrollBars(HWND window, UINT, WPARAM wParam, LPARAM)
{
    if (wParam != SIZE_MINIMIZED)
        UpdateScrollBars(window, WindowEditor(window).canvas);
    return 0;
}

LRESULT ScrollAcross(HWND window, UINT, WPARAM wParam, LPARAM)
{
    ScrollCanvas(window, WindowEditor(window).canvas, SB_HORZ, LOWORD(wParam));
    return 0;
}

LRESULT ScrollDown(HWND window, UINT, WPARAM wParam, LPARAM)
{
    ScrollCanvas(window, WindowEditor(window).canvas, SB_VERT, LOWORD(wParam));
    return 0;
}

LRESULT ScrollByWheel(HWND window, UINT, WPARAM wParam, LPARAM)
{
    WheelCanvas(window, WindowEditor(window).canvas, GET_WHEEL_DELTA_WPARAM(wParam));
    return 0;
}

LRESULT PaintMainWindow(HWND window, UINT, WPARAM, LPARAM)
{
    PaintCanvas(window, WindowEditor(window).canvas);
    return 0;
}

LRESULT SkipErasing(HWND, UINT, WPARAM, LPARAM)
{
    return 1; // the painting covers every pixel; erasing first would flicker
}

LRESULT CloseMainWindow(HWND window, UINT, WPARAM, LPARAM)
{
    if (MayDiscard(window, WindowEditor(window), "Save the drawing before Pictavo closes?"))
        DestroyWindow(window);
    return 0;
}

LRESULT EndMessageLoop(HWND, UINT, WPARAM, LPARAM)
{
    PostQuitMessage(0);
    return 0;
}

LRESULT NewDrawing(HWND window, WORD, WORD, LPARAM)
{
    Editor& editor = WindowEditor(window);
    if (MayDiscard(window, editor, "Save the drawing before the canvas is cleared?")) {
        ClearCanvas(editor.canvas);
        editor.modified = false;
        InvalidateRect(window, NULL, FALSE);
    }
    return 0;
}

LRESULT SaveDrawing(HWND window, WORD, WORD, LPARAM)
{
    SaveAs(window, WindowEditor(window));
    return 0;
}

LRESULT ExitEditor(HWND window, WORD, WORD, LPARAM)
{
    SendMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}

LRESULT OpenHelp(HWND window, WORD, WORD, LPARAM)
{
    Editor& editor = WindowEditor(window);
    ShowHelp(window, editor.helpWindow, editor.programFolder);
    return 0;
}

LRESULT ShowAbout(HWND window, WORD, WORD, LPARAM)
{
    MessageBoxA(window,
                "Pictavo\r\nVersion 1.0\r\n\r\nA small program for drawing freehand pictures.\r\nFreeware.",
                "About Pictavo", MB_OK | MB_ICONINFORMATION);
    return 0;
}

bool RegisterMainWindow(HINSTANCE instance)
{
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(NULL, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(NULL, IDC_CROSS);
    windowClass.lpszClassName = mainClassName;
    return RegisterClassA(&windowClass) != 0;
}

// The window fits the canvas when the screen allows, else the work area.
void InitialWindowSize(const Canvas& canvas, HMENU menu, int* width, int* height)
{
    RECT frame = {0, 0, canvas.width, canvas.height};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, menu != NULL);
    RECT work;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        SetRect(&work, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
    int workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    *width = frameWidth < 200 ? 200 : frameWidth > workWidth ? workWidth : frameWidth;
    *height = frameHeight < 150 ? 150 : frameHeight > workHeight ? workHeight : frameHeight;
}

int RunEditor(HINSTANCE instance, Editor& editor, int show)
{
    if (!RegisterMainWindow(instance) || !RegisterHelpWindow(instance))
        return 1;
    CanvasSettings settings;
    char path[MAX_PATH];
    if (ProgramFile(path, editor, "pictavo.cfg"))
        ReadCanvasSettings(path, settings);
    if (!CreateCanvas(editor.canvas, settings)) {
        DestroyCanvas(editor.canvas);
        MessageBoxA(NULL, "There is not enough memory for the canvas.\r\nTry a smaller Width and Height in pictavo.cfg.",
                    "Pictavo Error", MB_OK | MB_ICONSTOP);
        return 1;
    }
    HMENU menu = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_PICTAVO));
    int width, height;
    InitialWindowSize(editor.canvas, menu, &width, &height);
    HWND mainWindow = CreateWindowExA(0, mainClassName, mainWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                      CW_USEDEFAULT, width, height, NULL, menu, instance, &editor);
    if (!mainWindow) {
        if (menu)
            DestroyMenu(menu);
        DestroyCanvas(editor.canvas);
        return 1;
    }
    ShowWindow(mainWindow, show);
    UpdateWindow(mainWindow);

    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_PICTAVO));
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        // Shortcuts belong to the canvas window only: Ctrl+N pressed in the
        // help window must not clear the drawing.
        if (message.hwnd == mainWindow && accelerators && TranslateAcceleratorA(mainWindow, accelerators, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyCanvas(editor.canvas);
    return (int)message.wParam;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    Editor editor = {};
    FindProgramFolder(editor.programFolder);
    return RunEditor(instance, editor, show);
}
