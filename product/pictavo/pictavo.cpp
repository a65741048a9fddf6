// Pictavo: freehand drawing on a white canvas, saved as a 24-bit BMP.
// The canvas is a bottom-up 24-bit DIB section, so its bits already have
// the layout of a BMP file and painting never has to redraw the strokes.
#include <windows.h>
#include <windowsx.h>
#include <commdlg.h>
#include <shlobj.h>

namespace {

// Only the main window bears this exact title, so that it can be found by
// it: message boxes get captions of their own.
const char mainWindowTitle[] = "Pictavo";
const char saveBoxCaption[] = "Save Drawing";
const char mainClassName[] = "PictavoMain";
const char helpClassName[] = "PictavoHelp";
const int scrollLine = 16;
// Windows 95's multi-line edit control holds at most 64 KB, and turning
// each LF into CR LF may double the text.
const DWORD maxHelpBytes = 30000;

enum {
    ID_FILE_NEW = 100,
    ID_FILE_SAVE_AS,
    ID_FILE_EXIT,
    ID_HELP_HELP,
    ID_HELP_ABOUT,
    ID_HELP_TEXT
};

HINSTANCE instance;
HWND mainWindow;
HWND helpWindow;
char programFolder[MAX_PATH];

int canvasWidth = 640;
int canvasHeight = 480;
COLORREF penColor = RGB(0, 0, 136);
int penWidth = 3;

HDC canvasDC;
HBITMAP canvasBitmap;
HGDIOBJ originalBitmap;
BYTE* canvasBits;
HPEN pen;
HGDIOBJ originalPen;

int scrollX;
int scrollY;
bool drawing;
bool modified;
POINT lastPoint;

// Appends to the text in a buffer of `size` bytes; false when it did not
// fit, in which case the buffer holds the cut, still terminated text.
bool AppendAt(char* dst, int size, const char* text)
{
    int length = lstrlenA(dst);
    lstrcpynA(dst + length, text, size - length);
    return lstrlenA(text) < size - length;
}

// The shortcuts start the program without a working folder, so its files
// are looked up next to the exe, never in the current folder.
bool FilePath(char* path, int size, const char* name)
{
    lstrcpynA(path, programFolder, size);
    return AppendAt(path, size, name);
}

void FindProgramFolder()
{
    DWORD length = GetModuleFileNameA(NULL, programFolder, sizeof programFolder);
    if (length == 0 || length >= sizeof programFolder) {
        programFolder[0] = 0;
        return;
    }
    char* cut = programFolder;
    for (char* p = programFolder; *p; p++)
        if (*p == '\\' || *p == '/')
            cut = p + 1;
    *cut = 0;
}

int Clamp(int value, int low, int high)
{
    return value < low ? low : value > high ? high : value;
}

// "R,G,B" with each part 0..255; anything else keeps the default colour.
COLORREF ParseColor(const char* text, COLORREF fallback)
{
    int parts[3];
    const char* p = text;
    for (int i = 0; i < 3; i++) {
        while (*p == ' ' || *p == '\t')
            p++;
        if (*p < '0' || *p > '9')
            return fallback;
        int value = 0;
        while (*p >= '0' && *p <= '9') {
            value = value * 10 + (*p++ - '0');
            if (value > 255)
                return fallback;
        }
        parts[i] = value;
        while (*p == ' ' || *p == '\t')
            p++;
        if (i < 2 && *p++ != ',')
            return fallback;
    }
    return RGB(parts[0], parts[1], parts[2]);
}

// A value out of range is a mistake in the file, not a wish for the
// nearest allowed size, so it gives the default like a missing key.
int ReadNumber(const char* section, const char* key, int fallback, int low, int high, const char* path)
{
    // GetPrivateProfileInt returns "-1" as a huge unsigned value and text
    // as 0: both fall outside every range below once cast back to int.
    int value = (int)GetPrivateProfileIntA(section, key, fallback, path);
    return value < low || value > high ? fallback : value;
}

void ReadConfiguration()
{
    char path[MAX_PATH];
    if (!FilePath(path, sizeof path, "pictavo.cfg"))
        return;
    canvasWidth = ReadNumber("Canvas", "Width", canvasWidth, 16, 4096, path);
    canvasHeight = ReadNumber("Canvas", "Height", canvasHeight, 16, 4096, path);
    penWidth = ReadNumber("Pen", "Width", penWidth, 1, 64, path);
    char color[32];
    GetPrivateProfileStringA("Pen", "Color", "", color, sizeof color, path);
    penColor = ParseColor(color, penColor);
}

int RowBytes()
{
    return (canvasWidth * 3 + 3) & ~3;
}

void FillBitmapHeader(BITMAPINFOHEADER& header)
{
    ZeroMemory(&header, sizeof header);
    header.biSize = sizeof header;
    header.biWidth = canvasWidth;
    header.biHeight = canvasHeight; // bottom-up, as BMP files store rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = (DWORD)RowBytes() * canvasHeight;
}

void ClearCanvas()
{
    RECT all = {0, 0, canvasWidth, canvasHeight};
    FillRect(canvasDC, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    modified = false;
}

bool CreateCanvas()
{
    BITMAPINFO info;
    FillBitmapHeader(info.bmiHeader);
    HDC screen = GetDC(NULL);
    canvasDC = CreateCompatibleDC(screen);
    void* bits = NULL;
    canvasBitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    ReleaseDC(NULL, screen);
    if (!canvasDC || !canvasBitmap)
        return false;
    canvasBits = (BYTE*)bits;
    originalBitmap = SelectObject(canvasDC, canvasBitmap);
    pen = CreatePen(PS_SOLID, penWidth, penColor);
    originalPen = SelectObject(canvasDC, pen);
    ClearCanvas();
    return true;
}

void DestroyCanvas()
{
    if (canvasDC) {
        SelectObject(canvasDC, originalPen);
        SelectObject(canvasDC, originalBitmap);
        DeleteDC(canvasDC);
    }
    if (pen)
        DeleteObject(pen);
    if (canvasBitmap)
        DeleteObject(canvasBitmap);
}

// The error of a write that failed, or ERROR_SUCCESS. A write to a disk
// file that returns with fewer bytes and no error has run out of room.
DWORD WriteAll(HANDLE file, const void* data, DWORD size)
{
    DWORD written = 0;
    if (!WriteFile(file, data, size, &written, NULL))
        return GetLastError();
    return written == size ? ERROR_SUCCESS : ERROR_DISK_FULL;
}

DWORD WriteBitmap(HANDLE file)
{
    BITMAPINFOHEADER info;
    FillBitmapHeader(info);
    BITMAPFILEHEADER header;
    ZeroMemory(&header, sizeof header);
    header.bfType = 0x4D42; // "BM"
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + info.biSizeImage;
    GdiFlush(); // GDI may still hold strokes that are not yet in the bits
    DWORD error = WriteAll(file, &header, sizeof header);
    if (error == ERROR_SUCCESS)
        error = WriteAll(file, &info, sizeof info);
    if (error == ERROR_SUCCESS)
        error = WriteAll(file, canvasBits, info.biSizeImage);
    // The system may keep the last blocks in its cache and find out only
    // when it writes them that the disk is full.
    if (error == ERROR_SUCCESS && !FlushFileBuffers(file))
        error = GetLastError();
    return error;
}

// A save writes the new picture into a file of its own beside the old one
// (beside it, so that taking the old one's place is a rename, never a
// copy) and gives it the picture's name only once all of it is on the
// disk: a full disk or a failed write leaves the old picture as it was.

// Each save starts at another point of the range, so that names left by
// a save that was cut short (a power failure) are not tried first.
const DWORD scratchTries = 64;

DWORD FirstScratchNumber()
{
    return GetTickCount() ^ (GetCurrentProcessId() << 8);
}

// folder followed by a name such as ~pv3A4F1.tmp: an 8.3 name, which
// every file system takes and which is no longer than most pictures'
// names, so it fits wherever the picture's own path fitted.
bool ScratchPath(const char* folder, DWORD number, char* path, int size)
{
    char name[] = "~pv00000.tmp";
    for (int i = 7; i >= 3; i--, number >>= 4)
        name[i] = "0123456789ABCDEF"[number & 15];
    lstrcpynA(path, folder, size);
    return lstrlenA(folder) < size && AppendAt(path, size, name);
}

bool IsNameTaken(DWORD error)
{
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

// A new empty file in folder, at a name that nothing held: CREATE_NEW
// fails on any file, folder or link already there, so nothing planted at
// the name is ever written through.
HANDLE CreateScratchFile(const char* folder, char* path, int size, DWORD* error)
{
    DWORD number = FirstScratchNumber();
    for (DWORD i = 0; i < scratchTries; i++) {
        if (!ScratchPath(folder, number + i, path, size)) {
            *error = ERROR_FILENAME_EXCED_RANGE;
            return INVALID_HANDLE_VALUE;
        }
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE)
            return file;
        *error = GetLastError();
        if (!IsNameTaken(*error))
            return INVALID_HANDLE_VALUE;
    }
    return INVALID_HANDLE_VALUE;
}

// A name in folder that nothing holds, for the old picture to step aside
// to: a rename to it moves the old file, and never writes into another.
DWORD FreeScratchPath(const char* folder, char* path, int size)
{
    DWORD number = FirstScratchNumber();
    for (DWORD i = 0; i < scratchTries; i++) {
        if (!ScratchPath(folder, number + i, path, size))
            return ERROR_FILENAME_EXCED_RANGE;
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
            DWORD error = GetLastError();
            return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
        }
    }
    return ERROR_FILE_EXISTS;
}

// Functions of kernel32 that older systems lack, typed as the SDK declares
// them. kernel32 is in every process from its start, so nothing is loaded.
template <typename Function> Function KernelFunction(const char* name)
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name))) : NULL;
}
#define KERNEL_FUNCTION(name) KernelFunction<decltype(&::name)>(#name)

