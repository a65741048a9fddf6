// Resource and command ids shared by the code and setup.rc.
#pragma once

#define IDI_SETUP          200
#define IDS_CLASS_NAME     301
#define IDS_AGREEMENT      189

#define IDM_EXIT           300
#define IDM_START_SETUP    4444
#define IDM_START_COPY     4445

#define IDC_AGREEMENT_TEXT 199
#define IDC_BROWSE         100
#define IDC_DESTINATION    101
#define IDC_STATUS         101
#define IDC_PROGRESS       214
