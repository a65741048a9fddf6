// Resource and command ids shared by the code and setup.rc.
#pragma once

#define IDI_SETUP          200
#define IDI_FOLDER         201
#define IDI_UP             202
#define IDI_NEW_FOLDER     203
#define IDS_CLASS_NAME     301
#define IDS_AGREEMENT      189

#define IDM_START_SETUP    4444
#define IDM_START_COPY     4445

#define IDC_AGREEMENT_TEXT 199
#define IDC_BROWSE         100
#define IDC_DESTINATION    101
#define IDC_STATUS         101
#define IDC_PROGRESS       214

#define IDC_RESULT_PATH    102
#define IDC_FREE_SPACE     103
#define IDC_DRIVES         104
#define IDC_FOLDER_NAME    105
#define IDC_FOLDER_LIST    107
#define IDC_SHORTCUT_PATH  211
#define IDC_SHORTCUT_LIST  212