// Gives the complete file at fresh the name target. Where target exists,
// the old picture keeps its name until the new one takes it, and is put
// back wherever a step fails half-way.
DWORD PutInPlace(const char* folder, const char* fresh, const char* target)
{
    if (GetFileAttributesA(target) == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND)
            return error;
        return MoveFileA(fresh, target) ? ERROR_SUCCESS : GetLastError();
    }
    char backup[MAX_PATH];
    DWORD error = FreeScratchPath(folder, backup, sizeof backup);
    if (error != ERROR_SUCCESS)
        return error;
    // Windows 2000 and later: ReplaceFile hands the old file's security,
    // attributes and creation time on to the new one, as writing over it
    // did. Without a backup name, some of its failures leave neither file
    // under the picture's name; with one, the only failure that moved the
    // old picture leaves it at the backup name, from where it goes back.
    if (auto replace = KERNEL_FUNCTION(ReplaceFileA)) {
        if (replace(target, fresh, backup, 0, NULL, NULL)) {
            DeleteFileA(backup);
            return ERROR_SUCCESS;
        }
        error = GetLastError();
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
            MoveFileA(backup, target);
        return error;
    }
    // NT 4: one rename that replaces the old file whole.
    if (auto move = KERNEL_FUNCTION(MoveFileExA)) {
        if (move(fresh, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return ERROR_SUCCESS;
        error = GetLastError();
        if (error != ERROR_CALL_NOT_IMPLEMENTED)
            return error;
    }
    // Windows 9x renames only to a free name: the old picture steps aside
    // and comes back if the new one cannot take its name.
    if (!MoveFileA(target, backup))
        return GetLastError();
    if (!MoveFileA(fresh, target)) {
        error = GetLastError();
        MoveFileA(backup, target);
        return error;
    }
    DeleteFileA(backup);
    return ERROR_SUCCESS;
}

// ERROR_SUCCESS, or the system's reason why the picture is not saved; the
// new file is then gone and whatever file had the name keeps it.
DWORD SaveBitmapFile(const char* path)
{
    char folder[MAX_PATH];
    lstrcpynA(folder, path, sizeof folder);
    char* cut = folder;
    for (char* p = folder; *p; p = CharNextA(p))
        if (*p == '\\' || *p == '/' || *p == ':')
            cut = p + 1;
    *cut = 0;
    char fresh[MAX_PATH];
    DWORD error = ERROR_SUCCESS;
    HANDLE file = CreateScratchFile(folder, fresh, sizeof fresh, &error);
    if (file == INVALID_HANDLE_VALUE)
        return error;
    error = WriteBitmap(file);
    if (!CloseHandle(file) && error == ERROR_SUCCESS)
        error = GetLastError();
    if (error == ERROR_SUCCESS)
        error = PutInPlace(folder, fresh, path);
    if (error != ERROR_SUCCESS)
        DeleteFileA(fresh); // a cut BMP would only mislead whoever opens it
    return error;
}

void AppendNumber(char* dst, int size, DWORD value)
{
    char digits[12];
    char* p = digits + sizeof digits - 1;
    *p = 0;
    do {
        *--p = (char)('0' + value % 10);
        value /= 10;
    } while (value);
    AppendAt(dst, size, p);
}

// Names the file and the system's reason, so that the user can tell a
// full disk from a folder that may not be written.
void TellSaveFailed(HWND owner, const char* path, DWORD error)
{
    char message[MAX_PATH + 320];
    lstrcpynA(message, "The picture could not be saved as\r\n", sizeof message);
    AppendAt(message, sizeof message, path);
    AppendAt(message, sizeof message, "\r\n\r\n");
    char reason[256];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0, reason,
                                  sizeof reason, NULL);
    while (length > 0 && (reason[length - 1] == '\r' || reason[length - 1] == '\n' || reason[length - 1] == ' '))
        length--;
    if (length > 0) {
        reason[length] = 0;
        AppendAt(message, sizeof message, reason);
        AppendAt(message, sizeof message, " ");
    }
    AppendAt(message, sizeof message, "(error ");
    AppendNumber(message, sizeof message, error);
    AppendAt(message, sizeof message, ")");
    MessageBoxA(owner, message, saveBoxCaption, MB_OK | MB_ICONEXCLAMATION);
}

