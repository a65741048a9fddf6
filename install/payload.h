// The product's five files, carried as SZDD-compressed RCDATA resources
// FILE0 to FILE4, and the loop that expands them into destDir.
#pragma once
#include <windows.h>

enum { PayloadRows = 5, PayloadNameSize = 40, TempFolderSize = 260 };

extern int payloadIndex;                                     // the row being expanded
extern const char payloadFolders[1][10];                     // made under destDir by the Copy page
extern const char compressedNames[PayloadRows][PayloadNameSize];
extern const char targetNames[PayloadRows][PayloadNameSize]; // each begins with a backslash
extern char tempFolder[TempFolderSize];                      // ends with a backslash
extern char tempFilePath[512];
extern char targetFilePath[512];
extern char statusText[512];


LRESULT ExpandPayload(HWND page, WORD controlId, WORD notifyCode, LPARAM lParam);
void ReportCopyFailure();
