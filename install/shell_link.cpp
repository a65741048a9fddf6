#include "install/shell_link.h"
#include "base/system_function.h"
#include "base/text.h"
#include <objidl.h>
#include <shlobj.h>

namespace {

// COM is loaded only when the first shortcut is made: linked at start-up
// it would slow every run's start, cancelled ones included.
struct ComLibrary {
    decltype(&::CoInitialize) initialize;
    decltype(&::CoCreateInstance) createInstance;
    decltype(&::CoUninitialize) uninitialize;
};

bool LoadCom(ComLibrary& com)
{
    com.initialize = SYSTEM_FUNCTION("ole32.dll", CoInitialize);
    com.createInstance = SYSTEM_FUNCTION("ole32.dll", CoCreateInstance);
    com.uninitialize = SYSTEM_FUNCTION("ole32.dll", CoUninitialize);
    return com.initialize && com.createInstance && com.uninitialize;
}

} // namespace

HRESULT CreateShellLink(const char* targetPath, const char* linkPath, const char* description)
{
    ComLibrary com;
    if (!LoadCom(com))
        return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    com.initialize(NULL);
    IShellLinkA* link = NULL;
    HRESULT status = com.createInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link);
    if (SUCCEEDED(status)) {
        link->SetPath(targetPath);
        link->SetDescription(description);
        IPersistFile* file = NULL;
        status = link->QueryInterface(IID_IPersistFile, (void**)&file);
        if (SUCCEEDED(status)) {
            WCHAR widePath[MAX_PATH];
            if (TextLength(linkPath) >= MAX_PATH)
                status = HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
            else if (!MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH))
                status = HRESULT_FROM_WIN32(GetLastError());
            else
                status = file->Save(widePath, TRUE);
            file->Release();
        }
        link->Release();
    }
    com.uninitialize();
    return status;
}