// Only a file made there tells: a standard user may read the program
// folder but not write in it, whatever its attributes say.
bool CanWriteIn(const char* folder)
{
    DWORD attributes = GetFileAttributesA(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    char probe[MAX_PATH];
    if (!GetTempFileNameA(folder, "pv", 0, probe))
        return false;
    DeleteFileA(probe);
    return true;
}

// The user's own pictures folder, or the documents folder on systems that
// have none; false when the shell knows neither.
bool UserPicturesFolder(char* path)
{
    IMalloc* allocator = NULL;
    if (FAILED(SHGetMalloc(&allocator)))
        return false;
    bool found = false;
    const int folders[] = {CSIDL_MYPICTURES, CSIDL_PERSONAL};
    for (int i = 0; i < 2 && !found; i++) {
        LPITEMIDLIST list = NULL;
        if (SUCCEEDED(SHGetSpecialFolderLocation(NULL, folders[i], &list)) && list) {
            found = SHGetPathFromIDListA(list, path) != FALSE;
            allocator->Free(list);
        }
    }
    allocator->Release();
    return found;
}

// False when the user cancelled or the file could not be written.
bool SaveAs(HWND owner)
{
    char path[MAX_PATH];
    lstrcpynA(path, "untitled.bmp", sizeof path);
    // Setup makes PvFiles for the pictures. Where it is missing or this
    // user cannot write there, the dialog starts in the user's own
    // pictures folder, rather than in one where saving would fail.
    char pictures[MAX_PATH];
    bool inPvFiles = FilePath(pictures, sizeof pictures, "PvFiles") && CanWriteIn(pictures);
    bool hasStart = inPvFiles || UserPicturesFolder(pictures);
    OPENFILENAMEA dialog;
    ZeroMemory(&dialog, sizeof dialog);
    // Windows 95 and NT 4 refuse the larger structure of later versions.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = "Bitmap (*.bmp)\0*.bmp\0All files (*.*)\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    if (hasStart)
        dialog.lpstrInitialDir = pictures;
    dialog.lpstrTitle = "Save as BMP";
    dialog.lpstrDefExt = "bmp";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOREADONLYRETURN;
    if (!GetSaveFileNameA(&dialog))
        return false;
    DWORD error = SaveBitmapFile(path);
    if (error != ERROR_SUCCESS) {
        TellSaveFailed(owner, path, error);
        return false;
    }
    modified = false;
    return true;
}

// Asks before a drawing is thrown away; false when the user keeps it.
bool MayDiscard(HWND owner, const char* question)
{
    if (!modified)
        return true;
    int answer = MessageBoxA(owner, question, saveBoxCaption, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL)
        return false;
    return answer == IDNO || SaveAs(owner);
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
char* LoadHelpText()
{
    char path[MAX_PATH];
    if (!FilePath(path, sizeof path, "pvhelp.hlp"))
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

void ShowHelp()
{
    if (helpWindow) {
        ShowWindow(helpWindow, SW_RESTORE);
        SetForegroundWindow(helpWindow);
        return;
    }
    char* text = LoadHelpText();
    if (!text) {
        char message[MAX_PATH + 96];
        lstrcpynA(message, "The help file pvhelp.hlp was not found in the program folder:\r\n", sizeof message);
        AppendAt(message, sizeof message, programFolder[0] ? programFolder : "(unknown)");
        MessageBoxA(mainWindow, message, "Pictavo Help", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // Owned by the main window: it stays above it and closes with it.
    // Offset from it, so that the drawing still shows beside the help.
    RECT main;
    GetWindowRect(mainWindow, &main);
    helpWindow = CreateWindowExA(0, helpClassName, "Pictavo Help", WS_OVERLAPPEDWINDOW, main.left + 40, main.top + 40,
                                 520, 400, mainWindow, NULL, instance, NULL);
    if (helpWindow) {
        SetDlgItemTextA(helpWindow, ID_HELP_TEXT, text);
        ShowWindow(helpWindow, SW_SHOW);
    }
    HeapFree(GetProcessHeap(), 0, text);
}

LRESULT CALLBACK HelpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0,
                                    0, 0, 0, window, (HMENU)(UINT_PTR)ID_HELP_TEXT, instance, NULL);
        if (!edit)
            return -1;
        SendMessageA(edit, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
        return 0;
    }
    case WM_SIZE:
        MoveWindow(GetDlgItem(window, ID_HELP_TEXT), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        SetFocus(GetDlgItem(window, ID_HELP_TEXT));
        return 0;
    case WM_CTLCOLORSTATIC:
        // Read-only edit controls are grey by default; the help reads
        // better as a page.
        SetBkColor((HDC)wParam, GetSysColor(COLOR_WINDOW));
        SetTextColor((HDC)wParam, GetSysColor(COLOR_WINDOWTEXT));
        return (LRESULT)GetSysColorBrush(COLOR_WINDOW);
    case WM_DESTROY:
        helpWindow = NULL;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void ShowAbout(HWND owner)
{
    MessageBoxA(owner,
                "Pictavo\r\nVersion 1.0\r\n\r\nA small program for drawing freehand pictures.\r\nFreeware.",
                "About Pictavo", MB_OK | MB_ICONINFORMATION);
}

HMENU BuildMenu()
{
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, ID_FILE_NEW, "&New\tCtrl+N");
    AppendMenuA(file, MF_STRING, ID_FILE_SAVE_AS, "Save as &BMP...\tCtrl+S");
    AppendMenuA(file, MF_SEPARATOR, 0, NULL);
    AppendMenuA(file, MF_STRING, ID_FILE_EXIT, "E&xit");
    HMENU help = CreatePopupMenu();
    AppendMenuA(help, MF_STRING, ID_HELP_HELP, "&Help\tF1");
    AppendMenuA(help, MF_SEPARATOR, 0, NULL);
    AppendMenuA(help, MF_STRING, ID_HELP_ABOUT, "&About Pictavo...");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)file, "&File");
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)help, "&Help");
    return bar;
}

