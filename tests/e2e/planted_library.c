/* A library of a system name, as anybody may leave one beside a downloaded
   installer. Loaded, it leaves a marker file beside itself. The LZ service's
   functions are there so that a program that imports them still starts. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH + 8];
        DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            lstrcpyA(path + length, ".loaded");
            HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
            if (marker != INVALID_HANDLE_VALUE)
                CloseHandle(marker);
        }
    }
    return TRUE;
}

__declspec(dllexport) INT WINAPI LZInit(INT file) { (void)file; return -1; }
__declspec(dllexport) LONG WINAPI LZCopy(INT from, INT to) { (void)from; (void)to; return -1; }
__declspec(dllexport) void WINAPI LZClose(INT file) { (void)file; }
