#include "install/shell_link.h"
#include "shell/text.h"
#include <objidl.h>
#include <shlobj.h>

HRESULT CreateShellLink(const char* targetPath, const char* linkPath, const char* description)
{
    CoInitialize(NULL);
    IShellLinkA* link = NULL;
    HRESULT status = CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link);
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
    CoUninitialize();
    return status;
}