HACCEL BuildAccelerators()
{
    ACCEL keys[] = {
        {FVIRTKEY | FCONTROL, 'N', ID_FILE_NEW},
        {FVIRTKEY | FCONTROL, 'S', ID_FILE_SAVE_AS},
        {FVIRTKEY, VK_F1, ID_HELP_HELP},
    };
    return CreateAcceleratorTableA(keys, sizeof keys / sizeof keys[0]);
}

// The canvas may be larger than the window (640x480 screens are common),
// so the window scrolls over it. Whether a bar is needed is judged from
// the size the client area would have without bars: judged from the
// current client area, a bar once shown would keep itself needed.
void UpdateScrollBars(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    int barWidth = GetSystemMetrics(SM_CXVSCROLL);
    int barHeight = GetSystemMetrics(SM_CYHSCROLL);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    int fullWidth = client.right + (style & WS_VSCROLL ? barWidth : 0);
    int fullHeight = client.bottom + (style & WS_HSCROLL ? barHeight : 0);
    bool horizontal = false, vertical = false;
    // Twice, since each bar takes room that may make the other one needed.
    for (int i = 0; i < 2; i++) {
        horizontal = canvasWidth > fullWidth - (vertical ? barWidth : 0);
        vertical = canvasHeight > fullHeight - (horizontal ? barHeight : 0);
    }
    int pageWidth = fullWidth - (vertical ? barWidth : 0);
    int pageHeight = fullHeight - (horizontal ? barHeight : 0);
    pageWidth = pageWidth > 0 ? pageWidth : 0;
    pageHeight = pageHeight > 0 ? pageHeight : 0;

    int oldX = scrollX, oldY = scrollY;
    scrollX = Clamp(scrollX, 0, canvasWidth > pageWidth ? canvasWidth - pageWidth : 0);
    scrollY = Clamp(scrollY, 0, canvasHeight > pageHeight ? canvasHeight - pageHeight : 0);
    SCROLLINFO info;
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = canvasWidth - 1;
    info.nPage = pageWidth;
    info.nPos = scrollX;
    SetScrollInfo(window, SB_HORZ, &info, TRUE);
    info.nMax = canvasHeight - 1;
    info.nPage = pageHeight;
    info.nPos = scrollY;
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    if (oldX != scrollX || oldY != scrollY)
        InvalidateRect(window, NULL, FALSE);
}

bool ReadScrollBar(HWND window, int bar, SCROLLINFO& info)
{
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    return GetScrollInfo(window, bar, &info) != FALSE;
}

void ScrollTo(HWND window, int bar, int position)
{
    SCROLLINFO info;
    if (!ReadScrollBar(window, bar, info))
        return;
    int last = info.nMax - (int)info.nPage + 1;
    position = Clamp(position, 0, last > 0 ? last : 0);
    int& current = bar == SB_HORZ ? scrollX : scrollY;
    if (position == current)
        return;
    current = position;
    SetScrollPos(window, bar, position, TRUE);
    InvalidateRect(window, NULL, FALSE);
}

void OnScroll(HWND window, int bar, int code)
{
    SCROLLINFO info;
    if (!ReadScrollBar(window, bar, info))
        return;
    int position = info.nPos;
    switch (code) {
    case SB_LINEUP: position -= scrollLine; break;
    case SB_LINEDOWN: position += scrollLine; break;
    case SB_PAGEUP: position -= (int)info.nPage; break;
    case SB_PAGEDOWN: position += (int)info.nPage; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = info.nMax; break;
    default: return;
    }
    ScrollTo(window, bar, position);
}

// Points arrive in window coordinates; strokes live in canvas coordinates.
POINT CanvasPoint(LPARAM lParam)
{
    POINT point = {GET_X_LPARAM(lParam) + scrollX, GET_Y_LPARAM(lParam) + scrollY};
    return point;
}

void StrokeTo(HWND window, POINT to)
{
    MoveToEx(canvasDC, lastPoint.x, lastPoint.y, NULL);
    // A zero-length line draws nothing, yet a click should leave a dot.
    LineTo(canvasDC, to.x + (to.x == lastPoint.x && to.y == lastPoint.y), to.y);
    int margin = penWidth / 2 + 2;
    RECT changed = {
        (lastPoint.x < to.x ? lastPoint.x : to.x) - margin - scrollX,
        (lastPoint.y < to.y ? lastPoint.y : to.y) - margin - scrollY,
        (lastPoint.x > to.x ? lastPoint.x : to.x) + margin + 1 - scrollX,
        (lastPoint.y > to.y ? lastPoint.y : to.y) + margin + 1 - scrollY,
    };
    InvalidateRect(window, &changed, FALSE);
    lastPoint = to;
    modified = true;
}

void Paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    int right = canvasWidth - scrollX;
    int bottom = canvasHeight - scrollY;
    BitBlt(dc, 0, 0, right, bottom, canvasDC, scrollX, scrollY, SRCCOPY);
    HBRUSH outside = GetSysColorBrush(COLOR_APPWORKSPACE);
    RECT beside = {right, 0, client.right, client.bottom};
    RECT below = {0, bottom, right, client.bottom};
    FillRect(dc, &beside, outside);
    FillRect(dc, &below, outside);
    EndPaint(window, &paint);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        SetCapture(window);
        drawing = true;
        lastPoint = CanvasPoint(lParam);
        StrokeTo(window, lastPoint);
        return 0;
    case WM_MOUSEMOVE:
        if (drawing)
            StrokeTo(window, CanvasPoint(lParam));
        return 0;
    case WM_LBUTTONUP:
        ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED:
        drawing = false;
        return 0;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            UpdateScrollBars(window);
        return 0;
    case WM_HSCROLL:
        OnScroll(window, SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_VSCROLL:
        OnScroll(window, SB_VERT, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        ScrollTo(window, SB_VERT, scrollY - GET_WHEEL_DELTA_WPARAM(wParam) * 3 * scrollLine / WHEEL_DELTA);
        return 0;
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1; // Paint covers every pixel; erasing first would flicker
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case ID_FILE_NEW:
            if (MayDiscard(window, "Save the drawing before the canvas is cleared?")) {
                ClearCanvas();
                InvalidateRect(window, NULL, FALSE);
            }
            break;
        case ID_FILE_SAVE_AS: SaveAs(window); break;
        case ID_FILE_EXIT: SendMessageA(window, WM_CLOSE, 0, 0); break;
        case ID_HELP_HELP: ShowHelp(); break;
        case ID_HELP_ABOUT: ShowAbout(window); break;
        }
        return 0;
    case WM_CLOSE:
        if (MayDiscard(window, "Save the drawing before Pictavo closes?"))
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterClasses()
{
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(NULL, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(NULL, IDC_CROSS);
    windowClass.lpszClassName = mainClassName;
    if (!RegisterClassA(&windowClass))
        return false;
    windowClass.lpfnWndProc = HelpWindowProc;
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszClassName = helpClassName;
    return RegisterClassA(&windowClass) != 0;
}

// The window fits the canvas when the screen allows, else the work area.
void InitialWindowSize(HMENU menu, int* width, int* height)
{
    RECT frame = {0, 0, canvasWidth, canvasHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, menu != NULL);
    RECT work;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        SetRect(&work, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    *width = Clamp(frame.right - frame.left, 200, work.right - work.left);
    *height = Clamp(frame.bottom - frame.top, 150, work.bottom - work.top);
}

} // namespace

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int show)
{
    instance = module;
    FindProgramFolder();
    ReadConfiguration();
    if (!RegisterClasses())
        return 1;
    if (!CreateCanvas()) {
        DestroyCanvas();
        MessageBoxA(NULL, "There is not enough memory for the canvas.\r\nTry a smaller Width and Height in pictavo.cfg.",
                    "Pictavo Error", MB_OK | MB_ICONSTOP);
        return 1;
    }
    HMENU menu = BuildMenu();
    int width, height;
    InitialWindowSize(menu, &width, &height);
    mainWindow = CreateWindowExA(0, mainClassName, mainWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                 width, height, NULL, menu, instance, NULL);
    if (!mainWindow) {
        DestroyCanvas();
        return 1;
    }
    ShowWindow(mainWindow, show);
    UpdateWindow(mainWindow);

    HACCEL accelerators = BuildAccelerators();
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        // Shortcuts belong to the canvas window only: Ctrl+N pressed in the
        // help window must not clear the drawing.
        if (message.hwnd == mainWindow && accelerators && TranslateAcceleratorA(mainWindow, accelerators, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (accelerators)
        DestroyAcceleratorTable(accelerators);
    DestroyCanvas();
    return (int)message.wParam;
}
